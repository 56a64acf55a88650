#include "calendar/custom_calendar_ex.h"
#include "support/widget_helpers.h"

#include <gtest/gtest.h>

namespace {

// Counts renders, so tests can see that a change reached the picture.
class CountingCalendar : public TCustomCalendarEx {
public:
    int draws = 0;

protected:
    void DrawCalendar() override {
        ++draws;
        TCustomCalendarEx::DrawCalendar();
    }
};

struct DayEvents {
    int count = 0;
    TYMD last{};
    void Attach(TCustomCalendarEx& c) {
        c.OnDayChange = [this](TCustomCalendarEx*, std::int32_t y, std::uint8_t m, std::uint8_t d) {
            ++count;
            last = {y, m, d};
        };
    }
};

class CalendarBase : public ::testing::Test {
protected:
    TestEnvironment env{{2026, 12, 7}};
    CountingCalendar cal;
    DayEvents events;

    void SetUp() override { events.Attach(cal); }
    void Select(int y, int m, int d) {
        cal.SetJuliusDay(YMDToJulius(y, m, d));
        events = DayEvents();
        events.Attach(cal);
    }
    TYMD Selected() const { return JuliusToYMD(cal.JuliusDay()); }
};

}  // namespace

TEST_F(CalendarBase, StartsOnTodayWithoutEvent) {
    EXPECT_EQ(Selected(), (TYMD{2026, 12, 7}));
    EXPECT_EQ(events.count, 0);
}

TEST_F(CalendarBase, DaySetterFiresOncePerActualChange) {
    cal.SetJuliusDay(cal.JuliusDay());
    EXPECT_EQ(events.count, 0);
    cal.SetJuliusDay(YMDToJulius(2000, 1, 1));
    EXPECT_EQ(events.count, 1);
    EXPECT_EQ(events.last, (TYMD{2000, 1, 1}));
    cal.Today();
    EXPECT_EQ(events.count, 2);
    EXPECT_EQ(events.last, (TYMD{2026, 12, 7}));
}

TEST_F(CalendarBase, DateSettersIgnoreDatesThatDoNotExist) {
    Select(2001, 4, 15);
    cal.SetDay(31);
    EXPECT_EQ(Selected(), (TYMD{2001, 4, 15}));
    Select(2001, 1, 30);
    cal.SetMonth(2);
    EXPECT_EQ(Selected(), (TYMD{2001, 1, 30}));
    Select(2000, 2, 29);
    cal.SetYear(2001);
    EXPECT_EQ(Selected(), (TYMD{2000, 2, 29}));
    EXPECT_EQ(events.count, 0);
    cal.SetYear(2004);
    EXPECT_EQ(Selected(), (TYMD{2004, 2, 29}));
    EXPECT_EQ(events.count, 1);
}

TEST_F(CalendarBase, MonthAndYearStepsClampToMonthEnd) {
    Select(2001, 1, 31);
    cal.NextMonth();
    EXPECT_EQ(Selected(), (TYMD{2001, 2, 28}));
    Select(2000, 3, 31);
    cal.PrevMonth();
    EXPECT_EQ(Selected(), (TYMD{2000, 2, 29}));
    Select(2000, 2, 29);
    cal.NextYear();
    EXPECT_EQ(Selected(), (TYMD{2001, 2, 28}));
    Select(2000, 12, 15);
    cal.NextMonth();
    EXPECT_EQ(Selected(), (TYMD{2001, 1, 15}));
    Select(2001, 1, 15);
    cal.PrevMonth();
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 15}));
    Select(1, 1, 5);
    cal.PrevMonth();
    EXPECT_EQ(Selected(), (TYMD{0, 12, 5}));
    cal.PrevYear();
    EXPECT_EQ(Selected(), (TYMD{-1, 12, 5}));
}

TEST_F(CalendarBase, ReformGapForDayAndMonthSteps) {
    Select(1582, 10, 4);
    cal.NextDay();
    EXPECT_EQ(Selected(), (TYMD{1582, 10, 15}));
    cal.PrevWeek();
    EXPECT_EQ(Selected(), (TYMD{1582, 9, 28}));
    Select(1582, 9, 10);
    EXPECT_THROW(cal.NextMonth(), EJuliusError);
    EXPECT_EQ(Selected(), (TYMD{1582, 9, 10}));
    EXPECT_EQ(events.count, 0);
    Select(1582, 9, 10);
    EXPECT_THROW(cal.SetMonth(10), EJuliusError);
    EXPECT_EQ(Selected(), (TYMD{1582, 9, 10}));
}

