#pragma once
// Finding a few byte values in long runs of text sixty-four bytes at a time, for the loader
// (line ends) and for wrapping (tabs, bytes that may lead a character).
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>

// Bit k is set when p[k] equals `c`, for k < 64.
inline uint64_t Mask64(const char* p, char c) {
    const __m128i needle = _mm_set1_epi8(c);
    auto part = [&](int k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        return static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle)))) << (16 * k);
    };
    return part(0) | part(1) | part(2) | part(3);
}

// Bit k is set when p[k] could lead a double-byte character (0x81-0x9F, 0xE0-0xFC), k < 16.
inline unsigned LeadMask16(const char* p) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i d1 = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0x81)));
    const __m128i d2 = _mm_sub_epi8(v, _mm_set1_epi8(static_cast<char>(0xE0)));
    const __m128i lead = _mm_or_si128(_mm_cmpeq_epi8(_mm_min_epu8(d1, _mm_set1_epi8(0x9F - 0x81)), d1),
                                      _mm_cmpeq_epi8(_mm_min_epu8(d2, _mm_set1_epi8(0xFC - 0xE0)), d2));
    return static_cast<unsigned>(_mm_movemask_epi8(lead));
}
#endif

// Calls f(i) for every i < n where p[i] == c, in order.
template <typename F>
void ForEachByte(const char* p, uint64_t n, char c, F&& f) {
    uint64_t i = 0;
#if defined(__SSE2__)
    for (; i + 64 <= n; i += 64)
        for (uint64_t mask = Mask64(p + i, c); mask != 0; mask &= mask - 1) f(i + static_cast<uint64_t>(__builtin_ctzll(mask)));
#endif
    for (; i < n; ++i)
        if (p[i] == c) f(i);
}
