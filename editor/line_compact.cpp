// The kernels work on groups of 64 bytes as bit masks: T marks the CR and LF bytes (all of
// them go), E the bytes that end a line (every CR, and every LF that no CR comes right
// before). A line end at bit b keeps the bytes of the group before b that are not in T.
#include "editor/line_compact.h"

#include "editor/byte_masks.h"

#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define MEKURI_WIDE_COMPACT 1
#endif

namespace {

// Bits of x below bit b (b may be 64).
inline uint64_t Below(uint64_t x, unsigned b) { return b >= 64 ? x : x & ((uint64_t{1} << b) - 1); }

struct TGroupMasks {
    uint64_t cr, lf, tab;
};

inline TGroupMasks PortableMasks(const char* p, size_t valid, bool countTabs) {
    TGroupMasks m{0, 0, 0};
#if defined(__SSE2__)
    if (valid == 64) {
        m.cr = Mask64(p, '\r');
        m.lf = Mask64(p, '\n');
        if (countTabs) m.tab = Mask64(p, '\t');
        return m;
    }
#endif
    for (size_t k = 0; k < valid; ++k) {
        const uint64_t bit = uint64_t{1} << k;
        if (p[k] == '\r') m.cr |= bit;
        else if (p[k] == '\n') m.lf |= bit;
        else if (countTabs && p[k] == '\t') m.tab |= bit;
    }
    return m;
}

// Copies the kept bytes of a whole group to `dst` (<= the group): the group is copied aside
// first and its kept runs are gathered there sixteen bytes at a time (spilling into the
// slack), so that one store of 64 bytes puts them in place; it only rewrites bytes of this
// group or before it, all of them read already.
inline void PackGroup(char* dst, const char* group, uint64_t drop) {
    char in[64 + 16];
    char packed[64 + 16];
    std::memcpy(in, group, 64);
    size_t k = 0;
    size_t from = 0;
    for (uint64_t d = drop;; d &= d - 1) {
        const size_t to = d != 0 ? static_cast<size_t>(__builtin_ctzll(d)) : 64;
        for (size_t at = from; at < to; at += 16) std::memcpy(packed + k + (at - from), in + at, 16);
        k += to - from;
        if (d == 0) break;
        from = to + 1;
    }
    std::memcpy(dst, packed, 64);
}

// The portable kernel; inlined into copies built for processors with a population count.
template <bool CountTabs>
[[gnu::always_inline]] inline void CompactPortable(TCompactJob& job) {
    char* const p = job.p;
    const size_t n = job.n;
    const bool endsWithCr = n > 0 && p[n - 1] == '\r';
    uint64_t carry = job.afterCr ? 1 : 0;
    size_t out = 0;
    size_t lines = 0;
    uint32_t tabs = job.tabBase;
    for (size_t i = 0; i < n; i += 64) {
        const size_t valid = n - i < 64 ? n - i : 64;
        const TGroupMasks m = PortableMasks(p + i, valid, CountTabs);
        const uint64_t drop = m.cr | m.lf;
        uint64_t ends = m.cr | (m.lf & ~((m.cr << 1) | carry));
        carry = m.cr >> 63;
        for (; ends != 0; ends &= ends - 1) {
            const unsigned b = static_cast<unsigned>(__builtin_ctzll(ends));
            job.ends[lines] = job.endBase + static_cast<uint32_t>(out + b - static_cast<size_t>(__builtin_popcountll(Below(drop, b))));
            if (CountTabs) job.tabs[lines] = tabs + static_cast<uint32_t>(__builtin_popcountll(Below(m.tab, b)));
            ++lines;
        }
        const size_t kept = valid - static_cast<size_t>(__builtin_popcountll(drop));
        if (drop == 0) {
            if (out != i) std::memmove(p + out, p + i, valid);
        } else if (valid == 64) {
            PackGroup(p + out, p + i, drop);
        } else {
            // The last, partial group: its kept runs move down one by one.
            size_t to = out, from = 0;
            for (uint64_t d = drop;; d &= d - 1) {
                const size_t end = d != 0 ? static_cast<size_t>(__builtin_ctzll(d)) : valid;
                std::memmove(p + to, p + i + from, end - from);
                to += end - from;
                if (d == 0) break;
                from = end + 1;
            }
        }
        out += kept;
        if (CountTabs) tabs += static_cast<uint32_t>(__builtin_popcountll(m.tab));
    }
    job.lines = lines;
    job.kept = out;
    job.tabsSeen = tabs;
    if (n > 0) job.afterCr = endsWithCr;
}

}  // namespace

void CompactLinesPortable(TCompactJob& job) {
    if (job.tabs) CompactPortable<true>(job);
    else CompactPortable<false>(job);
}

#if defined(MEKURI_WIDE_COMPACT)

