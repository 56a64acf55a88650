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
    if (wordWrap_ && (rows_.Kind(r) == rkWrap || RowWidth(r) >= wrapByte_)) {
        int last = r;
        while (last < count - 1 && rows_.Kind(last) == rkWrap) ++last;
        int kind = rows_.Kind(last) == rkWrap ? rkEnd : rows_.Kind(last);
        oldRows = last - r + 1;

        // The line's rows lie end to end, so cutting them again moves no bytes.
        std::vector<TRowCut> cuts;
        WrapLine(rows_.LineBytes(r, last), wrapByte_, tabSpaceCount_, [&](size_t, size_t length, bool wrapped) {
            cuts.push_back({static_cast<uint32_t>(length), wrapped ? rkWrap : rkBreak});
        });
        cuts.back().kind = kind;
        newRows = static_cast<int>(cuts.size());
        rows_.Recut(r, oldRows, cuts);
        Changed();
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
    if (RowCount() == 0) return;
    view_->ClearSelection();
    TLinesUpdate update(*this);
    // Only the cuts move: every line's bytes stay where they are.
    rows_.RecutAll(wordWrap_, wrapByte_, tabSpaceCount_, LastKindCarried());
    Changed();
}

void TRowStore::UnwrapAll() {
    if (RowCount() == 0) return;
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
