// Caret moves by key, by word and by mouse, and the selection they extend.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"

#include <algorithm>
#include <cstdlib>

void TEditSession::KeyMove(TEditKey key, bool shift, bool ctrl, bool repeat) {
    keyRepeat_ = repeat;
    // Up at the first row does nothing at all, not even to the selection.
    if (key == ekUp && row_ == 0 && !ctrl) return;
    if (shift) {
        if (!selected_)
            StartSelection(false);
        else
            extending_ = true;
    } else {
        ClearSelection();
    }
    MoveBy(key, ctrl, repeat);
    if (selected_ && extending_) UpdateSelection();
}

void TEditSession::PageMove(int k) {
    const int top = view_->TopRow();
    if (top == 0 && k < 0) {
        SetRow(0);
        return;
    }
    if (store_.RowKind(top) == rkEnd && k > 0) return;
    view_->SetTopRow(std::clamp(top + k, 0, store_.RowCount()));
    SetRow(row_ + view_->TopRow() - top);
}

void TEditSession::MoveBy(TEditKey key, bool ctrl, bool repeat) {
    const int count = store_.RowCount();
    // A view too small for one row still pages by none rather than the wrong way.
    const int rows = std::max(1, view_->VisibleRows());
    switch (key) {
    case ekPageUp:
        PageMove(1 - rows);
        break;
    case ekPageDown:
        PageMove(rows - 1);
        break;
    case ekHome:
        if (ctrl) SetRow(0);
        SetCol(0);
        break;
    case ekEnd:
        if (ctrl) SetRow(count);
        SetCol(row_ < count ? store_.RowWidth(row_) : 0);
        break;
    case ekLeft:
        if (ctrl) {
            WordLeft();
        } else if (col_ > 0) {
            SetCol(col_ - 1);
        } else if (row_ > 0 && (options_.caretNextLine || store_.RowKind(row_ - 1) == rkWrap)) {
            SetRow(row_ - 1);
            SetCol(store_.RowWidth(row_));
        }
        break;
    case ekRight:
        if (ctrl) {
            WordRight();
        } else {
            const int before = col_;
            SetCol(col_ + 1);
            if (col_ == before && row_ < count && store_.RowKind(row_) != rkEnd &&
                (options_.caretNextLine || store_.RowKind(row_) == rkWrap)) {
                SetRow(row_ + 1);
                SetCol(0);
            }
        }
        break;
    case ekUp: {
        const int d = repeat && row_ == view_->TopRow() ? 2 : 1;
        if (ctrl) {
            view_->SetTopRow(std::max(0, view_->TopRow() - d));
            if (row_ > view_->TopRow() + rows - 1) SetRow(row_ - d);
        } else {
            SetRow(row_ - d);
        }
        break;
    }
    case ekDown: {
        const int d = repeat && row_ == view_->TopRow() + rows - 1 ? 2 : 1;
        if (ctrl) {
            view_->SetTopRow(std::min(count, view_->TopRow() + d));
            if (row_ < view_->TopRow()) SetRow(row_ + d);
        } else if (store_.RowKind(row_) != rkEnd) {
            SetRow(row_ + d);
        }
        break;
    }
    }
}

namespace {

// Start of the first word s (1-based) with from < s whose first byte is not a delimiter,
// or 0 for none.
int NextWordStart(const std::string& text, const std::vector<int>& bounds, const TDelimiters& d, int from) {
    for (int s : bounds)
        if (s > from && s <= static_cast<int>(text.size()) && !d[static_cast<unsigned char>(text[s - 1])]) return s;
    return 0;
}

// Start of the last such word with s < to, or 0 for none.
int PrevWordStart(const std::string& text, const std::vector<int>& bounds, const TDelimiters& d, int to) {
    int found = 0;
    for (int s : bounds)
        if (s < to && s <= static_cast<int>(text.size()) && !d[static_cast<unsigned char>(text[s - 1])]) found = s;
    return found;
}

}  // namespace

void TEditSession::WordRight() {
    const int count = store_.RowCount();
    int row = row_;
    int search = col_;
    if (col_ >= store_.RowWidth(row) && row < count) {
        ++row;
        search = -1;
    }
    const std::string text = store_.ExpandedRow(row);
    const int s = NextWordStart(text, WordBounds(text, delimiters_, options_.delimDbcs), delimiters_, search + 1);
    int col;
    if (s > 0) {
        col = s - 1;
    } else if (store_.RowKind(row) == rkWrap && row < count) {
        ++row;
        col = 0;
    } else {
        col = static_cast<int>(text.size());
    }
    if (row == row_ && col == col_) return;
    TCaretBatch batch(*this);
    SetRow(row);
    SetCol(col);
}

void TEditSession::WordLeft() {
    int row = row_;
    int col = col_;
    auto endOfPrevious = [&] {
        --row;
        col = store_.RowWidth(row);
    };
    bool stop = false;
    if (col == 0 && row > 0) {
        endOfPrevious();
        stop = store_.RowKind(row) == rkBreak;
    }
    if (!stop) {
        const std::string text = store_.ExpandedRow(row);
        const int s = PrevWordStart(text, WordBounds(text, delimiters_, options_.delimDbcs), delimiters_, col + 1);
        if (s > 0)
            col = s - 1;
        else if (row == 0)
            col = 0;
        else
            endOfPrevious();
    }
    if (row == row_ && col == col_) return;
    TCaretBatch batch(*this);
    SetRow(row);
    SetCol(col);
}

// --- Mouse ----------------------------------------------------------------------------------

void TEditSession::MousePress(int row, int col, int x, int y) {
    ClearSelection();
    {
        TCaretBatch batch(*this);
        row = ClampRow(row);
        const std::string map = store_.ColumnMap(store_.RowView(row));
        if (col >= 1 && col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == '2') --col;
        SetCaret(row, col);
    }
    pressRow_ = row_;
    pressCol_ = col_;
    pressByte_ = TRowStore::ByteIndex(store_.ColumnMap(store_.RowView(row_)), col_);
    pressX_ = x;
    pressY_ = y;
}

void TEditSession::MouseMove(int row, int col, int x, int y, int threshold) {
    {
        TCaretBatch batch(*this);
        row = ClampRow(row);
        const std::string map = store_.ColumnMap(store_.RowView(row));
        if (col >= 1 && col < static_cast<int>(map.size()) && map[static_cast<size_t>(col)] == '2') --col;
        SetCaret(row, col);
    }
    if (!selected_ && (std::abs(x - pressX_) >= threshold || std::abs(y - pressY_) >= threshold))
        StartSelection(true);
    if (selected_ && extending_) UpdateSelection();
}

void TEditSession::MouseRelease() {
    extending_ = false;
    mouseSelecting_ = false;
}
