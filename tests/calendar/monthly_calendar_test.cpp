#include "calendar/cal_ex_paint.h"
#include "calendar/monthly_calendar.h"
#include "platform/qt_colors.h"
#include "platform/sjis.h"
#include "pixel_ink.h"
#include "support/widget_helpers.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A month grid of 7 x 7 cells of 60 x 40 pixels, on January 2000 unless told otherwise.
class MonthGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        cal.Fonts().SundayFont().SetHeight(-24);
        cal.Fonts().WeekdayFont().SetHeight(-24);
        cal.SetJuliusDay(YMDToJulius(2000, 1, 20));
        const int frame = cal.frameWidth() * 2;
        cal.resize(420 + frame, 280 + frame);
        cal.show();
        cal.OnDayChange = [this](TCustomCalendarEx*, std::int32_t y, std::uint8_t m, std::uint8_t d) {
            changes.push_back({y, m, d});
        };
    }

    QRect Cell(int column, int row) {
        return ToQRect(GridCellRect(column, row, 7, cal.GetRowCount(), cal.ClientWidth(), cal.ClientHeight()));
    }
    int Count(const QRect& r, TColor c) { return CountPixels(cal.BackBuffer(), r, ToQColor(c)); }
    int Count(const QRect& r, const QColor& c) { return CountPixels(cal.BackBuffer(), r, c); }
    // Text of colour `c` on the control's background.
    int Ink(const QRect& r, const QColor& c) { return CountInk(cal.BackBuffer(), r, c, ToQColor(cal.Color())); }
    int Ink(const QRect& r, TColor c) { return Ink(r, ToQColor(c)); }
    static int Area(const QRect& r) { return r.width() * r.height(); }
    // A point inside a cell, in widget coordinates.
    QPoint At(int column, int row) { return Cell(column, row).center() + cal.contentsRect().topLeft(); }
    TYMD Selected() { return JuliusToYMD(cal.JuliusDay()); }

    TestEnvironment env;
    TMonthlyCalendar cal;
    std::vector<TYMD> changes;
};

}  // namespace

TEST_F(MonthGridTest, HeaderRowInTheLocalesWeekdayNames) {
    QString sunFirst, monFirst;
    for (int c = 0; c < 7; ++c) {
        sunFirst += ShortDayName(ColumnWeekday(dowSun, c));
        monFirst += ShortDayName(ColumnWeekday(dowMon, c));
    }
    EXPECT_EQ(sunFirst, QString::fromUtf8("日月火水木金土"));
    EXPECT_EQ(monFirst, QString::fromUtf8("月火水木金土日"));

    const QRect header(0, 0, 420, Cell(0, 1).top());
    EXPECT_GT(Count(header, clNavy), Area(header) * 3 / 4);
    EXPECT_GT(CountInk(cal.BackBuffer(), header, Qt::white, ToQColor(clNavy)), 20);  // the names
    cal.SetDayOfWeekBkColor(clMaroon);
    EXPECT_EQ(Count(header, clNavy), 0);
    EXPECT_GT(Count(header, clMaroon), Area(header) * 3 / 4);
}

TEST_F(MonthGridTest, SelectedSundayIsARedCellWithItsNumberInTheBackground) {
    cal.SetJuliusDay(YMDToJulius(2000, 1, 9));
    const QRect cell = Cell(0, 3);
    const QColor background = ToQColor(cal.Color());
    EXPECT_GT(Count(cell, clRed), Area(cell) * 3 / 4);
    EXPECT_GT(Count(cell, background), 10);
    EXPECT_GT(Count(cell, clRed) + Count(cell, background), Area(cell) * 9 / 10);
    // An unselected Sunday is a red number on the background.
    const QRect other = Cell(0, 4);
    EXPECT_GT(Count(other, background), Area(other) * 3 / 4);
    EXPECT_GT(Ink(other, clRed), 10);
    // An unselected weekday: black on the background.
    EXPECT_GT(Ink(Cell(2, 3), clBlack), 10);
    EXPECT_EQ(Ink(Cell(2, 3), clRed), 0);
}

