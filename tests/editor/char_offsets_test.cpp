// Offsets in characters over the rows: the per-row counting rules, and a seeded random run
// of edits after which the kept counts must equal a count made afresh.
#include "editor/char_offsets.h"
#include "editor/edit_session.h"
#include "editor_test_support.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Code points of a UTF-8 text.
int CodePoints(std::string_view utf8) {
    int n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
    return n;
}

TEST(CharOffsets, RowCountingFollowsTheCellGrid) {
    struct Case {
        const char* name;
        std::string row;
        int chars;
        size_t byteOfChar1;  // where character 1 starts
        int charsBeforeByte2;
    };
    const Case cases[] = {
        {"empty", "", 0, 0, 0},
        {"ascii", "abc", 3, 1, 2},
        {"two-byte", kA2 + kKa, 2, 2, 1},
        {"trail byte 0x5C", kSo + "a", 2, 2, 1},
        {"half-width katakana", "\xb1\xb2", 2, 1, 2},
        {"tab", "\ta", 2, 1, 2},
        {"lone lead byte at the end", "a\x82", 2, 1, 2},
        {"mixed", "a" + kA2 + "b", 3, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RowChars(c.row), c.chars);
        EXPECT_EQ(CharToByte(c.row, 1), std::min(c.byteOfChar1, c.row.size()));
        EXPECT_EQ(CharToByte(c.row, 99), c.row.size());
        EXPECT_EQ(CharsBefore(c.row, 2), c.charsBeforeByte2);
        EXPECT_EQ(CharsBefore(c.row, c.row.size()), c.chars);
        // Valid text has as many characters as code points once decoded.
        if (c.row.empty() || static_cast<unsigned char>(c.row.back()) != 0x82) {
            EXPECT_EQ(RowChars(c.row), CodePoints(SjisToUtf8(c.row)));
        }
    }
}

