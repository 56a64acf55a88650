#include "window/form1.h"
#include "main_window_test.h"
#include "window/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "editor/editor.h"
#include "controls/speed_button.h"
#include "controls/up_down.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWindow : public MainWindowTest {
protected:
    TYMD Weekly() const { return JuliusToYMD(form->WeeklyCalendar1->JuliusDay()); }
    void LeftClick(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void RightPress(QWidget* w) {
        QTest::mousePress(w, Qt::RightButton);
        QTest::mouseRelease(w, Qt::RightButton);
    }
};

}  // namespace

TEST_F(MainWindow, StartUpSelectsTodayEverywhere) {
    Start({2026, 12, 6});
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("簡易日記・スケジューラー Mekuri v.1.16"));
    EXPECT_EQ(Monthly(), (TYMD{2026, 12, 6}));
    EXPECT_EQ(Weekly(), (TYMD{2026, 12, 6}));
    EXPECT_EQ(Fields(), "2026/12/6");
    EXPECT_EQ(form->Edit1->text(), "2026/12/6");
    EXPECT_EQ(form->UpDown1->Position(), 2026);
    // The month calendar works on copies of the week calendar's lists.
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Count(), ShippedHolidayList().Count());
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Text(), form->WeeklyCalendar1->HolidayList().Text());
    EXPECT_NE(&form->MonthlyCalendar1->HolidayList(), &form->WeeklyCalendar1->HolidayList());
}

TEST_F(MainWindow, DayStepAcrossMonthEnd) {
    Start({2027, 1, 31});
    LeftClick(form->SpeedButton1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 1}));
    EXPECT_EQ(Weekly(), (TYMD{2027, 2, 1}));
    EXPECT_EQ(form->NumEdit2->text(), "2");
    EXPECT_EQ(form->NumEdit3->text(), "1");
    EXPECT_EQ(form->Edit1->text(), "2027/1/31");  // the start-up date stays
}

TEST_F(MainWindow, NavigationButtonsStepForwardAndBack) {
    Start({2027, 1, 31});
    LeftClick(form->SpeedButton3);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 28}));
    LeftClick(form->SpeedButton2);
    EXPECT_EQ(Monthly(), (TYMD{2027, 3, 7}));
    RightPress(form->SpeedButton2);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 28}));
    LeftClick(form->SpeedButton4);
    EXPECT_EQ(Monthly(), (TYMD{2028, 2, 28}));
    RightPress(form->SpeedButton4);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 28}));
    RightPress(form->SpeedButton1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 27}));
    RightPress(form->SpeedButton5);  // a right press on 今日 does nothing
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 27}));
    LeftClick(form->SpeedButton5);
    EXPECT_EQ(Monthly(), (TYMD{2027, 1, 31}));
    EXPECT_EQ(Weekly(), (TYMD{2027, 1, 31}));
    EXPECT_EQ(Fields(), "2027/1/31");
}

TEST_F(MainWindow, MonthStepsKeepTheDayOrClampIt) {
    Start({2027, 3, 31});
    RightPress(form->SpeedButton3);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 28}));
    form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(2028, 2, 29));
    LeftClick(form->SpeedButton4);
    EXPECT_EQ(Monthly(), (TYMD{2029, 2, 28}));
    form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(2029, 12, 9));
    LeftClick(form->SpeedButton3);
    EXPECT_EQ(Monthly(), (TYMD{2030, 1, 9}));
    EXPECT_EQ(Fields(), "2030/1/9");
}

TEST_F(MainWindow, DayFieldStepToMissingDateChangesNoCalendar) {
    Start({2027, 2, 28});
    form->UpDown3->Step(+1);
    EXPECT_EQ(form->NumEdit3->text(), "29");
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 28}));
    EXPECT_EQ(Weekly(), (TYMD{2027, 2, 28}));
    form->UpDown3->Step(-1);
    form->UpDown3->Step(-1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 27}));
}

TEST_F(MainWindow, AnErrorInAClickHandlerStopsAtTheHandler) {
    // Stepping the month from 1582/9/10 lands in the days the calendar reform skipped.
    // The error must reach the error box without unwinding through Qt's event dispatch,
    // where only the application's last resort would catch it (with a warning).
    static QStringList warnings;
    warnings.clear();
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& m) {
        if (type == QtWarningMsg) warnings << m;
    });
    Start({1582, 9, 10});
    QTest::mouseClick(form->UpDown2, Qt::LeftButton, {}, QPoint(form->UpDown2->width() / 2, 2));
    qInstallMessageHandler(previous);
    EXPECT_EQ(env->dialogs.errors, std::vector<std::string>{"1582/10/5-10/14は存在しません。"});
    EXPECT_TRUE(warnings.filter("escaped").isEmpty()) << warnings.join("\n").toStdString();
    EXPECT_EQ(Monthly(), (TYMD{1582, 9, 10}));
}

