#include "calendar/julius.h"

#include <gtest/gtest.h>

TEST(Julius, ReformBoundary) {
    EXPECT_EQ(YMDToJulius(1582, 10, 4), 2299160);
    EXPECT_EQ(YMDToJulius(1582, 10, 15), 2299161);
    EXPECT_EQ(JuliusToYMD(2299160), (TYMD{1582, 10, 4}));
    EXPECT_EQ(JuliusToYMD(2299161), (TYMD{1582, 10, 15}));
    EXPECT_EQ(JuliusDayOfWeek(2299160), 5);  // Thursday
    EXPECT_EQ(JuliusDayOfWeek(2299161), 6);  // Friday
}

TEST(Julius, MissingDaysRaise) {
    for (int d = 5; d <= 14; ++d) {
        EXPECT_THROW(YMDToJulius(1582, 10, d), EJuliusError) << d;
    }
    EXPECT_NO_THROW(YMDToJulius(1582, 10, 4));
    EXPECT_NO_THROW(YMDToJulius(1582, 10, 15));
    EXPECT_THROW(IsValidYMD(1582, 10, 10), EJuliusError);
    try {
        YMDToJulius(1582, 10, 5);
        FAIL();
    } catch (const EJuliusError& e) {
        EXPECT_STREQ(e.what(), "1582/10/5-10/14は存在しません。");
    }
}

TEST(Julius, KnownDays) {
    EXPECT_EQ(YMDToJulius(2000, 1, 1), 2451545);
    EXPECT_EQ(JuliusDayOfWeek(2451545), 7);
    EXPECT_EQ(YMDToJulius(1, 1, 1), 1721424);
    EXPECT_EQ(YMDToJulius(0, 1, 1), 1721058);
    EXPECT_EQ(YMDToJulius(-4712, 1, 1), 0);
    EXPECT_EQ(JuliusToYMD(0), (TYMD{-4712, 1, 1}));
    EXPECT_EQ(DateTimeToJulius({2026, 12, 7}), YMDToJulius(2026, 12, 7));
}

TEST(Julius, ArithmeticOverflowOfMonthAndDay) {
    EXPECT_EQ(YMDToJulius(1999, 13, 1), YMDToJulius(2000, 1, 1));
    EXPECT_EQ(YMDToJulius(2000, 3, 0), YMDToJulius(2000, 2, 29));
}

// Every day from day 0 to the end of year 30000: the date converts back to the same
// number, consecutive numbers are consecutive dates, and the weekday cycles.
TEST(Julius, ExhaustiveRoundTrip) {
    const TJuliusDay last = YMDToJulius(30000, 12, 31);
    TYMD prev = JuliusToYMD(0);
    int mismatches = 0;
    for (TJuliusDay j = 0; j <= last; ++j) {
        TYMD d = JuliusToYMD(j);
        if (YMDToJulius(d.Year, d.Month, d.Day) != j) ++mismatches;
        if (j > 0) {
            bool nextDay = d.Year == prev.Year && d.Month == prev.Month && d.Day == prev.Day + 1;
            bool nextMonth = d.Day == 1 && ((d.Year == prev.Year && d.Month == prev.Month + 1) ||
                                            (d.Year == prev.Year + 1 && d.Month == 1 && prev.Month == 12));
            bool reform = j == kFirstGregorianDay;
            if (!(nextDay || nextMonth || reform)) ++mismatches;
        }
        if (JuliusDayOfWeek(j) != (j + 1) % 7 + 1) ++mismatches;
        if (d.Day > DaysInMonth(d.Year, d.Month) && !(d.Month == 2 && d.Day == 29)) ++mismatches;
        prev = d;
        if (mismatches > 0) {
            ADD_FAILURE() << "first mismatch at day number " << j;
            return;
        }
    }
}

TEST(Julius, LeapYears) {
    EXPECT_TRUE(IsLeapYear(1500));
    EXPECT_FALSE(IsLeapYear(1582));
    EXPECT_TRUE(IsLeapYear(1600));
    EXPECT_TRUE(IsLeapYear(2000));
    EXPECT_FALSE(IsLeapYear(1700));
    EXPECT_FALSE(IsLeapYear(1900));
    EXPECT_FALSE(IsLeapYear(4000));
    EXPECT_FALSE(IsLeapYear(8000));
    EXPECT_TRUE(IsLeapYear(-4));
}

TEST(Julius, MonthLengthsAndValidity) {
    EXPECT_EQ(DaysInMonth(2000, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(4000, 2), 28);
    EXPECT_TRUE(IsValidYMD(4000, 2, 29));  // the day arithmetic knows no 4000 rule
    EXPECT_FALSE(IsValidYMD(2001, 2, 29));
    EXPECT_FALSE(IsValidYMD(2001, 0, 1));
    EXPECT_FALSE(IsValidYMD(2001, 13, 1));
    EXPECT_FALSE(IsValidYMD(2001, 1, 0));
    EXPECT_FALSE(IsValidYMD(2000, 4, 31));
    EXPECT_TRUE(IsValidYMD(2000, 2, 29));
}

TEST(Julius, WeekdaysRunOnToTheLastDayNumber) {
    // A rule line read for any month may name month 210456798 of 2001, the last day number;
    // the weeks keep their order right up to it.
    constexpr TJuliusDay last = 2147483647;
    EXPECT_EQ(YMDToJulius(2001, 210456798, 1), last);
    for (TJuliusDay j = last - 6; j < last; ++j) EXPECT_EQ(JuliusDayOfWeek(j + 1), JuliusDayOfWeek(j) % 7 + 1) << j;
    EXPECT_EQ(JuliusDayOfWeek(last), JuliusDayOfWeek(last - 7));
}
