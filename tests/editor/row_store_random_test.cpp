// Thousands of seeded random Lines operations, with word wrap switching on and off,
// checked against a plain list of lines and against the row store's own invariants; each
// edit's undo record is applied and reverted on the rows to prove that it restores them.
#include "editor/edit_session.h"
#include "editor/line_split.h"
#include "editor_test_support.h"
#include "tools/diary_text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// What the text should be: its lines, and whether the last one ends with a break.
struct TReference {
    std::vector<std::string> lines;
    bool endsWithBreak = true;

    std::string Text() const {
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) {
            text += lines[i];
            if (i + 1 < lines.size() || endsWithBreak) text += "\r\n";
        }
        return text;
    }
};

class RandomLines {
public:
    explicit RandomLines(unsigned seed) : rng_(seed) {}
    // Starting from a diary of `lines` lines, which spans several of the row list's chunks,
    // and kept at about that size.
    RandomLines(unsigned seed, int lines) : rng_(seed), maxLines_(lines + 40), bigText_(DiaryText(50 * lines, lines)) {
        SetText(bigText_);
    }

    void Run(int steps) {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            Step();
            CheckInvariants();
        }
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string RandomText(int maxPieces) {
        static const std::vector<std::string> pieces = {
            "a", "b", "z", " ", "  ", "\t", kA2, kKa, kSo, "\xb1", "\r\n", "\n", "\r", "0123456789"};
        std::string s;
        int n = Pick(0, maxPieces);
        for (int i = 0; i < n; ++i) {
            const std::string& p = pieces[Pick(0, static_cast<int>(pieces.size()) - 1)];
            // Line breaks are rarer than text, so lines grow long enough to wrap.
            if ((p[0] == '\r' || p[0] == '\n') && Pick(0, 3) != 0) continue;
            s += p;
        }
        return s;
    }

    std::vector<std::string> LinesOf(const std::string& s) const {
        std::vector<std::string> out;
        ForEachTextLine(s, [&](std::string_view line) { out.emplace_back(store_.TrimBlanks(line)); });
        if (out.empty()) out.emplace_back();
        return out;
    }

    void Step() {
        const std::string textBefore = lines_.Text();
        const std::vector<std::string> rowsBefore = Rows(store_);
        const int count = lines_.Count();
        bool recorded = true;
        int op = Pick(0, 99);
        if (count > maxLines_ && op < 40) op = 70;  // keep the text small enough to check whole
        if (op < 22) {
            std::string s = RandomText(12);
            std::vector<std::string> add = LinesOf(s);
            if (ref_.lines.empty()) ref_.endsWithBreak = true;
            ASSERT_EQ(lines_.Add(s), count);
            ref_.lines.insert(ref_.lines.end(), add.begin(), add.end());
        } else if (op < 40) {
            int i = Pick(0, count);
            std::string s = RandomText(12);
            std::vector<std::string> add = LinesOf(s);
            if (i == count && ref_.lines.empty()) ref_.endsWithBreak = true;
            lines_.Insert(i, s);
            ref_.lines.insert(ref_.lines.begin() + i, add.begin(), add.end());
        } else if (op < 58 && count > 0) {
            int i = Pick(0, count - 1);
            std::string s = RandomText(16);
            std::vector<std::string> put = LinesOf(s);
            lines_.SetStrings(i, s);
            ref_.lines.erase(ref_.lines.begin() + i);
            ref_.lines.insert(ref_.lines.begin() + i, put.begin(), put.end());
        } else if (op < 80 && count > 0) {
            int i = Pick(0, count - 1);
            lines_.Delete(i);
            ref_.lines.erase(ref_.lines.begin() + i);
            if (i == count - 1) ref_.endsWithBreak = true;
        } else if (op < 84 && store_.RowCount() > 0) {
            EditRow();
            recorded = false;
        } else if (op < 86) {
            session_.SetWordWrap(!store_.WordWrap());
            recorded = false;
        } else if (op < 88) {
            session_.SetWrapByte(Pick(18, 40));
            recorded = false;
        } else if (op < 90) {
            // Tab width changes do not rewrap, so only while rows are whole lines.
            if (!store_.WordWrap()) store_.SetTabSpaceCount(Pick(1, 9));
            recorded = false;
        } else if (op < 93) {
            store_.SetDisposeBlank(Pick(0, 1) == 1);
            recorded = false;
        } else if (op < 96) {
            // A text that ends without a line break, as a file can.
            SetText(bigText_.empty() ? RandomText(40) : bigText_);
            if (store_.RowCount() > 0 && Pick(0, 1) == 1) {
                store_.SetRowKind(store_.RowCount() - 1, rkEnd);
                ref_.endsWithBreak = false;
            }
            recorded = false;
        } else {
            recorded = false;
            if (store_.WordWrap()) {
                std::vector<std::string> rows = Rows(store_);
                store_.RewrapAll();
                ASSERT_EQ(Rows(store_), rows) << "rewrapping a wrapped text changed it";
            }
        }
        if (recorded) CheckUndoRecord(textBefore, rowsBefore);
    }

