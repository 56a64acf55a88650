#include "platform/unicode_text.h"

#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/text_tables.h"

#include <algorithm>
#include <cstring>
#include <vector>

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

// For each code point of the Basic Multilingual Plane: whether it is a cluster by itself
// unless what follows extends it (kAlone), and whether it extends what stands before it
// (kExtends). Japanese text is nearly all of the first kind followed by the first kind, so
// the conversion of a day file takes it without the cluster rules.
constexpr uint8_t kAlone = 1;
constexpr uint8_t kExtends = 2;

uint8_t ClusterBits(char32_t c) {
    const uint8_t props = CodePointProperties(c);
    const uint8_t cls = props & kPropClassMask;
    uint8_t bits = 0;
    if (cls == ccOther && !(props & kPropPictographic)) bits |= kAlone;
    if (cls == ccExtend || cls == ccZWJ || cls == ccSpacingMark) bits |= kExtends;
    return bits;
}

const uint8_t* BmpClusterBits() {
    static const std::vector<uint8_t> table = [] {
        std::vector<uint8_t> t(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c) t[c] = ClusterBits(c);
        return t;
    }();
    return table.data();
}

// The code point of the two- or three-byte character at s[i] (well formed), or 0.
[[gnu::always_inline]] inline char32_t ShortCharAt(std::string_view s, size_t i, size_t& len) {
    const auto b = static_cast<unsigned char>(s[i]);
    len = b < 0xE0 ? 2 : 3;
    if (b < 0xC2 || b > 0xEF || i + len > s.size()) return 0;
    const auto c1 = static_cast<unsigned char>(s[i + 1]);
    if ((c1 & 0xC0) != 0x80) return 0;
    if (len == 2) return (char32_t(b & 0x1F) << 6) | (c1 & 0x3F);
    const auto c2 = static_cast<unsigned char>(s[i + 2]);
    if ((c2 & 0xC0) != 0x80) return 0;
    const char32_t c = (char32_t(b & 0x0F) << 12) | (char32_t(c1 & 0x3F) << 6) | (c2 & 0x3F);
    return c < 0x800 || (c >= 0xD800 && c <= 0xDFFF) ? 0 : c;
}

// The CP932 form of each BMP code point under `fit`, looked up once (0: none).
const uint16_t* Cp932Table(TCp932Fit fit) {
    static const auto build = [](TCp932Fit f) {
        std::vector<uint16_t> t(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c) t[c] = Cp932Of(c, f);
        return t;
    };
    static const std::vector<uint16_t> exact = build(TCp932Fit::Exact);
    static const std::vector<uint16_t> lookAlike = build(TCp932Fit::LookAlike);
    return fit == TCp932Fit::Exact ? exact.data() : lookAlike.data();
}

// Converts utf8 cluster by cluster, handing each result to put(bytes, size). With
// `stopAtBroken`, stops before a byte that forms no character (its code would be longer
// than the byte). Returns the bytes of utf8 converted.
template <class TPut>
size_t Convert(std::string_view utf8, TExtraChars& extra, TCp932Fit fit, bool stopAtBroken, TPut put) {
    const size_t n = utf8.size();
    const uint8_t* bits = BmpClusterBits();
    const uint16_t* cp932 = Cp932Table(fit);
    const auto putCode = [&](uint16_t code) {
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        if (code > 0xFF)
            put(bytes, 2);
        else
            put(bytes + 1, 1);
    };
    // Whether the character at j (none at n) leaves the one before it a cluster by itself;
    // false when only the cluster rules can tell.
    const auto endsBefore = [&](size_t j) {
        if (j == n || static_cast<unsigned char>(utf8[j]) < 0x80) return true;
        size_t len = 0;
        const char32_t d = ShortCharAt(utf8, j, len);
        return d != 0 && !(bits[d] & kExtends);
    };
    size_t i = 0;
    while (i < n) {
        // ASCII before ASCII is a cluster of its own (CR LF is one, but stays the same bytes).
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            size_t j = i;
            while (j + 1 < n && static_cast<unsigned char>(utf8[j + 1]) < 0x80) ++j;
            // The last of the run, before a character that does not extend it, goes too.
            if (endsBefore(j + 1)) ++j;
            if (j > i) {
                put(utf8.data() + i, j - i);
                i = j;
                continue;
            }
        }
        // A character that is a cluster by itself, followed by one that does not extend it.
        size_t shortLen = 0;
        if (const char32_t c = b >= 0x80 ? ShortCharAt(utf8, i, shortLen) : 0;
            c != 0 && (bits[c] & kAlone) && cp932[c] && endsBefore(i + shortLen)) {
            putCode(cp932[c]);
            i += shortLen;
            continue;
        }
        const size_t end = ClusterEnd(utf8, i);
        char32_t c = 0;
        const size_t len = DecodeUtf8(utf8, i, c);
        if (len == 0 && stopAtBroken) return i;
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
    return n;
}

}  // namespace

std::string TextFromUnicode(std::string_view utf8, TExtraChars& extra, TCp932Fit fit) {
    std::string out;
    out.reserve(utf8.size());
    Convert(utf8, extra, fit, false, [&out](const char* bytes, size_t size) { out.append(bytes, size); });
    return out;
}

TInPlace TextFromUnicodeInPlace(char* out, const char* in, size_t size, TExtraChars& extra) {
    TInPlace done;
    // Every cluster but a lone broken byte comes out no longer than it went in, so the
    // writing never overtakes the reading.
    done.read = Convert(std::string_view(in, size), extra, TCp932Fit::Exact, true, [&](const char* from, size_t n) {
        char* to = out + done.written;
        if (n <= 2) {
            to[0] = from[0];
            if (n == 2) to[1] = from[1];
        } else {
            std::memmove(to, from, n);
        }
        done.written += n;
    });
    return done;
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
