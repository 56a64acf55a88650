// A redraw reuses what the drawing before it worked out: the readings of the rule lines,
// the Qt fonts and the laid-out numbers and names. Whatever changes them must show in the
// very next picture.
#include "calendar/monthly_calendar.h"
#include "pixel_ink.h"
#include "platform/qt_colors.h"
#include "platform/sjis.h"
#include "support/widget_helpers.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

// January 2000 in 7 x 7 cells of 60 x 40 pixels, the neighbouring days shown.
class KeptStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        cal.Fonts().WeekdayFont().SetHeight(-24);
        cal.Fonts().SundayFont().SetHeight(-24);
        cal.Fonts().HolidayFont().SetHeight(-24);
        cal.Fonts().SpecialDayFont().SetHeight(-24);
        cal.SetShowNeighbor(true);
        cal.SetJuliusDay(YMDToJulius(2000, 1, 20));
        cal.resize(420 + 2 * cal.frameWidth(), 280 + 2 * cal.frameWidth());
        cal.show();
    }
    // The cell of a day of the grid shown.
    QRect CellOf(int y, int m, int d) {
        const int index = YMDToJulius(y, m, d) - cal.GetFirstDay();
        const TCellRect r =
            GridCellRect(index % 7, index / 7 + 1, 7, cal.GetRowCount(), cal.ClientWidth(), cal.ClientHeight());
        return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    }
    int Ink(const QRect& r, const QColor& c) { return CountInk(cal.BackBuffer(), r, c, ToQColor(cal.Color())); }
    int Ink(const QRect& r, TColor c) { return Ink(r, ToQColor(c)); }
    // The class colour a day's number shows in.
    TColor Shown(int y, int m, int d) {
        TColor found = clNone;
        for (TColor c : {clBlack, clRed, clBlue, clGreen})
            if (Ink(CellOf(y, m, d), c) > 10) {
                EXPECT_EQ(found, clNone) << "two colours in one cell";
                found = c;
            }
        return found;
    }

    TestEnvironment env;
    TMonthlyCalendar cal;
};

}  // namespace

TEST_F(KeptStateTest, EveryKindOfListChangeShowsInTheNextPicture) {
    EXPECT_EQ(Shown(2000, 1, 12), clBlack);
    cal.SpecialDayList().Add(Sjis("1,12,記念日"));
    EXPECT_EQ(Shown(2000, 1, 12), clGreen);
    cal.SpecialDayList().SetStrings(0, Sjis("1,13,記念日"));
    EXPECT_EQ(Shown(2000, 1, 12), clBlack);
    EXPECT_EQ(Shown(2000, 1, 13), clGreen);

    cal.HolidayList().SetText(Sjis("1,14,祝日\r\n"));
    EXPECT_EQ(Shown(2000, 1, 14), clRed);
    // Changes made in one update show once it ends.
    cal.HolidayList().BeginUpdate();
    cal.HolidayList().Delete(0);
    cal.HolidayList().Add(Sjis("1,11,祝日"));
    cal.HolidayList().EndUpdate();
    EXPECT_EQ(Shown(2000, 1, 14), clBlack);
    EXPECT_EQ(Shown(2000, 1, 11), clRed);
    cal.SetHolidayList(TStringList{Sjis("1,10,祝日")});
    EXPECT_EQ(Shown(2000, 1, 11), clBlack);
    EXPECT_EQ(Shown(2000, 1, 10), clRed);
    cal.SpecialDayList().Clear();
    EXPECT_EQ(Shown(2000, 1, 13), clBlack);

    // A day of the next month, tinted: red | silver once a line names it.
    const QColor tintedRed(255, 192, 192);
    EXPECT_EQ(Ink(CellOf(2000, 2, 1), tintedRed), 0);
    cal.HolidayList().Add(Sjis("2,1,祝日"));
    EXPECT_GT(Ink(CellOf(2000, 2, 1), tintedRed), 10);

    // Back and forth through the months: each shows its own lines.
    cal.NextMonth();
    EXPECT_EQ(Shown(2000, 2, 1), clRed);
    cal.PrevMonth();
    cal.HolidayList().Delete(1);
    cal.NextMonth();
    EXPECT_EQ(Shown(2000, 2, 1), clBlack);
}

TEST_F(KeptStateTest, EverySwitchShowsInTheNextPicture) {
    cal.HolidayList().Add(Sjis("1,9,祝日"));  // a Sunday: the Monday after is a substitute holiday
    cal.HolidayList().Add(Sjis("5,3,祝日"));  // 2000-05-04, a Thursday, lies between two holidays
    cal.HolidayList().Add(Sjis("5,5,祝日"));
    const struct {
        void (TCustomCalendarEx::*set)(bool);
        TYMD day;
    } switches[] = {
        {&TCustomCalendarEx::SetAutoFurikae, {2000, 1, 10}},
        {&TCustomCalendarEx::SetAutoEquinox, {2000, 3, 20}},  // the vernal equinox, a Monday
        {&TCustomCalendarEx::SetAutoKokumin, {2000, 5, 4}},
    };
    for (const auto& s : switches) {
        const TYMD d = s.day;
        cal.SetJuliusDay(YMDToJulius(d.Year, d.Month, 1));
        EXPECT_EQ(Shown(d.Year, d.Month, d.Day), clRed) << int(d.Month);
        (cal.*s.set)(false);
        EXPECT_EQ(Shown(d.Year, d.Month, d.Day), clBlack) << int(d.Month);
        (cal.*s.set)(true);
        EXPECT_EQ(Shown(d.Year, d.Month, d.Day), clRed) << int(d.Month);
    }
}

TEST_F(KeptStateTest, FontChangesShowInTheNextPicture) {
    const QRect cell = CellOf(2000, 1, 12);
    const int large = Ink(cell, clBlack);
    EXPECT_GT(large, 10);
    cal.Fonts().WeekdayFont().SetColor(clTeal);
    EXPECT_EQ(Ink(cell, clBlack), 0);
    EXPECT_GT(Ink(cell, clTeal), 10);
    cal.Fonts().WeekdayFont().SetColor(clBlack);
    cal.Fonts().WeekdayFont().SetHeight(-12);
    EXPECT_LT(Ink(cell, clBlack), large / 2);
    EXPECT_GT(Ink(cell, clBlack), 5);
}

// A descendant may draw with fonts of its own between the cells; the next cell's number
// is still drawn in its class font, exactly as without the descendant.
TEST_F(KeptStateTest, ADescendantsFontDoesNotCarryIntoTheNextCell) {
    class OwnFonts : public TMonthlyCalendar {
    protected:
        void DrawCell(QPainter& painter, int column, int row, const QRect& rect) override {
            TMonthlyCalendar::DrawCell(painter, column, row, rect);
            QFont large = painter.font();
            large.setPixelSize(36);
            painter.setFont(large);
        }
    };
    OwnFonts own;
    own.Fonts().Assign(cal.Fonts());
    own.SetShowNeighbor(true);
    own.SetJuliusDay(cal.JuliusDay());
    own.resize(cal.size());
    own.show();
    EXPECT_EQ(own.BackBuffer(), cal.BackBuffer());
}
