// Replacing a run of rows by new text: the one way the editing commands change rows, so
// that each records exactly the rows it replaced.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"

#include <algorithm>

int TEditSession::LineEnd(int r) const {
    const int count = store_.RowCount();
    while (r >= 0 && r < count - 1 && store_.RowKind(r) == rkWrap) ++r;
    return r;
}

int TEditSession::LineStart(int r) const {
    while (r > 0 && store_.RowKind(r - 1) == rkWrap) --r;
    return r;
}

std::string TEditSession::JoinRows(int first, int last) const {
    std::string text;
    for (int r = first; r <= last; ++r) text.append(store_.RowView(r));
    return text;
}

int TEditSession::ReplaceRows(TEditTransaction& tx, int first, int last, std::string_view text, int lastKind) {
    const int oldCount = last >= first ? last - first + 1 : 0;
    // A cut last row of the whole text reads as its end.
    if (lastKind == rkWrap && last >= store_.RowCount() - 1) lastKind = rkEnd;
    if (tx.HasRecord()) {
        UndoRecord& record = tx.Record();
        record.row = first;
        if (oldCount > 0) {
            TRowRun old = store_.ExtractRows(first, oldCount);
            record.text = std::move(old.text);
            record.kind = old.lastKind;
        }
    }
    // Every line of the text becomes rows, the empty one after a final line break too.
    std::string lines;
    lines.reserve(text.size() + 2);
    lines.append(text);
    lines.append("\r\n");
    TRowBlock block = store_.SplitIntoRows(lines);
    block.back().kind = lastKind;
    // An unbroken last line that is empty is no row at all: the caret stands on the
    // end-of-file row instead. Not so for the empty row after a full cut row.
    const bool startsLine = block.size() > 1 ? block[block.size() - 2].kind != rkWrap
                                              : first == 0 || store_.RowKind(first - 1) != rkWrap;
    if (lastKind == rkEnd && block.back().text.empty() && startsLine) block.pop_back();
    const int newCount = static_cast<int>(block.size());
    if (tx.HasRecord()) tx.Record().rowsToDelete = newCount;

    if (oldCount > 0) store_.DeleteRows(first, oldCount);
    if (newCount > 0) store_.InsertRows(first, block);
    if (newCount != oldCount)
        tx.Shifted(first);
    // The row above and the one after may show the end-of-file mark or the break arrow
    // differently now.
    tx.Touch(std::max(0, first - 1), first + newCount);
    return newCount;
}

int TEditSession::ReplaceLineAt(TEditTransaction& tx, int r, std::string_view rowText, size_t* headBytes) {
    const int count = store_.RowCount();
    if (r >= count) {
        *headBytes = 0;
        ReplaceRows(tx, count, count - 1, rowText, rkEnd);
        return count;
    }
    const int first = RunStart(r);
    const int last = LineEnd(r);
    std::string text = JoinRows(first, r - 1);
    *headBytes = text.size();
    text.append(rowText);
    text.append(JoinRows(r + 1, last));
    ReplaceRows(tx, first, last, text, store_.RowKind(last));
    return first;
}

void TEditSession::SetCaretAtOffset(int first, size_t offset, int direction) {
    const int count = store_.RowCount();
    int r = first;
    for (; r < count; ++r) {
        const size_t len = store_.RowView(r).size();
        const int kind = store_.RowKind(r);
        if (offset < len || (offset == len && kind != rkWrap)) break;
        // The CR LF after a broken row counts, as in the run's text.
        const size_t after = len + (kind == rkBreak ? 2 : 0);
        if (offset < after) {
            offset = len;
            break;
        }
        offset -= after;
    }
    const std::string_view row = store_.RowView(r);
    const std::string_view head = row.substr(0, std::min(offset, row.size()));
    // Past a row's end (padding that was trimmed again) the columns go on one per byte.
    const int col = ExpandedWidth(head, store_.TabSpaceCount()) + static_cast<int>(offset - head.size());
    SetCaret(r, col, direction);
}
