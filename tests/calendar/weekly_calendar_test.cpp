#include "calendar/weekly_calendar.h"
#include "platform/qt_colors.h"
#include "platform/sjis.h"
#include "pixel_ink.h"
#include "support/widget_helpers.h"

#include <QTest>
#include <gtest/gtest.h>

namespace {

// A week list of seven rows of 30 pixels, on 2000-12-23 (a Saturday and a listed holiday).
class WeekListTest : public ::testing::Test {
protected:
    void SetUp() override {
        cal.HolidayList().Add(Sjis("12,23,天皇誕生日"));
        cal.HolidayList().Add(Sjis("1,1,元旦"));
        cal.SetJuliusDay(YMDToJulius(2000, 12, 23));
        const int frame = cal.frameWidth() * 2;
        cal.resize(300 + frame, 210 + frame);
        cal.show();
        cal.OnDayChange = [this](TCustomCalendarEx*, std::int32_t y, std::uint8_t m, std::uint8_t d) {
            changes.push_back({y, m, d});
        };
    }

    QRect Row(int i) { return QRect(0, 30 * i, 300, 30); }
    int Count(const QRect& r, TColor c) { return CountPixels(cal.BackBuffer(), r, ToQColor(c)); }
    int Ink(const QRect& r, TColor ink, TColor background) {
        return CountInk(cal.BackBuffer(), r, ToQColor(ink), ToQColor(background));
    }
    TYMD Selected() { return JuliusToYMD(cal.JuliusDay()); }
    TYMD Top() { return JuliusToYMD(cal.GetFirstDay()); }

    TestEnvironment env;
    TWeeklyCalendar cal;
    std::vector<TYMD> changes;
};

}  // namespace

TEST_F(WeekListTest, RowsReadDateWeekdayAndNames) {
    EXPECT_EQ(cal.Color(), clInfoBk);
    EXPECT_EQ(cal.BorderColor(), clInfoText);
    EXPECT_EQ(Top(), (TYMD{2000, 12, 17}));
    EXPECT_EQ(cal.RowText(0), QString::fromUtf8("12/17(日) "));
    EXPECT_EQ(cal.RowText(6), QString::fromUtf8("12/23(土) 天皇誕生日"));
    cal.SetJuliusDay(YMDToJulius(2001, 3, 1));
    EXPECT_EQ(cal.RowText(4), QString::fromUtf8("3/1(木) "));
    cal.SetFirstDayOfWeek(dowMon);
    EXPECT_EQ(cal.RowText(0), QString::fromUtf8("2/26(月) "));
    EXPECT_EQ(cal.RowText(6), QString::fromUtf8("3/4(日) "));
}

TEST_F(WeekListTest, TwoNamesSpecialDayFirstAndQuotedWhenNeeded) {
    cal.SpecialDayList().Add(Sjis("12,23,結婚記念日"));
    EXPECT_EQ(cal.RowText(6), QString::fromUtf8("12/23(土) 結婚記念日,天皇誕生日"));
    cal.SpecialDayList().Add(Sjis("12,18,Tea party"));
    EXPECT_EQ(cal.RowText(1), QString::fromUtf8("12/18(月) \"Tea party\""));
    cal.SetJuliusDay(YMDToJulius(2006, 1, 2));
    EXPECT_EQ(cal.RowText(1), QString::fromUtf8("1/2(月) 振替休日"));
}

TEST_F(WeekListTest, SelectedRowIsFilledAndLinesSeparateTheOthers) {
    cal.SetBorderColor(clLime);
    // The selected holiday, the bottom row, is filled red with its text in the background.
    EXPECT_GT(Count(Row(6), clRed), 300 * 30 * 3 / 4);
    EXPECT_GT(Ink(Row(6), clInfoBk, clRed), 10);
    // Lines on the first pixel row of rows 1..5 and none over the selected row.
    for (int i = 1; i < 6; ++i) EXPECT_EQ(Count(QRect(0, 30 * i, 300, 1), clLime), 300) << i;
    EXPECT_EQ(Count(Row(6), clLime), 0);
    // An unselected Sunday: red text on the background.
    EXPECT_GT(Count(Row(0), clInfoBk), 300 * 29 * 3 / 4);
    EXPECT_GT(Ink(Row(0), clRed, clInfoBk), 10);
    cal.SetJuliusDay(YMDToJulius(2000, 12, 20));
    EXPECT_EQ(Count(QRect(0, 30 * 6, 300, 1), clLime), 300);
    EXPECT_EQ(Count(QRect(0, 30 * 3, 300, 1), clLime), 0);
    EXPECT_GT(Count(Row(3), clBlack), 300 * 30 * 3 / 4);
}