TEST(CharOffsets, NoticesNameTheReplacedRows) {
    struct Case {
        const char* name;
        TEditNotice notice;
        int oldRows, newRows;
        bool changed;
        std::optional<TRowChange> expected;
    };
    TEditNotice typed;
    typed.Touch(3, 3);
    TEditNotice entered;
    entered.Touch(3, 4);
    entered.rowsShifted = true;
    TEditNotice joined;
    joined.Touch(2, 2);
    joined.rowsShifted = true;
    TEditNotice all;
    all.all = true;
    const TEditNotice none;
    const Case cases[] = {
        // One row on either side of the named ones is taken too.
        {"a character typed", typed, 10, 10, true, TRowChange{2, 3, 3}},
        {"a line broken", entered, 10, 11, true, TRowChange{2, 3, 4}},
        {"two lines joined", joined, 10, 9, true, TRowChange{1, 4, 3}},
        {"everything", all, 10, 10, true, std::nullopt},
        {"nothing", none, 10, 10, false, TRowChange{0, 0, 0}},
        {"a change the notice hides", none, 10, 10, true, std::nullopt},
        {"rows gone below the named ones", typed, 10, 6, true, TRowChange{2, 7, 3}},
        {"more rows than the notice names", typed, 10, 14, true, TRowChange{2, 8, 12}},
        {"the last row", typed, 4, 4, true, TRowChange{2, 2, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TRowChange> got = ChangeOfNotice(c.notice, c.oldRows, c.newRows, c.changed);
        ASSERT_EQ(got.has_value(), c.expected.has_value());
        if (!got) continue;
        EXPECT_EQ(got->first, c.expected->first);
        EXPECT_EQ(got->oldRows, c.expected->oldRows);
        EXPECT_EQ(got->newRows, c.expected->newRows);
    }
}

// The session's view that keeps the offsets as the editor's reader does.
class FollowingView : public TEditView {
public:
    explicit FollowingView(TEditSession& session) : session_(session), offsets(session.Store()) {}
    void EditBegin() override {
        inEdit_ = true;
        changed_ = false;
        offsets.BeginEdit(session_);
    }
    void EditEnd(const TEditNotice& notice) override {
        TEditView::EditEnd(notice);
        inEdit_ = false;
        offsets.EndEdit(notice, changed_);
    }
    void RowsChanged() override {
        if (inEdit_)
            changed_ = true;
        else
            offsets.Reset();
    }
    void RowsReset() override { RowsChanged(); }

private:
    TEditSession& session_;
    bool inEdit_ = false;
    bool changed_ = false;

public:
    TCharOffsets offsets;
};

class RandomOffsets : public ::testing::TestWithParam<unsigned> {};

TEST_P(RandomOffsets, KeptCountsEqualAFreshCount) {
    std::mt19937 rng(GetParam());
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    TEditSession session;
    FollowingView view(session);
    session.SetView(&view);
    session.UndoObj().SetCapacity(1 << 16);
    session.Options().wantTabs = true;
    TRowStore& store = session.Store();
    session.Lines().SetText("abc\r\n" + kA2 + kKa + "\r\n\tx\r\n" + kSo + "end");
    session.SetWrapByte(20);
    const std::vector<std::string> pieces = {"a", " ", "\t", kA2, kKa, kSo, "\xb1", "\r\n", "0123456789"};
    for (int step = 0; step < 1500 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const int op = pick(0, 99);
        if (store.TextLength() > 3000 && op < 50) {
            session.SelectAll();
            session.DeleteSelection();
        } else if (op < 30) {
            session.TypeText(pieces[static_cast<size_t>(pick(0, 6))]);
        } else if (op < 38) {
            session.KeyEnter();
        } else if (op < 48) {
            session.KeyBackspace();
        } else if (op < 55) {
            session.KeyDelete();
        } else if (op < 65) {
            session.SetCaret(pick(0, store.RowCount()), pick(0, 30));
            session.StartSelection(false);
            session.SetCaret(pick(0, store.RowCount()), pick(0, 30));
            session.UpdateSelection();
            std::string text;
            for (int i = pick(0, 6); i > 0; --i) text += pieces[static_cast<size_t>(pick(0, 8))];
            session.SetSelText(text);
        } else if (op < 78) {
            session.Undo();
        } else if (op < 86) {
            session.Redo();
        } else if (op < 88) {
            session.SetWordWrap(!store.WordWrap());
        } else if (op < 90) {
            session.Lines().Add(Sjis("追加の行"));
        } else {
            session.SetCaret(pick(0, store.RowCount()), pick(0, 30));
        }
        // The reader asks somewhere in the text, so that the counts are kept from here on.
        int64_t fresh = 0;
        for (int r = 0; r < store.RowCount(); ++r) {
            ASSERT_EQ(view.offsets.RowStart(r), fresh) << "row " << r;
            fresh += RowChars(store.RowView(r)) + (store.RowKind(r) == rkBreak ? 1 : 0);
        }
        ASSERT_EQ(view.offsets.Total(), fresh);
        // Every offset maps to a row and back, the line break to the end of its row.
        const int64_t at = fresh == 0 ? 0 : pick(0, static_cast<int>(fresh));
        const auto [r, c] = view.offsets.Locate(at);
        ASSERT_LE(c, RowChars(store.RowView(r)));
        EXPECT_EQ(view.offsets.RowStart(r) + c, at);
    }
    session.SetView(nullptr);
}

// The keys of everyday typing, anywhere in a long text, count only the rows they touch.
TEST(CharOffsets, TypingAtTheCaretCountsOnlyItsRows) {
    TEditSession session;
    FollowingView view(session);
    session.SetView(&view);
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + kA2 + "\r\n";
    session.Lines().SetText(text);
    for (int row : {0, 1, 100, 198, 199}) {
        SCOPED_TRACE("row " + std::to_string(row));
        session.SetCaret(row, 4);
        ASSERT_GT(view.offsets.Total(), 0);
        const int before = view.offsets.TailRecounts();
        session.TypeText("x");
        session.Undo();
        session.KeyEnter();
        session.KeyBackspace();
        session.KeyDelete();
        session.KeyBackspace();
        EXPECT_EQ(view.offsets.TailRecounts(), before);
        EXPECT_EQ(view.offsets.RowStart(row + 1), view.offsets.RowStart(row) + RowChars(session.Store().RowView(row)) + 1);
    }
    session.SetView(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomOffsets, ::testing::Values(1u, 7u, 31u, 2026u));

}  // namespace
