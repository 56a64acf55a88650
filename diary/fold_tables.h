#pragma once
// The tables the search folding (text_fold.h, unicode_fold.h) uses, written at build time
// by tools/gen_fold_tables.cpp from ICU's normalisation and case data and from iconv's
// reading of CP932.
#include <cstddef>
#include <cstdint>

// Reserved codes: lead byte 0x85, a row CP932 leaves empty. The first stands for any byte
// that forms no character; the others for characters CP932 cannot hold.
constexpr unsigned char kFoldReservedLead = 0x85;
constexpr unsigned char kFoldBrokenTrail = 0x40;
// A table entry: bits 0-6 the folded length, bit 7 set when a sound mark may join the
// character, bits 8-31 the folded bytes themselves (length up to 3, in memory order) or
// their offset in the pool.
constexpr uint32_t kFoldJoinFlag = 0x80;
constexpr size_t kFoldPairCount = 0x7D * 256;  // (lead - 0x80) * 256 + trail

// The row of a table of `count` rows, `width` numbers each, sorted by their first number,
// whose first number is `key`; nullptr when there is none.
inline const uint32_t* FoldTableRow(const uint32_t* table, size_t count, size_t width, uint32_t key) {
    size_t lo = 0, hi = count;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (table[width * mid] < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < count && table[width * lo] == key ? table + width * lo : nullptr;
}

namespace fold_tables {
extern const uint32_t kBroken;  // the entry for a byte that forms no character
extern const uint32_t kSingle[256];
extern const uint32_t kPairs[kFoldPairCount];
extern const size_t kPoolSize;
extern const unsigned char kPool[];
// Where a sound mark joins the character before it into something other than the two
// folds one after the other: (code << 1 | semi-voiced), offset in the pool, size; sorted.
extern const size_t kJoinedCount;
extern const uint32_t kJoined[];
// Reserved trail - 0x41 -> code point.
extern const size_t kReservedCount;
extern const char32_t kReserved[];
// The fold of every code point whose fold is not itself (the look-alikes CP932 takes, as
// the characters they are taken for, NFKC, simple case folding; katakana are made
// hiragana after composition): code point, offset in kWidePool, length; sorted.
extern const size_t kWideCount;
extern const uint32_t kWide[];
extern const char32_t kWidePool[];
// Canonical compositions of two code points: first, second, composed; sorted.
extern const size_t kComposeCount;
extern const uint32_t kCompose[];
// Code point, canonical combining class, for every class other than 0; sorted.
extern const size_t kCombiningCount;
extern const uint32_t kCombining[];
// Folded unit (its bytes as a number) -> the CP932 codes whose fold holds it: unit, first,
// count into kSourceCodes (a code's bytes as a number); sorted by unit.
extern const size_t kSourcesCount;
extern const uint32_t kSources[];
extern const uint16_t kSourceCodes[];
}  // namespace fold_tables
