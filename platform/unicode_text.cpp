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
    // CP932 never takes more bytes than the UTF-8 it comes from, so the room left always
    // holds the rest of the source (and 16 bytes more); only a code, two bytes for what may
    // be a single broken byte, makes more room.
    std::string out(n + 16, '\0');
    char* o = out.data();
    size_t to = 0;
    const auto putCp932 = [&](uint16_t code) {
        if (code > 0xFF) o[to++] = static_cast<char>(code >> 8);
        o[to++] = static_cast<char>(code & 0xFF);
    };
    // A cluster that is not one code point CP932 holds: CR LF as it is, else a code.
    const auto putOther = [&](size_t start, size_t end) {
        const std::string_view cluster = utf8.substr(start, end - start);
        if (cluster == "\r\n") {
            o[to++] = '\r';
            o[to++] = '\n';
            return;
        }
        const auto code = extra.CodeFor(cluster);
        if (!code) throw EEncodingError("この日記には Shift-JIS にない文字の種類が多すぎるため、これ以上入れられません");
        o[to++] = (*code)[0];
        o[to++] = (*code)[1];
        if (out.size() - to < n - end + 16) {
            out.resize(std::max(out.size() * 2, to + n - end + 16));
            o = out.data();
        }
    };
    const auto putSingle = [&](size_t start, size_t end, char32_t c) {
        if (const uint16_t code = Cp932Of(c, fit))
            putCp932(code);
        else
            putOther(start, end);
    };
    // A character of no special class waits here until the next one shows that it does not
    // join it: then it is a cluster of its own (most of any text), taken at full speed.
    constexpr size_t kNone = std::string_view::npos;
    size_t pending = kNone;
    char32_t pendingChar = 0;
    size_t i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        // ASCII never joins the character before it; before ASCII it is a cluster of its
        // own (CR LF is one, but stays the same bytes).
        if (b < 0x80 && (i + 1 == n || static_cast<unsigned char>(utf8[i + 1]) < 0x80)) {
            if (pending != kNone) putSingle(pending, i, pendingChar);
            pending = kNone;
            o[to++] = static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t c = 0;
        const size_t len = DecodeUtf8(utf8, i, c);
        const uint8_t cls = len ? CodePointProperties(c) & kPropClassMask : ccOther;
        if (pending != kNone) {
            if (len && (cls == ccExtend || cls == ccZWJ || cls == ccSpacingMark)) {
                // The waiting character begins a longer cluster: taken whole.
                const size_t end = ClusterEnd(utf8, pending);
                putOther(pending, end);
                pending = kNone;
                i = end;
                continue;
            }
            putSingle(pending, i, pendingChar);
            pending = kNone;
        }
        if (len && cls == ccOther) {
            pending = i;
            pendingChar = c;
            i += len;
            continue;
        }
        const size_t end = ClusterEnd(utf8, i);
        if (len != 0 && len == end - i)
            putSingle(i, end, c);
        else
            putOther(i, end);
        i = end;
    }
    if (pending != kNone) putSingle(pending, n, pendingChar);
    out.resize(to);
    return out;
}

TInPlace TextFromUnicodeInPlace(char* out, const char* in, size_t size, TExtraChars& extra) {
    // A piece of whole lines at a time (a cluster never goes past a line feed), each
    // converted and then copied down: CP932 and codes never take more bytes than their
    // UTF-8, so the copy never reaches bytes not read yet, but for a lone broken byte.
    constexpr size_t kPiece = 64 * 1024;
    TInPlace done;
    while (done.read < size) {
        const std::string_view rest(in + done.read, size - done.read);
        size_t end = rest.size();
        if (end > kPiece) {
            const size_t lf = rest.find('\n', kPiece);
            if (lf != std::string_view::npos) end = lf + 1;
        }
        const std::string piece = TextFromUnicode(rest.substr(0, end), extra);
        if (out + done.written + piece.size() > in + done.read + end) break;
        std::memmove(out + done.written, piece.data(), piece.size());
        done.written += piece.size();
        done.read += end;
    }
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
                    // The room kept for the rest of the text, grown by doubling when a
                    // cluster is longer than the six bytes its code had.
                    const size_t need = to + cluster->size() + (text.size() - i - 2) * 3 + 4;
                    if (out.size() < need) out.resize(std::max(need, out.size() * 2));
                    put(cluster->data(), cluster->size());
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
