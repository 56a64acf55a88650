// The bookkeeping of undo steps: bounded undo list, redo list emptied by new edits.
#include "editor/undo_list.h"

#include <gtest/gtest.h>

TEST(UndoList, KeepsTheNewestStepsUpToItsCapacity) {
    TEditorUndoObj undo;
    for (int i = 0; i < 70; ++i) undo.NewUndoRecord(i, 0).row = i;
    ASSERT_EQ(undo.UndoList().size(), 64u);
    EXPECT_EQ(undo.UndoList().front().row, 6);
    EXPECT_EQ(undo.UndoList().back().row, 69);
    EXPECT_EQ(undo.UndoList().back().caretRow, 69);
    EXPECT_EQ(undo.UndoList().back().kind, -1);
    EXPECT_EQ(undo.UndoList().back().rowsToDelete, 0);
}

TEST(UndoList, CapacityBelow64IsRaisedAndALowerOneShortensOnlyAsStepsArrive) {
    TEditorUndoObj undo;
    undo.SetCapacity(10);
    EXPECT_EQ(undo.Capacity(), 64);
    undo.SetCapacity(100);
    for (int i = 0; i < 80; ++i) undo.NewUndoRecord(0, 0);
    undo.SetCapacity(64);
    EXPECT_EQ(undo.UndoList().size(), 80u);
    undo.NewUndoRecord(0, 0);
    EXPECT_EQ(undo.UndoList().size(), 80u);
}

TEST(UndoList, ANewStepEmptiesTheRedoListExceptWhileRedoing) {
    TEditorUndoObj undo;
    UndoRecord r;
    r.row = 3;
    r.rowsToDelete = 2;
    r.kind = 2;
    r.text = "abc";
    undo.PushRedo(r, 7, 8);
    ASSERT_TRUE(undo.CanRedo());
    EXPECT_EQ(undo.RedoList().back().text, "abc");
    EXPECT_EQ(undo.RedoList().back().caretRow, 7);
    EXPECT_EQ(undo.RedoList().back().caretCol, 8);

    undo.SetInRedo(true);
    undo.NewUndoRecord(0, 0);
    EXPECT_TRUE(undo.CanRedo());
    undo.SetInRedo(false);
    undo.NewUndoRecord(0, 0);
    EXPECT_FALSE(undo.CanRedo());

    undo.PushRedo(r, 0, 0);
    undo.ClearUndo();
    EXPECT_FALSE(undo.CanUndo());
    EXPECT_FALSE(undo.CanRedo());
}
