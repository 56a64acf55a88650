#include "platform/grapheme.h"

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
    char32_t c = 0;
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
    char32_t c = 0;
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
