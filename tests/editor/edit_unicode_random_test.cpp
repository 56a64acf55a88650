// Seeded random typing, pasting, deleting, caret moves, undo and redo of clusters of every
// kind (emoji with and without a presentation selector, skin tones, ZWJ families, flags,
// combining accents, plane-2 kanji) mixed with CP932 text, on a session with word wrap off
// and on, held to a reference model: the text as a list of the characters the user sees.
// After every step each character is exactly one CP932 character or one extra code of the
// rows, the text reads back as the model's, and the caret stands between the same two
// characters; undo and redo give back each earlier state.
#include "editor/edit_session.h"
#include "platform/grapheme.h"
#include "platform/unicode_text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using TUnits = std::vector<std::string>;  // the characters as UTF-8, one cluster each

struct TState {
    TUnits units;
    size_t caret = 0;  // characters before the caret
};

// `utf8` cut into clusters.
TUnits Clusters(std::string_view utf8) {
    TUnits units;
    for (size_t i = 0; i < utf8.size();) {
        const size_t end = ClusterEnd(utf8, i);
        units.emplace_back(utf8.substr(i, end - i));
        i = end;
    }
    return units;
}

std::string Join(const TUnits& units, size_t from = 0, size_t to = SIZE_MAX) {
    std::string s;
    for (size_t i = from; i < std::min(to, units.size()); ++i) s += units[i];
    return s;
}

// A user-defined character of a Shift-JIS file (U+E000): it must keep its meaning when
// codes are given out around it.
const std::string kGaiji = "\xEE\x80\x80";

class RandomUnicodeEdits {
public:
    RandomUnicodeEdits(unsigned seed, bool wrap) : rng_(seed) {
        session_.UndoObj().SetCapacity(1 << 20);
        session_.Options().caretFree = false;
        session_.SetWrapByte(12);
        session_.SetWordWrap(wrap);
        // The loaded text: CP932 bytes, the user-defined character F040 among them.
        session_.Lines().SetWholeText("a\xF0\x40\x82\xa0");
        model_.units = {"a", kGaiji, "\xE3\x81\x82"};
        history_.push_back(model_);
    }

    void Run(int steps) {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            Step();
            Check();
        }
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    template <class T>
    const T& OneOf(const std::vector<T>& v) { return v[static_cast<size_t>(Pick(0, static_cast<int>(v.size()) - 1))]; }

    // A whole character: CP932 ones, and clusters that need a code.
    std::string Whole() {
        static const std::vector<std::string> pieces = {
            "x", "\xE3\x81\x82" /* あ */, "\xE6\xBC\xA2" /* 漢 */, "\xEF\xBD\xB1" /* ｱ */,
            "\xF0\x9F\x98\x8A" /* 😊 */, "\xF0\xA0\xAE\xB7" /* 𠮷 */, "\xC3\xA9" /* é */,
            "\xE2\x98\xBA\xEF\xB8\x8F" /* ☺️ */, "\xF0\x9F\x87\xAF\xF0\x9F\x87\xB5" /* 🇯🇵 */,
            "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7" /* family */,
            "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD" /* 👍🏽 */, "\xF0\x9F\x87\xAF" /* a lone regional indicator */};
        return OneOf(pieces);
    }

    // What extends the character before it, when that character allows.
    std::string Extending() {
        static const std::vector<std::string> pieces = {
            "\xCC\x81" /* combining acute */, "\xEF\xB8\x8F" /* VS16 */, "\xF0\x9F\x8F\xBB" /* light skin */,
            "\xE2\x80\x8D\xF0\x9F\x91\xA6" /* ZWJ boy */, "\xE2\x80\x8D" /* ZWJ alone */,
            "\xF0\x9F\x87\xB5" /* regional indicator P */};
        return OneOf(pieces);
    }

    void Typed(const std::string& typed) {
        const size_t before = session_.UndoObj().UndoList().size();
        ASSERT_TRUE(session_.TypeUnicode(typed));
        TState next = model_;
        // The character before the caret takes in what extends it, the rest stands alone.
        std::string head = next.caret > 0 ? next.units[next.caret - 1] : std::string();
        const bool joins = next.caret > 0 && ClusterEnd(head + typed, 0) > head.size();
        TUnits added = joins ? Clusters(head + typed) : Clusters(typed);
        if (joins) next.units.erase(next.units.begin() + static_cast<long>(--next.caret));
        next.units.insert(next.units.begin() + static_cast<long>(next.caret), added.begin(), added.end());
        next.caret += added.size();
        ASSERT_EQ(session_.UndoObj().UndoList().size(), before + 1) << "one undo step";
        Done(next);
    }

