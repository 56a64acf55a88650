// Included by column_map.h: the cutter behind SplitIntoRows, RewrapLine and RewrapAll.
#pragma once

#include "editor/byte_masks.h"
#include "platform/sjis.h"

#include <cstddef>
#include <cstdint>

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
#if defined(__SSE2__)
    // The run of lead-capable bytes before x is read from sixteen bytes around it at once
    // (the line's first sixteen when x is nearer its start), those before `from` and from
    // x on masked off: a walk back byte by byte ends at a branch the processor cannot
    // guess, which costs more than the whole look. Only a run that fills the window and
    // may go on before it is walked.
    if (line.size() >= 16) {
        const size_t w = x >= 16 ? x - 16 : 0;
        const size_t below = x - w;  // bytes of the window before x, 0..16
        uint64_t m = LeadMask16(line.data() + w) & ((uint64_t{1} << below) - 1);
        m &= ~uint64_t{0} << (from > w ? from - w : 0);
        // Byte x - 1 to bit 47; the run is the ones from there down.
        const uint64_t top = ~(m << (48 - below)) << 16;
        const size_t run = top != 0 ? static_cast<size_t>(__builtin_clzll(top)) : 64;
        if (run < below || from >= w) return run % 2 == 0 ? x : x - 1;
    }
#endif
    size_t s = x;
    while (s > from && IsLeadByte(static_cast<unsigned char>(line[s - 1]))) --s;
    return (x - s) % 2 == 0 ? x : x - 1;
}

// A line of up to 128 bytes as bit masks, bit i for byte i: its tabs, its bytes that could
// lead a character, and the bytes that start one. A byte starts a character unless an odd
// number of lead-capable bytes comes right before it; so in each run of lead-capable bytes
// the bytes at an odd distance from the run's first one are trails, and so is the byte
// after a run of odd length. Adding a run's first bit to the mask ripples a carry through
// the run and out past its end, which marks, for all runs at once, which bytes belong to
// runs beginning at even positions and where those runs end.
using TMask128 = unsigned __int128;
inline constexpr size_t MaskBytes = 128;

struct TLineMasks {
    TMask128 tab = 0, lead = 0, start = 0;
};

inline TMask128 Bit(size_t i) { return TMask128{1} << i; }

// Tabs and lead-capable bytes of p[0, n), n <= MaskBytes, sixteen bytes at a time.
inline TLineMasks ScanShortLinePortable(const char* p, size_t n) {
    TLineMasks m;
#if defined(__SSE2__)
    char padded[16] = {};
    if (n < 16) {
        for (size_t i = 0; i < n; ++i) padded[i] = p[i];
        p = padded;
    }
    const __m128i tabs = _mm_set1_epi8('\t');
    const __m128i lo1 = _mm_set1_epi8(static_cast<char>(0x81)), span1 = _mm_set1_epi8(0x9F - 0x81);
    const __m128i lo2 = _mm_set1_epi8(static_cast<char>(0xE0)), span2 = _mm_set1_epi8(0xFC - 0xE0);
    uint64_t tabWords[2] = {0, 0}, leadWords[2] = {0, 0};
    for (size_t at = 0; at < n; at += 16) {
        // A last piece shorter than sixteen bytes is read as the line's last sixteen.
        const size_t from = n >= 16 && at + 16 > n ? n - 16 : at;
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + from));
        const __m128i d1 = _mm_sub_epi8(v, lo1), d2 = _mm_sub_epi8(v, lo2);
        const __m128i lead = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(d1, span1), d1),
                                          _mm_cmpeq_epi8(_mm_min_epu8(d2, span2), d2));
        const unsigned skip = static_cast<unsigned>(at - from);
        const unsigned tabBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tabs))) >> skip;
        const unsigned leadBits = static_cast<unsigned>(_mm_movemask_epi8(lead)) >> skip;
        tabWords[at / 64] |= uint64_t{tabBits} << (at % 64);
        leadWords[at / 64] |= uint64_t{leadBits} << (at % 64);
    }
    m.tab = TMask128{tabWords[1]} << 64 | tabWords[0];
    m.lead = TMask128{leadWords[1]} << 64 | leadWords[0];
#else
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\t') m.tab |= Bit(i);
        if (IsLeadByte(static_cast<unsigned char>(p[i]))) m.lead |= Bit(i);
    }
#endif
    return m;
}

// The same with the widest vectors the processor offers (column_map.cpp).
TLineMasks ScanShortLine(const char* p, size_t n);

// Fills in the character starts of masks that hold tabs and lead-capable bytes.
inline TLineMasks WithStarts(TLineMasks m, size_t n) {
    const TMask128 valid = n >= MaskBytes ? ~TMask128{0} : Bit(n) - 1;
    m.tab &= valid;
    m.lead &= valid;
    const TMask128 even = ~TMask128{0} / 3;  // bits 0, 2, 4, ...
    const TMask128 l = m.lead;
    const TMask128 firsts = l & ~(l << 1);
    const TMask128 rippleEven = l + (firsts & even);
    const TMask128 rippleOdd = l + (firsts & ~even);
    const TMask128 evenRuns = (l & ~rippleEven) | (rippleEven & ~l);  // with the byte after each
    const TMask128 oddRuns = (l & ~rippleOdd) | (rippleOdd & ~l);
    const TMask128 trails = (evenRuns & ~even) | (oddRuns & even);
    m.start = ~trails & valid;
    return m;
}