TEST_F(MonthGridTest, NeighbouringMonthsAreEmptyOrTinted) {
    // 1999-12-26 (Sunday, red) and 1999-12-27 (Monday, black) in the first row.
    const QColor background = ToQColor(cal.Color());
    EXPECT_EQ(Count(Cell(0, 1), background), Area(Cell(0, 1)));
    EXPECT_EQ(Count(Cell(1, 1), background), Area(Cell(1, 1)));
    cal.SetShowNeighbor(true);
    EXPECT_GT(Ink(Cell(0, 1), QColor(255, 192, 192)), 10);  // red | silver
    EXPECT_EQ(Ink(Cell(0, 1), clRed), 0);
    EXPECT_GT(Ink(Cell(1, 1), clSilver), 10);  // black | silver
    EXPECT_EQ(Ink(Cell(1, 1), clBlack), 0);
    cal.SetNeighborColor(clLime);
    EXPECT_GT(Ink(Cell(1, 1), clLime), 10);
    // The first of January is drawn plainly: a Saturday in blue.
    EXPECT_GT(Ink(Cell(6, 1), clBlue), 10);
    EXPECT_EQ(Ink(Cell(6, 1), clLime), 0);
}

TEST_F(MonthGridTest, RokuyoStripUnderTheNumber) {
    cal.Fonts().RokuyoFont().SetColor(clPurple);
    const int strip = std::abs(cal.Fonts().RokuyoFont().Height());
    auto stripOf = [&](const QRect& c) { return QRect(c.left(), c.bottom() + 1 - strip, c.width(), strip); };
    auto above = [&](const QRect& c) { return QRect(c.left(), c.top(), c.width(), c.height() - strip); };
    EXPECT_EQ(Ink(cal.BackBuffer().rect(), clPurple), 0);

    cal.SetShowRokuyo(true);
    const QRect plain = Cell(3, 2);  // 2000-01-05
    EXPECT_GT(Ink(stripOf(plain), clPurple), 5);
    EXPECT_EQ(Ink(above(plain), clPurple), 0);
    // The selected day's strip is filled with its class colour, the name in the background.
    const QRect selected = Cell(4, 4);  // 2000-01-20
    EXPECT_EQ(Ink(selected, clPurple), 0);
    EXPECT_GT(CountInk(cal.BackBuffer(), stripOf(selected), ToQColor(cal.Color()), Qt::black), 5);
    EXPECT_GT(Count(stripOf(selected), clBlack), stripOf(selected).width() * strip / 2);

    // After the table the computed calendar carries on: December 2010 around its end,
    // and a month of today.
    cal.SetJuliusDay(YMDToJulius(2010, 12, 20));
    EXPECT_GT(Ink(stripOf(Cell(0, 2)), clPurple), 5);  // 12-05
    EXPECT_GT(Ink(stripOf(Cell(1, 2)), clPurple), 5);  // 12-06
    cal.SetJuliusDay(YMDToJulius(2026, 1, 20));
    EXPECT_GT(Ink(stripOf(Cell(3, 4)), clPurple), 5);  // 2026-01-21
    // Before Japan left the old calendar nothing is shown under the numbers.
    cal.SetJuliusDay(YMDToJulius(1872, 6, 20));
    EXPECT_EQ(Ink(cal.BackBuffer().rect(), clPurple), 0);
}

TEST_F(MonthGridTest, KeysMoveAndTheHandlerSeesTheNewDay) {
    std::vector<TYMD> seen;
    cal.OnKeyDown = [&](TCustomCalendarEx*, int, Qt::KeyboardModifiers) { seen.push_back(Selected()); };
    QTest::keyClick(&cal, Qt::Key_Right);
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 21}));
    QTest::keyClick(&cal, Qt::Key_Left);
    QTest::keyClick(&cal, Qt::Key_Down);
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 27}));
    QTest::keyClick(&cal, Qt::Key_Up);
    QTest::keyClick(&cal, Qt::Key_Up);
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 13}));
    QTest::keyClick(&cal, Qt::Key_PageDown);
    EXPECT_EQ(Selected(), (TYMD{2000, 2, 13}));
    QTest::keyClick(&cal, Qt::Key_PageUp);
    QTest::keyClick(&cal, Qt::Key_PageUp);
    EXPECT_EQ(Selected(), (TYMD{1999, 12, 13}));
    QTest::keyClick(&cal, Qt::Key_A);
    EXPECT_EQ(Selected(), (TYMD{1999, 12, 13}));
    ASSERT_EQ(seen.size(), 9u);
    EXPECT_EQ(seen[0], (TYMD{2000, 1, 21}));
    EXPECT_EQ(seen[7], (TYMD{1999, 12, 13}));
    EXPECT_EQ(changes.size(), 8u);
}

