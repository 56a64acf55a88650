// Thousands of seeded random edits on a session, as a user types, moves, selects, pastes,
// undoes and redoes, with word wrap on and off and overwrite switching. After every step
// the rows keep their invariants and the step's undo record turns the text back and its
// redo forward again; at the end undoing everything gives the loaded text back byte for
// byte, and redoing everything the final text.
#include "editor/edit_session.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class RandomEdits {
public:
    RandomEdits(unsigned seed, bool wrap) : rng_(seed) {
        session_.UndoObj().SetCapacity(1 << 20);
        TEditOptions& o = session_.Options();
        o.wantTabs = true;
        o.softTab = Pick(0, 1) == 1;
        o.tabIndent = Pick(0, 1) == 1;
        o.prevSpaceIndent = Pick(0, 1) == 1;
        o.caretInTab = Pick(0, 3) == 0;
        o.caretNextLine = Pick(0, 1) == 1;
        o.caretFree = Pick(0, 3) != 0;
        store_.SetDisposeBlank(Pick(0, 1) == 1);
        session_.Lines().SetText(RandomText(60));
        // A last line without a break, as a file may end (an empty one is no row at all).
        const int rows = store_.RowCount();
        if (rows > 0 && !store_.RowView(rows - 1).empty() && Pick(0, 1) == 1) store_.SetRowKind(rows - 1, rkEnd);
        session_.SetWrapByte(Pick(20, 24));
        session_.SetWordWrap(wrap);
        loaded_ = session_.Lines().Text();
    }

    void Run(int steps) {
        for (int step = 0; step < steps && !::testing::Test::HasFatalFailure(); ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            Step();
            CheckInvariants();
        }
        if (::testing::Test::HasFatalFailure()) return;
        // Steps undone on the way and not redone yet count as done.
        while (session_.CanRedo()) session_.Redo();
        const std::string final = session_.Lines().Text();
        // Every state passed on the way back is met again on the way forward.
        std::vector<std::string> states{final};
        while (session_.CanUndo()) {
            session_.Undo();
            states.push_back(session_.Lines().Text());
        }
        ASSERT_EQ(session_.Lines().Text(), loaded_) << "undoing everything";
        CheckInvariants();
        states.pop_back();
        while (session_.CanRedo() && !states.empty()) {
            const UndoRecord r = session_.UndoObj().RedoList().back();
            session_.Redo();
            ASSERT_EQ(session_.Lines().Text(), states.back())
                << "redo of row " << r.row << " delete " << r.rowsToDelete << " kind " << r.kind << " text " << r.text;
            states.pop_back();
        }
        ASSERT_EQ(session_.Lines().Text(), final) << "redoing everything";
        CheckInvariants();
    }