TEST_F(MainWindow, DayUpDownBoundFollowsTheMonthField) {
    Start({2027, 1, 20});
    form->UpDown2->Step(+1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 2, 20}));
    for (int i = 0; i < 20; ++i) form->UpDown3->Step(+1);
    EXPECT_EQ(form->UpDown3->Position(), 29);
    EXPECT_EQ(form->NumEdit3->text(), "29");
    form->UpDown2->Step(+1);
    for (int i = 0; i < 5; ++i) form->UpDown3->Step(+1);
    EXPECT_EQ(form->UpDown3->Position(), 31);
    EXPECT_EQ(Monthly(), (TYMD{2027, 3, 31}));
}

TEST_F(MainWindow, YearFieldStepMovesBothCalendars) {
    Start({2027, 5, 3});
    form->UpDown1->Step(-1);
    EXPECT_EQ(Monthly(), (TYMD{2026, 5, 3}));
    EXPECT_EQ(Weekly(), (TYMD{2026, 5, 3}));
    EXPECT_EQ(form->NumEdit1->text(), "2026");
}

TEST_F(MainWindow, WeekCalendarChangeMovesOnlyTheFields) {
    Start({2027, 5, 3});
    form->WeeklyCalendar1->NextDay();
    EXPECT_EQ(Fields(), "2027/5/4");
    EXPECT_EQ(Monthly(), (TYMD{2027, 5, 3}));
}

TEST_F(MainWindow, HiddenCalendarsStillFollowNavigation) {
    Start({2027, 5, 3});
    form->MonthlyCalendarShow->trigger();
    form->WeeklyCalendarShow->trigger();
    EXPECT_FALSE(form->MonthlyCalendarShow->isChecked());
    EXPECT_FALSE(form->MonthlyCalendar1->isVisible());
    EXPECT_FALSE(form->WeeklyCalendar1->isVisible());
    LeftClick(form->SpeedButton1);
    EXPECT_EQ(Monthly(), (TYMD{2027, 5, 4}));
    EXPECT_EQ(Weekly(), (TYMD{2027, 5, 4}));
    EXPECT_EQ(Fields(), "2027/5/4");
    form->MonthlyCalendarShow->trigger();
    EXPECT_TRUE(form->MonthlyCalendar1->isVisible());
    form->StatusBarShow->trigger();
    EXPECT_FALSE(form->statusBar()->isVisible());
}

TEST_F(MainWindow, MonthStepIntoReformGapShowsErrorAndKeepsDay) {
    Start({2027, 5, 3});
    form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(1582, 9, 10));
    LeftClick(form->SpeedButton3);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "1582/10/5-10/14は存在しません。");
    EXPECT_EQ(Monthly(), (TYMD{1582, 9, 10}));
    EXPECT_EQ(Weekly(), (TYMD{1582, 9, 10}));
    // The program goes on.
    LeftClick(form->SpeedButton1);
    EXPECT_EQ(Monthly(), (TYMD{1582, 9, 11}));
}

TEST_F(MainWindow, StatusBarShowsTheLongHint) {
    Start({2027, 5, 3});
    QStatusTipEvent tip(form->SpeedButton1->statusTip());
    QApplication::sendEvent(form->SpeedButton1, &tip);
    EXPECT_EQ(form->StatusPanel0->text(), QString::fromUtf8("１日ずつ進めます。右クリックで戻ります"));
    EXPECT_EQ(form->SpeedButton1->toolTip(), QString::fromUtf8("日毎"));
    // The second panel holds the day's 文字数, never a hint.
    EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8("0 字"));
}

TEST_F(MainWindow, RightPressOnCalendarOpensPopupMenu) {
    Start({2027, 5, 3});
    QTest::mousePress(form->MonthlyCalendar1, Qt::RightButton, {}, QPoint(30, 30));
    EXPECT_TRUE(form->PopupMenu1->isVisible());
    form->PopupMenu1->hide();
    QTest::mouseRelease(form->MonthlyCalendar1, Qt::RightButton, {}, QPoint(30, 30));
    QTest::mousePress(form->WeeklyCalendar1, Qt::LeftButton, {}, QPoint(30, 30));
    EXPECT_FALSE(form->PopupMenu1->isVisible());
}