namespace {

#define MEKURI_WIDE __attribute__((target("avx512f,avx512bw,avx512vbmi2,bmi,bmi2,popcnt")))

// Writes the line ends of E four at a time without a branch per line; the writes past the
// last end land in the slack the caller leaves.
template <bool CountTabs>
MEKURI_WIDE inline void WriteEnds(uint64_t e, uint64_t keep, uint64_t tab, uint32_t endAt, uint32_t tabsAt,
                                  uint32_t* ends, uint32_t* tabs) {
    do {
        for (int k = 0; k < 4; ++k) {
            const unsigned b = static_cast<unsigned>(_tzcnt_u64(e));  // 64 once e is spent
            ends[k] = endAt + static_cast<uint32_t>(_mm_popcnt_u64(_bzhi_u64(keep, b)));
            if (CountTabs) tabs[k] = tabsAt + static_cast<uint32_t>(_mm_popcnt_u64(_bzhi_u64(tab, b)));
            e = _blsr_u64(e);
        }
        ends += 4;
        if (CountTabs) tabs += 4;
    } while (e != 0);
}

template <bool CountTabs>
MEKURI_WIDE void CompactWide(TCompactJob& job) {
    char* const p = job.p;
    const size_t n = job.n;
    const bool endsWithCr = n > 0 && p[n - 1] == '\r';
    const __m512i crs = _mm512_set1_epi8('\r'), lfs = _mm512_set1_epi8('\n'), tabChars = _mm512_set1_epi8('\t');
    uint64_t carry = job.afterCr ? 1 : 0;
    size_t out = 0;
    size_t lines = 0;
    uint32_t tabs = job.tabBase;
    for (size_t i = 0; i < n; i += 64) {
        const bool whole = n - i >= 64;
        const uint64_t valid = whole ? ~uint64_t{0} : _bzhi_u64(~uint64_t{0}, static_cast<unsigned>(n - i));
        // Masked-off bytes of the last group are not read, so nothing past the block is.
        const __m512i v = _mm512_maskz_loadu_epi8(valid, p + i);
        const uint64_t cr = _mm512_cmpeq_epi8_mask(v, crs) & valid;
        const uint64_t lf = _mm512_cmpeq_epi8_mask(v, lfs) & valid;
        const uint64_t tab = CountTabs ? _mm512_cmpeq_epi8_mask(v, tabChars) & valid : 0;
        const uint64_t keep = ~(cr | lf) & valid;
        const uint64_t e = cr | (lf & ~((cr << 1) | carry));
        carry = cr >> 63;
        if (e != 0) {
            WriteEnds<CountTabs>(e, keep, tab, job.endBase + static_cast<uint32_t>(out), tabs, job.ends + lines,
                                 CountTabs ? job.tabs + lines : nullptr);
            lines += static_cast<size_t>(_mm_popcnt_u64(e));
        }
        // The group's kept bytes close up at `out`, which never passes `i`: a whole store
        // only rewrites bytes already read.
        const __m512i packed = _mm512_maskz_compress_epi8(keep, v);
        const size_t k = static_cast<size_t>(_mm_popcnt_u64(keep));
        if (whole) _mm512_storeu_si512(p + out, packed);
        else _mm512_mask_storeu_epi8(p + out, _bzhi_u64(~uint64_t{0}, static_cast<unsigned>(k)), packed);
        out += k;
        if (CountTabs) tabs += static_cast<uint32_t>(_mm_popcnt_u64(tab));
    }
    job.lines = lines;
    job.kept = out;
    job.tabsSeen = tabs;
    if (n > 0) job.afterCr = endsWithCr;
}

MEKURI_WIDE void CompactLinesWide(TCompactJob& job) {
    if (job.tabs) CompactWide<true>(job);
    else CompactWide<false>(job);
}

// The portable kernel with population counts and bit scans as single instructions, which
// nearly every 64-bit processor has.
__attribute__((target("popcnt,bmi"))) void CompactLinesCounted(TCompactJob& job) {
    if (job.tabs) CompactPortable<true>(job);
    else CompactPortable<false>(job);
}

}  // namespace

TCompactKernel CountedCompactKernel() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("bmi") ? &CompactLinesCounted : nullptr;
}

TCompactKernel WideCompactKernel() {
    __builtin_cpu_init();
    const bool ok = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                    __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi") &&
                    __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
    return ok ? &CompactLinesWide : nullptr;
}

#else

TCompactKernel WideCompactKernel() { return nullptr; }
TCompactKernel CountedCompactKernel() { return nullptr; }

#endif

TCompactKernel BestCompactKernel() {
    static const TCompactKernel best = [] {
        if (TCompactKernel wide = WideCompactKernel()) return wide;
        if (TCompactKernel counted = CountedCompactKernel()) return counted;
        return &CompactLinesPortable;
    }();
    return best;
}
