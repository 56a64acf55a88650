#include "platform/grapheme.h"

#include "platform/text_tables.h"

uint8_t CodePointProperties(char32_t c) {
    if (c > 0x10FFFF) return ccOther;
    return text_tables::kPropBlocks[text_tables::kPropIndex[c >> 8] * 256u + (c & 0xFF)];
}

size_t DecodeUtf8(std::string_view s, size_t i, char32_t& c) {
    const size_t n = s.size() - i;
    const auto at = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const auto cont = [&](size_t k) { return k < n && (at(k) & 0xC0) == 0x80; };
    const unsigned char b = at(0);
    if (b < 0x80) {
        c = b;
        return 1;
    }
    if (b >= 0xC2 && b <= 0xDF) {
        if (!cont(1)) return 0;
        c = static_cast<char32_t>((b & 0x1F) << 6 | (at(1) & 0x3F));
        return 2;
    }
    if (b >= 0xE0 && b <= 0xEF) {
        // The second byte's range rules out overlong forms (E0) and surrogates (ED).
        if (!cont(1) || !cont(2)) return 0;
        if ((b == 0xE0 && at(1) < 0xA0) || (b == 0xED && at(1) > 0x9F)) return 0;
        c = static_cast<char32_t>((b & 0x0F) << 12 | (at(1) & 0x3F) << 6 | (at(2) & 0x3F));
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) return 0;
        if ((b == 0xF0 && at(1) < 0x90) || (b == 0xF4 && at(1) > 0x8F)) return 0;
        c = static_cast<char32_t>((b & 0x07) << 18 | (at(1) & 0x3F) << 12 | (at(2) & 0x3F) << 6 | (at(3) & 0x3F));
        return 4;
    }
    return 0;
}

void AppendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

namespace {

bool IsBreakClass(uint8_t k) { return k == ccCR || k == ccLF || k == ccControl; }

// Whether a character of class `next` stays in the cluster whose last character has class
// `prev`. `pictureJoin`: the cluster so far ends in a pictograph, Extends and a ZWJ, and
// `next` is a pictograph. `regionalCount`: how many regional indicators end the cluster.
bool Joins(uint8_t prev, uint8_t next, bool pictureJoin, int regionalCount) {
    if (prev == ccCR) return next == ccLF;
    if (IsBreakClass(prev) || IsBreakClass(next)) return false;
    if (prev == ccL && (next == ccL || next == ccV || next == ccLV || next == ccLVT)) return true;
    if ((prev == ccLV || prev == ccV) && (next == ccV || next == ccT)) return true;
    if ((prev == ccLVT || prev == ccT) && next == ccT) return true;
    if (next == ccExtend || next == ccZWJ || next == ccSpacingMark || prev == ccPrepend) return true;
    if (pictureJoin) return true;
    return prev == ccRegional && next == ccRegional && regionalCount % 2 == 1;
}

}  // namespace

size_t ClusterEnd(std::string_view utf8, size_t start) {
    char32_t c;
    size_t len = DecodeUtf8(utf8, start, c);
    if (len == 0) return start + 1;
    uint8_t props = CodePointProperties(c);
    uint8_t prev = props & kPropClassMask;
    bool picture = props & kPropPictographic;  // a pictograph followed by Extends only
    bool pictureZwj = false;                  // ... and then a ZWJ
    int regional = prev == ccRegional ? 1 : 0;
    size_t i = start + len;
    while (i < utf8.size()) {
        len = DecodeUtf8(utf8, i, c);
        if (len == 0) break;
        props = CodePointProperties(c);
        const uint8_t next = props & kPropClassMask;
        const bool isPicture = props & kPropPictographic;
        if (!Joins(prev, next, pictureZwj && isPicture, regional)) break;
        pictureZwj = picture && next == ccZWJ;
        picture = isPicture || (picture && next == ccExtend);
        regional = next == ccRegional ? regional + 1 : 0;
        prev = next;
        i += len;
    }
    return i;
}

bool ShowsAsEmoji(std::string_view cluster) {
    char32_t first;
    if (cluster.empty() || DecodeUtf8(cluster, 0, first) == 0) return false;
    const uint8_t props = CodePointProperties(first);
    if ((props & kPropClassMask) == ccRegional) return true;
    bool text = false, emojiSelector = false, keycap = false, joined = false;
    char32_t c;
    for (size_t i = 0, len; i < cluster.size(); i += len ? len : 1) {
        len = DecodeUtf8(cluster, i, c);
        if (len == 0) continue;
        text |= c == 0xFE0E;
        emojiSelector |= c == 0xFE0F;
        keycap |= c == 0x20E3;
        joined |= c == 0x200D || (c >= 0x1F3FB && c <= 0x1F3FF);
    }
    if (text) return false;
    if (props & kPropEmojiPresentation) return true;
    if ((props & kPropEmoji) && (emojiSelector || keycap)) return true;
    return (props & kPropPictographic) && joined;
}
