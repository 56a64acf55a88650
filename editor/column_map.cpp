#include "editor/column_map.h"

#include "platform/sjis.h"

#include <algorithm>

std::string ColumnMap(std::string_view text, int tabSpaceCount) {
    std::string map;
    map.reserve(text.size() + 8);
    for (size_t b = 0; b < text.size(); ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            int fill = tabSpaceCount - static_cast<int>(map.size() % tabSpaceCount) - 1;
            map += '0';
            map.append(fill, 't');
        } else if (IsLeadByte(c)) {
            map += "12";
            ++b;
        } else {
            map += '0';
        }
    }
    return map;
}

int ByteIndex(std::string_view map, int col) {
    if (col <= 0) return 0;
    int fills = 0;
    int last = col < static_cast<int>(map.size()) ? col : static_cast<int>(map.size()) - 1;
    for (int i = 0; i <= last; ++i)
        if (map[i] == 't') ++fills;
    return col - fills;
}

std::string ExpandTabs(std::string_view text, int tabSpaceCount, size_t maxColumns) {
    std::string out;
    out.reserve(std::min(text.size(), maxColumns) + 8);
    for (size_t b = 0; b < text.size() && out.size() < maxColumns; ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            out.append(tabSpaceCount - out.size() % tabSpaceCount, ' ');
        } else if (IsLeadByte(c)) {
            out += text[b];
            out += b + 1 < text.size() ? text[b + 1] : ' ';
            ++b;
        } else {
            out += text[b];
        }
    }
    return out;
}

int ExpandedWidth(std::string_view text, int tabSpaceCount) {
    int width = 0;
    for (size_t b = 0; b < text.size(); ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            width += tabSpaceCount - width % tabSpaceCount;
        } else if (IsLeadByte(c)) {
            width += 2;
            ++b;
        } else {
            ++width;
        }
    }
    return width;
}

std::string_view TrimBlanks(std::string_view text) {
    size_t n = text.size();
    while (n > 0) {
        unsigned char c = static_cast<unsigned char>(text[n - 1]);
        if (c > 32 || c == '\t') break;
        --n;
    }
    return text.substr(0, n);
}

// --- Short lines as bit masks -----------------------------------------------------------------

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>

namespace {

// Two masked loads cover the line, so nothing past its end is read.
__attribute__((target("avx512f,avx512bw,bmi2"))) wrap_detail::TLineMasks ScanShortLineWide(const char* p, size_t n) {
    uint64_t tab[2] = {0, 0}, lead[2] = {0, 0};
    const __m512i tabs = _mm512_set1_epi8('\t');
    const __m512i lo1 = _mm512_set1_epi8(static_cast<char>(0x81)), span1 = _mm512_set1_epi8(0x9F - 0x81);
    const __m512i lo2 = _mm512_set1_epi8(static_cast<char>(0xE0)), span2 = _mm512_set1_epi8(0xFC - 0xE0);
    for (size_t half = 0; half < 2 && 64 * half < n; ++half) {
        const size_t count = n - 64 * half < 64 ? n - 64 * half : 64;
        const uint64_t valid = _bzhi_u64(~uint64_t{0}, static_cast<unsigned>(count));
        const __m512i v = _mm512_maskz_loadu_epi8(valid, p + 64 * half);
        tab[half] = _mm512_cmpeq_epi8_mask(v, tabs) & valid;
        lead[half] = (_mm512_cmple_epu8_mask(_mm512_sub_epi8(v, lo1), span1) |
                      _mm512_cmple_epu8_mask(_mm512_sub_epi8(v, lo2), span2)) &
                     valid;
    }
    wrap_detail::TLineMasks m;
    m.tab = wrap_detail::TMask128{tab[1]} << 64 | tab[0];
    m.lead = wrap_detail::TMask128{lead[1]} << 64 | lead[0];
    return m;
}

using TScan = wrap_detail::TLineMasks (*)(const char*, size_t);

TScan ChooseScan() {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("bmi2"))
        return &ScanShortLineWide;
    return &wrap_detail::ScanShortLinePortable;
}

}  // namespace

wrap_detail::TLineMasks wrap_detail::ScanShortLine(const char* p, size_t n) {
    static const TScan scan = ChooseScan();
    return scan(p, n);
}

#else

wrap_detail::TLineMasks wrap_detail::ScanShortLine(const char* p, size_t n) { return ScanShortLinePortable(p, n); }

#endif
