// Included by column_map.h: the one-pass cutter behind SplitIntoRows and RewrapAll.
#pragma once

#include "platform/sjis.h"

#include <cstring>

template <typename Emit>
void WrapLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& emit) {
    const size_t n = line.size();
    // Without tabs a line is as wide as its bytes (one more for a broken lead byte at its
    // end), so most lines are known to fit without walking them.
    if (n + 1 < static_cast<size_t>(wrapByte) && (n == 0 || std::memchr(line.data(), '\t', n) == nullptr)) {
        emit(size_t{0}, n, false);
        return;
    }
    size_t start = 0;  // first byte of the row being measured
    size_t b = 0;
    int col = 0;       // columns from `start` to `b`
    while (b < n) {
        unsigned char c = static_cast<unsigned char>(line[b]);
        int width;
        size_t len = 1;
        bool dbcs = false;
        if (c == '\t') {
            width = tabSpaceCount - col % tabSpaceCount;
        } else if (IsLeadByte(c)) {
            width = 2;
            len = b + 1 < n ? 2 : 1;
            dbcs = true;
        } else {
            width = 1;
        }
        if (col + width < wrapByte) {
            col += width;
            b += len;
            continue;
        }
        // This character reaches column wrapByte - 1: the rest is at least wrapByte wide and
        // the row ends here. A double-byte character starting right at the last column
        // would straddle the cut, so it opens the next row instead; a tab goes whole into
        // this row even when that makes it wider.
        size_t cut = (dbcs && col == wrapByte - 1) ? b : b + len;
        emit(start, cut - start, true);
        start = cut;
        b = cut;
        col = 0;
    }
    emit(start, n - start, false);
}