// Columns a tab fills from column `col`. The remainder is taken by a multiplication, which
// is exact for columns below 2^16 and tab widths below 256 (a row is far narrower), since a
// division on this path would cost as much as the rest of a row's cut.
class TTabStops {
public:
    explicit TTabStops(int width) : width_(static_cast<uint32_t>(width)), magic_((uint32_t{1} << 24) / width_ + 1) {}
    size_t Fill(size_t col) const {
        if (col >= (size_t{1} << 16) || width_ >= 256) return width_ - col % width_;
        return FillNear(col);
    }
    bool Small() const { return width_ < 256; }
    // Fill for a column below 2^16 and a width below 256, without the check. A column
    // beyond gives a wrong width, for a caller that throws the result away then.
    size_t FillNear(size_t col) const {
        const uint32_t c = static_cast<uint32_t>(col);
        const uint32_t q = static_cast<uint32_t>((uint64_t{c} * magic_) >> 24);
        return width_ - (c - q * width_);
    }

private:
    uint32_t width_;
    uint32_t magic_;
};

inline size_t LowestBit(TMask128 m) {
    const uint64_t low = static_cast<uint64_t>(m);
    return low ? static_cast<size_t>(__builtin_ctzll(low)) : 64 + static_cast<size_t>(__builtin_ctzll(static_cast<uint64_t>(m >> 64)));
}

// WrapLine for a line of at most MaskBytes bytes: the same cuts, with every tab and
// character start read off the masks instead of searched for.
template <typename Emit>
void WrapShortLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& onRow) {
    const size_t n = line.size();
    const TLineMasks m = WithStarts(ScanShortLine(line.data(), n), n);
    const TMask128 realTabs = m.tab & m.start;
    auto startsLead = [&](size_t x) { return ((m.start & m.lead) >> x) & 1; };
    const size_t last = static_cast<size_t>(wrapByte) - 1;
    const TTabStops stops(tabSpaceCount);
    size_t start = 0, b = 0, col = 0;
    auto cut = [&](size_t at) {
        onRow(start, at - start, true);
        start = b = at;
        col = 0;
    };
    while (true) {
        const TMask128 ahead = b >= MaskBytes ? 0 : realTabs >> b;
        const size_t t = ahead ? b + LowestBit(ahead) : n;
        if (t - b > last - col) {
            const size_t x = b + (last - col);
            cut(startsLead(x) ? x : x + 1);
            continue;
        }
        col += t - b;
        if (t == n) {
            if (n > b && col == last && startsLead(n - 1)) cut(n);
            break;
        }
        const size_t width = stops.Fill(col);
        if (col + width <= last) {
            col += width;
            b = t + 1;
        } else {
            cut(t + 1);
        }
    }
    onRow(start, n - start, false);
}

}  // namespace wrap_detail

// A row ends with the character that reaches column wrapByte - 1; a double-byte character
// starting right at that column would straddle the cut, so it opens the next row instead,
// and a tab goes whole into the row even when that makes it wider. Between tabs a column is
// a byte, so the cut is found from the byte at that column and the characters are parsed
// only around it; a line costs its tabs and rows, not its bytes.
template <typename Emit>
void WrapLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& onRow) {
    if (line.size() <= wrap_detail::MaskBytes) wrap_detail::WrapShortLine(line, wrapByte, tabSpaceCount, onRow);
    else WrapLongLine(line, wrapByte, tabSpaceCount, onRow);
}

template <typename Emit>
void WrapLongLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& onRow) {
    using wrap_detail::CharStart;
    const size_t n = line.size();
    // Without tabs a line is as wide as its bytes (one more for a broken lead byte at its
    // end), so a line that fits is known without walking it.
    if (n + 1 < static_cast<size_t>(wrapByte) && wrap_detail::FindTab(line.data(), 0, n) == n) {
        onRow(size_t{0}, n, false);
        return;
    }
    const size_t last = static_cast<size_t>(wrapByte) - 1;  // the column that ends a row
    const wrap_detail::TTabStops stops(tabSpaceCount);
    size_t start = 0;  // first byte of the row
    size_t b = start;  // a character start in the row; `col` columns lie before it
    size_t col = 0;
    auto cut = [&](size_t at) {
        onRow(start, at - start, true);
        start = b = at;
        col = 0;
    };
    // The next tab at or after b that is a character of its own (a trail byte may be 9 as
    // well). A cut before it leaves it the next one, since characters start where they did.
    size_t t = 0;
    auto nextTab = [&] {
        t = b;
        while (true) {
            t = wrap_detail::FindTab(line.data(), t, n);
            if (t == n || CharStart(line, b, t) == t) break;
            ++t;
        }
    };
    nextTab();
    while (true) {
        if (t < b) nextTab();
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
        const size_t width = stops.Fill(col);
        if (col + width <= last) {
            col += width;
            b = t + 1;
        } else {
            cut(t + 1);
        }
    }
    onRow(start, n - start, false);
}

