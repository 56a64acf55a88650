// Where the caret may stand: within the rows, off the second half of a double-byte
// character, out of a tab's columns when it moved sideways, inside the wrap width.
#include "editor/edit_session.h"

#include <algorithm>

int TEditSession::ClampRow(int row) const {
    const int count = store_.RowCount();
    row = std::clamp(row, 0, count);
    // Past an unbroken last row there is no end-of-file row to stand on.
    if (row == count && count > 0 && store_.RowKind(count - 1) != rkBreak) row = count - 1;
    return row;
}

int TEditSession::MaxCol() const { return view_->MaxTopCol() + view_->VisibleCols(); }

void TEditSession::SetRow(int row) {
    if (row == row_) return;
    row_ = ClampRow(row);
    ApplyColumnRule(true, -1);
}

void TEditSession::SetCol(int col) {
    col = std::clamp(col, 0, MaxCol());
    const int direction = col > col_ ? 1 : -1;
    col_ = col;
    ApplyColumnRule(false, direction);
}

void TEditSession::SetCaret(int row, int col, int direction) {
    row_ = ClampRow(row);
    col_ = std::clamp(col, 0, MaxCol());
    ApplyColumnRule(false, direction);
}

void TEditSession::ApplyColumnRule(bool vertical, int direction) {
    const std::string m = store_.ColumnMap(store_.RowView(row_));
    const int n = static_cast<int>(m.size());
    auto at = [&m, n](int c) { return c >= 0 && c < n ? m[static_cast<size_t>(c)] : '\0'; };
    int col = col_;
    if (!vertical) verticalKeep_ = false;
    if (!options_.caretFree && col > n) col = n;
    if (col >= 1 && col < n && at(col) == '2') {
        if (verticalKeep_) {
            ++col;
            verticalKeep_ = false;
        } else {
            col += direction;
            if (vertical) verticalKeep_ = true;
        }
    } else if (verticalKeep_) {
        if (col >= n) {
            // Without CaretFree the column already stands at the row's end.
            if (options_.caretFree) ++col;
            verticalKeep_ = false;
        } else if (col >= 1 && at(col) == '0') {
            ++col;
            verticalKeep_ = false;
        }
    }
    if (!vertical && !options_.caretInTab)
        while (col >= 0 && col < n && at(col) == 't') col += direction;
    if (store_.WordWrap()) {
        col = std::min(col, store_.WrapByte() - 1);
        if (store_.RowKind(row_) == rkWrap && col == n) col = n - 1;
        if (at(col) == '2') --col;
        if (!vertical && !options_.caretInTab)
            while (at(col) == 't') --col;
    }
    col_ = std::max(0, col);
    CaretMoved();
}

void TEditSession::CaretMoved() {
    if (transactions_ > 0 || batch_ > 0) {
        caretPending_ = true;
        return;
    }
    caretPending_ = false;
    view_->CaretPlaced(row_, col_);
}

void TEditSession::EndBatch() {
    if (batch_ == 0 || --batch_ > 0) return;
    if (caretPending_ && transactions_ == 0) {
        caretPending_ = false;
        view_->CaretPlaced(row_, col_);
    }
}
