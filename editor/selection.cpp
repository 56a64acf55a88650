// The selection: its anchor, the bytes it covers, the cells drawn selected, and the ways
// to set it by character counts.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"

#include <algorithm>

void TEditSession::SetDrawnRange(const TSelectionRange& range) {
    const TSelectionRange before = drawn_;
    const bool wasSelected = selected_;
    drawn_ = range;
    selected_ = true;
    view_->SelectionChanged(before, wasSelected);
}

void TEditSession::StartSelection(bool mouse) {
    ClearSelection();
    if (store_.RowCount() == 0) return;
    if (mouse) {
        anchorRow_ = pressRow_;
        anchorByte_ = pressByte_;
        anchorCol_ = std::min(pressCol_, store_.RowWidth(pressRow_));
        mouseSelecting_ = true;
    } else {
        anchorRow_ = row_;
        anchorByte_ = TRowStore::ByteIndex(store_.ColumnMap(store_.RowView(row_)), col_);
        anchorCol_ = std::min(col_, store_.RowWidth(row_));
    }
    text_ = TTextRange{anchorRow_, anchorRow_, anchorByte_, anchorByte_ - 1};
    extending_ = true;
    SetDrawnRange(TSelectionRange{anchorRow_, anchorRow_, anchorCol_, anchorCol_});
}

void TEditSession::UpdateSelection() {
    const int a = TRowStore::ByteIndex(store_.ColumnMap(store_.RowView(row_)), col_);
    const int col = std::min(col_, store_.RowWidth(row_));
    TTextRange t;
    TSelectionRange d;
    const bool anchorFirst = anchorRow_ < row_ || (anchorRow_ == row_ && anchorByte_ <= a);
    if (anchorFirst) {
        t = {anchorRow_, row_, anchorByte_, a - 1};
        d = {anchorRow_, row_, anchorCol_, col};
    } else {
        t = {row_, anchorRow_, a, anchorByte_ - 1};
        d = {row_, anchorRow_, col, anchorCol_};
    }
    text_ = t;
    SetDrawnRange(d);
}

void TEditSession::ClearSelection() {
    extending_ = false;
    mouseSelecting_ = false;
    if (!selected_) return;
    const TSelectionRange before = drawn_;
    selected_ = false;
    view_->SelectionChanged(before, true);
}

std::string TEditSession::SelText() const {
    if (!selected_) return {};
    std::string out;
    const int count = store_.RowCount();
    for (int r = text_.startRow; r <= text_.endRow && r < count; ++r) {
        const std::string_view row = store_.RowView(r);
        const int len = static_cast<int>(row.size());
        const int from = r == text_.startRow ? std::clamp(text_.startByte, 0, len) : 0;
        const int to = r == text_.endRow ? std::clamp(text_.endByte + 1, 0, len) : len;
        if (to > from) out.append(row.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
        if (r < text_.endRow && store_.RowKind(r) == rkBreak) out += "\r\n";
    }
    return out;
}

namespace {

// How many characters a row stands for when counting positions in the text.
int64_t RowCharCount(const TRowStore& store, int r) {
    const int64_t len = static_cast<int64_t>(store.RowView(r).size());
    switch (store.RowKind(r)) {
    case rkBreak: return len + 2;
    case rkWrap: return len;
    default: return len + 1;
    }
}

// Width of the first `bytes` bytes of row r, at most the row's width.
int WidthOfBytes(const TRowStore& store, int r, int64_t bytes) {
    const std::string_view row = store.RowView(r);
    const size_t n = static_cast<size_t>(std::clamp<int64_t>(bytes, 0, static_cast<int64_t>(row.size())));
    return std::min(ExpandedWidth(row.substr(0, n), store.TabSpaceCount()), store.RowWidth(r));
}

}  // namespace

int64_t TEditSession::SelStart() const {
    int row = row_;
    int byte = TRowStore::ByteIndex(store_.ColumnMap(store_.RowView(row_)), col_);
    if (selected_) {
        row = text_.startRow;
        byte = text_.startByte;
    }
    int64_t k = 0;
    for (int r = 0; r < row && r < store_.RowCount(); ++r) k += RowCharCount(store_, r);
    return k + std::min<int64_t>(byte, static_cast<int64_t>(store_.RowView(row).size()));
}

int64_t TEditSession::SelLength() const {
    if (!selected_) return 0;
    return static_cast<int64_t>(SelText().size());
}

void TEditSession::SetSelStart(int64_t k) {
    ClearSelection();
    if (k <= 0) {
        SetCaret(0, 0);
        return;
    }
    const int count = store_.RowCount();
    if (count == 0) return;
    int r = 0;
    for (; r < count; ++r) {
        const int64_t n = RowCharCount(store_, r);
        if (k < n || store_.RowKind(r) == rkEnd) break;
        k -= n;
    }
    if (r >= count)
        SetCaret(count, 0);
    else
        SetCaret(r, WidthOfBytes(store_, r, k));
}

void TEditSession::SetSelLength(int64_t k) {
    const int count = store_.RowCount();
    if (count == 0) return;
    if (k <= 0) {
        ClearSelection();
        return;
    }
    {
        TCaretBatch batch(*this);
        if (selected_) {
            // Counting starts at the selection's start, whichever end the caret is.
            const TSelectionRange d = drawn_;
            const TTextRange t = text_;
            ClearSelection();
            row_ = ClampRow(t.startRow);
            col_ = d.startCol;
        }
        if (!selected_) StartSelection(false);
        int r = row_;
        int64_t c = std::min<int64_t>(TRowStore::ByteIndex(store_.ColumnMap(store_.RowView(r)), col_),
                                      static_cast<int64_t>(store_.RowView(r).size()));
        for (; r < count; ++r) {
            const int64_t n = RowCharCount(store_, r);
            if (k < n - c || store_.RowKind(r) == rkEnd) break;
            k -= n - c;
            c = 0;
        }
        // The caret goes where the count ends; the column rule is not asked, as the count
        // names a byte, not a column.
        if (r >= count) {
            row_ = ClampRow(count);
            col_ = row_ < count ? store_.RowWidth(row_) : 0;
        } else {
            row_ = r;
            col_ = WidthOfBytes(store_, r, c + k);
        }
        CaretMoved();
    }
    UpdateSelection();
}

void TEditSession::SelectAll() {
    TCaretBatch batch(*this);
    SetSelStart(0);
    SetSelLength(store_.TextLength());
}
