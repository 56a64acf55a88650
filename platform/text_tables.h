#pragma once
// The tables the text conversions (unicode_text.h) and the grapheme clusters (grapheme.h)
// read, written at build time by tools/gen_text_tables.cpp: the Unicode properties from
// ICU, the CP932 mappings from iconv itself. The program carries them and links neither.
#include <cstddef>
#include <cstdint>

// A code point's properties, one byte: bits 0-3 its grapheme cluster break class
// (TClusterClass), bit 4 Extended_Pictographic, bit 5 Emoji_Presentation, bit 6 Emoji.
enum TClusterClass : uint8_t {
    ccOther, ccCR, ccLF, ccControl, ccExtend, ccZWJ, ccRegional, ccPrepend, ccSpacingMark,
    ccL, ccV, ccT, ccLV, ccLVT,
};
constexpr uint8_t kPropClassMask = 0x0F;
constexpr uint8_t kPropPictographic = 0x10;
constexpr uint8_t kPropEmojiPresentation = 0x20;
constexpr uint8_t kPropEmoji = 0x40;

constexpr size_t kTextPairCount = 0x7D * 256;  // (lead - 0x80) * 256 + trail

namespace text_tables {
// Properties: kPropBlocks[kPropIndex[cp >> 8] * 256 + (cp & 0xFF)], cp up to U+10FFFF.
extern const uint16_t kPropIndex[0x1100];
extern const uint8_t kPropBlocks[];
// The CP932 code of a BMP code point that reads back as the same code point (0: none):
// kEncodeBlocks[kEncodeIndex[cp >> 8] * 256 + (cp & 0xFF)]; a single byte is its value,
// a pair is lead << 8 | trail. Code points below 0x80 are themselves and not looked up.
extern const uint16_t kEncodeIndex[256];
extern const uint16_t kEncodeBlocks[];
// Code points CP932 takes but reads back as another one (U+301C as 0x8160, read back as
// U+FF5E): cp << 16 | code, sorted.
extern const size_t kLooseCount;
extern const uint32_t kLoose[];
// Each CP932 code as UTF-8: bits 0-7 the length (0: no character), bits 8-31 the bytes
// in memory order. Single bytes by value, pairs by (lead - 0x80) * 256 + trail.
extern const uint32_t kDecodeSingle[256];
extern const uint32_t kDecodePairs[kTextPairCount];
}  // namespace text_tables
