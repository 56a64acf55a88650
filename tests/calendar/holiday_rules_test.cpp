#include "calendar/equinox.h"
#include "calendar/holiday_rules.h"
#include "platform/convert.h"
#include "platform/exceptions.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TStringList ShippedHolidays() {
    TStringList list;
    for (const char* line : {"1,1,元旦", "1,15,成人の日", "2,11,建国記念日", "4,29,みどりの日", "5,3,憲法記念日",
                             "5,4,国民の休日", "5,5,こどもの日", "7,20,海の日", "9,15,敬老の日", "10,10,体育の日",
                             "11,3,文化の日", "11,23,勤労感謝の日", "12,23,天皇誕生日"})
        list.Add(Sjis(line));
    return list;
}

// The rules over lists the fixture owns, as a calendar control holds them.
class Rules : public ::testing::Test {
protected:
    TStringList holidays = ShippedHolidays();
    TStringList special;
    THolidayRules rules{holidays, special};

    std::string Names(int y, int m, int d) { return SjisToUtf8(rules.GetHolidayNames(y, m, d)); }
    bool Matches(const std::string& line, int y, int m, int d) { return rules.LineMatches(Sjis(line), y, m, d); }
};

std::string ConvertMessage(const char* field) { return NotAnIntegerMessage(Sjis(field)); }

}  // namespace

TEST(SplitLine, EveryCommaSeparatesAndEmptyFieldsCount) {
    TStringList fields{"kept"};
    SplitLine("1,, x,", fields, ',');
    EXPECT_EQ(fields.CommaText(), "kept,1,,\" x\",");  // the trailing comma gives an empty field
    SplitLine("", fields, ',');
    EXPECT_EQ(fields.Count(), 6);
}

TEST_F(Rules, LineForms) {
    // Three fields: every year.
    EXPECT_TRUE(Matches("1,1,元旦", 1999, 1, 1));
    EXPECT_FALSE(Matches("1,1,元旦", 1999, 1, 2));
    // Four fields: the second Monday of January; 2000-01-01 is a Saturday.
    EXPECT_TRUE(Matches("1,2,2,成人の日", 2000, 1, 10));
    EXPECT_FALSE(Matches("1,2,2,成人の日", 2000, 1, 3));
    EXPECT_TRUE(Matches("1,1,2,x", 2000, 1, 3));
    // The first Saturday falls on the first itself.
    EXPECT_TRUE(Matches("1,1,7,x", 2000, 1, 1));
    // Six fields: the third Monday of September from 2003 on.
    EXPECT_TRUE(Matches("2003,2,9,3,2,敬老の日", 2003, 9, 15));
    EXPECT_FALSE(Matches("2003,2,9,3,2,敬老の日", 2002, 9, 16));
    // Other field counts, and the empty line, never match.
    EXPECT_FALSE(Matches("1,1", 2000, 1, 1));
    EXPECT_FALSE(Matches("2000,0,1,1,1,2,x", 2000, 1, 1));
    EXPECT_FALSE(Matches("", 2000, 1, 1));
}

// The field count decides the form; names of any bytes and lengths, commas among them.
TEST_F(Rules, FieldCountOverArbitraryBytes) {
    const char alphabet[] = {',', ',', '\xAC', '\x2D', '\x2B', '\x01', '\x7F', '\x80', '\xFF', 'a', '\x82', '\xA0'};
    unsigned seed = 12345;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) >> 16; };
    int threes = 0, longs = 0;
    for (int i = 0; i < 20000; ++i) {
        std::string name;
        const unsigned length = next() % 40;
        for (unsigned k = 0; k < length; ++k) name += alphabet[next() % sizeof alphabet];
        const std::string line = "5,1," + name;
        const std::size_t fields = SplitFields(line, ',').size();
        if (fields == 3) {
            TDayLine parsed = rules.ParseDayLine(line, 2000, 5);
            ASSERT_EQ(parsed.Day, 1) << i;
            ASSERT_EQ(parsed.Name, name) << i;
            ++threes;
        } else if (fields > 6) {
            ASSERT_EQ(rules.ParseDayLine(line, 2000, 5).Month, 13) << i;
            ++longs;
        }
    }
    EXPECT_GT(threes, 1000);
    EXPECT_GT(longs, 1000);
}

