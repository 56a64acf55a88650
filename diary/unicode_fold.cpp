#include "diary/unicode_fold.h"

#include "diary/fold_tables.h"
#include "platform/grapheme.h"
#include "platform/text_tables.h"

#include <algorithm>

namespace {

constexpr unsigned char kWideLeads[3] = {0xEB, 0xEC, 0xEF};

// The CP932 code of `c` (0 for none); look-alikes too when `lookAlike`.
uint16_t Cp932Code(char32_t c, bool lookAlike) {
    if (c >= 0x10000) return 0;
    const uint16_t code = text_tables::kEncodeBlocks[text_tables::kEncodeIndex[c >> 8] * 256u + (c & 0xFF)];
    if (code || !lookAlike) return code;
    const uint32_t* end = text_tables::kLoose + text_tables::kLooseCount;
    const uint32_t* at = std::lower_bound(text_tables::kLoose, end, static_cast<uint32_t>(c) << 16);
    return at != end && *at >> 16 == c ? static_cast<uint16_t>(*at & 0xFFFF) : 0;
}

void AppendCode(uint16_t code, std::string& out) {
    if (code > 0xFF) out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

void AppendWide(char32_t c, std::string& out) {
    for (int k = 0; k < 3; ++k) {
        const unsigned v = (c >> (14 - 7 * k)) & 0x7F;
        out += static_cast<char>(kWideLeads[k]);
        out += static_cast<char>(v < 0x3F ? 0x40 + v : 0x41 + v);
    }
}

void AppendBroken(std::string& out) {
    out += static_cast<char>(kFoldReservedLead);
    out += static_cast<char>(kFoldBrokenTrail);
}

// The fold of one code point (itself when the table has none).
void FoldCodePoint(char32_t c, std::u32string& out) {
    if (const uint32_t* row = FoldTableRow(fold_tables::kWide, fold_tables::kWideCount, 3, c))
        out.append(fold_tables::kWidePool + row[1], row[2]);
    else
        out += c;
}

int CombiningClass(char32_t c) {
    const uint32_t* row = FoldTableRow(fold_tables::kCombining, fold_tables::kCombiningCount, 2, c);
    return row ? static_cast<int>(row[1]) : 0;
}

constexpr char32_t Hiragana(char32_t c) { return c >= 0x30A1 && c <= 0x30F6 ? c - 0x60 : c; }

char32_t Composed(char32_t a, char32_t b) {
    const uint32_t* t = fold_tables::kCompose;
    size_t lo = 0, hi = fold_tables::kComposeCount;
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        const uint32_t* e = t + 3 * mid;
        if (e[0] < a || (e[0] == a && e[1] < b))
            lo = mid + 1;
        else
            hi = mid;
    }
    const uint32_t* e = t + 3 * lo;
    return lo < fold_tables::kComposeCount && e[0] == a && e[1] == b ? e[2] : 0;
}

}  // namespace

void AppendFoldedCodePoint(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (const uint16_t code = Cp932Code(c, false)) {
        AppendCode(code, out);
    } else if (const char32_t* r = std::find(fold_tables::kReserved, fold_tables::kReserved + fold_tables::kReservedCount, c);
               r != fold_tables::kReserved + fold_tables::kReservedCount) {
        out += static_cast<char>(kFoldReservedLead);
        out += static_cast<char>(0x41 + (r - fold_tables::kReserved));
    } else {
        AppendWide(c, out);
    }
}

void FoldUnicode(std::string_view utf8, std::string& out) {
    std::u32string folded;
    // The code points folded so far, put in canonical order and composed as NFC does, made
    // hiragana and appended.
    const auto flush = [&] {
        for (size_t i = 1; i < folded.size(); ++i) {
            // Marks in a row ordered by their class (stable: equal classes keep their order).
            for (size_t k = i; k > 0; --k) {
                const int a = CombiningClass(folded[k - 1]), b = CombiningClass(folded[k]);
                if (b == 0 || a <= b) break;
                std::swap(folded[k - 1], folded[k]);
            }
        }
        std::u32string composed;
        size_t starter = std::u32string::npos;
        int last = -1;  // the class of the last character kept after the starter; -1 for none
        for (const char32_t c : folded) {
            const int ccc = CombiningClass(c);
            if (starter != std::u32string::npos && (last == -1 || (last != 0 && last < ccc))) {
                if (const char32_t joined = Composed(composed[starter], c)) {
                    composed[starter] = joined;
                    continue;
                }
            }
            if (ccc == 0) {
                starter = composed.size();
                last = -1;
            } else {
                last = ccc;
            }
            composed += c;
        }
        for (char32_t f : composed) AppendFoldedCodePoint(Hiragana(f), out);
        folded.clear();
    };
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const size_t len = DecodeUtf8(utf8, i, c);
        if (len == 0) {
            // Kept apart from its neighbours: a broken byte composes with nothing.
            flush();
            AppendBroken(out);
            ++i;
            continue;
        }
        FoldCodePoint(c, folded);
        i += len;
    }
    flush();
}

void ExactUnicode(std::string_view utf8, std::string& out) {
    for (size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const size_t len = DecodeUtf8(utf8, i, c);
        if (len == 0) {
            AppendBroken(out);
            ++i;
        } else {
            if (c < 0x80)
                out += static_cast<char>(c);
            else if (const uint16_t code = Cp932Code(c, true))
                AppendCode(code, out);
            else
                AppendWide(c, out);
            i += len;
        }
    }
}
