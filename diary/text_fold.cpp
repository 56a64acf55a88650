#include "diary/text_fold.h"

#include "platform/exceptions.h"
#include "platform/sjis.h"

#include <unicode/uchar.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// Reserved codes: lead byte 0x85, a row CP932 leaves empty. The first stands for any byte
// that forms no character; the others for characters CP932 cannot hold.
constexpr unsigned char kReservedLead = 0x85;
constexpr unsigned char kBrokenTrail = 0x40;
constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// A table entry: bits 0-6 the folded length, bit 7 set when a sound mark may join the
// character, bits 8-31 the folded bytes themselves (length up to 3) or their offset in
// the pool.
constexpr uint32_t kJoinFlag = 0x80;

class TFoldTables {
public:
    TFoldTables() { Build(); }

    uint32_t single[256] = {};
    std::vector<uint32_t> pairs;  // (lead - 0x80) * 256 + trail
    std::string pool;
    // (code << 1 | semi-voiced): the folded text of the character and the mark together,
    // where it is not the two folds one after the other.
    std::unordered_map<uint32_t, std::string> joined;
    std::vector<char32_t> reserved;  // reserved trail - 0x41 -> code point
    uint32_t broken = 0;             // the entry for a byte that forms no character
    // Folded character (its bytes as a number) -> the CP932 characters whose fold holds it.
    std::unordered_map<uint32_t, std::vector<std::string>> sources;

    std::string_view Bytes(const uint32_t& e) const {
        const size_t n = e & 0x7F;
        if (n <= 3) return {reinterpret_cast<const char*>(&e) + 1, n};
        return {pool.data() + (e >> 8), n};
    }

private:
    std::unordered_map<char32_t, std::string> encoded_;
    const UNormalizer2* nfkc_ = nullptr;

    std::string Encode(char32_t c) {
        auto at = encoded_.find(c);
        if (at != encoded_.end()) return at->second;
        std::string utf8;
        if (c < 0x80) {
            utf8 = static_cast<char>(c);
        } else {
            char buf[8];
            int32_t len = 0;
            UErrorCode err = U_ZERO_ERROR;
            UChar u16[2];
            int32_t n16 = 0;
            U16_APPEND_UNSAFE(u16, n16, static_cast<UChar32>(c));
            u_strToUTF8(buf, sizeof buf, &len, u16, n16, &err);
            utf8.assign(buf, static_cast<size_t>(len));
        }
        std::string out;
        try {
            out = Utf8ToSjis(utf8);
            // iconv also takes a few characters CP932 only resembles (¥ as the backslash
            // byte); those are kept apart like any other character CP932 lacks.
            if (SjisToUtf8(out) != utf8) throw EEncodingError("");
        } catch (const EEncodingError&) {
            if (0x41 + reserved.size() > 0x7E) throw std::runtime_error("too many folded characters outside CP932");
            out = {static_cast<char>(kReservedLead), static_cast<char>(0x41 + reserved.size())};
            reserved.push_back(c);
        }
        encoded_.emplace(c, out);
        return out;
    }

    // The fold of a piece of Unicode text, encoded.
    std::string Fold(const std::u16string& text) {
        UChar norm[64];
        UErrorCode err = U_ZERO_ERROR;
        const int32_t n = unorm2_normalize(nfkc_, reinterpret_cast<const UChar*>(text.data()),
                                           static_cast<int32_t>(text.size()), norm, 64, &err);
        if (U_FAILURE(err)) throw std::runtime_error("NFKC failed");
        std::string out;
        for (int32_t i = 0; i < n;) {
            UChar32 c;
            U16_NEXT(norm, i, n, c);
            c = u_foldCase(c, U_FOLD_CASE_DEFAULT);
            if (c >= 0x30A1 && c <= 0x30F6) c -= 0x60;
            out += Encode(static_cast<char32_t>(c));
        }
        return out;
    }

