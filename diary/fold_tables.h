#pragma once
// The tables the search folding (text_fold.h) and the UTF-8 reading (sjis_utf8.h) use,
// written at build time by tools/gen_fold_tables.cpp from ICU's normalisation and case
// data and from iconv's reading of CP932.
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
// Each code as UTF-8, as iconv reads it: bits 0-7 the length (0: no character), bits 8-31
// the bytes in memory order. Indexed as kSingle and kPairs.
extern const uint32_t kUtf8Single[256];
extern const uint32_t kUtf8Pairs[kFoldPairCount];
// Folded unit (its bytes as a number) -> the CP932 codes whose fold holds it: unit, first,
// count into kSourceCodes (a code's bytes as a number); sorted by unit.
extern const size_t kSourcesCount;
extern const uint32_t kSources[];
extern const uint16_t kSourceCodes[];
}  // namespace fold_tables
