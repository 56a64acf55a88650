#include "editor/row_store.h"

#include "editor/byte_arena.h"
#include "editor/line_split.h"
#include "platform/exceptions.h"

#include <algorithm>
#include <cstring>

namespace {

void CheckRowIndex(int r, int limit) {
    if (r < 0 || r >= limit)
        throw EListError("行の番号が範囲を超えています (" + std::to_string(r) + ")");
}

}  // namespace

TRowStore::TRowStore() = default;

void TRowStore::SetView(TRowStoreView* view) { view_ = view ? view : &nullView_; }

// --- Properties ---------------------------------------------------------------------------

void TRowStore::SetWordWrap(bool on) {
    if (on == wordWrap_) return;
    wordWrap_ = on;
    if (on) {
        disposeBlank_ = false;
        RewrapAll();
    } else {
        UnwrapAll();
    }
}

void TRowStore::SetWrapByte(int columns) {
    columns = std::clamp(columns, 20, 250);
    if (columns == wrapByte_) return;
    wrapByte_ = columns;
    if (wordWrap_) RewrapAll();
}

void TRowStore::SetTabSpaceCount(int columns) {
    columns = std::clamp(columns, 2, 8);
    columns -= columns % 2;
    if (columns == tabSpaceCount_) return;
    tabSpaceCount_ = columns;
    view_->RepaintAll();
}

void TRowStore::SetDisposeBlank(bool on) { disposeBlank_ = on && !wordWrap_; }

// --- Reading ------------------------------------------------------------------------------

std::string_view TRowStore::RowView(int r) const {
    if (r < 0 || r >= RowCount()) return {};
    return rows_.Text(r);
}

int TRowStore::RowKind(int r) const {
    if (r < 0 || r >= RowCount()) return rkEnd;
    return rows_.Kind(r);
}

std::string TRowStore::ExpandedRow(int r, size_t maxColumns) const {
    return ::ExpandTabs(RowView(r), tabSpaceCount_, maxColumns);
}

int TRowStore::RowWidth(int r) const { return ExpandedWidth(RowView(r), tabSpaceCount_); }

std::string TRowStore::TrimBlanks(std::string_view text) const {
    return std::string(disposeBlank_ ? ::TrimBlanks(text) : text);
}

TRowRun TRowStore::ExtractRows(int r, int n) const {
    TRowRun run;
    const int count = RowCount();
    if (r < 0 || r >= count || n == 0 || n < -1) return run;
    int last;
    if (n == -1) {
        last = r;
        while (last < count - 1 && rows_.Kind(last) == rkWrap) ++last;
    } else {
        // A run never reaches past the last row, however long it was asked to be.
        last = std::min(count - 1, r + n - 1);
    }
    size_t total = 0;
    for (int i = r; i <= last; ++i) total += rows_.Text(i).size() + (rows_.Kind(i) == rkBreak ? 2 : 0);
    run.text.reserve(total);
    for (int i = r; i <= last; ++i) {
        run.text.append(rows_.Text(i));
        if (rows_.Kind(i) == rkBreak) run.text.append("\r\n");
    }
    run.rowCount = last - r + 1;
    run.lastKind = rows_.Kind(last);
    return run;
}

int64_t TRowStore::TextLength() const { return rows_.Bytes() + 2 * int64_t{rows_.Breaks()}; }