TEST_F(Rules, YearConditions) {
    struct Case {
        const char* line;
        bool in1999, in2000, in2001;
    } cases[] = {
        {"2000,0,5,1,x", false, true, false},
        {"2000,1,5,1,x", true, true, false},
        {"2000,2,5,1,x", false, true, true},
        {"2000,3,5,1,x", true, true, true},
        {"2000,-1,5,1,x", true, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Matches(c.line, 1999, 5, 1), c.in1999) << c.line;
        EXPECT_EQ(Matches(c.line, 2000, 5, 1), c.in2000) << c.line;
        EXPECT_EQ(Matches(c.line, 2001, 5, 1), c.in2001) << c.line;
    }
}

TEST_F(Rules, ParseDayLineResults) {
    TDayLine line = rules.ParseDayLine(Sjis("1,15,成人の日"), 2000, 0);
    EXPECT_EQ(line.Month, 1);
    EXPECT_EQ(line.Day, 15);
    EXPECT_EQ(line.Name, Sjis("成人の日"));
    // A line for another month gives the no-date result.
    line = rules.ParseDayLine(Sjis("1,15,成人の日"), 2000, 2);
    EXPECT_EQ(line.Month, 13);
    EXPECT_EQ(line.Day, 32);
    EXPECT_EQ(line.Name, "");
    // The name is verbatim: blanks and quotes stay.
    EXPECT_EQ(rules.ParseDayLine(" 2,3, \"x\" ", 2000, 2).Name, " \"x\" ");
    EXPECT_EQ(rules.ParseDayLine(" 2,3, \"x\" ", 2000, 2).Month, 2);
}

// Days that do not fit a byte must not wrap onto real days of the month.
TEST_F(Rules, DaysBeyondTheMonthMatchNothing) {
    for (int d = 1; d <= 29; ++d)
        EXPECT_FALSE(Matches("2,5,2,x", 2000, 2, d)) << d;  // February 2000 has four Mondays
    EXPECT_TRUE(Matches("1,5,2,x", 2000, 1, 31));
    for (int d = 1; d <= 31; ++d) {
        EXPECT_FALSE(Matches("1,38,2,x", 2000, 1, d)) << d;
        EXPECT_FALSE(Matches("1,257,x", 2000, 1, d)) << d;
        EXPECT_FALSE(Matches("1,0,2,x", 2000, 1, d)) << d;
        EXPECT_FALSE(Matches("1,2147483647,2,x", 2000, 1, d)) << d;
    }
    EXPECT_FALSE(Matches("2,5,2,x", 2000, 3, 6));
}

