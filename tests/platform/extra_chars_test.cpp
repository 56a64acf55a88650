#include "platform/exceptions.h"
#include "platform/extra_chars.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"

#include <gtest/gtest.h>
#include <unicode/ubrk.h>
#include <unicode/ustring.h>

#include <cstdio>
#include <random>
#include <set>
#include <vector>

namespace {

// The text as the editor sees its characters: CP932 ones in hex, codes as [cluster].
std::string Describe(std::string_view text, const TExtraChars& extra) {
    std::string out;
    char hex[8];
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!out.empty()) out += ' ';
        if (IsLeadByte(c) && i + 1 < text.size()) {
            const auto t = static_cast<unsigned char>(text[i + 1]);
            if (const std::string* cluster = extra.Cluster(c, t)) {
                out += "[";
                if (IsRawByteCluster(*cluster)) {
                    std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>((*cluster)[0]));
                    out += hex;
                } else {
                    out += *cluster;
                }
                out += "]";
            } else {
                std::snprintf(hex, sizeof hex, "%02X%02X", c, t);
                out += hex;
            }
            i += 2;
        } else {
            std::snprintf(hex, sizeof hex, "%02X", c);
            out += hex;
            ++i;
        }
    }
    return out;
}

TEST(ExtraChars, EachClusterBecomesCp932OrOneCode) {
    struct Case {
        const char* utf8;
        TCp932Fit fit;
        const char* expected;
    };
    const auto exact = TCp932Fit::Exact, alike = TCp932Fit::LookAlike;
    const Case cases[] = {
        {"aあｱ", exact, "61 82A0 B1"},
        {"Ω", exact, "83B6"},                           // U+03A9 is CP932's own
        {"\u2126", alike, "[\u2126]"},                  // U+2126 has no look-alike either
        {"〜", exact, "[〜]"},                           // U+301C reads back as U+FF5E
        {"〜", alike, "8160"},                          // typed, it stays Shift-JIS as always
        {"～", exact, "8160"},
        {"—", exact, "[—]"},
        {"—", alike, "815C"},
        {"¥\\", exact, "[¥] 5C"},
        {"¥", alike, "5C"},
        {"𠮷野家", exact, "[𠮷] 96EC 89C6"},
        {"e\u0301", exact, "[e\u0301]"},                // a base with its combining mark
        {"か\u3099", exact, "[か\u3099]"},
        {"😊\r\n", exact, "[😊] 0D 0A"},
        {"\r\r\n\n", exact, "0D 0D 0A 0A"},
        {"👨\u200D👩\u200D👧", exact, "[👨\u200D👩\u200D👧]"},  // a ZWJ family is one
        {"🇯🇵🇺🇸🇫", exact, "[🇯🇵] [🇺🇸] [🇫]"},
        {"👍🏽☕\uFE0E", exact, "[👍🏽] [☕\uFE0E]"},
        {"\uE000", exact, "[\uE000]"},                 // never written as the user-defined F040
        {"a\xFF\xE3\x81", exact, "61 [\\xFF] [\\xE3] [\\x81]"},  // a character cut short
        {"\xED\xA0\x80", exact, "[\\xED] [\\xA0] [\\x80]"},       // a surrogate
        {"\xC0\xAF", exact, "[\\xC0] [\\xAF]"},                    // an overlong slash
        {"\xEF\xBB\xBF", exact, "[\uFEFF]"},
    };
    for (const Case& c : cases) {
        TExtraChars extra;
        const std::string text = TextFromUnicode(c.utf8, extra, c.fit);
        EXPECT_EQ(Describe(text, extra), c.expected) << c.utf8;
        if (c.fit == exact) {
            EXPECT_EQ(UnicodeFromText(text, extra, TBrokenBytes::Keep), c.utf8);
        }
    }    // A code takes two bytes for a broken byte: the text outgrows its source, to the last byte.
    for (size_t count : {16, 17, 18}) {
        TExtraChars extra;
        const std::string broken = std::string(count, '\xFF') + "l";
        EXPECT_EQ(UnicodeFromText(TextFromUnicode(broken, extra), extra, TBrokenBytes::Keep), broken) << count;
    }
}