// The rows of a line that gives at most two, as WrapLine cuts them: `known` is false
// when the line is not such a line, or one this path does not read (a line with tabs under
// 64 bytes or over 128, one without under 32, more than two tabs, a tab that ends its row
// or may be a trail byte and is, a run of bytes that may lead characters over the 32 last,
// a cut more than 32 bytes before the end, a second row that ends in a broken lead byte);
// `firstEnd` ends the first row when there are two.
struct TTwoRows {
    bool known = false;
    int rows = 1;
    size_t firstEnd = 0;
};

// The common line of a diary is cut by arithmetic on its tabs' stops and on a mask of the
// bytes that may lead a character near its end, without a branch that depends on the
// line (but one on whether it has tabs, which the loader keeps steady by handing over the
// lines without tabs and those with tabs apart): the loader meets hundreds of thousands
// of such lines, and a walk over them spends more time on branches guessed wrong than on
// the cuts.
[[gnu::always_inline]] inline TTwoRows CutTwoRows(std::string_view line, size_t tabBytes, int wrapByte,
                                                  const wrap_detail::TTabStops& stops) {
    TTwoRows r;
    const size_t n = line.size();
#if defined(__SSE2__)
    if (n < (tabBytes != 0 ? 64 : 32) || (tabBytes != 0 && n > 128) || tabBytes > 2 || !stops.Small()) return r;
    const char* p = line.data();
    const size_t last = static_cast<size_t>(wrapByte) - 1;
    // Selections by mask: a conditional the compiler turns into a branch is guessed wrong
    // on a good share of lines.
    auto pick = [](bool c, size_t a, size_t b) {
        const size_t m = size_t{0} - static_cast<size_t>(c);
        return (a & m) | (b & ~m);
    };
    bool ok = true;
    size_t b = 0, col = 0;  // as in the walk: a character start, the columns before it
    if (tabBytes != 0) {
        // Tabs of bytes 0-63 and 64-127, the latter read as the line's last 64 bytes.
        uint64_t tabs = Mask64(p, '\t');
        uint64_t more = pick(n > 64, Mask64(p + n - 64, '\t') >> ((128 - n) & 63), 0);
        size_t found = 0;
        for (int slot = 0; slot < 2; ++slot) {
            const bool active = (tabs | more) != 0;
            const size_t next = pick(tabs != 0, static_cast<size_t>(__builtin_ctzll(tabs | uint64_t{1} << 63)),
                                     64 + static_cast<size_t>(__builtin_ctzll(more | uint64_t{1} << 63)));
            const size_t t = pick(active, next, b);
            const size_t reach = col + (t - b);
            const size_t after = reach + stops.FillNear(reach);
            // A tab right after a byte that may lead a character may be its trail.
            bool real = true;
            const bool suspect = active & IsLeadByte(static_cast<unsigned char>(p[t - (t != 0)]));
            if (suspect) [[unlikely]]
                real = wrap_detail::CharStart(line, b, t) == t;
            ok &= (!active) | ((after <= last) & real);
            col = pick(active, after, col);
            b = pick(active, t + 1, b);
            found += active;
            more = pick(tabs != 0, more, more & (more - 1));
            tabs &= tabs - 1;
        }
        ok &= ((tabs | more) == 0) & (found == tabBytes);
    }
    // The last 32 bytes as a mask of bytes that may lead a character, those before b left
    // out. Byte y in them begins a double-byte character when it may lead one and the run
    // of such bytes right before it is even; a run that fills the window is not read.
    const size_t w = n - 32;
    uint64_t lead = LeadMask16(p + w) | uint64_t{LeadMask16(p + w + 16)} << 16;
    lead &= ~uint64_t{0} << pick(b > w, b - w, 0);
    auto doubleAt = [&](size_t y) {
        const size_t i = y - w;  // < 32
        const uint64_t stops = ~lead & ((uint64_t{1} << i) - 1);
        ok &= stops != 0;
        const size_t run = i - 64 + static_cast<size_t>(__builtin_clzll(stops | 1));
        return static_cast<size_t>(((lead >> i) & 1) & (run % 2 == 0));
    };
    // The row ends on byte x, before the line does, or the line fits.
    const size_t x = b + (last - col);
    const bool cut = x < n;
    ok &= (!cut) | (x >= w);
    const size_t at = pick(cut, x + 1 - doubleAt(pick(cut & (x >= w), x, n - 1)), n);
    // After a cut the rest is one row of plain bytes, if short enough and not ended by a
    // lead byte in its last column; without one, such a lead byte adds an empty row.
    const bool leadInLast = (n > b) & (doubleAt(n - 1) != 0);
    ok &= (!cut) | (n - at < last) | ((n - at == last) & !leadInLast);
    const bool emptyAfter = (!cut) & (col + (n - b) == last) & leadInLast;
    r.known = ok;
    r.rows = 1 + static_cast<int>(cut | emptyAfter);
    r.firstEnd = at;
#else
    (void)line, (void)tabBytes, (void)wrapByte, (void)stops;
#endif
    return r;
}