TEST_F(Rules, NonIntegerFieldsRaiseInEvaluationOrder) {
    auto messageOf = [&](const char* line, int m) -> std::string {
        try {
            rules.LineMatches(Sjis(line), 2000, m, 1);
        } catch (const EConvertError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(messageOf("x,1,name", 1), ConvertMessage("x"));
    EXPECT_EQ(messageOf("1,x,name", 1), ConvertMessage("x"));
    // The weekday is read before the count.
    EXPECT_EQ(messageOf("1,a,b,name", 1), ConvertMessage("b"));
    EXPECT_EQ(messageOf("1,a,2,name", 1), ConvertMessage("a"));
    // Five and six fields: month, then condition, then year, then the day fields.
    EXPECT_EQ(messageOf("y,c,m,d,name", 1), ConvertMessage("m"));
    EXPECT_EQ(messageOf("y,c,1,d,name", 1), ConvertMessage("c"));
    EXPECT_EQ(messageOf("y,0,1,d,name", 1), ConvertMessage("y"));
    EXPECT_EQ(messageOf("2000,0,1,d,name", 1), ConvertMessage("d"));
    EXPECT_EQ(messageOf("2000,0,1,n,w,name", 1), ConvertMessage("w"));
    // Rejected before the bad field is reached: no error.
    EXPECT_EQ(messageOf("2,x,name", 1), "no error");
    EXPECT_EQ(messageOf("y,c,2,d,name", 1), "no error");
    EXPECT_EQ(messageOf("1999,0,1,d,name", 1), "no error");
    // A condition that applies every year leaves the year unread.
    EXPECT_EQ(messageOf("y,3,1,1,name", 1), "no error");
    EXPECT_TRUE(Matches("y,3,1,1,name", 1234, 1, 1));
}

// A comma after the name turns the line into a four-field line whose weekday is the name.
TEST_F(Rules, TrailingCommaBreaksTheLineForItsMonthOnly) {
    holidays.Add(Sjis("1,1,元旦,"));
    for (int attempt = 0; attempt < 2; ++attempt) {  // raised anew on every evaluation
        try {
            rules.GetDayAttrs(2000, 1, 20);
            FAIL() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.what(), ConvertMessage("元旦"));
        }
    }
    EXPECT_THROW(rules.GetHolidayNames(2000, 1, 20), EConvertError);
    EXPECT_NO_THROW(rules.GetDayAttrs(2000, 2, 20));
    EXPECT_EQ(holidays.Count(), 14);  // the line stays
}

TEST_F(Rules, EquinoxDays) {
    EXPECT_EQ(JuliusToYMD(VernalEquinoxDay(2000)), (TYMD{2000, 3, 20}));
    EXPECT_EQ(JuliusToYMD(VernalEquinoxDay(2002)), (TYMD{2002, 3, 21}));
    EXPECT_EQ(JuliusToYMD(VernalEquinoxDay(2026)), (TYMD{2026, 3, 20}));
    EXPECT_EQ(JuliusToYMD(VernalEquinoxDay(2027)), (TYMD{2027, 3, 21}));
    EXPECT_EQ(JuliusToYMD(AutumnalEquinoxDay(2000)), (TYMD{2000, 9, 23}));
    EXPECT_EQ(JuliusToYMD(AutumnalEquinoxDay(2012)), (TYMD{2012, 9, 22}));
    EXPECT_EQ(JuliusToYMD(AutumnalEquinoxDay(2016)), (TYMD{2016, 9, 22}));
    EXPECT_EQ(JuliusToYMD(AutumnalEquinoxDay(2025)), (TYMD{2025, 9, 23}));
    EXPECT_TRUE(IsVernalEquinoxDay(2026, 3, 20));
    EXPECT_FALSE(IsVernalEquinoxDay(2026, 3, 21));
    EXPECT_TRUE(IsAutumnalEquinoxDay(2016, 9, 22));
    EXPECT_FALSE(IsAutumnalEquinoxDay(2016, 3, 22));
    // One equinox per year, a year apart, over the whole range in use.
    for (int y = 1; y <= 4000; ++y) {
        int v = VernalEquinoxDay(y) - VernalEquinoxDay(y - 1);
        int a = AutumnalEquinoxDay(y) - AutumnalEquinoxDay(y - 1);
        ASSERT_TRUE(v == 365 || v == 366) << y;
        ASSERT_TRUE(a == 365 || a == 366) << y;
    }
}

TEST_F(Rules, EquinoxAndSubstituteHolidays) {
    // 2000-03-20 is a Monday and itself a holiday, so not a substitute holiday.
    EXPECT_EQ(rules.GetDayAttrs(2000, 3, 20), daHoliday);
    EXPECT_EQ(Names(2000, 3, 20), "春分の日");
    // 2012-09-22 is a Saturday and the autumnal equinox.
    EXPECT_EQ(rules.GetDayAttrs(2012, 9, 22), daSaturday | daHoliday);
    EXPECT_EQ(rules.GetDayFontIndex(2012, 9, 22), dcHoliday);
    EXPECT_EQ(Names(2012, 9, 22), "秋分の日");
    // 2006-01-01 is a listed holiday on a Sunday.
    EXPECT_EQ(rules.GetDayAttrs(2006, 1, 1), daSunday | daHoliday);
    EXPECT_EQ(rules.GetDayAttrs(2006, 1, 2), daFurikae);
    EXPECT_EQ(rules.GetDayFontIndex(2006, 1, 2), dcHoliday);
    EXPECT_EQ(Names(2006, 1, 2), "振替休日");
    EXPECT_EQ(Names(2006, 1, 3), "");
    // 2001-09-23 is a Sunday and the autumnal equinox.
    EXPECT_EQ(rules.GetDayAttrs(2001, 9, 24), daFurikae);

    rules.SetAutoEquinox(false);
    EXPECT_EQ(rules.GetDayAttrs(2001, 9, 24), 0);
    EXPECT_EQ(rules.GetDayAttrs(2000, 3, 20), 0);
    EXPECT_EQ(Names(2000, 3, 20), "");
    EXPECT_EQ(rules.GetDayAttrs(2006, 1, 2), daFurikae);  // listed holidays still count

    rules.SetAutoEquinox(true);
    rules.SetAutoFurikae(false);
    EXPECT_EQ(rules.GetDayAttrs(2006, 1, 2), 0);
    EXPECT_EQ(Names(2006, 1, 2), "");
}

TEST_F(Rules, SpecialDaysAndFontPrecedence) {
    special.Add(Sjis("1,1,初詣"));
    special.Add(Sjis("1,8,記念日"));  // 2000-01-08 is a Saturday
    special.Add(Sjis("1,9,日曜の特別な日"));
    special.Add(Sjis("1,4,平日の特別な日"));
    EXPECT_EQ(rules.GetDayAttrs(2000, 1, 1), daSaturday | daHoliday | daSpecialDay);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 1), dcSpecialDay);
    EXPECT_EQ(Names(2000, 1, 1), "初詣,元旦");
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 8), dcSpecialDay);
    // The Monday after a Sunday that is only a special day is an ordinary Monday.
    EXPECT_EQ(rules.GetDayAttrs(2000, 1, 10), 0);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 10), dcWeekday);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 4), dcSpecialDay);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 2), dcSunday);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 15), dcHoliday);
    EXPECT_EQ(DayFontIndex(daSunday | daSaturday), dcSaturday);
}