TEST_F(MainWindow, CloseMenuClosesTheWindow) {
    Start({2027, 5, 3});
    form->Close1->trigger();
    EXPECT_FALSE(form->isVisible());
}

// 表示 → 六曜 shows the rokuyo under every day number; the grid and the window grow so
// that numbers and names both stay readable, and shrink back when it is turned off.
TEST_F(MainWindow, RokuyoMenuItem) {
    Start({2026, 12, 6});
    ASSERT_NE(form->RokuyoShow, nullptr);
    EXPECT_EQ(form->RokuyoShow->text(), QString::fromUtf8("六曜(&R)"));
    EXPECT_EQ(form->RokuyoShow->statusTip(), QString::fromUtf8("MonthlyCalendar の六曜の表示/非表示を設定します"));
    EXPECT_TRUE(form->RokuyoShow->isCheckable());
    EXPECT_FALSE(form->RokuyoShow->isChecked());
    EXPECT_FALSE(form->MonthlyCalendar1->ShowRokuyo());
    form->layout()->activate();  // the window at its settled size
    const int gridHeight = form->MonthlyCalendar1->height(), windowHeight = form->height();

    form->RokuyoShow->trigger();
    EXPECT_TRUE(form->MonthlyCalendar1->ShowRokuyo());
    const int grown = form->MonthlyCalendar1->height() - gridHeight;
    EXPECT_GT(grown, 0);
    EXPECT_EQ(form->height(), windowHeight + grown);

    form->RokuyoShow->trigger();
    EXPECT_FALSE(form->MonthlyCalendar1->ShowRokuyo());
    EXPECT_EQ(form->MonthlyCalendar1->height(), gridHeight);
    EXPECT_EQ(form->height(), windowHeight);
}

// Shrunk to its smallest, the window still shows the month grid, all seven rows of the
// week list and a few editor rows; the minimum comes from the layout, not a fixed size.
TEST_F(MainWindow, SmallestWindowKeepsBothCalendarsAndTheEditorVisible) {
    Start({2026, 12, 6});
    form->resize(1, 1);
    QCoreApplication::processEvents();
    EXPECT_GE(form->WeeklyCalendar1->height(), 7 * 14) << "every row of the week list";
    EXPECT_GE(form->MonthlyCalendar1->height(), 100);
    EXPECT_GE(form->Editor1->height(), 3 * form->Editor1->CharHeight());
    EXPECT_TRUE(form->WeeklyCalendar1->isVisible());
    // As wide as the week list asks for its names, which the status bar no longer exceeds.
    EXPECT_GE(form->WeeklyCalendar1->width(), form->WeeklyCalendar1->minimumSizeHint().width());
    EXPECT_GE(form->WeeklyCalendar1->width(), 250) << "the week list's names need room";
}

// The navigation buttons' captions stay clear of the buttons' frames.
TEST_F(MainWindow, SpeedButtonCaptionsFitInsideTheirFrames) {
    Start({2026, 12, 6});
    for (TSpeedButton* b : {form->SpeedButton1, form->SpeedButton2, form->SpeedButton3, form->SpeedButton4,
                            form->SpeedButton5}) {
        const int text = QFontMetrics(b->font()).horizontalAdvance(b->text());
        EXPECT_LE(text, b->width() - 4) << b->text().toStdString();
    }
}

// The layout's client area is 615 px wide: the status bar's panels share it, whatever
// they say, and the 文字数 of a long day still fits its panel.
TEST_F(MainWindow, StatusBarPanelsShareTheLayoutsWidth) {
    Start({2026, 12, 6});
    form->StatusPanel0->setText(QString(200, QChar(0x3042)));
    form->StatusPanel1->setText(QString::fromUtf8("12,345 / 1,234,567 字"));
    form->layout()->activate();
    EXPECT_LE(form->minimumSizeHint().width(), 615);
    EXPECT_LE(form->minimumWidth(), 615);
    EXPECT_EQ(form->width(), 615);
    QCoreApplication::processEvents();
    EXPECT_GT(form->StatusPanel0->width(), form->StatusPanel1->width());
    EXPECT_LE(form->StatusPanel1->fontMetrics().horizontalAdvance(form->StatusPanel1->text()), form->StatusPanel1->width());
    EXPECT_LE(form->StatusPanel1->geometry().right(), form->StatusBar1->width());
}