private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }

    std::string RandomText(int maxPieces) {
        static const std::vector<std::string> pieces = {"a", "b", "z", " ", "  ", "\t", kA2, kKa, kSo, "\x81\x40",
                                                        "\xb1", "\r\n", "\n", "0123456789"};
        std::string s;
        const int n = Pick(0, maxPieces);
        for (int i = 0; i < n; ++i) s += pieces[static_cast<size_t>(Pick(0, static_cast<int>(pieces.size()) - 1))];
        return s;
    }

    void MoveSomewhere() {
        const int rows = store_.RowCount();
        session_.SetCaret(Pick(0, rows), Pick(0, 30));
    }

    void Step() {
        const std::string before = session_.Lines().Text();
        const std::vector<std::string> rowsBefore = Rows(store_);
        const size_t undoBefore = session_.UndoObj().UndoList().size();
        bool undoable = true;
        const bool big = store_.TextLength() > 2500;
        int op = Pick(0, 99);
        if (big && op < 40) op = 62;  // keep the text small enough to check whole
        if (op < 24) {
            static const std::vector<std::string> typed = {"x", "y", " ", "\xb6", kA2, kKa, kSo, "\x81\x40"};
            session_.TypeText(typed[static_cast<size_t>(Pick(0, static_cast<int>(typed.size()) - 1))]);
        } else if (op < 32) {
            session_.KeyEnter();
        } else if (op < 42) {
            session_.KeyBackspace();
        } else if (op < 50) {
            session_.KeyDelete();
        } else if (op < 53) {
            session_.KeyTab();
        } else if (op < 60) {
            undoable = false;
            static const TEditKey keys[] = {ekPageUp, ekPageDown, ekHome, ekEnd, ekLeft, ekRight, ekUp, ekDown};
            for (int i = Pick(1, 4); i > 0; --i) session_.KeyMove(keys[Pick(0, 7)], Pick(0, 2) == 0, Pick(0, 3) == 0, false);
            if (Pick(0, 3) == 0) MoveSomewhere();
        } else if (op < 66) {
            MoveSomewhere();
            session_.StartSelection(false);
            MoveSomewhere();
            session_.UpdateSelection();
            session_.DeleteSelection();
        } else if (op < 71) {
            if (Pick(0, 1) == 1) {
                MoveSomewhere();
                session_.StartSelection(false);
                MoveSomewhere();
                session_.UpdateSelection();
            }
            session_.SetSelText(RandomText(8));
        } else if (op < 74) {
            // An input-method result: several double-byte characters as one unit.
            session_.TypeText(kA2 + kKa + kA2);
        } else if (op < 84) {
            undoable = false;
            session_.Undo();
        } else if (op < 90) {
            undoable = false;
            session_.Redo();
        } else if (op < 93) {
            undoable = false;
            session_.Options().overWrite = !session_.Options().overWrite;
        } else if (op < 96) {
            undoable = false;
            session_.SelectAll();
            if (Pick(0, 1) == 1) session_.DeleteSelection();
            undoable = false;
        } else {
            undoable = false;
            MoveSomewhere();
        }
        if (!undoable || session_.UndoObj().UndoList().size() == undoBefore) return;
        // The step's last record undoes it (a deleted selection is a record of its own).
        const std::string after = session_.Lines().Text();
        const std::vector<std::string> rowsAfter = Rows(store_);
        const size_t records = session_.UndoObj().UndoList().size() - undoBefore;
        for (size_t i = 0; i < records; ++i) session_.Undo();
        ASSERT_EQ(session_.Lines().Text(), before) << "undo";
        ASSERT_EQ(Rows(store_), rowsBefore) << "undo";
        for (size_t i = 0; i < records; ++i) session_.Redo();
        ASSERT_EQ(session_.Lines().Text(), after) << "redo";
        ASSERT_EQ(Rows(store_), rowsAfter) << "redo";
    }

    void CheckInvariants() {
        const int rows = store_.RowCount();
        for (int r = 0; r < rows; ++r) {
            ASSERT_EQ(store_.RowView(r).find_first_of("\r\n"), std::string_view::npos) << r;
            const int kind = store_.RowKind(r);
            if (kind == rkEnd) {
                ASSERT_EQ(r, rows - 1) << "rkEnd before the last row";
            }
            if (kind == rkWrap) {
                ASSERT_TRUE(store_.WordWrap()) << "cut row with word wrap off";
            }
        }
        // An unbroken last line that is empty is no row.
        if (rows > 0 && store_.RowKind(rows - 1) == rkEnd && store_.RowView(rows - 1).empty()) {
            ASSERT_TRUE(rows > 1 && store_.RowKind(rows - 2) == rkWrap) << "empty unbroken last row";
        }
        if (store_.WordWrap()) {
            for (int i = 0; i < session_.Lines().Count(); ++i) {
                const int r = store_.LineToRow(i);
                const TRowBlock cut = store_.SplitIntoRows(session_.Lines().Strings(i));
                for (size_t k = 0; k < cut.size(); ++k)
                    ASSERT_EQ(store_.RowText(r + static_cast<int>(k)), cut[k].text) << "line " << i << " row " << k;
            }
        }
        ASSERT_GE(session_.Row(), 0);
        ASSERT_LE(session_.Row(), rows);
        if (rows > 0 && store_.RowKind(rows - 1) != rkBreak) {
            ASSERT_LT(session_.Row(), rows);
        }
        ASSERT_GE(session_.Col(), 0);
        // The caret never stands on the second half of a double-byte character.
        const std::string map = store_.ColumnMap(store_.RowView(session_.Row()));
        if (session_.Col() < static_cast<int>(map.size())) {
            ASSERT_NE(map[static_cast<size_t>(session_.Col())], '2');
        }
    }

    std::mt19937 rng_;
    TEditSession session_;
    TRowStore& store_ = session_.Store();
    std::string loaded_;
};

}  // namespace

TEST(EditSessionRandom, EditsKeepRowsWholeAndUndoRedoExact) {
    for (bool wrap : {false, true}) {
        for (unsigned seed : {7u, 8u, 9u, 10u, 2026u}) {
            SCOPED_TRACE(std::string(wrap ? "wrap" : "no wrap") + ", seed " + std::to_string(seed));
            RandomEdits(seed, wrap).Run(2500);
            if (HasFatalFailure()) return;
        }
    }
}