TEST_F(Rules, NamesAsCommaText) {
    holidays.Clear();
    holidays.Add(Sjis("5,1,May Day"));
    holidays.Add(Sjis("5,1,\"引用\""));
    special.Add(Sjis("5,1,記念日"));
    EXPECT_EQ(Names(2000, 5, 1), "記念日,\"May Day\",\"\"\"引用\"\"\"");
    holidays.Clear();
    special.Clear();
    special.Add("6,1,");
    EXPECT_EQ(Names(2000, 6, 1), "\"\"");  // one empty name
    EXPECT_EQ(Names(2000, 6, 2), "");
}

// A refinement of the rules through the virtual operations reaches the look-back of the
// substitute holiday and the font choice.
TEST(HolidayRulesOverride, RefinedOperationsAreHeardByTheOthers) {
    class Refined : public THolidayRules {
    public:
        using THolidayRules::THolidayRules;
        TDayAttrs GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) override {
            TDayAttrs a = THolidayRules::GetDayAttrs(y, m, d);
            if (y == 2000 && m == 1 && d == 16) a |= daHoliday;  // a Sunday
            return a;
        }
        TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month) override {
            ++parsed;
            return THolidayRules::ParseDayLine(line, year, month);
        }
        int parsed = 0;
    };
    TStringList holidays{"2,2,x"};
    TStringList special;
    Refined rules(holidays, special);
    EXPECT_EQ(rules.GetDayAttrs(2000, 1, 17), daFurikae);
    EXPECT_EQ(rules.GetDayFontIndex(2000, 1, 17), dcHoliday);
    EXPECT_EQ(rules.GetHolidayNames(2000, 1, 17), Sjis("振替休日"));
    EXPECT_GT(rules.parsed, 0);
}

// With condition 0 a year field "first-last" names a span of years. Such a field did
// not read before, so only lines that raised an error gain a meaning.
TEST_F(Rules, YearSpans) {
    EXPECT_FALSE(Matches("1949-1988,0,4,29,x", 1948, 4, 29));
    EXPECT_TRUE(Matches("1949-1988,0,4,29,x", 1949, 4, 29));
    EXPECT_TRUE(Matches("1949-1988,0,4,29,x", 1988, 4, 29));
    EXPECT_FALSE(Matches("1949-1988,0,4,29,x", 1989, 4, 29));
    EXPECT_TRUE(Matches("2003-2019,0,7,3,2,x", 2019, 7, 15));  // third Monday
    EXPECT_FALSE(Matches("2003-2019,0,7,3,2,x", 2020, 7, 20));
    EXPECT_TRUE(Matches("-5-3,0,1,1,x", -5, 1, 1));
    EXPECT_TRUE(Matches("-5-3,0,1,1,x", 3, 1, 1));
    EXPECT_FALSE(Matches("2000-1990,0,1,1,x", 1995, 1, 1));  // an empty span
    // A condition other than 0, 1 and 2 leaves the year unread, span or not.
    EXPECT_TRUE(Matches("1949-1988,3,1,1,x", 2026, 1, 1));
    // Everything else that did not read still raises, with the whole field.
    auto messageOf = [&](const char* line) -> std::string {
        try {
            rules.LineMatches(Sjis(line), 2000, 1, 1);
        } catch (const EConvertError& e) {
            return e.what();
        }
        return "no error";
    };
    EXPECT_EQ(messageOf("2000-x,0,1,1,x"), ConvertMessage("2000-x"));
    EXPECT_EQ(messageOf("1949-1988,1,1,1,x"), ConvertMessage("1949-1988"));
    EXPECT_EQ(messageOf("1949-1988,2,1,1,x"), ConvertMessage("1949-1988"));
    EXPECT_EQ(messageOf("1949 - 1988,0,1,1,x"), ConvertMessage("1949 - 1988"));
    EXPECT_EQ(messageOf("1949-1988,0,2,1,x"), "no error");  // rejected by its month first
}

