#include "diary/text_fold.h"

#include "diary/fold_tables.h"
#include "diary/sjis_utf8.h"
#include "diary/unicode_fold.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

// The generated tables, read in place.
struct TFoldTables {
    const uint32_t* single = fold_tables::kSingle;
    const uint32_t* pairs = fold_tables::kPairs;
    const char* pool = reinterpret_cast<const char*>(fold_tables::kPool);
    uint32_t broken = fold_tables::kBroken;

    // The entry of the character at p[i] (of n bytes), its code and its width in bytes.
    struct TLookup {
        uint32_t entry;
        uint32_t key;
        size_t width;
    };
    TLookup Lookup(const unsigned char* p, size_t i, size_t n) const {
        const unsigned char c = p[i];
        if (!IsLeadByte(c)) return {single[c], c, 1};
        if (i + 1 < n && IsTrailByte(p[i + 1])) return {pairs[(c - 0x80) * 256 + p[i + 1]], uint32_t{c} << 8 | p[i + 1], 2};
        return {broken, c, 1};
    }

    std::string_view Bytes(const uint32_t& e) const {
        const size_t n = e & 0x7F;
        if (n <= 3) return {reinterpret_cast<const char*>(&e) + 1, n};
        return {pool + (e >> 8), n};
    }

    // The folded text of a character and the sound mark after it together
    // (key: code << 1 | semi-voiced), or a null view where it is the two folds in a row.
    std::string_view Joined(uint32_t key) const {
        const uint32_t* j = FoldTableRow(fold_tables::kJoined, fold_tables::kJoinedCount, 3, key);
        return j ? std::string_view(pool + j[1], j[2]) : std::string_view();
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

// The cluster a code of `extra` at p[i] stands for, or nullptr.
inline const std::string* CodeAt(const TExtraChars* extra, const unsigned char* p, size_t i, size_t n) {
    if (!extra || !TExtraChars::IsCodeLead(p[i]) || i + 1 >= n) return nullptr;
    return extra->Cluster(p[i], p[i + 1]);
}

// The fold with the source offset of every folded byte.
void FoldMapped(std::string_view text, std::string& out, std::vector<uint32_t>* from, const TExtraChars* extra) {
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
            const std::string_view joined = t.Joined(joinKey << 1 | (c == kSemiVoicedMark ? 1u : 0u));
            if (joined.data()) {
                // The character before and the mark become one: its fold is replaced.
                pos = joinAt;
                room(joined.size());
                std::memcpy(out.data() + pos, joined.data(), joined.size());
                pos += joined.size();
                from->resize(fromBase + (joinAt - base));
                from->insert(from->end(), joined.size(), static_cast<uint32_t>(joinSource));
                ++i;
                continue;
            }
        }
        if (const std::string* cluster = CodeAt(extra, p, i, n)) {
            canJoin = false;
            std::string folded;
            FoldUnicode(*cluster, folded);
            room(folded.size());
            std::memcpy(out.data() + pos, folded.data(), folded.size());
            from->insert(from->end(), folded.size(), static_cast<uint32_t>(i));
            pos += folded.size();
            i += 2;
            continue;
        }
        const auto [e, key, width] = t.Lookup(p, i, n);
        const std::string_view bytes = t.Bytes(e);
        room(bytes.size());
        std::memcpy(out.data() + pos, bytes.data(), bytes.size());
        from->insert(from->end(), bytes.size(), static_cast<uint32_t>(i));
        canJoin = (e & kFoldJoinFlag) != 0;
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
void FoldFast(std::string_view text, std::string& out, const TExtraChars* extra) {
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
        if (canJoin && (c == kVoicedMark || c == kSemiVoicedMark)) {
            canJoin = false;
            const std::string_view joined = t.Joined(joinKey << 1 | (c == kSemiVoicedMark ? 1u : 0u));
            if (joined.data()) {
                pos = joinAt;
                if (out.size() - pos < joined.size() + 2 * (n - i) + 64) {
                    out.resize(pos + joined.size() + 2 * (n - i) + 64);
                    o = out.data();
                }
                std::memcpy(o + pos, joined.data(), joined.size());
                pos += joined.size();
                ++i;
                continue;
            }
        }
        if (const std::string* cluster = CodeAt(extra, p, i, n)) [[unlikely]] {
            canJoin = false;
            std::string folded;
            FoldUnicode(*cluster, folded);
            // The room kept for the rest, grown by doubling when a fold is longer than it.
            if (out.size() - pos < folded.size() + 2 * (n - i) + 64) {
                out.resize(std::max(out.size() * 2, pos + folded.size() + 2 * (n - i) + 64));
                o = out.data();
            }
            std::memcpy(o + pos, folded.data(), folded.size());
            pos += folded.size();
            i += 2;
            continue;
        }
        const auto [e, key, width] = t.Lookup(p, i, n);
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
            std::memcpy(o + pos, t.pool + (e >> 8), len);
        }
        pos += len;
        canJoin = (e & kFoldJoinFlag) != 0;
        joinKey = key;
        i += width;
    }
    out.resize(pos);
}

}  // namespace

