#include "platform/unicode_text.h"

#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/text_tables.h"

#include <algorithm>
#include <cstring>

namespace {

// The CP932 form of one code point, 0 when it has none that `fit` allows. A code of the
// user-defined rows is left to the extra codes, so that it never meets one given out.
uint16_t Cp932Of(char32_t c, TCp932Fit fit) {
    if (c < 0x80) return static_cast<uint16_t>(c);
    if (c >= 0x10000) return 0;
    uint16_t code = text_tables::kEncodeBlocks[text_tables::kEncodeIndex[c >> 8] * 256u + (c & 0xFF)];
    if (code == 0 && fit == TCp932Fit::LookAlike) {
        const uint32_t* end = text_tables::kLoose + text_tables::kLooseCount;
        const uint32_t* at = std::lower_bound(text_tables::kLoose, end, static_cast<uint32_t>(c) << 16);
        if (at != end && *at >> 16 == c) code = static_cast<uint16_t>(*at & 0xFFFF);
    }
    if (code > 0xFF && TExtraChars::IsCodeLead(static_cast<unsigned char>(code >> 8))) return 0;
    return code;
}

}  // namespace

std::string TextFromUnicode(std::string_view utf8, TExtraChars& extra, TCp932Fit fit) {
    const size_t n = utf8.size();
    // CP932 never takes more bytes than UTF-8; only a code for a lone broken byte does.
    std::string out(n + 16, '\0');
    size_t to = 0;
    const auto put = [&](const char* bytes, size_t size) {
        if (out.size() - to < size) out.resize(out.size() * 2 + size);
        std::memcpy(out.data() + to, bytes, size);
        to += size;
    };
    const auto putCode = [&](uint16_t code) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        if (code > 0xFF)
            put(bytes, 2);
        else
            put(bytes + 1, 1);
    };
    char32_t c = 0, next = 0;
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        // ASCII before ASCII is a cluster of its own (CR LF is one, but stays the same bytes).
        if (b < 0x80 && (i + 1 == n || static_cast<unsigned char>(utf8[i + 1]) < 0x80)) {
            if (to == out.size()) out.resize(out.size() * 2);
            out[to++] = static_cast<char>(b);
            ++i;
            continue;
        }
        const size_t len = DecodeUtf8(utf8, i, c);
        // The common case at full speed: a character of no special class, before one that
        // does not join it (most of any text), is a cluster of its own.
        if (len && (CodePointProperties(c) & kPropClassMask) == ccOther) {
            const size_t j = i + len;
            bool alone = j == n || static_cast<unsigned char>(utf8[j]) < 0x80;
            if (!alone) {
                const size_t nextLen = DecodeUtf8(utf8, j, next);
                const uint8_t k = nextLen ? CodePointProperties(next) & kPropClassMask : ccOther;
                alone = k != ccExtend && k != ccZWJ && k != ccSpacingMark;
            }
            if (alone) {
                if (const uint16_t code = Cp932Of(c, fit)) {
                    putCode(code);
                    i = j;
                    continue;
                }
            }
        }
        const size_t end = ClusterEnd(utf8, i);
        if (len == end - i) {
            if (const uint16_t code = Cp932Of(c, fit)) {
                putCode(code);
                i = end;
                continue;
            }
        } else if (utf8.substr(i, end - i) == "\r\n") {
            put("\r\n", 2);
            i = end;
            continue;
        }
        const auto code = extra.CodeFor(utf8.substr(i, end - i));
        if (!code) throw EEncodingError("この日記には Shift-JIS にない文字の種類が多すぎるため、これ以上入れられません");
        put(code->data(), 2);
        i = end;
    }
    out.resize(to);
    return out;
}

void AppendUnicodeFromText(std::string& out, std::string_view text, const TExtraChars& extra, TBrokenBytes broken) {
    constexpr char kReplacement[] = "\xEF\xBF\xBD";
    const bool keep = broken == TBrokenBytes::Keep;
    size_t to = out.size();
    // A byte of text becomes at most three of UTF-8; only a code may need more.
    out.resize(to + text.size() * 3 + 4);
    const auto put = [&](const char* bytes, size_t size) {
        std::memcpy(out.data() + to, bytes, size);
        to += size;
    };
    const auto putEntry = [&](uint32_t e) {
        std::memcpy(out.data() + to, reinterpret_cast<const char*>(&e) + 1, 3);
        to += e & 0xFF;
    };
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(c) && i + 1 < text.size()) {
            const auto t = static_cast<unsigned char>(text[i + 1]);
            if (const std::string* cluster = TExtraChars::IsCodeLead(c) ? extra.Cluster(c, t) : nullptr) {
                if (!keep && IsRawByteCluster(*cluster)) {
                    put(kReplacement, 3);
                } else {
                    out.resize(to);
                    out += *cluster;
                    to = out.size();
                    out.resize(to + (text.size() - i) * 3 + 4);
                }
                i += 2;
                continue;
            }
            if (const uint32_t e = text_tables::kDecodePairs[(c - 0x80) * 256u + t]) {
                putEntry(e);
                i += 2;
                continue;
            }
            // A pair that forms no character: kept whole, or one U+FFFD for its lead
            // byte with the byte after it read afresh.
            if (keep) {
                put(&text[i], t >= 0x80 ? 2 : 1);
                i += t >= 0x80 ? 2 : 1;
            } else {
                put(kReplacement, 3);
                ++i;
            }
            continue;
        }
        if (const uint32_t e = text_tables::kDecodeSingle[c])
            putEntry(e);
        else if (keep)
            put(&text[i], 1);
        else
            put(kReplacement, 3);
        ++i;
    }
    out.resize(to);
}