// The substitute holiday as the law had it: none before 1973-04-12, the Monday after a
// Sunday holiday until 2006, the first day after it that is no holiday from 2007.
TEST_F(Rules, SubstituteHolidayEras) {
    holidays.Clear();
    holidays.Add(Sjis("1,1,元日"));
    EXPECT_EQ(rules.GetDayAttrs(1967, 1, 2), 0);  // 1967-01-01 is a Sunday
    EXPECT_EQ(rules.GetDayAttrs(1978, 1, 2), daFurikae);
    holidays.Add(Sjis("5,3,a"));
    holidays.Add(Sjis("5,4,b"));
    holidays.Add(Sjis("5,5,c"));
    // 1998-05-03 and 2009-05-03 are Sundays followed by two listed holidays.
    EXPECT_EQ(rules.GetDayAttrs(1998, 5, 6), 0);
    EXPECT_EQ(rules.GetDayAttrs(2009, 5, 6), daFurikae);
    EXPECT_EQ(Names(2009, 5, 6), "振替休日");
    EXPECT_EQ(rules.GetDayAttrs(2009, 5, 7), 0);
    rules.SetAutoFurikae(false);
    EXPECT_EQ(rules.GetDayAttrs(2009, 5, 6), 0);
}

// A day between two holidays, from 1985-12-27; before 2007 not on a Sunday nor on a
// substitute holiday. It is no national holiday itself, so it makes no substitute.
TEST_F(Rules, CitizensHoliday) {
    holidays.Clear();
    holidays.Add(Sjis("5,3,a"));
    holidays.Add(Sjis("5,5,c"));
    EXPECT_EQ(rules.GetDayAttrs(1985, 5, 4), daSaturday);
    EXPECT_EQ(rules.GetDayAttrs(1986, 5, 4), daSunday);
    EXPECT_EQ(rules.GetDayAttrs(1987, 5, 4), daFurikae);  // 1987-05-03 is a Sunday
    EXPECT_EQ(Names(1987, 5, 4), "振替休日");
    EXPECT_EQ(rules.GetDayAttrs(1988, 5, 4), daHoliday);
    EXPECT_EQ(rules.GetDayFontIndex(1988, 5, 4), dcHoliday);
    EXPECT_EQ(Names(1988, 5, 4), "国民の休日");
    // From 2007 a Sunday between two holidays is one too, and the Monday after it is
    // no substitute holiday.
    holidays.Add(Sjis("2011,0,1,8,a"));
    holidays.Add(Sjis("2011,0,1,10,b"));
    EXPECT_EQ(rules.GetDayAttrs(2011, 1, 9), daSunday | daHoliday);
    EXPECT_EQ(Names(2011, 1, 9), "国民の休日");
    EXPECT_EQ(rules.GetDayAttrs(2011, 1, 11), 0);
    // A special day between two holidays is both.
    special.Add(Sjis("5,4,記念日"));
    EXPECT_EQ(rules.GetDayAttrs(1988, 5, 4), daHoliday | daSpecialDay);
    EXPECT_EQ(Names(1988, 5, 4), "記念日,国民の休日");

    rules.SetAutoKokumin(false);
    EXPECT_EQ(rules.GetDayAttrs(1988, 5, 4), daSpecialDay);
    EXPECT_EQ(Names(1988, 5, 4), "記念日");
    EXPECT_EQ(rules.GetDayAttrs(1987, 5, 4), daFurikae | daSpecialDay);
}

