#include "calendar/lunisolar.h"
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

// The computed calendar carries on seamlessly on both sides of the table.
TEST(OldCalendar, EdgesOfTheTable) {
    EXPECT_EQ(OldCalendarDate(2447889), (TOldDate{12, 1}));  // 1989-12-28
    EXPECT_EQ(RokuyoOf(2447889), 6);
    EXPECT_EQ(OldCalendarDate(2447888), (TOldDate{11, 30}));
    EXPECT_EQ(RokuyoOf(2447888), 4);
    EXPECT_EQ(OldCalendarDate(2455536), (TOldDate{10, 30}));  // 2010-12-05
    EXPECT_EQ(RokuyoOf(2455536), 3);
    EXPECT_EQ(OldCalendarDate(2455537), (TOldDate{11, 1}));  // the closing line's month
    EXPECT_EQ(RokuyoOf(2455537), 5);
    EXPECT_EQ(RokuyoOf(2455538), 6);
    std::uint8_t m = 99, d = 99;
    OldCalendarDate(YMDToJulius(2027, 1, 1), m, d);
    EXPECT_EQ(m, 11);
    EXPECT_EQ(d, 24);
    // Before Japan left the old calendar, and after 2100, no day has one.
    EXPECT_EQ(RokuyoOf(0), 0);
    OldCalendarDate(YMDToJulius(1872, 12, 31), m, d);
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

// The search answers as a plain walk over the table would, for every day it covers; on
// both sides the computed calendar answers.
TEST(OldCalendar, LookupAgreesWithAWalkOverTheTable) {
    std::vector<Row> rows = TableRows();
    for (TJuliusDay j = rows.front().start - 40; j <= rows.back().start + 40; ++j) {
        TOldDate expected = ComputedOldCalendarDate(j);
        if (j >= rows.front().start && j < rows.back().start) {
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

// The computed calendar gives every day of the table the table's month and day: the
// months begin on the same days and the leap months fall where the table has them.
TEST(ComputedOldCalendar, AgreesWithTheTableOnEveryDay) {
    std::vector<Row> rows = TableRows();
    for (TJuliusDay j = rows.front().start; j < rows.back().start; ++j)
        ASSERT_EQ(ComputedOldCalendarDate(j), OldCalendarDate(j)) << j;
    // Its own last line is the first day of the next 11th month.
    EXPECT_EQ(OldCalendarDate(rows.back().start), (TOldDate{11, 1}));
}

// The first day of the old year (旧正月) as the almanacs give it, around the present.
TEST(ComputedOldCalendar, NewYearsDays) {
    const TYMD newYears[] = {{2011, 2, 3},  {2014, 1, 31}, {2017, 1, 28}, {2020, 1, 25}, {2023, 1, 22},
                             {2024, 2, 10}, {2025, 1, 29}, {2026, 2, 17}, {2027, 2, 7},  {2028, 1, 27},
                             {2030, 2, 3}};
    for (const TYMD& d : newYears) {
        const TJuliusDay j = YMDToJulius(d.Year, d.Month, d.Day);
        EXPECT_EQ(OldCalendarDate(j), (TOldDate{1, 1})) << d.Year;
        EXPECT_EQ(RokuyoOf(j), 1) << d.Year;  // 先勝
        EXPECT_NE(OldCalendarDate(j - 1).Day, 1) << d.Year;
    }
}

// Every day of 1873-2100 has an old date; months are 29 or 30 days; 12 or 13 months
// run from one 11th month to the next, with a leap month exactly in the 13-month ones.
TEST(ComputedOldCalendar, WholeRangeIsConsistent) {
    EXPECT_EQ(OldCalendarDate(kFirstComputedOldDay - 1), (TOldDate{0, 0}));
    EXPECT_EQ(OldCalendarDate(kLastComputedOldDay + 1), (TOldDate{0, 0}));
    EXPECT_EQ(RokuyoOf(kLastComputedOldDay + 1), 0);
    TOldDate previous = OldCalendarDate(kFirstComputedOldDay);
    int monthLength = 0, monthsSinceEleven = -1;
    bool leapSinceEleven = false;
    for (TJuliusDay j = kFirstComputedOldDay; j <= kLastComputedOldDay; ++j) {
        const TOldDate d = OldCalendarDate(j);
        ASSERT_NE(d.Month, 0) << j;
        if (j == kFirstComputedOldDay) continue;
        if (d.Day == 1) {
            if (monthLength) {
                ASSERT_TRUE(previous.Day == 29 || previous.Day == 30) << j;
            }
            monthLength = 1;
            if (d.Month == 11) {
                if (monthsSinceEleven >= 0) {
                    ASSERT_TRUE(monthsSinceEleven == 12 || monthsSinceEleven == 13) << j;
                    ASSERT_EQ(leapSinceEleven, monthsSinceEleven == 13) << j;
                }
                monthsSinceEleven = 0;
                leapSinceEleven = false;
            }
            if (monthsSinceEleven >= 0) ++monthsSinceEleven;
            if (d.Month > 100) {
                leapSinceEleven = true;
                ASSERT_EQ(d.Month - 100, previous.Month) << j;
            } else {
                ASSERT_EQ(d.Month, previous.Month % 100 % 12 + 1) << j;
            }
        } else {
            ASSERT_EQ(d.Month, previous.Month) << j;
            ASSERT_EQ(d.Day, previous.Day + 1) << j;
        }
        previous = d;
    }
}

// Where the traditional rules give no answer, the leap month follows month 11 of 2033.
TEST(ComputedOldCalendar, LeapEleventhMonthOf2033) {
    int leapMonths = 0;
    for (TJuliusDay j = YMDToJulius(2033, 1, 1); j <= YMDToJulius(2034, 12, 31); ++j) {
        const TOldDate d = OldCalendarDate(j);
        if (d.Month > 100 && d.Day == 1) {
            ++leapMonths;
            EXPECT_EQ(d.Month, 111);
            EXPECT_EQ(OldCalendarDate(j - 1).Month, 11);
        }
    }
    EXPECT_EQ(leapMonths, 1);
}
