// Undo and Redo: a record's run of rows swapped back in, and its inverse kept on the other
// list, so that each step can go back and forth any number of times.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"

#include <algorithm>

namespace {

// Applies `r` to the rows and names the rows it changed; returns the rows it replaced.
TRowRun Apply(TRowStore& store, TEditTransaction& tx, int visibleRows, const UndoRecord& r, int* inserted) {
    TRowRun removed = store.ReplaceRun(r.row, r.rowsToDelete, r.kind, r.text, inserted);
    if (std::max(removed.rowCount, *inserted) > visibleRows)
        tx.TouchAll();
    else if (removed.rowCount != *inserted)
        tx.Shifted(r.row);
    else if (r.row >= 0)
        tx.Touch(r.row, r.row + *inserted);
    if (r.row > 0) tx.Touch(r.row - 1, r.row - 1);
    return removed;
}

}  // namespace

void TEditSession::Undo() {
    if (!undo_.CanUndo()) return;
    // The selection names rows the step is about to replace.
    ClearSelection();
    TEditTransaction tx(*this, TEditTransaction::NotRecorded);
    UndoRecord r = undo_.UndoList().back();
    int inserted = 0;
    TRowRun removed = Apply(store_, tx, view_->VisibleRows(), r, &inserted);
    r.rowsToDelete = inserted;
    r.kind = removed.lastKind;
    r.text = std::move(removed.text);
    undo_.PushRedo(r, row_, col_);
    undo_.UndoList().pop_back();
    SetCaret(r.caretRow, r.caretCol);
}

void TEditSession::Redo() {
    if (!undo_.CanRedo()) return;
    ClearSelection();
    TEditTransaction tx(*this, TEditTransaction::NotRecorded);
    const UndoRecord r = undo_.RedoList().back();
    int inserted = 0;
    TRowRun removed = Apply(store_, tx, view_->VisibleRows(), r, &inserted);
    // The inverse goes on the undo list without emptying the redo steps still ahead.
    undo_.SetInRedo(true);
    try {
        UndoRecord& u = undo_.NewUndoRecord(row_, col_);
        u.row = r.row;
        u.rowsToDelete = inserted;
        u.kind = removed.lastKind;
        u.text = std::move(removed.text);
    } catch (...) {
        undo_.SetInRedo(false);
        throw;
    }
    undo_.SetInRedo(false);
    undo_.RedoList().pop_back();
    SetCaret(r.caretRow, r.caretCol);
}