TEST(ExtraChars, CodesComeInOrderSkipTheTextsOwnAndRunOut) {
    TExtraChars extra;
    // A Shift-JIS text with its own user-defined characters and a broken pair of row 85.
    extra.Reserve("\xF0\x40\x82\xA0\xF0\x42\x85\x40x\xF0");
    EXPECT_TRUE(extra.Empty());
    std::set<std::string> seen;
    std::vector<std::string> order;
    for (size_t k = 0;; ++k) {
        const std::string cluster = "😀" + std::to_string(k);
        const auto code = extra.CodeFor(cluster);
        if (!code) break;
        const std::string bytes(code->data(), 2);
        EXPECT_TRUE(seen.insert(bytes).second);
        EXPECT_TRUE(IsLeadByte(static_cast<unsigned char>(bytes[0])));
        ASSERT_EQ(*extra.Cluster(static_cast<unsigned char>(bytes[0]), static_cast<unsigned char>(bytes[1])), cluster);
        order.push_back(bytes);
    }
    ASSERT_EQ(order.size(), TExtraChars::kCodeCount - 3);
    EXPECT_EQ(order[0], "\xF0\x41");
    EXPECT_EQ(order[1], "\xF0\x43");
    EXPECT_EQ(order[61], "\xF0\x80");  // 0x7F is no trail byte
    EXPECT_EQ(order[10 * 188 - 2], "\x85\x41");
    EXPECT_EQ(order.back(), "\xEF\xFC");
    for (const char* own : {"\xF0\x40", "\xF0\x42", "\x85\x40"}) EXPECT_FALSE(seen.count(own));
    // The same cluster keeps its code; a new one finds none and the text refuses it.
    EXPECT_EQ(std::string(extra.CodeFor("😀5")->data(), 2), order[5]);
    EXPECT_THROW(TextFromUnicode("日記😊", extra), EEncodingError);
    // Only a code given out makes a text no longer fit CP932; its own do not.
    EXPECT_FALSE(extra.HoldsCode("\xF0\x40\x85\x40\x82\xF0"));
    EXPECT_TRUE(extra.HoldsCode("\x82\xA0" + order.back()));
    EXPECT_FALSE(extra.HoldsCode("\x82" + order.back().substr(0, 1)));
}

// Random mixes of everything a day may hold: UTF-8 -> text -> UTF-8 gives the same bytes,
// and a code never lands on one the text already held.
TEST(ExtraChars, SeededRandomTextsComeBackExactly) {
    const std::vector<std::string> pieces = {
        "日記", "表示能力", "ｱｲｳｴｵ", "abc", "\\", "~", "\r\n", "\r", "\n", "\t", std::string(1, '\0'),
        "😊", "👨\u200D👩\u200D👧", "👍🏽", "🇯🇵", "🇺", "e\u0301", "か\u3099", "\u0301", "♡\uFE0F",
        "1\uFE0F\u20E3", "\u2014", "\u2126", "\u301C", "\uFF5E", "𠮷", "\uE000", "\uE757", "¥", "café",
        "\u1100\u1161\u11A8", "\u0600a", "\u200D", "\xFF", "\x80", "\xE3\x81", "\xC0\xAF", "\xED\xA0\x80",
        "\xF4\x90\x80\x80", "\xEF\xBB\xBF", std::string(20, '\xFF'),
    };
    // A Shift-JIS text's own codes: user-defined characters and broken pairs.
    const std::vector<std::string> own = {"\xF0\x40", "\xF0\x41", "\xF9\xFC", "\x85\x40", "\xEB\x9F", "\xEF\xFC"};
    std::mt19937 random(29);
    for (int round = 0; round < 400; ++round) {
        std::string utf8, ownText;
        std::set<std::string> ownCodes;
        const int count = static_cast<int>(random() % 40);
        for (int k = 0; k < count; ++k) utf8 += pieces[random() % pieces.size()];
        for (int k = 0; k < 3; ++k) ownText += *ownCodes.insert(own[random() % own.size()]).first;
        TExtraChars extra;
        extra.Reserve(ownText);
        const auto fit = round % 2 ? TCp932Fit::Exact : TCp932Fit::LookAlike;
        const std::string text = TextFromUnicode(utf8, extra, fit);
        if (fit == TCp932Fit::Exact) {
            ASSERT_EQ(UnicodeFromText(text, extra, TBrokenBytes::Keep), utf8) << Describe(text, extra);
        }
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            const auto c = static_cast<unsigned char>(text[i]);
            if (!IsLeadByte(c)) continue;
            const std::string pair = text.substr(i++, 2);
            if (extra.Cluster(c, static_cast<unsigned char>(pair[1]))) {
                EXPECT_FALSE(ownCodes.count(pair)) << Describe(text, extra);
            }
        }
        // Shown, every byte that forms no character is one U+FFFD and the rest is UTF-8.
        const std::string shown = UnicodeFromText(text, extra);
        char32_t c = 0;
        for (size_t i = 0, len; i < shown.size(); i += len) ASSERT_NE(len = DecodeUtf8(shown, i, c), 0u) << shown;
    }
}