    // Typing and deleting inside a row, as the editing keys do: the row changes, then its
    // logical line is cut again from its first row.
    void EditRow() {
        const int r = Pick(0, store_.RowCount() - 1);
        int first = r;
        while (first > 0 && store_.RowKind(first - 1) == rkWrap) --first;
        size_t line = 0;
        for (int i = 0; i < first; ++i)
            if (store_.RowKind(i) != rkWrap) ++line;
        size_t offset = 0;
        for (int i = first; i < r; ++i) offset += store_.RowView(i).size();

        std::string text = store_.RowText(r);
        size_t at = static_cast<size_t>(Pick(0, static_cast<int>(text.size())));
        if (Pick(0, 2) != 0) {
            std::string piece;
            for (char c : RandomText(6))
                if (c != '\r' && c != '\n') piece += c;
            text.insert(at, piece);
            ref_.lines[line].insert(offset + at, piece);
        } else {
            size_t n = std::min(text.size() - at, static_cast<size_t>(Pick(0, 8)));
            text.erase(at, n);
            ref_.lines[line].erase(offset + at, n);
        }
        store_.SetRowText(r, text);
        int rows = store_.RewrapLine(first, 0);
        ASSERT_GE(rows, 1);
    }

    // The record of the last edit turns the rows back, and its inverse forward again.
    void CheckUndoRecord(const std::string& textBefore, const std::vector<std::string>& rowsBefore) {
        ASSERT_TRUE(session_.UndoObj().CanUndo());
        const std::vector<std::string> rowsAfter = Rows(store_);
        const UndoRecord r = session_.UndoObj().UndoList().back();
        int inserted = 0;
        TRowRun removed = store_.ReplaceRun(r.row, r.rowsToDelete, r.kind, r.text, &inserted);
        ASSERT_EQ(lines_.Text(), textBefore);
        ASSERT_EQ(Rows(store_), rowsBefore);
        store_.ReplaceRun(r.row, inserted, removed.lastKind, removed.text, nullptr);
        ASSERT_EQ(Rows(store_), rowsAfter);
    }

    void CheckInvariants() {
        const int rows = store_.RowCount();
        for (int r = 0; r < rows; ++r) {
            std::string_view text = store_.RowView(r);
            ASSERT_EQ(text.find_first_of("\r\n"), std::string_view::npos) << r;
            int kind = store_.RowKind(r);
            if (kind == rkEnd) {
        ASSERT_EQ(r, rows - 1) << "rkEnd before the last row";
    }
            if (kind == rkWrap) {
        ASSERT_TRUE(store_.WordWrap()) << "cut row with word wrap off";
    }
        }
        ASSERT_EQ(lines_.Count(), static_cast<int>(ref_.lines.size()));
        const std::string text = ref_.Text();
        ASSERT_EQ(lines_.Text(), text);
        ASSERT_EQ(store_.TextLength(), static_cast<int64_t>(text.size()));
        for (int i = 0; i < lines_.Count(); ++i) ASSERT_EQ(lines_.Strings(i), ref_.lines[i]) << "line " << i;

        // Wrapped rows are exactly the cuts of their lines.
        if (store_.WordWrap()) {
            for (int i = 0; i < lines_.Count(); ++i) {
                int r = store_.LineToRow(i);
                TRowBlock cut = store_.SplitIntoRows(ref_.lines[i]);
                for (size_t k = 0; k < cut.size(); ++k) {
                    ASSERT_EQ(store_.RowText(r + static_cast<int>(k)), cut[k].text) << "line " << i << " row " << k;
                    if (k + 1 < cut.size()) {
        ASSERT_EQ(store_.RowKind(r + static_cast<int>(k)), rkWrap);
    }
                }
            }
        }
        ASSERT_LE(session_.Row(), rows);
        if (rows > 0 && store_.RowKind(rows - 1) == rkEnd) {
        ASSERT_LT(session_.Row(), rows);
    }
    }

    void SetText(const std::string& s) {
        lines_.SetText(s);
        ref_.lines.clear();
        ForEachTextLine(s, [&](std::string_view line) { ref_.lines.emplace_back(line); });
        ref_.endsWithBreak = true;
    }

    std::mt19937 rng_;
    int maxLines_ = 40;
    std::string bigText_;
    TEditSession session_;
    TRowStore& store_ = session_.Store();
    TEditorStrings& lines_ = session_.Lines();
    TReference ref_;
};

}  // namespace

TEST(RowStoreRandom, LinesOperationsKeepTextRowsAndUndoRecordsConsistent) {
    for (unsigned seed : {1u, 2u, 3u, 20240101u}) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomLines(seed).Run(3000);
        if (HasFatalFailure()) return;
    }
}

TEST(RowStoreRandom, EditsAcrossTheChunksOfALargerText) {
    // Past 1,024 rows the text takes a second chunk; edits then meet the seam between them.
    RandomLines(4, 1100).Run(300);
}
