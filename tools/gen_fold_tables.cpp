// Writes the search folding's tables (diary/fold_tables.h) as C++ source, at build time:
//     gen_fold_tables OUTPUT.cpp
// Each CP932 character's fold is worked out with ICU's normalisation and case data (exact
// for every character), so that the program carries the result and needs neither ICU
// nor the few milliseconds the working out takes at each start.
#include "diary/fold_tables.h"
#include "platform/exceptions.h"
#include "platform/sjis.h"
#include "platform/text_tables.h"

#include <unicode/uchar.h>
#include <unicode/uclean.h>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr bool IsTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

class TFoldTableBuilder {
public:
    TFoldTableBuilder() { Build(); }

    uint32_t single[256] = {};
    std::vector<uint32_t> pairs;
    std::string pool;
    std::map<uint32_t, std::string> joined;  // (code << 1 | semi-voiced) -> folded text
    std::vector<char32_t> reserved;
    uint32_t broken = 0;
    // Folded unit -> the CP932 codes whose fold holds it, in the order they were found.
    std::map<uint32_t, std::vector<uint16_t>> sources;
    // Every code point whose fold is not itself: code point, offset in widePool, length.
    std::vector<uint32_t> wide;
    std::vector<char32_t> widePool;
    // Canonical compositions of two code points: first, second, composed; sorted.
    std::vector<uint32_t> compose;
    // Code point, canonical combining class; for the classes other than 0, sorted.
    std::vector<uint32_t> combining;

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
            out = {static_cast<char>(kFoldReservedLead), static_cast<char>(0x41 + reserved.size())};
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

    void AddSources(uint16_t code, std::string_view folded) {
        for (size_t i = 0; i < folded.size();) {
            const auto c = static_cast<unsigned char>(folded[i]);
            const size_t n = IsLeadByte(c) && i + 1 < folded.size() ? 2 : 1;
            uint32_t key = 0;
            for (size_t k = 0; k < n; ++k) key = key << 8 | static_cast<unsigned char>(folded[i + k]);
            std::vector<uint16_t>& list = sources[key];
            if (std::find(list.begin(), list.end(), code) == list.end()) list.push_back(code);
            i += n;
        }
    }

    // The fold of one code point, as code points: a look-alike CP932 takes in its place
    // first (U+301C as ～), as typed text always was, then NFKC and case folding as Fold
    // does. Katakana become hiragana only after the composition that follows at run time,
    // as NFKC composes a sound mark with the katakana before Fold makes it hiragana.
    std::u32string WideFold(UChar32 c) {
        std::string utf8;
        for (size_t k = 0; k < text_tables::kLooseCount; ++k) {
            const uint32_t loose = text_tables::kLoose[k];
            if (loose >> 16 != static_cast<uint32_t>(c)) continue;
            const unsigned code = loose & 0xFFFF;
            const uint32_t e = code > 0xFF ? text_tables::kDecodePairs[((code >> 8) - 0x80) * 256 + (code & 0xFF)]
                                           : text_tables::kDecodeSingle[code];
            utf8.assign(reinterpret_cast<const char*>(&e) + 1, e & 0xFF);
        }
        if (utf8.empty()) {
            char buf[8];
            int32_t len = 0;
            UErrorCode err = U_ZERO_ERROR;
            UChar u16[2];
            int32_t n16 = 0;
            U16_APPEND_UNSAFE(u16, n16, c);
            u_strToUTF8(buf, sizeof buf, &len, u16, n16, &err);
            utf8.assign(buf, static_cast<size_t>(len));
        }
        UChar u16[8];
        int32_t n16 = 0;
        UErrorCode err = U_ZERO_ERROR;
        u_strFromUTF8(u16, 8, &n16, utf8.data(), static_cast<int32_t>(utf8.size()), &err);
        UChar norm[64];
        const int32_t n = unorm2_normalize(nfkc_, u16, n16, norm, 64, &err);
        if (U_FAILURE(err)) throw std::runtime_error("NFKC failed");
        std::u32string out;
        for (int32_t i = 0; i < n;) {
            UChar32 f;
            U16_NEXT(norm, i, n, f);
            out += static_cast<char32_t>(u_foldCase(f, U_FOLD_CASE_DEFAULT));
        }
        return out;
    }

    void BuildWide() {
        UErrorCode err = U_ZERO_ERROR;
        const UNormalizer2* nfc = unorm2_getNFCInstance(&err);
        if (U_FAILURE(err)) throw std::runtime_error("NFC data missing");
        for (UChar32 c = 0; c < 0x110000; ++c) {
            const int8_t type = u_charType(c);
            if (type == U_UNASSIGNED || type == U_SURROGATE) continue;
            if (const uint8_t ccc = u_getCombiningClass(c)) combining.insert(combining.end(), {static_cast<uint32_t>(c), ccc});
            const std::u32string f = WideFold(c);
            if (f.size() != 1 || f[0] != static_cast<char32_t>(c)) {
                wide.insert(wide.end(), {static_cast<uint32_t>(c), static_cast<uint32_t>(widePool.size()),
                                         static_cast<uint32_t>(f.size())});
                widePool.insert(widePool.end(), f.begin(), f.end());
            }
            UChar d[8];
            const int32_t n = unorm2_getRawDecomposition(nfc, c, d, 8, &err);
            if (U_FAILURE(err)) {
                err = U_ZERO_ERROR;
                continue;
            }
            if (n < 2) continue;
            UChar32 a, b;
            int32_t i = 0;
            U16_NEXT(d, i, n, a);
            if (i >= n) continue;
            U16_NEXT(d, i, n, b);
            if (i == n && unorm2_composePair(nfc, a, b) == c)
                compose.insert(compose.end(), {static_cast<uint32_t>(a), static_cast<uint32_t>(b), static_cast<uint32_t>(c)});
        }
        std::vector<std::array<uint32_t, 3>> triples;
        for (size_t k = 0; k < compose.size(); k += 3) triples.push_back({compose[k], compose[k + 1], compose[k + 2]});
        std::sort(triples.begin(), triples.end());
        compose.clear();
        for (const auto& t : triples) compose.insert(compose.end(), t.begin(), t.end());
    }

