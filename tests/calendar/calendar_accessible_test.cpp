// The month grid and the week list as a screen reader reads them: what each day cell says,
// the table's shape, the selected cell, and the focus that follows the arrow keys.
#include "calendar/calendar_accessible.h"
#include "calendar/day_speech.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "platform/accessible_events.h"
#include "platform/clock.h"
#include "platform/sjis.h"

#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DaySpeech, SaysTheDateThenWhatTheCellShows) {
    struct Case {
        const char* name;
        TDaySpeech day;
        const char* spoken;
    };
    auto day = [](int m, int d, int wd, TDayAttrs attrs, const char* names, const char* rokuyo, bool marked,
                  bool today) {
        return TDaySpeech{m, d, wd, attrs, Sjis(names), Sjis(rokuyo), marked, today};
    };
    const Case cases[] = {
        {"a plain weekday", day(12, 8, 2, 0, "", "", false, false), "12月8日 火曜日"},
        {"a holiday with its name", day(11, 23, 1, daHoliday, "勤労感謝の日", "", false, false),
         "11月23日 月曜日、祝日 勤労感謝の日"},
        {"a holiday on a Sunday", day(11, 3, 0, daSunday | daHoliday, "文化の日", "", false, false),
         "11月3日 日曜日、祝日 文化の日"},
        {"a substitute holiday", day(11, 4, 1, daHoliday | daFurikae, "振替休日", "", false, false),
         "11月4日 月曜日、振替休日"},
        {"a substitute holiday without its name", day(11, 4, 1, daHoliday | daFurikae, "", "", false, false),
         "11月4日 月曜日、振替休日"},
        {"a special day", day(12, 25, 5, daSpecialDay, "クリスマス", "", false, false), "12月25日 金曜日、クリスマス"},
        {"two names, one quoted", day(5, 5, 2, daHoliday, "こどもの日,\"端午 の節句\"", "", false, false),
         "5月5日 火曜日、祝日 こどもの日、端午 の節句"},
        {"rokuyo, mark and today", day(12, 8, 2, 0, "", "大安", true, true), "12月8日 火曜日、大安、日記あり、今日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DaySpoken(c.day), c.spoken);
    }
}

std::vector<std::string> g_heard;

void Hear(QAccessibleEvent* event) {
    if (event->type() != QAccessible::Focus && event->type() != QAccessible::Selection) return;
    g_heard.push_back(std::string(event->type() == QAccessible::Focus ? "focus " : "selection ") +
                      event->accessibleInterface()->text(QAccessible::Name).toStdString());
}

class CalendarAccessible : public ::testing::Test {
protected:
    void SetUp() override {
        SetClock({2026, 12, 8});
        SendAccessibleEvent = Hear;
        g_heard.clear();
    }
    void TearDown() override {
        SendAccessibleEvent = &QAccessible::updateAccessibility;
        ResetClock();
    }
    static void Prepare(TCustomCalendarEx& cal) {
        cal.HolidayList().Add(Sjis("12,23,天皇誕生日"));
        cal.SpecialDayList().Add(Sjis("12,25,クリスマス"));
        cal.OnHasEntry = [](std::int32_t, std::uint8_t m, std::uint8_t d) { return m == 12 && d == 25; };
        cal.SetJuliusDay(YMDToJulius(2026, 12, 8));
        cal.resize(420, 300);
        cal.show();
        cal.activateWindow();
        cal.setFocus();
        QApplication::processEvents();
    }
    static std::string Name(QAccessibleInterface* cell) { return cell->text(QAccessible::Name).toStdString(); }
};