    // The character a CP932 code stands for, or nothing.
    static bool Decode(std::string_view code, std::u16string& out) {
        const std::string utf8 = SjisToUtf8(code);
        if (utf8.find("\xEF\xBF\xBD") != std::string::npos) return false;
        UChar buf[8];
        int32_t len = 0;
        UErrorCode err = U_ZERO_ERROR;
        u_strFromUTF8(buf, 8, &len, utf8.data(), static_cast<int32_t>(utf8.size()), &err);
        if (U_FAILURE(err) || len == 0) return false;
        out.assign(reinterpret_cast<const char16_t*>(buf), static_cast<size_t>(len));
        return true;
    }

    void AddSources(std::string_view code, std::string_view folded) {
        for (size_t i = 0; i < folded.size();) {
            const auto c = static_cast<unsigned char>(folded[i]);
            const size_t n = IsLeadByte(c) && i + 1 < folded.size() ? 2 : 1;
            uint32_t key = 0;
            for (size_t k = 0; k < n; ++k) key = key << 8 | static_cast<unsigned char>(folded[i + k]);
            std::vector<std::string>& list = sources[key];
            if (std::find(list.begin(), list.end(), code) == list.end()) list.emplace_back(code);
            i += n;
        }
    }

    uint32_t Entry(const std::string& bytes) {
        uint32_t e = static_cast<uint32_t>(bytes.size());
        if (bytes.size() <= 3) {
            std::memcpy(reinterpret_cast<char*>(&e) + 1, bytes.data(), bytes.size());
        } else {
            e |= static_cast<uint32_t>(pool.size()) << 8;
            pool += bytes;
        }
        return e;
    }

    void Build() {
        UErrorCode err = U_ZERO_ERROR;
        nfkc_ = unorm2_getNFKCInstance(&err);
        if (U_FAILURE(err)) throw std::runtime_error("NFKC data missing");
        const std::string brokenBytes{static_cast<char>(kReservedLead), static_cast<char>(kBrokenTrail)};
        encoded_.emplace(U'\uFFFD', brokenBytes);
        broken = Entry(brokenBytes);
        std::u16string probe;
        if (Decode("\x85\x40", probe) || Decode("\x85\xFC", probe))
            throw std::runtime_error("CP932 row 0x85 is not empty here: no room for the fold's own codes");
        pairs.assign(0x7D * 256, 0);

        std::u16string marks[2];
        Decode("\xDE", marks[0]);
        Decode("\xDF", marks[1]);
        const std::string markFolds[2] = {Fold(marks[0]), Fold(marks[1])};

        auto fill = [&](std::string_view code, uint32_t key) -> uint32_t {
            std::u16string text;
            if (!Decode(code, text)) return broken;
            const std::string folded = Fold(text);
            AddSources(code, folded);
            uint32_t e = Entry(folded);
            for (int m = 0; m < 2; ++m) {
                const std::string both = Fold(text + marks[m]);
                if (both == folded + markFolds[m]) continue;
                joined.emplace(key << 1 | static_cast<uint32_t>(m), both);
                AddSources(code, both);
                e |= kJoinFlag;
            }
            return e;
        };
        for (unsigned b = 0; b < 256; ++b) {
            if (IsLeadByte(static_cast<unsigned char>(b))) continue;
            const char c = static_cast<char>(b);
            single[b] = fill(std::string_view(&c, 1), b);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!IsLeadByte(static_cast<unsigned char>(lead))) continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!IsTrailByte(static_cast<unsigned char>(trail))) continue;
                const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                pairs[(lead - 0x80) * 256 + trail] = fill(std::string_view(code, 2), lead << 8 | trail);
            }
        }
    }
};

const TFoldTables& Tables() {
    static const TFoldTables tables;
    return tables;
}