std::string TRowStore::Text() const {
    std::string text;
    text.resize(static_cast<size_t>(TextLength()));
    char* out = text.data();
    for (int r = 0; r < RowCount(); ++r) {
        std::string_view row = rows_.Text(r);
        if (!row.empty()) std::memcpy(out, row.data(), row.size());
        out += row.size();
        if (rows_.Kind(r) == rkBreak) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    return text;
}

int TRowStore::LineCount() const {
    if (RowCount() == 0) return 0;
    return rows_.LineEnds() + (rows_.Kind(RowCount() - 1) == rkWrap ? 1 : 0);
}

int TRowStore::LineToRow(int i) const {
    if (!wordWrap_ || i <= 0) return i;
    // Line i starts after the i-th line end; a cut last row ends the last line too.
    const int end = rows_.LineEndRow(i);
    return end < 0 ? RowCount() : end + 1;
}

// --- Changing rows ------------------------------------------------------------------------

void TRowStore::SetRowText(int r, std::string_view text) {
    CheckRowIndex(r, RowCount());
    rows_.SetText(r, text);
    Changed();
}

void TRowStore::SetRowKind(int r, int kind) {
    CheckRowIndex(r, RowCount());
    rows_.SetKind(r, kind);
    Changed();
}

void TRowStore::InsertRows(int r, const TRowBlock& block) {
    CheckRowIndex(r, RowCount() + 1);
    if (block.empty()) return;
    rows_.Insert(r, block);
    Changed();
}

void TRowStore::AppendRow(std::string_view text, int kind) {
    rows_.Insert(RowCount(), TRowBlock{TRowData{std::string(text), kind}});
    Changed();
}

void TRowStore::DeleteRows(int r, int n) {
    const int count = RowCount();
    if (r < 0 || r >= count || n <= 0) return;
    rows_.Erase(r, std::min(n, count - r));
    Changed();
}

void TRowStore::ClearRows() {
    if (RowCount() == 0) return;
    rows_.Clear();
    Changed();
}

void TRowStore::Changed() {
    if (rowUpdate_ > 0) return;
    modified_ = true;
    view_->RowsChanged();
    if (OnChange) OnChange();
}

void TRowStore::BeginRowUpdate() { ++rowUpdate_; }

void TRowStore::EndRowUpdate() {
    if (rowUpdate_ == 0) return;
    if (--rowUpdate_ == 0) Changed();
}

void TRowStore::BeginLinesUpdate() {
    ++linesUpdate_;
    BeginRowUpdate();
    view_->LinesUpdateBegin();
}

void TRowStore::EndLinesUpdate() {
    if (linesUpdate_ == 0) return;
    --linesUpdate_;
    EndRowUpdate();
    view_->LinesUpdateEnd();
}

void TRowStore::LoadRowsFromText(std::string_view text) {
    ClearRows();
    if (!text.empty()) {
        // The lines end to end in one block, as a loaded file lies, so that rows cost no
        // buffers of their own.
        std::shared_ptr<char> block = AllocateBytes(text.size());
        char* out = block.get();
        try {
            ForEachTextLine(text, [&](std::string_view line) {
                if (!line.empty()) std::memcpy(out, line.data(), line.size());
                rows_.AppendShared(block, text.size(), out, line.size(), rkBreak);
                out += line.size();
            });
        } catch (...) {
            rows_.Clear();
            throw;
        }
    }
    Changed();
}

int TRowStore::LastKindCarried() const {
    if (RowCount() == 0) return rkEnd;
    int kind = rows_.Kind(RowCount() - 1);
    return kind == rkWrap ? rkEnd : kind;
}

// --- Undo ---------------------------------------------------------------------------------

TRowRun TRowStore::ReplaceRun(int row, int rowsToDelete, int kind, std::string_view text, int* inserted) {
    TRowRun removed;
    if (rowsToDelete != 0) {
        removed = ExtractRows(row, rowsToDelete);
        DeleteRows(row, removed.rowCount);
    }
    int n = 0;
    if (kind != -1) {
        TRowBlock block = SplitIntoRows(text);
        if (kind == rkWrap && block.size() > 1 && block.back().text.empty()) block.pop_back();
        // A run's text ends with a line break only when its last row is broken; an
        // unbroken last row that ends up empty (Add of "" to an unbroken text) is only
        // visible as the break before it, so it has to be put back explicitly.
        if (kind == rkEnd && !text.empty() && (text.back() == '\n' || text.back() == '\r')) block.push_back({});
        block.back().kind = kind;
        n = static_cast<int>(block.size());
        InsertRows(std::clamp(row, 0, RowCount()), block);
    }
    if (inserted) *inserted = n;
    return removed;
}

size_t TRowStore::BytesHeld() const { return rows_.BytesHeld(); }