    uint32_t Entry(const std::string& bytes) {
        uint32_t e = static_cast<uint32_t>(bytes.size());
        if (bytes.size() <= 3) {
            // In memory order after the length, as the folding reads them back.
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
        const std::string brokenBytes{static_cast<char>(kFoldReservedLead), static_cast<char>(kFoldBrokenTrail)};
        encoded_.emplace(U'\uFFFD', brokenBytes);
        broken = Entry(brokenBytes);
        std::u16string probe;
        if (Decode("\x85\x40", probe) || Decode("\x85\xFC", probe))
            throw std::runtime_error("CP932 row 0x85 is not empty here: no room for the fold's own codes");
        pairs.assign(kFoldPairCount, 0);

        std::u16string marks[2];
        Decode("\xDE", marks[0]);
        Decode("\xDF", marks[1]);
        const std::string markFolds[2] = {Fold(marks[0]), Fold(marks[1])};

        auto fill = [&](std::string_view code, uint32_t key) -> uint32_t {
            std::u16string text;
            if (!Decode(code, text)) return broken;
            const std::string folded = Fold(text);
            AddSources(static_cast<uint16_t>(key), folded);
            uint32_t e = Entry(folded);
            for (int m = 0; m < 2; ++m) {
                const std::string both = Fold(text + marks[m]);
                if (both == folded + markFolds[m]) continue;
                joined.emplace(key << 1 | static_cast<uint32_t>(m), both);
                AddSources(static_cast<uint16_t>(key), both);
                e |= kFoldJoinFlag;
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
        BuildWide();
    }
};

void WriteNumbers(std::ofstream& out, const char* declaration, const auto& values) {
    out << declaration << " = {";
    size_t k = 0;
    for (const auto& v : values) out << (k++ % 12 == 0 ? "\n    " : " ") << static_cast<unsigned long>(v) << "u,";
    out << "\n};\n";
}

int Write(const char* path) {
    const TFoldTableBuilder t;
    std::string pool = t.pool;
    std::vector<uint32_t> joined;  // key, offset, size
    for (const auto& [key, bytes] : t.joined) {
        joined.insert(joined.end(), {key, static_cast<uint32_t>(pool.size()), static_cast<uint32_t>(bytes.size())});
        pool += bytes;
    }
    std::vector<uint32_t> sources;  // unit, first, count
    std::vector<uint16_t> codes;
    for (const auto& [unit, list] : t.sources) {
        sources.insert(sources.end(), {unit, static_cast<uint32_t>(codes.size()), static_cast<uint32_t>(list.size())});
        codes.insert(codes.end(), list.begin(), list.end());
    }
    std::ofstream out(std::string(path) + ".new", std::ios::binary);
    out << "// Written by tools/gen_fold_tables.cpp at build time. Do not edit.\n"
           "#include \"diary/fold_tables.h\"\n\n"
           "namespace fold_tables {\n\n"
           "const uint32_t kBroken = " << t.broken << "u;\n";
    WriteNumbers(out, "const uint32_t kSingle[256]", t.single);
    WriteNumbers(out, "const uint32_t kPairs[kFoldPairCount]", t.pairs);
    std::vector<unsigned> poolBytes(pool.begin(), pool.end());
    for (unsigned& b : poolBytes) b &= 0xFF;
    out << "const size_t kPoolSize = " << pool.size() << ";\n";
    WriteNumbers(out, "const unsigned char kPool[]", poolBytes);
    out << "const size_t kJoinedCount = " << t.joined.size() << ";\n";
    WriteNumbers(out, "const uint32_t kJoined[]", joined);
    out << "const size_t kReservedCount = " << t.reserved.size() << ";\n";
    WriteNumbers(out, "const char32_t kReserved[]", t.reserved);
    out << "const size_t kWideCount = " << t.wide.size() / 3 << ";\n";
    WriteNumbers(out, "const uint32_t kWide[]", t.wide);
    WriteNumbers(out, "const char32_t kWidePool[]", t.widePool);
    out << "const size_t kComposeCount = " << t.compose.size() / 3 << ";\n";
    WriteNumbers(out, "const uint32_t kCompose[]", t.compose);
    out << "const size_t kCombiningCount = " << t.combining.size() / 2 << ";\n";
    WriteNumbers(out, "const uint32_t kCombining[]", t.combining);
    out << "const size_t kSourcesCount = " << t.sources.size() << ";\n";
    WriteNumbers(out, "const uint32_t kSources[]", sources);
    WriteNumbers(out, "const uint16_t kSourceCodes[]", codes);
    out << "\n}  // namespace fold_tables\n";
    out.close();
    if (!out || std::rename((std::string(path) + ".new").c_str(), path) != 0) {
        std::fprintf(stderr, "gen_fold_tables: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: gen_fold_tables OUTPUT.cpp\n");
        return 2;
    }
    try {
        const int status = Write(argv[1]);
        u_cleanup();
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "gen_fold_tables: %s\n", e.what());
        return 1;
    }
}
