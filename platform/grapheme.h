#pragma once
// What a user sees as one character: the grapheme cluster (a base with its combining
// marks, variation selectors and skin-tone modifiers, a flag's pair, a ZWJ sequence, a
// Hangul syllable, CR LF). Boundaries follow the extended grapheme cluster rules with
// properties from tables made at build time (platform/text_tables.h).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The properties of a code point (platform/text_tables.h: its cluster class and emoji bits).
uint8_t CodePointProperties(char32_t c);

// The well-formed UTF-8 character at `s[i]`: its length (1-4) with the code point in `c`,
// or 0 when the byte at `i` starts none (ill-formed, overlong, surrogate, cut short).
size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c);

void AppendUtf8(char32_t c, std::string& out);

// Where the cluster that starts at `start` ends. A byte that starts no well-formed
// character is a cluster of its own, and a cluster never takes one in.
size_t ClusterEnd(std::string_view utf8, size_t start);

// Whether a cluster is shown as a picture (an emoji in emoji presentation, a flag, a
// keycap, a ZWJ sequence or a modified emoji), so that it is drawn in an emoji face.
bool ShowsAsEmoji(std::string_view cluster);
