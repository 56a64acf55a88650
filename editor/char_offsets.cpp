#include "editor/char_offsets.h"

#include "editor/edit_session.h"
#include "editor/edit_view.h"
#include "editor/row_store.h"
#include "platform/sjis.h"

#include <algorithm>

int RowChars(std::string_view row) {
    int n = 0;
    for (size_t i = 0; i < row.size(); ++n) i += IsLeadByte(static_cast<unsigned char>(row[i])) ? 2 : 1;
    return n;
}

size_t CharToByte(std::string_view row, int k) {
    size_t i = 0;
    for (; i < row.size() && k > 0; --k) i += IsLeadByte(static_cast<unsigned char>(row[i])) ? 2 : 1;
    return std::min(i, row.size());
}

int CharsBefore(std::string_view row, size_t b) {
    int n = 0;
    for (size_t i = 0; i < row.size() && i < b; ++n) i += IsLeadByte(static_cast<unsigned char>(row[i])) ? 2 : 1;
    return n;
}

int TCharOffsets::Count(int r) const {
    return RowChars(store_.RowView(r)) + (store_.RowKind(r) == rkBreak ? 1 : 0);
}

void TCharOffsets::Reset() {
    built_ = false;
    span_.clear();
    start_.clear();
    valid_ = 0;
    total_ = 0;
}

void TCharOffsets::Build() {
    const int rows = store_.RowCount();
    span_.resize(static_cast<size_t>(rows));
    total_ = 0;
    for (int r = 0; r < rows; ++r) total_ += span_[static_cast<size_t>(r)] = Count(r);
    start_.assign(1, 0);
    valid_ = 0;
    built_ = true;
}

void TCharOffsets::Replaced(int firstRow, int oldRows, int newRows) {
    if (!built_) return;
    const int before = static_cast<int>(span_.size());
    firstRow = std::clamp(firstRow, 0, before);
    oldRows = std::clamp(oldRows, 0, before - firstRow);
    // A count that does not add up means the notice missed a change: count everything.
    if (before - oldRows + newRows != store_.RowCount() || newRows < 0) {
        Build();
        return;
    }
    const auto at = span_.begin() + firstRow;
    for (auto it = at; it != at + oldRows; ++it) total_ -= *it;
    if (newRows > oldRows)
        span_.insert(at + oldRows, static_cast<size_t>(newRows - oldRows), 0);
    else
        span_.erase(at + newRows, at + oldRows);
    for (int r = firstRow; r < firstRow + newRows; ++r) total_ += span_[static_cast<size_t>(r)] = Count(r);
    valid_ = std::min(valid_, firstRow);
    start_.resize(static_cast<size_t>(valid_) + 1);
}

void TCharOffsets::Extend(int r) {
    if (!built_) Build();
    r = std::min(r, static_cast<int>(span_.size()));
    for (; valid_ < r; ++valid_) start_.push_back(start_.back() + span_[static_cast<size_t>(valid_)]);
}

int64_t TCharOffsets::Total() {
    if (!built_) Build();
    return total_;
}

int64_t TCharOffsets::RowStart(int r) {
    if (!built_) Build();
    if (r >= static_cast<int>(span_.size())) return total_;
    Extend(std::max(r, 0));
    return start_[static_cast<size_t>(std::max(r, 0))];
}

int TCharOffsets::RowSpan(int r) {
    if (!built_) Build();
    return r >= 0 && r < static_cast<int>(span_.size()) ? span_[static_cast<size_t>(r)] : 0;
}

std::pair<int, int> TCharOffsets::Locate(int64_t offset) {
    if (!built_) Build();
    const int rows = static_cast<int>(span_.size());
    if (rows == 0) return {0, 0};
    offset = std::clamp<int64_t>(offset, 0, total_);
    // After a final line break the text ends on a line of its own, where the caret can stand.
    if (offset == total_ && store_.RowKind(rows - 1) == rkBreak) return {rows, 0};
    // Count on only as far as the offset.
    while (valid_ < rows && start_.back() <= offset) Extend(valid_ + 1);
    // The last row starting at or before the offset, among rows 0..valid_-1.
    auto it = std::upper_bound(start_.begin(), start_.begin() + valid_, offset);
    int r = std::max(0, static_cast<int>(it - start_.begin()) - 1);
    int c = static_cast<int>(offset - start_[static_cast<size_t>(r)]);
    // A wrapped row's end is the next row's start: the character stands on the next row.
    const int chars = RowChars(store_.RowView(r));
    if (c > chars) c = chars;
    return {r, c};
}

