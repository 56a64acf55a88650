// A rule line that cannot be read is met again on every redraw. The calendars must stay
// usable: the error is shown once for a given list content and the other days are drawn.
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "pixel_ink.h"
#include "platform/convert.h"
#include "platform/qt_colors.h"
#include "platform/sjis.h"
#include "support/widget_helpers.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// Errors met while drawing are shown from the event loop.
void Pump() { QCoreApplication::processEvents(); }

class BrokenLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        month.SetJuliusDay(YMDToJulius(2000, 1, 20));
        month.SetShowNeighbor(true);
        month.Fonts().SundayFont().SetHeight(-24);
        month.Fonts().WeekdayFont().SetHeight(-24);
        month.resize(420 + 2 * month.frameWidth(), 280 + 2 * month.frameWidth());
        month.show();
        month.OnDayChange = [this](TCustomCalendarEx*, std::int32_t, std::uint8_t, std::uint8_t) { ++dayChanges; };
    }
    QRect Cell(int column, int row) {
        return ToQRectForTest(GridCellRect(column, row, 7, month.GetRowCount(), month.ClientWidth(), month.ClientHeight()));
    }
    static QRect ToQRectForTest(const TCellRect& r) { return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top); }
    int Ink(const QRect& r, const QColor& c) { return CountInk(month.BackBuffer(), r, c, ToQColor(month.Color())); }

    TestEnvironment env;
    TMonthlyCalendar month;
    int dayChanges = 0;
};

}  // namespace

TEST_F(BrokenLineTest, ReportedOnceAndTheCalendarStaysUsable) {
    // A comma after the name: the name becomes a weekday field for every January date.
    month.HolidayList().Add(Sjis("1,1,壊れた元旦,"));
    EXPECT_TRUE(env.dialogs.errors.empty());  // not in the middle of the change
    Pump();
    ASSERT_EQ(env.dialogs.errors.size(), 1u);
    EXPECT_EQ(env.dialogs.errors[0], NotAnIntegerMessage(Sjis("壊れた元旦")));

    // Redraws of every kind meet the line again without a second box.
    month.resize(month.width() + 7, month.height() + 7);
    month.resize(month.width() - 7, month.height() - 7);
    month.repaint();
    QTest::keyClick(&month, Qt::Key_Right);
    QTest::keyClick(&month, Qt::Key_Left);
    month.SetColor(clWhite);
    Pump();
    EXPECT_EQ(env.dialogs.errors.size(), 1u);
    // The day changes still reach the owner.
    EXPECT_EQ(dayChanges, 2);
    EXPECT_EQ(JuliusToYMD(month.JuliusDay()), (TYMD{2000, 1, 20}));

    // January days fall back to the weekday font; the neighbouring February days keep
    // their classes (2000-02-05, a Saturday, tinted blue | silver).
    EXPECT_EQ(Ink(Cell(0, 3), Qt::red), 0);  // Sunday 2000-01-09
    EXPECT_GT(Ink(Cell(0, 3), Qt::black), 10);
    EXPECT_GT(Ink(Cell(6, 6), QColor(192, 192, 255)), 5);

    // Moving into February meets the line only for the January days shown: same fault.
    QTest::keyClick(&month, Qt::Key_PageDown);
    Pump();
    EXPECT_EQ(env.dialogs.errors.size(), 1u);

    // Removing the line brings the Sundays back; a new broken line is a new report.
    month.SetJuliusDay(YMDToJulius(2000, 1, 20));
    month.HolidayList().Delete(0);
    EXPECT_GT(Ink(Cell(0, 3), Qt::red), 10);
    month.HolidayList().Add(Sjis("1,x,祝日"));
    Pump();
    ASSERT_EQ(env.dialogs.errors.size(), 2u);
    EXPECT_EQ(env.dialogs.errors[1], NotAnIntegerMessage("x"));
}

TEST_F(BrokenLineTest, TheSameFaultInBothCalendarsIsShownOnce) {
    TStringList lines{Sjis("1,1,元旦"), Sjis("1,2,年始の特別な日,")};
    TWeeklyCalendar week;
    week.SetJuliusDay(YMDToJulius(2000, 1, 20));
    week.resize(300, 210);
    week.show();
    week.SetSpecialDayList(lines);
    month.SetSpecialDayList(lines);
    Pump();
    ASSERT_EQ(env.dialogs.errors.size(), 1u);
    EXPECT_EQ(env.dialogs.errors[0], NotAnIntegerMessage(Sjis("年始の特別な日")));
    // The week list shows the rows without names.
    EXPECT_EQ(week.RowText(6), QString::fromUtf8("1/22(土) "));
    // Days of months the line does not name are unaffected.
    week.SetJuliusDay(YMDToJulius(2000, 2, 11));
    week.HolidayList().Add(Sjis("2,11,建国記念日"));
    EXPECT_EQ(week.RowText(5), QString::fromUtf8("2/11(金) 建国記念日"));
    Pump();
    EXPECT_EQ(env.dialogs.errors.size(), 1u);
}

// A descendant that refines the day classes is heard by the substitute-holiday look-back
// and by the names.
TEST(CalendarRuleOverride, DescendantsRefineTheRules) {
    class Refined : public TWeeklyCalendar {
    public:
        TDayAttrs GetDayAttrs(std::int32_t y, std::uint8_t m, std::uint8_t d) override {
            TDayAttrs a = TWeeklyCalendar::GetDayAttrs(y, m, d);
            if (y == 2000 && m == 1 && d == 16) a |= daHoliday;  // a Sunday
            return a;
        }
        TDayLine ParseDayLine(std::string_view line, std::int32_t year, int month) override {
            // Lines starting with '#' are comments here.
            if (!line.empty() && line[0] == '#') return {};
            return TWeeklyCalendar::ParseDayLine(line, year, month);
        }
    };
    TestEnvironment env;
    Refined week;
    week.SetJuliusDay(YMDToJulius(2000, 1, 17));
    week.HolidayList().Add("#1,x,comment");
    EXPECT_EQ(&week.GetDayFont(2000, 1, 17), &week.Fonts().HolidayFont());
    EXPECT_EQ(week.GetDayAttrs(2000, 1, 17), daFurikae);
    EXPECT_EQ(week.RowText(1), QString::fromUtf8("1/17(月) 振替休日"));
    Pump();
    EXPECT_TRUE(env.dialogs.errors.empty());
}
