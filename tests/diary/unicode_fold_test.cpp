// The search beyond CP932: the fold of any Unicode text agrees with the fold of CP932
// text wherever both can hold the characters, and days in UTF-8 are found by any query.
#include "diary/day_file_form.h"
#include "diary/search_query.h"
#include "diary/text_fold.h"
#include "diary/text_search.h"
#include "diary/unicode_fold.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"
#include "platform/text_tables.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Random CP932 text of characters it holds (half-width sound marks after anything
// included): its fold and the fold of its Unicode reading are the same bytes.
TEST(UnicodeFold, SeededRandomCp932FoldsAsItsUnicodeReading) {
    std::vector<std::string> chars;
    for (unsigned b = 0x20; b < 0xE0; ++b)
        if (b < 0x7F || b >= 0xA1) chars.push_back(std::string(1, static_cast<char>(b)));
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead)
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
            if (IsLeadByte(static_cast<unsigned char>(lead)) && text_tables::kDecodePairs[(lead - 0x80) * 256 + trail])
                chars.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    std::mt19937 random(2029);
    for (int round = 0; round < 20000; ++round) {
        std::string sjis;
        for (int k = 0, n = 1 + static_cast<int>(random() % 4); k < n; ++k) {
            sjis += chars[random() % chars.size()];
            if (random() % 3 == 0) sjis += random() % 2 ? "\xDE" : "\xDF";
        }
        std::string cp932Fold, unicodeFold;
        FoldText(sjis, cp932Fold);
        FoldUnicode(SjisToUtf8(sjis), unicodeFold);
        ASSERT_EQ(FoldedToUtf8(unicodeFold), FoldedToUtf8(cp932Fold)) << SjisToUtf8(sjis);
        ASSERT_EQ(unicodeFold, cp932Fold) << SjisToUtf8(sjis);
    }
}

// What a query finds in a day written in UTF-8 (found: the matched text, as UTF-8).
TEST(UnicodeFold, QueriesOfAnyCharactersFindUtf8Days) {
    struct Case {
        const char* day;
        const char* query;
        bool exact;
        const char* found;  // nullptr: no match
    };
    const Case cases[] = {
        {"朝の😊コーヒー", "😊", false, "😊"},
        {"朝の😊コーヒー", "😊 こーひー", false, "😊"},
        {"😊", "😀", false, nullptr},
        {"家族 👨\u200D👩\u200D👧 で", "👨\u200D👩\u200D👧", false, "👨\u200D👩\u200D👧"},
        {"CAFÉ au lait", "café", false, "CAFÉ"},
        {"cafe\u0301 au lait", "CAFÉ", false, "cafe\u0301"},  // a base and its mark fold as one
        {"ﬁne", "fine", false, "ﬁne"},
        {"Ω (U+2126)", "ω", false, "Ω"},
        {"𠮷野家", "𠮷野", false, "𠮷野"},
        {"〜まで", "～", false, "〜"},                         // the wave dash typed as CP932 takes it
        {"ヷ", "ﾜﾞ", false, "ヷ"},
        {"\xFF" "abc", "abc", false, "abc"},                     // a broken byte beside a word
        {"cafe\u0301", "café", true, nullptr},                   // exact compares code points
        {"café", "café", true, "café"},
        {"😊 smile", "😊 smile", true, "😊"},
        {"CAFÉ", "café", true, nullptr},
        {"〜まで", "〜", true, "〜"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.day) + " / " + c.query);
        const TDayText day = DayTextFromBytes(std::string("\xEF\xBB\xBF") + c.day);
        const TSearchQuery query = MakeSearchQuery(c.query, c.exact);
        TTextMatcher matcher(query);
        matcher.SetExtraChars(&day.extra);
        const auto m = matcher.MatchDay(day.text, true);
        ASSERT_EQ(m.has_value(), c.found != nullptr);
        if (!m) continue;
        EXPECT_EQ(UnicodeFromText(std::string_view(day.text).substr(m->match.start, m->match.length), day.extra), c.found);
        EXPECT_EQ(m->lines, 1);
    }
}

}  // namespace
