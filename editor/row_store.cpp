#include "editor/row_store.h"

#include "editor/line_split.h"
#include "platform/exceptions.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

void CheckRowIndex(int r, int limit) {
    if (r < 0 || r >= limit)
        throw EListError("行の番号が範囲を超えています (" + std::to_string(r) + ")");
}

uint32_t RowLength(size_t n) {
    if (n > std::numeric_limits<uint32_t>::max()) throw EFileError("1 行が長すぎます (4G バイト以上)");
    return static_cast<uint32_t>(n);
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
    return rows_[r].view();
}

int TRowStore::RowKind(int r) const {
    if (r < 0 || r >= RowCount()) return rkEnd;
    return rows_[r].kind;
}

std::string TRowStore::ExpandedRow(int r) const { return ::ExpandTabs(RowView(r), tabSpaceCount_); }

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
        while (last < count - 1 && rows_[last].kind == rkWrap) ++last;
    } else {
        // A run never reaches past the last row, however long it was asked to be.
        last = std::min(count - 1, r + n - 1);
    }
    size_t total = 0;
    for (int i = r; i <= last; ++i) total += rows_[i].length + (rows_[i].kind == rkBreak ? 2 : 0);
    run.text.reserve(total);
    for (int i = r; i <= last; ++i) {
        run.text.append(rows_[i].view());
        if (rows_[i].kind == rkBreak) run.text.append("\r\n");
    }
    run.rowCount = last - r + 1;
    run.lastKind = rows_[last].kind;
    return run;
}

int64_t TRowStore::TextLength() const {
    int64_t breaks = 0;
    for (const Row& row : rows_)
        if (row.kind == rkBreak) ++breaks;
    return static_cast<int64_t>(liveBytes_) + 2 * breaks;
}

std::string TRowStore::Text() const {
    std::string text;
    text.resize(static_cast<size_t>(TextLength()));
    char* out = text.data();
    for (const Row& row : rows_) {
        if (row.length) std::memcpy(out, row.data, row.length);
        out += row.length;
        if (row.kind == rkBreak) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    return text;
}

int TRowStore::LineCount() const {
    if (rows_.empty()) return 0;
    return RowCount() - wrapRows_ + (rows_.back().kind == rkWrap ? 1 : 0);
}

int TRowStore::LineToRow(int i) const {
    if (!wordWrap_ || i <= 0) return i;
    const int count = RowCount();
    int line = 0;
    int r = 0;
    if (lineCacheVersion_ == version_ && lineCacheLine_ <= i) {
        line = lineCacheLine_;
        r = lineCacheRow_;
    }
    for (; line < i && r < count; ++r)
        if (rows_[r].kind != rkWrap || r == count - 1) ++line;
    lineCacheVersion_ = version_;
    lineCacheLine_ = line;
    lineCacheRow_ = r;
    return r;
}

// --- Changing rows ------------------------------------------------------------------------

void TRowStore::SetRow(Row& row, std::string_view text) {
    uint32_t length = RowLength(text.size());
    std::string_view stored = bytes_.Store(text);
    liveBytes_ -= row.length;
    row.data = stored.data();
    row.length = length;
    liveBytes_ += length;
}

std::vector<TRowStore::Row> TRowStore::MakeRows(const TRowBlock& block) {
    std::vector<Row> rows;
    rows.reserve(block.size());
    size_t total = 0;
    for (const TRowData& d : block) total += d.text.size();
    bytes_.Reserve(total);
    for (const TRowData& d : block) {
        Row row{nullptr, 0, d.kind};
        SetRow(row, d.text);
        CountKind(d.kind, 1);
        rows.push_back(row);
    }
    return rows;
}

void TRowStore::SetRowText(int r, std::string_view text) {
    CheckRowIndex(r, RowCount());
    SetRow(rows_[r], text);
    Changed();
    CompactIfWasteful();
}

void TRowStore::SetRowKind(int r, int kind) {
    CheckRowIndex(r, RowCount());
    CountKind(rows_[r].kind, -1);
    rows_[r].kind = kind;
    CountKind(kind, 1);
    Changed();
}

void TRowStore::InsertRows(int r, const TRowBlock& block) {
    CheckRowIndex(r, RowCount() + 1);
    if (block.empty()) return;
    std::vector<Row> rows = MakeRows(block);
    rows_.insert(rows_.begin() + r, rows.begin(), rows.end());
    Changed();
    CompactIfWasteful();
}

void TRowStore::AppendRow(std::string_view text, int kind) {
    Row row{nullptr, 0, kind};
    SetRow(row, text);
    CountKind(kind, 1);
    rows_.push_back(row);
    Changed();
}

void TRowStore::DeleteRows(int r, int n) {
    const int count = RowCount();
    if (r < 0 || r >= count || n <= 0) return;
    n = std::min(n, count - r);
    for (int i = r; i < r + n; ++i) {
        liveBytes_ -= rows_[i].length;
        CountKind(rows_[i].kind, -1);
    }
    rows_.erase(rows_.begin() + r, rows_.begin() + r + n);
    Changed();
    CompactIfWasteful();
}

void TRowStore::ClearRows() {
    if (rows_.empty()) return;
    std::vector<Row>().swap(rows_);
    bytes_.Clear();
    liveBytes_ = 0;
    wrapRows_ = 0;
    Changed();
}

void TRowStore::ReplaceAllRows(std::vector<Row> rows) {
    rows_ = std::move(rows);
    liveBytes_ = 0;
    wrapRows_ = 0;
    for (const Row& row : rows_) {
        liveBytes_ += row.length;
        CountKind(row.kind, 1);
    }
    Changed();
    CompactIfWasteful();
}

// Edits leave their old bytes behind in the arena. Once the dead bytes outweigh the live
// ones (and are worth the copy), the live rows move into a fresh arena, so the waste stays
// bounded by the text's own size while each copy is paid for by as many edited bytes.
void TRowStore::CompactIfWasteful() {
    size_t held = bytes_.BytesHeld();
    size_t waste = held - std::min(held, liveBytes_);
    if (waste < (4u << 20) || waste < liveBytes_) return;
    TByteArena fresh;
    fresh.Reserve(liveBytes_);
    for (Row& row : rows_) row.data = fresh.Store(row.view()).data();
    bytes_ = std::move(fresh);
}

void TRowStore::Changed() {
    ++version_;
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
    size_t lines = 0;
    ForEachTextLine(text, [&](std::string_view) { ++lines; });
    std::vector<Row> rows;
    rows.reserve(lines);
    bytes_.Reserve(text.size());
    ForEachTextLine(text, [&](std::string_view line) {
        Row row{nullptr, 0, rkBreak};
        SetRow(row, line);
        rows.push_back(row);
    });
    ReplaceAllRows(std::move(rows));
}

int TRowStore::LastKindCarried() const {
    if (rows_.empty()) return rkEnd;
    int kind = rows_.back().kind;
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

size_t TRowStore::BytesHeld() const { return bytes_.BytesHeld() + rows_.capacity() * sizeof(Row); }
