// The year, month and day fields with their up/down buttons, kept in step with the
#include "main_window_test.h"
// calendars whichever road changed the day.
#include "window/form1.h"
#include "calendar/julius.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "controls/speed_button.h"
#include "controls/up_down.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class DateFields : public MainWindowTest {
protected:
    void Click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
};

}  // namespace

TEST_F(DateFields, DayBoundFollowsTheMonthReachedByNavigation) {
    Start({2027, 1, 15});
    form->UpDown2->Step(+1);
    Click(form->SpeedButton3);  // 月毎 to March
    for (int i = 0; i < 15; ++i) Click(form->SpeedButton1);
    ASSERT_EQ(Monthly(), (TYMD{2027, 3, 30}));
    EXPECT_EQ(form->NumEdit3->text(), "30");
    form->UpDown3->Step(+1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 3, 31}));
    form->UpDown3->Step(-1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 3, 30}));
    EXPECT_EQ(form->NumEdit3->text(), "30");
}

TEST_F(DateFields, UpArrowNeverLowersTheDay) {
    Start({2027, 1, 31});
    form->UpDown2->Step(+1);  // 31 February does not exist: the calendars stay
    ASSERT_EQ(Monthly(), (TYMD{2027, 1, 31}));
    EXPECT_EQ(Fields(), "2027/2/31");
    form->UpDown3->Step(+1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 1, 31}));
    EXPECT_EQ(form->NumEdit3->text(), "31");
    form->UpDown3->Step(-1);
    EXPECT_EQ(form->NumEdit3->text(), "30");
    EXPECT_EQ(Monthly(), (TYMD{2027, 1, 30}));
}

TEST_F(DateFields, OneStepAfterAWeekListChangeMovesTheShownDayByOne) {
    Start({2027, 5, 5});
    form->WeeklyCalendar1->PrevDay();
    form->WeeklyCalendar1->PrevDay();
    ASSERT_EQ(Fields(), "2027/5/3");
    form->UpDown3->Step(+1);
    EXPECT_EQ(form->NumEdit3->text(), "4");
    EXPECT_EQ(Monthly(), (TYMD{2027, 5, 4}));
    form->WeeklyCalendar1->NextMonth();
    ASSERT_EQ(Fields(), "2027/6/4");
    form->UpDown2->Step(-1);
    EXPECT_EQ(form->NumEdit2->text(), "5");
}

TEST_F(DateFields, AStepIntoTheReformGapLeavesTheArrowUp) {
    Start({2027, 5, 5});
    form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(1583, 10, 10));
    QTest::mousePress(form->UpDown1, Qt::LeftButton, {}, QPoint(5, 18));  // year down to 1582
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "1582/10/5-10/14は存在しません。");
    EXPECT_EQ(form->UpDown1->PressedArrow(), 0);
    EXPECT_EQ(Monthly(), (TYMD{1583, 10, 10}));
}

TEST_F(DateFields, YearFieldShowsPlainNumbers) {
    Start({2027, 5, 5});
    EXPECT_EQ(form->NumEdit1->text(), "2027");  // no separator although the up/down writes one
    EXPECT_TRUE(form->NumEdit1->isReadOnly());
    form->NumEdit1->setFocus();
    QTest::keyClicks(form->NumEdit1, "12");
    EXPECT_EQ(form->NumEdit1->text(), "2027");
    // Up and Down in a field step its up/down.
    QTest::keyClick(form->NumEdit3, Qt::Key_Up);
    EXPECT_EQ(Monthly(), (TYMD{2027, 5, 6}));
}