// ASCII-only stretch: A-Z lowered, 16 bytes at a time. Returns how many bytes it took.
size_t FoldAscii(const unsigned char* p, size_t n, char* out) {
    size_t i = 0;
#ifdef __SSE2__
    const __m128i a = _mm_set1_epi8('A' - 1), z = _mm_set1_epi8('Z' + 1), bit = _mm_set1_epi8(0x20);
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(v) != 0) break;
        const __m128i upper = _mm_and_si128(_mm_cmpgt_epi8(v, a), _mm_cmplt_epi8(v, z));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_or_si128(v, _mm_and_si128(upper, bit)));
    }
#endif
    (void)p;
    (void)out;
    return i;
}

// The fold with the source offset of every folded byte.
void FoldMapped(std::string_view text, std::string& out, std::vector<uint32_t>* from) {
    const TFoldTables& t = Tables();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    const size_t base = out.size();
    size_t pos = base;
    // Room for the whole text when nothing grows; more is made as needed.
    out.resize(pos + n + 64);
    const size_t fromBase = from->size();
    from->reserve(fromBase + n + 1);
    const auto room = [&](size_t need) {
        if (out.size() - pos < need + 32) out.resize(out.size() * 2 + need + 32);
    };
    // The last character a sound mark may join: its key, where its fold begins in `out`
    // and where it stands in `text`.
    bool canJoin = false;
    uint32_t joinKey = 0;
    size_t joinAt = 0, joinSource = 0;
    size_t i = 0;
    while (i < n) {
        room(0);
        const unsigned char c = p[i];
        if (c < 0x80) {
            canJoin = false;
            out[pos++] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
            from->push_back(static_cast<uint32_t>(i));
            ++i;
            continue;
        }
        if (canJoin && (c == kVoicedMark || c == kSemiVoicedMark)) {
            canJoin = false;
            auto at = t.joined.find(joinKey << 1 | (c == kSemiVoicedMark ? 1u : 0u));
            if (at != t.joined.end()) {
                // The character before and the mark become one: its fold is replaced.
                pos = joinAt;
                room(at->second.size());
                std::memcpy(out.data() + pos, at->second.data(), at->second.size());
                pos += at->second.size();
                from->resize(fromBase + (joinAt - base));
                from->insert(from->end(), at->second.size(), static_cast<uint32_t>(joinSource));
                ++i;
                continue;
            }
        }
        uint32_t e;
        size_t width = 1;
        uint32_t key = c;
        if (IsLeadByte(c)) {
            if (i + 1 < n && IsTrailByte(p[i + 1])) {
                key = static_cast<uint32_t>(c) << 8 | p[i + 1];
                e = t.pairs[(c - 0x80) * 256 + p[i + 1]];
                width = 2;
            } else {
                e = t.broken;
            }
        } else {
            e = t.single[c];
        }
        const std::string_view bytes = t.Bytes(e);
        room(bytes.size());
        std::memcpy(out.data() + pos, bytes.data(), bytes.size());
        from->insert(from->end(), bytes.size(), static_cast<uint32_t>(i));
        canJoin = (e & kJoinFlag) != 0;
        joinKey = key;
        joinAt = pos;
        joinSource = i;
        pos += bytes.size();
        i += width;
    }
    out.resize(pos);
    from->push_back(static_cast<uint32_t>(n));
}