std::optional<TRowChange> ChangeOfNotice(const TEditNotice& notice, int oldRowCount, int newRowCount,
                                         bool rowsChanged) {
    if (notice.all) return std::nullopt;
    if (notice.firstRow < 0) {
        if (rowsChanged || oldRowCount != newRowCount) return std::nullopt;
        return TRowChange{};
    }
    // A notice names the rows to draw again; a line break may have moved into or out of the
    // row on either side without changing how it looks, so those rows are taken too.
    TRowChange change;
    change.first = std::clamp(notice.firstRow - 1, 0, newRowCount);
    change.newRows = std::clamp(notice.lastRow + 1, change.first - 1, newRowCount - 1) - change.first + 1;
    change.oldRows = change.newRows - (newRowCount - oldRowCount);
    // Rows went away below the rows the notice names: everything from the first row on.
    if (change.oldRows < 0 || change.first + change.oldRows > oldRowCount) {
        change.newRows = newRowCount - change.first;
        change.oldRows = oldRowCount - change.first;
    }
    if (change.oldRows < 0) return std::nullopt;
    return change;
}

void TCharOffsets::BeginEdit(const TEditSession& session) {
    kept_.clear();
    oldRowCount_ = store_.RowCount();
    // Two rows beyond each place an edit starts from: the notice names the row before an
    // edited row, and EndEdit takes one more on either side of what it names.
    Keep(session.Row() - 2, session.Row() + 2);
    if (session.Selected()) Keep(session.TextRange().startRow - 2, session.TextRange().endRow + 2);
    for (const TUndoDataList* list : {&session.UndoObj().UndoList(), &session.UndoObj().RedoList()})
        if (!list->empty()) Keep(list->back().row - 2, list->back().row + list->back().rowsToDelete + 1);
}

void TCharOffsets::Keep(int first, int last) {
    first = std::max(0, first);
    last = std::min(last, oldRowCount_ - 1);
    if (last < first || last - first >= kKeptRows || static_cast<int>(kept_.size()) >= 2 * kKeptRows) return;
    for (int r = first; r <= last; ++r)
        if (!kept_.count(r)) kept_.emplace(r, std::make_pair(store_.RowText(r), store_.RowKind(r)));
}

const std::pair<std::string, int>* TCharOffsets::Kept(int r) const {
    const auto it = kept_.find(r);
    return it == kept_.end() ? nullptr : &it->second;
}

std::optional<TRowChange> TCharOffsets::EndEdit(const TEditNotice& notice, bool rowsChanged) {
    const int rows = store_.RowCount();
    std::optional<TRowChange> change = ChangeOfNotice(notice, oldRowCount_, rows, rowsChanged);
    if (change && change->oldRows + change->newRows > 0) {
        // The notice names the rows to draw, not always every row replaced (rows put in
        // below a shift are drawn as part of it): the copied rows tell exactly where
        // the same rows begin again. Without a copy that shows it, recount to the end.
        const int delta = rows - oldRowCount_;
        const int lo = change->first;
        int hi = lo;  // the end of the copied run that holds lo
        while (kept_.count(hi)) ++hi;
        bool found = false;
        if (hi > lo) {
            auto same = [&](int oldRow, int newRow) {
                const auto& k = kept_.at(oldRow);
                return newRow >= 0 && newRow < rows && store_.RowKind(newRow) == k.second &&
                       store_.RowView(newRow) == k.first;
            };
            int p = lo;
            while (p < hi && same(p, p)) ++p;
            int q = hi - 1;
            // The copies reach past the change: to the text's end, or to a row that is
            // the same again below every row the notice names.
            const bool tailSeen =
                hi == oldRowCount_ || (same(q, q + delta) && notice.lastRow <= hi - 1 + delta);
            while (q >= p && q + delta >= p && same(q, q + delta)) --q;
            if (tailSeen) {
                change = TRowChange{p, q - p + 1, q + delta - p + 1};
                found = change->oldRows >= 0 && change->newRows >= 0;
            }
        }
        if (!found) {
            change = TRowChange{lo, oldRowCount_ - lo, rows - lo};
            ++tailRecounts_;
        }
    }
    if (change)
        Replaced(change->first, change->oldRows, change->newRows);
    else
        Reset();
    return change;
}
