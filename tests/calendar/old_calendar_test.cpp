#include "calendar/old_calendar.h"
#include "platform/convert.h"
#include "platform/sjis.h"
#include "platform/string_list.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Row {
    TJuliusDay start;
    int month;
};

std::vector<Row> TableRows() {
    TStringList lines;
    lines.SetText(JdOldCalResource());
    std::vector<Row> rows;
    for (const std::string& line : lines.Lines()) {
        std::vector<std::string> f = SplitFields(line, ',');
        EXPECT_EQ(f.size(), 2u) << line;
        rows.push_back({StrToInt(f.at(0)), StrToInt(f.at(1))});
    }
    return rows;
}

}  // namespace

TEST(OldCalendarTable, CompiledInByteForByte) {
    std::string_view t = JdOldCalResource();
    EXPECT_EQ(t.size(), 2939u);
    EXPECT_EQ(t.substr(0, 12), "2447889,12\r\n");
    EXPECT_EQ(t.substr(t.size() - 12), "2455537,11\r\n");
    int crlf = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i] == '\n') {
            ASSERT_GT(i, 0u);
            ASSERT_EQ(t[i - 1], '\r') << i;
            ++crlf;
        }
    }
    EXPECT_EQ(crlf, 260);
}

TEST(OldCalendar, EdgesOfTheTable) {
    EXPECT_EQ(OldCalendarDate(2447889), (TOldDate{12, 1}));  // 1989-12-28
    EXPECT_EQ(RokuyoOf(2447889), 6);
    EXPECT_EQ(OldCalendarDate(2447888), (TOldDate{0, 0}));
    EXPECT_EQ(RokuyoOf(2447888), 0);
    EXPECT_EQ(OldCalendarDate(2455536), (TOldDate{10, 30}));  // 2010-12-05
    EXPECT_EQ(RokuyoOf(2455536), 3);
    EXPECT_EQ(OldCalendarDate(2455537), (TOldDate{0, 0}));  // the closing line itself
    EXPECT_EQ(RokuyoOf(2455537), 0);
    EXPECT_EQ(RokuyoOf(2455538), 0);
    EXPECT_EQ(RokuyoOf(0), 0);
    std::uint8_t m = 99, d = 99;
    OldCalendarDate(YMDToJulius(2027, 1, 1), m, d);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 0);
}

TEST(OldCalendar, RokuyoCycle) {
    EXPECT_EQ(JuliusToYMD(2447919), (TYMD{1990, 1, 27}));
    EXPECT_EQ(OldCalendarDate(2447919), (TOldDate{1, 1}));
    EXPECT_EQ(RokuyoOf(2447919), 1);
    EXPECT_EQ(RokuyoOf(2447920), 2);
    // The leap fifth month counts as the fifth.
    EXPECT_EQ(OldCalendarDate(2448066), (TOldDate{105, 1}));
    EXPECT_EQ(RokuyoOf(2448066), 5);
    EXPECT_EQ(OldCalendarDate(2448094), (TOldDate{105, 29}));
    EXPECT_EQ(OldCalendarDate(2448095), (TOldDate{6, 1}));
    EXPECT_EQ(RokuyoOf(2448095), 6);
}

// The search answers as a plain walk over the table would, for every day it covers and
// a margin on both sides.
TEST(OldCalendar, LookupAgreesWithAWalkOverTheTable) {
    std::vector<Row> rows = TableRows();
    for (TJuliusDay j = rows.front().start - 40; j <= rows.back().start + 40; ++j) {
        TOldDate expected{0, 0};
        if (j >= rows.front().start && j <= rows.back().start) {
            for (std::size_t i = 1; i < rows.size(); ++i) {
                if (rows[i].start > j) {
                    expected = {static_cast<std::uint8_t>(rows[i - 1].month),
                                static_cast<std::uint8_t>(j - rows[i - 1].start + 1)};
                    break;
                }
            }
        }
        ASSERT_EQ(OldCalendarDate(j), expected) << j;
        int m = expected.Month > 100 ? expected.Month - 100 : expected.Month;
        ASSERT_EQ(RokuyoOf(j), m == 0 ? 0 : (m - 1 + expected.Day - 1) % 6 + 1) << j;
    }
}

TEST(OldCalendar, RokuyoNamesAreCp932) {
    const char* names[] = {"不明", "先勝", "友引", "先負", "仏滅", "大安", "赤口"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(RokuyoNames(i), Sjis(names[i])) << i;
    EXPECT_EQ(RokuyoNames(7), Sjis("不明"));
    EXPECT_EQ(RokuyoNames(-1), Sjis("不明"));
    EXPECT_EQ(RokuyoNames(1).size(), 4u);
}