// While drawing, the lines are read once per month; the answers and the errors are those
// of reading them for every day.
TEST_F(Rules, BatchReadsOncePerMonthWithTheSameResults) {
    special.Add(Sjis("1,3,記念日"));
    holidays.Add(Sjis("2000,0,2,x,壊れた行"));
    auto outcome = [&](int m, int d) -> std::string {
        try {
            return std::to_string(rules.GetDayAttrs(2000, m, d)) + " " + Names(2000, m, d);
        } catch (const EConvertError& e) {
            return e.what();
        }
    };
    std::vector<std::string> single;
    for (int m = 1; m <= 3; ++m)
        for (int d = 1; d <= 28; ++d) single.push_back(outcome(m, d));
    EXPECT_EQ(single[2], std::to_string(daSpecialDay) + " 記念日");
    EXPECT_EQ(single[28], ConvertMessage("x"));  // every February day meets the bad line

    THolidayRulesBatch batch(rules);
    std::vector<std::string> batched;
    for (int m = 1; m <= 3; ++m)
        for (int d = 1; d <= 28; ++d) batched.push_back(outcome(m, d));
    EXPECT_EQ(batched, single);
}

namespace {

// Counts the lines read, to see which questions read the lists and which use readings kept.
class CountingRules : public THolidayRules {
public:
    using THolidayRules::THolidayRules;
    int reads = 0;
    TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month) override {
        ++reads;
        return THolidayRules::ParseDayLine(line, year, month);
    }
};

}  // namespace

// A redraw asks the same questions as the drawing before it: the readings of a batch are
// kept for the next one, until the owner says the lines changed.
TEST(KeptReadings, LastUntilTheLinesChange) {
    TStringList holidays = ShippedHolidays();
    TStringList special{Sjis("1,12,記念日")};
    CountingRules rules(holidays, special);
    auto january = [&] {
        std::vector<TDayAttrs> attrs;
        THolidayRulesBatch batch(rules);
        for (int d = 1; d <= 31; ++d) attrs.push_back(rules.GetDayAttrs(2000, 1, d));
        return attrs;
    };
    const std::vector<TDayAttrs> first = january();
    EXPECT_GT(rules.reads, 0);
    EXPECT_EQ(first[11], daSpecialDay);
    EXPECT_EQ(first[14], daHoliday | daSaturday);  // 成人の日, a Saturday in 2000
    rules.reads = 0;
    EXPECT_EQ(january(), first);
    EXPECT_EQ(rules.reads, 0);

    // Outside a batch the lists are read as they stand, changed or not.
    special.SetStrings(0, Sjis("1,13,記念日"));
    EXPECT_EQ(rules.GetDayAttrs(2000, 1, 13), daSpecialDay);
    EXPECT_GT(rules.reads, 0);

    rules.LinesChanged();
    rules.reads = 0;
    const std::vector<TDayAttrs> changed = january();
    EXPECT_GT(rules.reads, 0);
    EXPECT_EQ(changed[11], 0);
    EXPECT_EQ(changed[12], daSpecialDay);
}

// More months than are kept, forwards and back, and a month whose lines cannot be read:
// every answer and every error is that of reading the lines for the day alone.
TEST(KeptReadings, ManyMonthsAnswerAsWithoutThem) {
    TStringList holidays = ShippedHolidays();
    holidays.Add(Sjis("1999,0,7,x,壊れた行"));
    TStringList special{Sjis("2,1,2,記念日"), Sjis("1998-2000,0,11,3,月末前")};
    THolidayRules rules(holidays, special);
    auto outcome = [&](TJuliusDay j) -> std::string {
        const TYMD date = JuliusToYMD(j);
        try {
            return std::to_string(rules.GetDayAttrs(date.Year, date.Month, date.Day)) + " " +
                   rules.GetHolidayNames(date.Year, date.Month, date.Day);
        } catch (const EConvertError& e) {
            return e.what();
        }
    };
    const TJuliusDay from = YMDToJulius(1998, 1, 1), to = YMDToJulius(2001, 12, 31);
    std::vector<std::string> alone;
    for (TJuliusDay j = from; j <= to; ++j) alone.push_back(outcome(j));
    EXPECT_EQ(alone[YMDToJulius(1999, 7, 20) - from], ConvertMessage("x"));
    EXPECT_EQ(alone[YMDToJulius(2000, 7, 20) - from], std::to_string(daHoliday) + " " + Sjis("海の日"));

    THolidayRulesBatch batch(rules);
    for (TJuliusDay j = from; j <= to; ++j) ASSERT_EQ(outcome(j), alone[j - from]) << j;
    for (TJuliusDay j = to; j >= from; --j) ASSERT_EQ(outcome(j), alone[j - from]) << j;
}