void FoldText(std::string_view text, std::string& out, const TExtraChars* extra) { FoldFast(text, out, extra); }

std::vector<std::string> FoldSources(std::string_view unit) {
    uint32_t key = 0;
    for (char c : unit.substr(0, 2)) key = key << 8 | static_cast<unsigned char>(c);
    const uint32_t* row = FoldTableRow(fold_tables::kSources, fold_tables::kSourcesCount, 3, key);
    std::vector<std::string> out;
    if (!row) return out;
    for (uint32_t k = 0; k < row[2]; ++k) {
        const uint16_t code = fold_tables::kSourceCodes[row[1] + k];
        if (code > 0xFF)
            out.push_back({static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)});
        else
            out.push_back(std::string(1, static_cast<char>(code)));
    }
    return out;
}

void FoldTextMapped(std::string_view text, std::string& out, std::vector<uint32_t>& from, const TExtraChars* extra) {
    FoldMapped(text, out, &from, extra);
}

void ExactTextMapped(std::string_view text, std::string& out, std::vector<uint32_t>& from, const TExtraChars& extra) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    for (size_t i = 0; i < text.size();) {
        const size_t before = out.size();
        const size_t width = IsLeadByte(p[i]) && i + 1 < text.size() ? 2 : 1;
        if (const std::string* cluster = CodeAt(&extra, p, i, text.size()))
            ExactUnicode(*cluster, out);
        else
            out.append(text.substr(i, width));
        from.insert(from.end(), out.size() - before, static_cast<uint32_t>(i));
        i += width;
    }
    from.push_back(static_cast<uint32_t>(text.size()));
}

std::string FoldedToUtf8(std::string_view folded) {
    std::string out;
    size_t i = 0;
    while (i < folded.size()) {
        const auto c = static_cast<unsigned char>(folded[i]);
        const bool pair = IsLeadByte(c) && i + 1 < folded.size() && IsTrailByte(static_cast<unsigned char>(folded[i + 1]));
        if (pair && c == 0xEB && i + 6 <= folded.size()) {
            char32_t cp = 0;
            for (size_t k = 0; k < 3; ++k) {
                const unsigned t = static_cast<unsigned char>(folded[i + 2 * k + 1]);
                cp = cp << 7 | (t < 0x7F ? t - 0x40 : t - 0x41);
            }
            AppendUtf8(cp, out);
            i += 6;
            continue;
        }
        if (pair && c == kFoldReservedLead) {
            const unsigned trail = static_cast<unsigned char>(folded[i + 1]);
            const size_t k = trail - 0x41;
            AppendUtf8(trail == kFoldBrokenTrail || k >= fold_tables::kReservedCount ? U'\uFFFD' : fold_tables::kReserved[k], out);
        } else {
            AppendSjisAsUtf8(out, folded.substr(i, pair ? 2 : 1));
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