// CP932 alone reads as iconv reads it, broken bytes included, so that every Shift-JIS
// diary shows as it always did.
TEST(ExtraChars, SeededRandomCp932ReadsAsIconvReadsIt) {
    std::mt19937 random(932);
    const TExtraChars none;
    for (int round = 0; round < 2000; ++round) {
        std::string sjis;
        const int count = static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) {
            const unsigned r = static_cast<unsigned>(random());
            if (r % 3 == 0) {
                sjis += static_cast<char>(r >> 8);  // any byte
            } else {
                sjis += std::string{static_cast<char>(0x81 + (r >> 8) % 0x7C), static_cast<char>(0x40 + (r >> 16) % 0xBD)};
            }
        }
        ASSERT_EQ(UnicodeFromText(sjis, none), SjisToUtf8(sjis));
        // Kept, the broken bytes come back as they were.
        TExtraChars extra;
        const std::string kept = UnicodeFromText(sjis, none, TBrokenBytes::Keep);
        ASSERT_EQ(UnicodeFromText(TextFromUnicode(kept, extra), extra, TBrokenBytes::Keep), kept);
    }
}

// Cluster boundaries are held to ICU's break iterator on random strings drawn from every
// class the rules name, and from anywhere in Unicode.
TEST(Grapheme, SeededRandomBoundariesMatchIcu) {
    const std::vector<char32_t> pool = {
        'a', '\r', '\n', 0x01, 0x85, 0x0301, 0x200D, 0xFE0F, 0xFE0E, 0x1F1EF, 0x1F1F5, 0x1100, 0x1161, 0x11A8,
        0xAC00, 0xAC01, 0x0600, 0x0903, 0x1F600, 0x1F468, 0x00A9, 0x1F3FD, 0x3042, 0x3099, 0xE0020, 0x200B,
        0x0E33, 0x1F46A, 0x2764,
    };
    std::mt19937 random(11);
    UErrorCode err = U_ZERO_ERROR;
    UBreakIterator* icu = ubrk_open(UBRK_CHARACTER, "ja", nullptr, 0, &err);
    ASSERT_TRUE(U_SUCCESS(err));
    for (int round = 0; round < 20000; ++round) {
        std::string utf8;
        const int count = 1 + static_cast<int>(random() % 12);
        for (int k = 0; k < count; ++k) {
            char32_t c = pool[random() % pool.size()];
            if (random() % 4 == 0) {
                do {
                    c = static_cast<char32_t>(random() % 0x110000);
                } while (c >= 0xD800 && c <= 0xDFFF);
            }
            AppendUtf8(c, utf8);
        }
        std::u16string u16(utf8.size(), u'\0');
        int32_t len16 = 0;
        std::vector<int32_t> offset8;  // UTF-16 offset -> UTF-8 offset
        for (size_t i = 0, len; i < utf8.size(); i += len) {
            char32_t c = 0;
            len = DecodeUtf8(utf8, i, c);
            offset8.push_back(static_cast<int32_t>(i));
            if (c >= 0x10000) offset8.push_back(-1);
        }
        offset8.push_back(static_cast<int32_t>(utf8.size()));
        u_strFromUTF8(reinterpret_cast<UChar*>(u16.data()), static_cast<int32_t>(u16.size()), &len16, utf8.data(),
                      static_cast<int32_t>(utf8.size()), &err);
        ubrk_setText(icu, reinterpret_cast<const UChar*>(u16.data()), len16, &err);
        ASSERT_TRUE(U_SUCCESS(err));
        std::vector<size_t> expected, actual;
        for (int32_t b = ubrk_next(icu); b != UBRK_DONE; b = ubrk_next(icu)) expected.push_back(static_cast<size_t>(offset8[static_cast<size_t>(b)]));
        for (size_t i = 0; i < utf8.size(); i = ClusterEnd(utf8, i)) actual.push_back(ClusterEnd(utf8, i));
        ASSERT_EQ(actual, expected) << utf8;
    }
    ubrk_close(icu);
}

TEST(Grapheme, WhichClustersShowAsPictures) {
    struct Case {
        const char* cluster;
        bool emoji;
    };
    const Case cases[] = {
        {"😊", true}, {"☕", true}, {"☕\uFE0E", false}, {"☺", false}, {"☺\uFE0F", true}, {"♡", false},
        {"1\uFE0F\u20E3", true}, {"1", false}, {"🇯🇵", true}, {"👍🏽", true}, {"👨\u200D👩\u200D👧", true},
        {"©", false}, {"é", false}, {"あ", false}, {"\xFF", false},
    };
    for (const Case& c : cases) EXPECT_EQ(ShowsAsEmoji(c.cluster), c.emoji) << c.cluster;
}

}  // namespace