TEST_F(MonthGridTest, ClicksSelectDaysOfTheMonth) {
    QTest::mouseClick(&cal, Qt::LeftButton, {}, At(3, 2));
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 5}));
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0], (TYMD{2000, 1, 5}));
    // The header does nothing; a right click selects too.
    QTest::mouseClick(&cal, Qt::LeftButton, {}, At(3, 0));
    QTest::mouseClick(&cal, Qt::RightButton, {}, At(4, 2));
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 6}));
    EXPECT_EQ(changes.size(), 2u);
    // The last pixel column and row of the client area: the last cell (2000-02-05, a
    // neighbour) and the cell before in the same row with NeighborJump on.
    cal.SetNeighborJump(true);
    const QPoint corner = cal.contentsRect().topLeft() + QPoint(cal.ClientWidth() - 1, cal.ClientHeight() - 1);
    QTest::mouseClick(&cal, Qt::LeftButton, {}, corner);
    EXPECT_EQ(Selected(), (TYMD{2000, 2, 5}));
}

TEST_F(MonthGridTest, NeighbouringDaysSelectOnlyWithNeighborJump) {
    cal.SetShowNeighbor(true);
    QTest::mouseClick(&cal, Qt::LeftButton, {}, At(0, 1));  // 1999-12-26
    EXPECT_EQ(Selected(), (TYMD{2000, 1, 20}));
    EXPECT_TRUE(changes.empty());
    cal.SetShowNeighbor(false);
    cal.SetNeighborJump(true);
    QTest::mouseClick(&cal, Qt::LeftButton, {}, At(0, 1));
    EXPECT_EQ(Selected(), (TYMD{1999, 12, 26}));
    ASSERT_EQ(changes.size(), 1u);
    // The grid now shows December 1999, whose first row starts on 1999-11-28.
    EXPECT_EQ(JuliusToYMD(cal.GetFirstDay()), (TYMD{1999, 11, 28}));
}

TEST_F(MonthGridTest, LastPixelsReachTheLastCell) {
    const int w = cal.ClientWidth(), h = cal.ClientHeight();
    EXPECT_EQ(cal.CellFromPoint(w - 1, h - 1), (TGridCell{6, 6}));
    EXPECT_EQ(cal.CellFromPoint(0, 0), (TGridCell{0, 0}));
    cal.SetJuliusDay(YMDToJulius(2009, 2, 10));
    cal.SetFirstRowFirstDay(true);
    cal.SetLastRowLastDay(true);
    EXPECT_EQ(cal.CellFromPoint(w - 1, h - 1), (TGridCell{4, 6}));
    QTest::mouseClick(&cal, Qt::LeftButton, {}, cal.contentsRect().topLeft() + QPoint(w - 1, h - 1));
    EXPECT_EQ(Selected(), (TYMD{2009, 2, 28}));
}

TEST_F(MonthGridTest, SettersRedrawOnlyOnChange) {
    QImage before = cal.BackBuffer().copy();
    cal.SetFirstDayOfWeek(dowSun);
    cal.SetShowRokuyo(false);
    cal.SetNeighborJump(true);
    EXPECT_EQ(cal.BackBuffer(), before);
    cal.SetFirstDayOfWeek(dowMon);
    EXPECT_NE(cal.BackBuffer(), before);
    cal.SetFirstDayOfWeek(dowSun);
    EXPECT_EQ(cal.BackBuffer(), before);
    cal.SetLastRowLastDay(true);  // January 2000 does not end in the last column
    EXPECT_EQ(cal.BackBuffer(), before);
    cal.SetFirstDayOfWeek(static_cast<TDayOfWeek>(9));
    EXPECT_EQ(cal.FirstDayOfWeek(), dowSun);
}

// The arrow keys work whenever the grid has the focus, and a click is the usual way it
// gets it: the focus mark shows then too, and goes with the focus.
TEST_F(MonthGridTest, FocusMarkAfterAClickAsAfterTheKeyboard) {
    QApplication::setActiveWindow(&cal);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cal));
    cal.clearFocus();
    QTest::mouseClick(&cal, Qt::LeftButton, {}, At(3, 2));
    ASSERT_TRUE(cal.hasFocus());
    const QImage focused = cal.grab().toImage();
    cal.clearFocus();
    const QImage unfocused = cal.grab().toImage();
    // The mark runs just inside the client area's edge.
    const QRect mark = cal.contentsRect().adjusted(1, 1, -1, -1);
    int changed = 0;
    for (int x = mark.left(); x <= mark.right(); ++x)
        for (int y : {mark.top(), mark.bottom()}) changed += focused.pixel(x, y) != unfocused.pixel(x, y);
    EXPECT_GT(changed, mark.width() / 4);
}