TEST_F(CalendarBase, SynchronizedFontsAllTakeTheSetFont) {
    TFont blue;
    blue.SetColor(clBlue);
    cal.Fonts().SetSynchronize(true);
    cal.Fonts().SetFont(TCalExFonts::Holiday, blue);
    for (int i = 0; i < TCalExFonts::Count; ++i) EXPECT_EQ(cal.Fonts().Font(i).Color(), clBlue) << i;

    cal.Fonts().SetSynchronize(false);
    TFont green;
    green.SetColor(clGreen);
    cal.Fonts().SetFont(TCalExFonts::Sunday, green);
    EXPECT_EQ(cal.Fonts().SundayFont().Color(), clGreen);
    EXPECT_EQ(cal.Fonts().SaturdayFont().Color(), clBlue);
}

TEST_F(CalendarBase, InitialFontColours) {
    CountingCalendar fresh;
    EXPECT_EQ(fresh.Fonts().WeekdayFont().Color(), clBlack);
    EXPECT_EQ(fresh.Fonts().SaturdayFont().Color(), clBlue);
    EXPECT_EQ(fresh.Fonts().SundayFont().Color(), clRed);
    EXPECT_EQ(fresh.Fonts().DayOfWeekFont().Color(), clWhite);
    EXPECT_EQ(fresh.Fonts().HolidayFont().Color(), clRed);
    EXPECT_EQ(fresh.Fonts().SpecialDayFont().Color(), clGreen);
    EXPECT_EQ(fresh.Fonts().RokuyoFont().Size(), 10);
    EXPECT_EQ(fresh.Color(), clWindow);
    EXPECT_TRUE(fresh.AutoEquinox());
    EXPECT_TRUE(fresh.AutoFurikae());
    EXPECT_TRUE(fresh.AutoKokumin());
}

TEST_F(CalendarBase, EveryPictureChangeRedraws) {
    cal.resize(200, 100);
    cal.show();
    int before = cal.draws;
    cal.HolidayList().Add("1,1,x");
    EXPECT_EQ(cal.draws, before + 1);
    cal.SpecialDayList().Add("1,2,y");
    cal.Fonts().WeekdayFont().SetHeight(-20);
    cal.SetColor(clYellow);
    cal.SetColor(clYellow);  // unchanged: nothing
    cal.SetAutoEquinox(false);
    cal.SetAutoFurikae(false);
    cal.SetAutoKokumin(false);
    cal.SetAutoKokumin(false);  // unchanged: nothing
    EXPECT_EQ(cal.draws, before + 7);
}

TEST_F(CalendarBase, AnUpdateBlockDrawsOnceAtItsEnd) {
    cal.resize(200, 100);
    cal.show();
    const int before = cal.draws;
    cal.BeginUpdate();
    cal.BeginUpdate();
    cal.SetColor(clYellow);
    cal.HolidayList().Add("1,1,x");
    cal.resize(180, 90);
    cal.EndUpdate();
    EXPECT_EQ(cal.draws, before);  // still inside the outer pair
    cal.EndUpdate();
    EXPECT_EQ(cal.draws, before + 1);
    EXPECT_EQ(cal.BackBuffer().size(), cal.contentsRect().size());
    EXPECT_EQ(PixelAt(cal.BackBuffer(), {0, 0}), QColor(255, 255, 0));

    // A block without changes draws nothing; an unmatched end is harmless.
    cal.BeginUpdate();
    cal.EndUpdate();
    cal.EndUpdate();
    EXPECT_EQ(cal.draws, before + 1);
    cal.SetColor(clRed);
    EXPECT_EQ(cal.draws, before + 2);
}

TEST_F(CalendarBase, BackBufferCoversClientAreaInBackgroundColour) {
    cal.SetColor(clYellow);
    cal.resize(160, 90);
    cal.show();
    QImage buffer = cal.BackBuffer();
    ASSERT_EQ(buffer.size(), cal.contentsRect().size());
    EXPECT_EQ(PixelAt(buffer, {0, 0}), QColor(255, 255, 0));
    EXPECT_EQ(PixelAt(buffer, {buffer.width() - 1, buffer.height() - 1}), QColor(255, 255, 0));
    // What reaches the screen is the buffer, placed inside the sunken edge.
    QImage shown = cal.grab().toImage();
    QPoint inside = cal.contentsRect().topLeft() + QPoint(5, 5);
    EXPECT_EQ(PixelAt(shown, inside), QColor(255, 255, 0));
}
