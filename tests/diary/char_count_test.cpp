// 文字数 and what the lists show of an entry.
#include "diary/char_count.h"
#include "diary/day_index.h"
#include "diary/entry_list.h"
#include "platform/sjis.h"
#include "tools/diary_text.h"

#include <gtest/gtest.h>

namespace {

TYMD D(int y, int m, int d) { return {y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)}; }

}  // namespace

TEST(CharCount, EveryCharacterOneAndLineBreaksNothing) {
    const struct {
        std::string text;
        std::int64_t chars;
    } cases[] = {
        {"", 0},
        {"abc", 3},
        {Sjis("日記"), 2},
        {Sjis("ｶﾀｶﾅ"), 4},                 // half-width katakana: one byte, one character
        {" \t" + Sjis("　"), 3},            // blanks count too
        {"a\r\nb\rc\nd\r\n", 4},            // CR LF, lone CR, lone LF
        {"\r\n\r\n", 0},
        {Sjis("表") + "x", 2},              // trail byte 0x5C is not a backslash
        {"\x82", 1},                        // a lead byte at the end stands alone
        {"\x82\r\n\x82\xa0", 2},            // a lead byte before a break does not take it
        {"\x82\x20", 2},                    // nor a byte that cannot end a character
        {"\x80\xa0\xfd", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(CharCount(c.text), c.chars) << SjisToUtf8(c.text);
}

// On well-formed text the count is the number of characters Unicode sees, breaks aside.
TEST(CharCount, MatchesTheCharactersOfTheDecodedDiaryText) {
    for (std::uint64_t seed : {1u, 2u, 3u, 932u}) {
        const std::string text = DiaryText(200000, 4000, seed);
        std::int64_t expected = 0;  // UTF-8 lead bytes, breaks aside
        for (unsigned char c : SjisToUtf8(text)) expected += (c & 0xC0) != 0x80 && c != '\r' && c != '\n';
        EXPECT_EQ(CharCount(text), expected) << seed;
    }
}

TEST(GroupedCount, CommasBetweenThousands) {
    EXPECT_EQ(GroupedCount(0), "0");
    EXPECT_EQ(GroupedCount(999), "999");
    EXPECT_EQ(GroupedCount(1000), "1,000");
    EXPECT_EQ(GroupedCount(1234567), "1,234,567");
}

TEST(SummarizeEntry, FirstLineWithTextCutToFortyCharactersTabsAsSpaces) {
    const std::string forty(40, 'a');
    const struct {
        std::string file;
        std::int64_t chars;
        std::string firstLine;
    } cases[] = {
        {"", 0, ""},
        {"\r\n \r\n\t\r\n" + Sjis("　") + "\r\n", 3, ""},  // blanks only: no line to show
        {"\r\n\r\n\t" + Sjis("朝") + "\tx\r\nnext", 8, " " + Sjis("朝") + " x"},
        {forty + "bc\r\n", 42, forty},
        {Sjis(std::string(30, 'x') + "日本語の日記を書いた一日"), 42, Sjis(std::string(30, 'x') + "日本語の日記を書いた")},
        {"head\x1atail", 4, "head"},                      // the text ends at the byte 26
        {"only\n", 4, "only"},
    };
    for (const auto& c : cases) {
        const TEntrySummary s = SummarizeEntry(c.file);
        EXPECT_EQ(s.chars, c.chars) << SjisToUtf8(c.file);
        EXPECT_EQ(s.firstLine, SjisToUtf8(c.firstLine)) << SjisToUtf8(c.file);
    }
}

// A UTF-8 day counts grapheme clusters: a ZWJ family, a flag, a letter with its mark are
// one each; a byte that forms no character counts one and shows as U+FFFD.
TEST(SummarizeEntry, Utf8DaysCountWhatTheUserSees) {
    const struct {
        std::string file;
        std::int64_t chars;
        std::string firstLine;
    } cases[] = {
        {"\xEF\xBB\xBF\r\n\u3000\t\r\n👨\u200D👩\u200D👧 🇯🇵e\u0301\r\n日記", 8, "👨\u200D👩\u200D👧 🇯🇵e\u0301"},
        {"\xEF\xBB\xBF\t\xFF😊\x1A" "hidden", 3, " \xEF\xBF\xBD😊"},
        {"日記\n" + std::string(50, 'x'), 52, "日記"},
        {"\xEF\xBB\xBF" + std::string(30, 'x') + "日本語の日記を書いた😊一日", 43, std::string(30, 'x') + "日本語の日記を書いた"},
    };
    for (const auto& c : cases) {
        const TEntrySummary s = SummarizeEntry(c.file);
        EXPECT_EQ(s.chars, c.chars) << c.file;
        EXPECT_EQ(s.firstLine, c.firstLine) << c.file;
    }
}

TEST(SameDayInOtherYears, NewestFirstTheVeryDateOnly) {
    TDayIndex index;
    for (const TYMD& d : {D(2019, 3, 1), D(2020, 2, 29), D(2021, 2, 28), D(2023, 2, 28), D(2024, 2, 29),
                          D(2024, 2, 28), D(2025, 2, 28), D(2026, 3, 1)})
        index.Add(d);
    EXPECT_EQ(SameDayInOtherYears(index, D(2025, 2, 28)), (std::vector<TYMD>{D(2024, 2, 28), D(2023, 2, 28), D(2021, 2, 28)}));
    EXPECT_EQ(SameDayInOtherYears(index, D(2028, 2, 29)), (std::vector<TYMD>{D(2024, 2, 29), D(2020, 2, 29)}));
    EXPECT_EQ(SameDayInOtherYears(index, D(2026, 3, 1)), (std::vector<TYMD>{D(2019, 3, 1)}));
    EXPECT_TRUE(SameDayInOtherYears(index, D(2026, 3, 2)).empty());
}