TEST_F(WeekListTest, KeysMoveByDayAndWeekAfterTheHandler) {
    std::vector<TYMD> seen;
    cal.OnKeyDown = [&](TCustomCalendarEx*, int, Qt::KeyboardModifiers) { seen.push_back(Selected()); };
    QTest::keyClick(&cal, Qt::Key_Down);
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 24}));
    EXPECT_EQ(Top(), (TYMD{2000, 12, 24}));
    QTest::keyClick(&cal, Qt::Key_Up);
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 23}));
    EXPECT_EQ(Top(), (TYMD{2000, 12, 17}));
    QTest::keyClick(&cal, Qt::Key_PageDown);
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 30}));
    EXPECT_EQ(Top(), (TYMD{2000, 12, 24}));
    QTest::keyClick(&cal, Qt::Key_PageUp);
    QTest::keyClick(&cal, Qt::Key_Left);
    QTest::keyClick(&cal, Qt::Key_Right);
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 23}));
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_EQ(seen[0], (TYMD{2000, 12, 23}));  // the handler ran before the move
    EXPECT_EQ(seen[2], (TYMD{2000, 12, 23}));
    EXPECT_EQ(changes.size(), 4u);
}

TEST_F(WeekListTest, ClicksSelectTheRowUnderThePoint) {
    const QPoint origin = cal.contentsRect().topLeft();
    QTest::mouseClick(&cal, Qt::LeftButton, {}, origin + QPoint(5, 0));
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 17}));
    QTest::mouseClick(&cal, Qt::LeftButton, {}, origin + QPoint(299, 209));
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 23}));
    QTest::mouseClick(&cal, Qt::LeftButton, {}, origin + QPoint(100, 30 * 2 + 15));
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 19}));
    QTest::mouseClick(&cal, Qt::LeftButton, {}, origin + QPoint(100, 30 * 2 + 15));
    EXPECT_EQ(changes.size(), 3u);  // the same day again changes nothing
    // The frame below the client area counts as the bottom row, not the next week.
    QTest::mouseClick(&cal, Qt::LeftButton, {}, QPoint(100, cal.height() - 1));
    EXPECT_EQ(Selected(), (TYMD{2000, 12, 23}));
}

TEST_F(WeekListTest, MondayFirstPutsASundayAtTheBottom) {
    cal.SetFirstDayOfWeek(dowMon);
    cal.SetJuliusDay(YMDToJulius(2000, 12, 24));
    EXPECT_EQ(Top(), (TYMD{2000, 12, 18}));
    EXPECT_GT(Count(Row(6), clRed), 300 * 30 * 3 / 4);
}

TEST_F(WeekListTest, MinimumSizeFollowsTheFontsAndTheFrame) {
    const QSize before = cal.minimumSizeHint();
    EXPECT_GT(before.height(), 7 * 10);
    EXPECT_EQ(cal.minimumSizeHint(), before);  // asked again, unchanged

    TFont big = cal.Fonts().Font(TCalExFonts::Weekday);
    big.SetHeight(-30);
    cal.Fonts().SetFont(TCalExFonts::Weekday, big);
    const QSize bigger = cal.minimumSizeHint();
    EXPECT_GE(bigger.height(), 7 * 30);
    EXPECT_GT(bigger.width(), before.width());

    cal.setLineWidth(cal.lineWidth() + 3);
    EXPECT_GT(cal.minimumSizeHint().height(), bigger.height());
}
