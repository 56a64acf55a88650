// Included by column_map.h: the cutter behind SplitIntoRows, RewrapLine and RewrapAll.
#pragma once

#include "platform/sjis.h"

#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wrap_detail {

// The first tab byte in p[from, n), else n. Rows are short, so an inline search sixteen
// bytes at a time beats a library call; the last sixteen bytes of a long enough text are
// read whole, with the bytes before `from` masked off, rather than one by one.
inline size_t FindTab(const char* p, size_t from, size_t n) {
#if defined(__SSE2__)
    if (n >= 16) {
        const __m128i tabs = _mm_set1_epi8('\t');
        auto mask = [&](size_t at) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at));
            return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tabs)));
        };
        for (; from + 16 <= n; from += 16)
            if (const unsigned m = mask(from)) return from + static_cast<size_t>(__builtin_ctz(m));
        if (from < n)
            if (const unsigned m = mask(n - 16) >> (16 - (n - from))) return from + static_cast<size_t>(__builtin_ctz(m));
        return n;
    }
#endif
    for (; from < n; ++from)
        if (p[from] == '\t') return from;
    return n;
}

// Start of the character that holds byte x, given that `from` <= x starts one. A byte that
// cannot lead a character ends one (as a single byte or as a trail), so characters start
// right after the last such byte before x, and from there on every character is two bytes.
inline size_t CharStart(std::string_view line, size_t from, size_t x) {
    size_t s = x;
    while (s > from && IsLeadByte(static_cast<unsigned char>(line[s - 1]))) --s;
    return (x - s) % 2 == 0 ? x : x - 1;
}

}  // namespace wrap_detail

// A row ends with the character that reaches column wrapByte - 1; a double-byte character
// starting right at that column would straddle the cut, so it opens the next row instead,
// and a tab goes whole into the row even when that makes it wider. Between tabs a column is
// a byte, so the cut is found from the byte at that column and the characters are parsed
// only around it; a line costs its tabs and rows, not its bytes.
template <typename Emit>
void WrapLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& emit) {
    using wrap_detail::CharStart;
    const size_t n = line.size();
    // Without tabs a line is as wide as its bytes (one more for a broken lead byte at its
    // end), so most lines are known to fit without walking them.
    if (n + 1 < static_cast<size_t>(wrapByte) && wrap_detail::FindTab(line.data(), 0, n) == n) {
        emit(size_t{0}, n, false);
        return;
    }
    const size_t last = static_cast<size_t>(wrapByte) - 1;  // the column that ends a row
    size_t start = 0;  // first byte of the row
    size_t b = start;  // a character start in the row; `col` columns lie before it
    size_t col = 0;
    auto cut = [&](size_t at) {
        emit(start, at - start, true);
        start = b = at;
        col = 0;
    };
    while (true) {
        // The next tab that is a character of its own (a trail byte may be 9 as well).
        size_t t = b;
        while (true) {
            t = wrap_detail::FindTab(line.data(), t, n);
            if (t == n || CharStart(line, b, t) == t) break;
            ++t;
        }
        if (t - b > last - col) {
            // Column `last` falls on byte x before the tab.
            const size_t x = b + (last - col);
            const size_t s = CharStart(line, b, x);
            // A character beginning one column earlier (x its trail) still fits.
            cut(s == x && IsLeadByte(static_cast<unsigned char>(line[x])) ? x : x + 1);
            continue;
        }
        col += t - b;
        if (t == n) {
            // A broken lead byte at the very end is two columns wide.
            if (n > b && col == last && CharStart(line, b, n - 1) == n - 1 &&
                IsLeadByte(static_cast<unsigned char>(line[n - 1]))) {
                cut(n);
            }
            break;
        }
        const size_t width = static_cast<size_t>(tabSpaceCount) - col % static_cast<size_t>(tabSpaceCount);
        if (col + width <= last) {
            col += width;
            b = t + 1;
        } else {
            cut(t + 1);
        }
    }
    emit(start, n - start, false);
}
