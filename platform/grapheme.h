#pragma once
// What a user sees as one character: the grapheme cluster (a base with its combining
// marks, variation selectors and skin-tone modifiers, a flag's pair, a ZWJ sequence, a
// Hangul syllable, CR LF). Boundaries follow the extended grapheme cluster rules with
// properties from tables made at build time (platform/text_tables.h).
#include "platform/text_tables.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The properties of a code point (platform/text_tables.h: its cluster class and emoji bits).
inline uint8_t CodePointProperties(char32_t c) {
    if (c > 0x10FFFF) return ccOther;
    return text_tables::kPropBlocks[text_tables::kPropIndex[c >> 8] * 256u + (c & 0xFF)];
}

// The well-formed UTF-8 character at `s[i]`: its length (1-4) with the code point in `c`,
// or 0 when the byte at `i` starts none (ill-formed, overlong, surrogate, cut short).
// Inline: the conversion of a whole day file calls it for every character.
[[gnu::always_inline]] inline size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
    const size_t n = s.size() - i;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const auto cont = [&](size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
    const unsigned char b = at(0);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        // The second byte's range rules out overlong forms (E0) and surrogates (ED).
        if (!cont(1) || !cont(2)) return 0;
        if ((b == 0xE0 && at(1) < 0xA0) || (b == 0xED && at(1) > 0x9F)) return 0;
        c = static_cast<char32_t>((b & 0x0F) << 12 | (at(1) & 0x3F) << 6 | (at(2) & 0x3F));
        return 3;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        if (!cont(1)) return 0;
        c = static_cast<char32_t>((b & 0x1F) << 6 | (at(1) & 0x3F));
        return 2;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if ((b == 0xF0 && at(1) < 0x90) || (b == 0xF4 && at(1) > 0x8F)) return 0;
        c = static_cast<char32_t>((b & 0x07) << 18 | (at(1) & 0x3F) << 12 | (at(2) & 0x3F) << 6 | (at(3) & 0x3F));
        return 4;
    }
    return 0;
}

void AppendUtf8(char32_t c, std::string& out);

// Where the cluster that starts at `start` ends. A byte that starts no well-formed
// character is a cluster of its own, and a cluster never takes one in.
size_t ClusterEnd(std::string_view utf8, size_t start);

// Whether a cluster is shown as a picture (an emoji in emoji presentation, a flag, a
// keycap, a ZWJ sequence or a modified emoji), so that it is drawn in an emoji face.
bool ShowsAsEmoji(std::string_view cluster);