// The fold alone, tuned for the common case: entries of up to three bytes
// are stored with one write, and room is made once for the usual growth (at most two
// bytes a byte), checked again only after the rare longer entries.
void FoldFast(std::string_view text, std::string& out) {
    const TFoldTables& t = Tables();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    size_t pos = out.size();
    out.resize(pos + 2 * n + 64);
    char* o = out.data();
    bool canJoin = false;
    uint32_t joinKey = 0;
    size_t joinAt = 0;
    size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            canJoin = false;
            if (n - i >= 16) {
                const size_t run = FoldAscii(p + i, n - i, o + pos);
                if (run) {
                    i += run;
                    pos += run;
                    continue;
                }
            }
            o[pos++] = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 0x20 : c);
            ++i;
            continue;
        }
        uint32_t e;
        uint32_t key = c;
        size_t width = 1;
        if (IsLeadByte(c)) {
            if (i + 1 < n && IsTrailByte(p[i + 1])) {
                key = static_cast<uint32_t>(c) << 8 | p[i + 1];
                e = t.pairs[(c - 0x80) * 256 + p[i + 1]];
                width = 2;
            } else {
                e = t.broken;
            }
        } else {
            e = t.single[c];
            if (canJoin && (c == kVoicedMark || c == kSemiVoicedMark)) {
                canJoin = false;
                auto at = t.joined.find(joinKey << 1 | (c == kSemiVoicedMark ? 1u : 0u));
                if (at != t.joined.end()) {
                    pos = joinAt;
                    if (out.size() - pos < at->second.size() + 2 * (n - i) + 64) {
                        out.resize(pos + at->second.size() + 2 * (n - i) + 64);
                        o = out.data();
                    }
                    std::memcpy(o + pos, at->second.data(), at->second.size());
                    pos += at->second.size();
                    ++i;
                    continue;
                }
            }
        }
        const size_t len = e & 0x7F;
        joinAt = pos;
        if (len <= 3) {
            const uint32_t bytes = e >> 8;
            std::memcpy(o + pos, &bytes, 4);
        } else {
            if (out.size() - pos < len + 2 * (n - i) + 64) {
                out.resize(pos + len + 2 * (n - i) + 64);
                o = out.data();
            }
            std::memcpy(o + pos, t.pool.data() + (e >> 8), len);
        }
        pos += len;
        canJoin = (e & kJoinFlag) != 0;
        joinKey = key;
        i += width;
    }
    out.resize(pos);
}

}  // namespace

void FoldText(std::string_view text, std::string& out) { FoldFast(text, out); }

const std::vector<std::string>& FoldSources(std::string_view unit) {
    static const std::vector<std::string> none;
    uint32_t key = 0;
    for (char c : unit.substr(0, 2)) key = key << 8 | static_cast<unsigned char>(c);
    const auto& sources = Tables().sources;
    auto at = sources.find(key);
    return at == sources.end() ? none : at->second;
}

void FoldTextMapped(std::string_view text, std::string& out, std::vector<uint32_t>& from) {
    FoldMapped(text, out, &from);
}

std::string FoldedToUtf8(std::string_view folded) {
    const TFoldTables& t = Tables();
    std::string out;
    size_t i = 0;
    while (i < folded.size()) {
        const auto c = static_cast<unsigned char>(folded[i]);
        const bool pair = IsLeadByte(c) && i + 1 < folded.size() && IsTrailByte(static_cast<unsigned char>(folded[i + 1]));
        if (pair && c == kReservedLead) {
            const unsigned trail = static_cast<unsigned char>(folded[i + 1]);
            const size_t k = trail - 0x41;
            char32_t cp = trail == kBrokenTrail || k >= t.reserved.size() ? U'\uFFFD' : t.reserved[k];
            char buf[8];
            int32_t len = 0;
            UErrorCode err = U_ZERO_ERROR;
            UChar u16[2];
            int32_t n16 = 0;
            U16_APPEND_UNSAFE(u16, n16, static_cast<UChar32>(cp));
            u_strToUTF8(buf, sizeof buf, &len, u16, n16, &err);
            out.append(buf, static_cast<size_t>(len));
        } else {
            out += SjisToUtf8(folded.substr(i, pair ? 2 : 1));
        }
        i += pair ? 2 : 1;
    }
    return out;
}

bool StartsCharacter(std::string_view text, size_t pos) {
    if (pos > text.size()) return false;
    // Bytes outside the lead-byte ranges always end a character. From the last of them,
    // the lead-range bytes before `pos` pair up: an even number leaves `pos` at a
    // character, an odd one leaves a lead byte just before it, which takes the byte at
    // `pos` as its second unless that byte cannot be one.
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t k = 0;
    while (k < pos && IsLeadByte(p[pos - 1 - k])) ++k;
    return k % 2 == 0 || pos == text.size() || !IsTrailByte(p[pos]);
}