    void Pasted(const std::string& text) {
        ASSERT_TRUE(session_.PasteUnicode(text));
        TState next = model_;
        const TUnits added = Clusters(text);
        next.units.insert(next.units.begin() + static_cast<long>(next.caret), added.begin(), added.end());
        next.caret += added.size();
        Done(next);
    }

    void Done(const TState& next) {
        model_ = next;
        history_.resize(at_ + 1);
        history_.push_back(model_);
        ++at_;
    }

    void Step() {
        const int op = Pick(0, 99);
        if (op < 30) {
            Typed(Whole());
        } else if (op < 45) {
            Typed(Extending());
        } else if (op < 50) {
            Pasted(Whole() + Whole() + Extending() + Whole());
        } else if (op < 60) {
            const bool back = op < 56;
            if (back ? model_.caret == 0 : model_.caret == model_.units.size()) return;
            back ? session_.KeyBackspace() : session_.KeyDelete();
            TState next = model_;
            if (back) --next.caret;
            next.units.erase(next.units.begin() + static_cast<long>(next.caret));
            Done(next);
        } else if (op < 78) {
            for (int i = Pick(1, 3); i > 0; --i) session_.KeyMove(Pick(0, 1) ? ekLeft : ekRight, false, false, false);
            if (Pick(0, 4) == 0) session_.KeyMove(Pick(0, 1) ? ekHome : ekEnd, false, Pick(0, 1) == 1, false);
            // The caret keys are the engine's own: the model follows where they put it, and
            // Check holds that to a place between two characters.
            model_.caret = CaretUnits();
            history_[at_].caret = model_.caret;
        } else if (op < 90) {
            if (!session_.CanUndo()) return;
            session_.Undo();
            --at_;
            model_ = history_[at_];
            ASSERT_EQ(CaretUnits(), model_.caret) << "undo puts the caret back";
        } else {
            if (!session_.CanRedo()) return;
            session_.Redo();
            ++at_;
            model_ = history_[at_];
            model_.caret = CaretUnits();
        }
    }

    // The caret's place as the number of characters before it; SIZE_MAX inside one.
    size_t CaretUnits() const {
        const TRowStore& store = session_.Store();
        size_t offset = 0;
        for (int r = 0; r < session_.Row(); ++r) offset += store.RowView(r).size();
        const std::string_view row = store.RowView(session_.Row());
        offset += static_cast<size_t>(TRowStore::ByteIndex(store.ColumnMap(row), session_.Col()));
        size_t bytes = 0;
        for (size_t k = 0; k <= model_.units.size(); ++k) {
            if (bytes == offset) return k;
            if (k < model_.units.size()) bytes += CellBytes(model_.units[k]);
        }
        return SIZE_MAX;
    }

    // The bytes a character takes in the rows: one for ASCII and half-width katakana.
    static size_t CellBytes(const std::string& unit) {
        char32_t c = 0;
        return DecodeUtf8(unit, 0, c) == unit.size() && (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
    }

    void Check() {
        if (::testing::Test::HasFatalFailure()) return;
        const TRowStore& store = session_.Store();
        std::string bytes;
        for (int r = 0; r < store.RowCount(); ++r) bytes.append(store.RowView(r));
        // Character by character: each model character is one character of the rows.
        size_t i = 0;
        for (size_t k = 0; k < model_.units.size(); ++k) {
            ASSERT_LT(i, bytes.size()) << "text ends early at character " << k;
            const size_t len = CellBytes(model_.units[k]);
            ASSERT_EQ(UnicodeFromText(bytes.substr(i, len), session_.Extra()), model_.units[k]) << "character " << k;
            i += len;
        }
        ASSERT_EQ(i, bytes.size()) << "text goes on past the model's";
        ASSERT_EQ(CaretUnits(), model_.caret) << "caret row " << session_.Row() << " col " << session_.Col();
    }

    std::mt19937 rng_;
    TEditSession session_;
    TState model_;
    std::vector<TState> history_;  // the state after each edit still undoable or redoable
    size_t at_ = 0;                // the state the session shows
};

}  // namespace

TEST(UnicodeEditsRandom, HoldToTheModelWithWordWrapOff) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomUnicodeEdits(seed, false).Run(400);
    }
}

TEST(UnicodeEditsRandom, HoldToTheModelWithWordWrapOn) {
    for (unsigned seed = 101; seed <= 106; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomUnicodeEdits(seed, true).Run(400);
    }
}