TEST_F(CalendarAccessible, TheMonthIsATableOfSpokenDays) {
    TMonthlyCalendar cal;
    Prepare(cal);
    ASSERT_TRUE(cal.hasFocus());
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&cal);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Table);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    // December 2026 starts on a Tuesday: the first week row begins on 11/29.
    EXPECT_EQ(table->columnCount(), 7);
    EXPECT_EQ(table->rowCount(), cal.GetRowCount() - 1);
    EXPECT_EQ(table->columnDescription(2).toStdString(), "火曜日");
    struct Case {
        int row, column;
        const char* spoken;
    };
    const Case cases[] = {
        {1, 2, "12月8日 火曜日、今日"},
        {3, 3, "12月23日 水曜日、祝日 天皇誕生日"},
        {3, 5, "12月25日 金曜日、クリスマス、日記あり"},
        {0, 0, "11月29日 日曜日"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.spoken);
        EXPECT_EQ(Name(table->cellAt(c.row, c.column)), c.spoken);
    }
    // The neighbouring month's days are not drawn, so not shown to the reader either.
    EXPECT_TRUE(table->cellAt(0, 0)->state().invisible);
    QAccessibleInterface* selected = table->cellAt(1, 2);
    EXPECT_TRUE(selected->state().selected);
    EXPECT_TRUE(selected->state().focused);
    EXPECT_EQ(iface->focusChild(), selected);
    ASSERT_EQ(table->selectedCells().size(), 1);
    EXPECT_EQ(table->selectedCells().front(), selected);
    EXPECT_EQ(iface->indexOfChild(selected), 7 + 2);
    EXPECT_EQ(iface->child(7 + 2), selected);
    // The cell stands where it is drawn.
    EXPECT_TRUE(QRect(cal.mapToGlobal(QPoint(0, 0)), cal.size()).contains(selected->rect()));
    EXPECT_EQ(iface->childAt(selected->rect().center().x(), selected->rect().center().y()), selected);

    // The arrow keys move the focus from cell to cell, and the reader hears each.
    QTest::keyClick(&cal, Qt::Key_Right);
    QTest::keyClick(&cal, Qt::Key_Down);
    const std::vector<std::string> heard = {"selection 12月9日 水曜日", "focus 12月9日 水曜日",
                                            "selection 12月16日 水曜日", "focus 12月16日 水曜日"};
    EXPECT_EQ(g_heard, heard);
    EXPECT_TRUE(table->cellAt(2, 3)->state().focused);
    EXPECT_FALSE(selected->state().selected);
    // A month away, the cells say the new month's days.
    QTest::keyClick(&cal, Qt::Key_PageDown);
    EXPECT_EQ(Name(table->selectedCells().front()), "1月16日 土曜日");
}

TEST_F(CalendarAccessible, TheWeekIsSevenSpokenRows) {
    TWeeklyCalendar cal;
    Prepare(cal);
    cal.SetJuliusDay(YMDToJulius(2026, 12, 23));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&cal);
    QAccessibleTableInterface* table = iface->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->rowCount(), 7);
    EXPECT_EQ(table->columnCount(), 1);
    EXPECT_EQ(Name(table->cellAt(0, 0)), "12月20日 日曜日");
    EXPECT_EQ(Name(table->cellAt(3, 0)), "12月23日 水曜日、祝日 天皇誕生日");
    EXPECT_EQ(Name(table->cellAt(5, 0)), "12月25日 金曜日、クリスマス、日記あり");
    EXPECT_TRUE(table->cellAt(3, 0)->state().focused);
    g_heard.clear();
    QTest::keyClick(&cal, Qt::Key_Down);
    ASSERT_FALSE(g_heard.empty());
    EXPECT_EQ(g_heard.back(), "focus 12月24日 木曜日");
    // The reader may pick a row itself.
    EXPECT_TRUE(table->selectRow(5));
    EXPECT_EQ(JuliusToYMD(cal.JuliusDay()).Day, 25);
}

// Keyboard alone: Home and End reach the ends of the selected day's week, in the grid
// whichever weekday starts its rows, and in the list its top and bottom rows.
TEST(CalendarKeys, HomeAndEndReachTheEndsOfTheWeek) {
    struct Case {
        const char* name;
        bool month;
        TDayOfWeek first;
        int key;
        int day;  // of December 2026, from Wednesday the 9th
    };
    const Case cases[] = {
        {"grid from Sunday, Home", true, dowSun, Qt::Key_Home, 6},
        {"grid from Sunday, End", true, dowSun, Qt::Key_End, 12},
        {"grid from Monday, Home", true, dowMon, Qt::Key_Home, 7},
        {"grid from Monday, End", true, dowMon, Qt::Key_End, 13},
        {"list from Sunday, Home", false, dowSun, Qt::Key_Home, 6},
        {"list from Sunday, End", false, dowSun, Qt::Key_End, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TMonthlyCalendar month;
        TWeeklyCalendar week;
        TCustomCalendarEx& cal = c.month ? static_cast<TCustomCalendarEx&>(month) : week;
        month.SetFirstDayOfWeek(c.first);
        week.SetFirstDayOfWeek(c.first);
        cal.SetJuliusDay(YMDToJulius(2026, 12, 9));
        QTest::keyClick(&cal, static_cast<Qt::Key>(c.key));
        EXPECT_EQ(JuliusToYMD(cal.JuliusDay()), (TYMD{2026, 12, static_cast<std::uint8_t>(c.day)}));
    }
}

}  // namespace
