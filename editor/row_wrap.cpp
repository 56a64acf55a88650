// Cutting lines into rows and joining them again.
#include "editor/line_split.h"
#include "editor/row_store.h"
#include "editor/update_guard.h"

#include <algorithm>

TRowBlock TRowStore::SplitIntoRows(std::string_view text) const {
    TRowBlock block;
    if (text.empty()) {
        block.push_back({std::string(), rkBreak});
        return block;
    }
    ForEachTextLine(text, [&](std::string_view line) {
        if (!wordWrap_) {
            block.push_back({std::string(line), rkBreak});
            return;
        }
        WrapLine(line, wrapByte_, tabSpaceCount_, [&](size_t offset, size_t length, bool wrapped) {
            block.push_back({std::string(line.substr(offset, length)), wrapped ? rkWrap : rkBreak});
        });
    });
    return block;
}

int TRowStore::RewrapLine(int r, int extra) {
    const int count = RowCount();
    if (r < 0 || r >= count) return 1;
    int oldRows = 0;
    int newRows = 0;
    int result = 1;
    if (wordWrap_ && (rows_[r].kind == rkWrap || RowWidth(r) >= wrapByte_)) {
        int last = r;
        while (last < count - 1 && rows_[last].kind == rkWrap) ++last;
        int kind = rows_[last].kind == rkWrap ? rkEnd : rows_[last].kind;
        oldRows = last - r + 1;

        std::string joined;
        for (int i = r; i <= last; ++i) joined.append(rows_[i].view());
        std::string_view line = bytes_.Store(joined);

        std::vector<Row> rows;
        WrapLine(line, wrapByte_, tabSpaceCount_, [&](size_t offset, size_t length, bool wrapped) {
            rows.push_back(Row{line.data() + offset, static_cast<uint32_t>(length), wrapped ? rkWrap : rkBreak});
        });
        rows.back().kind = kind;
        newRows = static_cast<int>(rows.size());

        for (int i = r; i <= last; ++i) {
            liveBytes_ -= rows_[i].length;
            CountKind(rows_[i].kind, -1);
        }
        for (const Row& row : rows) {
            liveBytes_ += row.length;
            CountKind(row.kind, 1);
        }
        if (newRows == oldRows) {
            std::copy(rows.begin(), rows.end(), rows_.begin() + r);
        } else {
            rows_.erase(rows_.begin() + r, rows_.begin() + last + 1);
            rows_.insert(rows_.begin() + r, rows.begin(), rows.end());
        }
        Changed();
        CompactIfWasteful();
        result = newRows;
    }
    // The rows under the line sit `shift` rows away from where the view last drew them;
    // move them first so that the repaint of the line lands on the right rows.
    int shift = newRows + extra - oldRows;
    if (shift != 0) view_->ShiftRows(r + newRows - shift, shift);
    view_->RepaintRows(r, r + std::max(oldRows, newRows));
    return result;
}

void TRowStore::RewrapAll() {
    if (rows_.empty()) return;
    view_->ClearSelection();
    TLinesUpdate update(*this);
    const int lastKind = LastKindCarried();
    const int count = RowCount();

    // A logical line as one run of bytes: in place when its rows lie end to end in the
    // arena (a loaded file, an untouched wrap), else joined into fresh arena space.
    std::string joined;
    auto lineAt = [&](int first, int& last) -> std::string_view {
        last = first;
        while (last < count - 1 && rows_[last].kind == rkWrap) ++last;
        if (first == last) return rows_[first].view();
        bool adjacent = true;
        for (int i = first; i < last && adjacent; ++i)
            adjacent = rows_[i].data + rows_[i].length == rows_[i + 1].data || rows_[i + 1].length == 0;
        if (adjacent && rows_[first].data) {
            size_t length = 0;
            for (int i = first; i <= last; ++i) length += rows_[i].length;
            return {rows_[first].data, length};
        }
        joined.clear();
        for (int i = first; i <= last; ++i) joined.append(rows_[i].view());
        return joined;
    };
    auto forEachRow = [&](std::string_view line, auto&& f) {
        if (!wordWrap_) {
            f(size_t{0}, line.size(), false);
            return;
        }
        WrapLine(line, wrapByte_, tabSpaceCount_, f);
    };

    // A first pass finds the cuts, so that the new list is allocated at its exact size (no
    // doubling of a list that may hold millions of rows). Only lines that are cut keep
    // their row lengths for the second pass; the others are known to be one row.
    std::vector<bool> isCut;
    std::vector<uint32_t> cutLengths;  // per cut line: its row count, then each row's length
    size_t needed = 0;
    for (int first = 0, last = 0; first < count; first = last + 1) {
        size_t mark = cutLengths.size();
        cutLengths.push_back(0);
        forEachRow(lineAt(first, last), [&](size_t, size_t length, bool) {
            cutLengths.push_back(static_cast<uint32_t>(length));
            ++cutLengths[mark];
        });
        needed += cutLengths[mark];
        isCut.push_back(cutLengths[mark] > 1);
        if (cutLengths[mark] == 1) cutLengths.resize(mark);
    }

    std::vector<Row> rows;
    rows.reserve(needed);
    size_t line = 0;
    size_t next = 0;
    for (int first = 0, last = 0; first < count; first = last + 1, ++line) {
        std::string_view text = lineAt(first, last);
        if (text.data() == joined.data() && !text.empty()) text = bytes_.Store(text);
        const char* data = text.empty() ? nullptr : text.data();
        if (!isCut[line]) {
            rows.push_back(Row{data, static_cast<uint32_t>(text.size()), rkBreak});
            continue;
        }
        uint32_t pieces = cutLengths[next++];
        size_t offset = 0;
        for (uint32_t k = 0; k < pieces; ++k) {
            uint32_t length = cutLengths[next++];
            rows.push_back(Row{length ? data + offset : nullptr, length, k + 1 < pieces ? rkWrap : rkBreak});
            offset += length;
        }
    }
    rows.back().kind = lastKind;
    ReplaceAllRows(std::move(rows));
}

void TRowStore::UnwrapAll() {
    if (rows_.empty()) return;
    bool saved = wordWrap_;
    // Joining is rewrapping with no width limit.
    wordWrap_ = false;
    try {
        RewrapAll();
    } catch (...) {
        wordWrap_ = saved;
        throw;
    }
    wordWrap_ = saved;
}
