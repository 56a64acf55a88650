#include "editor/edit_session.h"

#include "editor/edit_transaction.h"

#include <algorithm>

TEditSession::TEditSession() : lines_(*this) { store_.SetView(this); }

TEditSession::~TEditSession() { store_.SetView(nullptr); }

void TEditSession::SetView(TEditView* view) { view_ = view ? view : &headless_; }

void TEditSession::SetWordWrap(bool on) {
    if (on == store_.WordWrap()) return;
    store_.SetWordWrap(on);
    undo_.ClearUndo();
    // Re-cutting the rows takes the caret off the end-of-file row onto the last row.
    SetCaret(std::min(row_, std::max(0, store_.RowCount() - 1)), 0);
}

void TEditSession::SetWrapByte(int columns) {
    const int before = store_.WrapByte();
    store_.SetWrapByte(columns);
    if (store_.WrapByte() == before) return;
    undo_.ClearUndo();
    if (store_.WordWrap()) SetCaret(std::min(row_, std::max(0, store_.RowCount() - 1)), 0);
}

void TEditSession::Clear() { lines_.Clear(); }

// --- What the row store reports ----------------------------------------------------------

void TEditSession::RepaintRows(int a, int b) {
    if (transactions_ > 0)
        notice_.Touch(a, b);
    else
        view_->RepaintRows(a, b);
}

void TEditSession::ShiftRows(int row, int count) {
    if (transactions_ == 0) {
        view_->ShiftRows(row, count);
        return;
    }
    notice_.Touch(row, row);
    notice_.rowsShifted = true;
}

void TEditSession::RowsReset() {
    KeepCaretOnRows();
    if (transactions_ > 0)
        notice_.all = true;
    else
        view_->RowsReset();
}

void TEditSession::RepaintAll() {
    if (transactions_ > 0)
        notice_.all = true;
    else
        view_->RepaintAll();
}

void TEditSession::RowsChanged() {
    // A selection of a text that is gone would name rows that are no longer there.
    if (store_.RowCount() == 0) ClearSelection();
    KeepCaretOnRows();
    view_->RowsChanged();
}

void TEditSession::LinesUpdateBegin() { view_->LinesUpdateBegin(); }

void TEditSession::LinesUpdateEnd() { view_->LinesUpdateEnd(); }

void TEditSession::KeepCaretOnRows() {
    const int row = ClampRow(row_);
    if (row == row_) return;
    row_ = row;
    CaretMoved();
}
