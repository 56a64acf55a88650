// The colour and font commands, the windows of buttons that run them, and what the
#include "main_window_test.h"
// settings keep of them.
#include "window/form1.h"
#include "window/form2.h"
#include "window/form3.h"
#include "window/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "platform/qt_colors.h"
#include "platform/qt_fonts.h"
#include "platform/sjis.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor kOrange = 0x0080FF;

TFont FixedFont(int points, TColor color, TFontStyles style = 0) {
    TFont f;
    f.SetName(Sjis("ＭＳ ゴシック"));
    f.SetSize(points);
    f.SetColor(color);
    f.SetStyle(style);
    return f;
}

class Colors : public MainWindowTest {
protected:
    void SetUp() override { Start(); }

    TCalExFonts& MonthFonts() { return form->MonthlyCalendar1->Fonts(); }
    TCalExFonts& WeekFonts() { return form->WeeklyCalendar1->Fonts(); }
};

QPushButton* ButtonCaptioned(TCommandDialog& dialog, const char* caption) {
    for (QPushButton* b : dialog.Buttons)
        if (b->text() == QString::fromUtf8(caption)) return b;
    return nullptr;
}

TEST_F(Colors, SaturdayColourOfTheMonthLeavesTheWeekAlone) {
    const TColor weekSaturday = WeekFonts().Font(TCalExFonts::Saturday).Color();
    const TFont monthBefore = MonthFonts().Font(TCalExFonts::Saturday);
    env->dialogs.colorAnswers.push_back(kOrange);
    form->S3->trigger();
    const TFont& saturday = MonthFonts().Font(TCalExFonts::Saturday);
    EXPECT_EQ(saturday.Color(), kOrange);
    EXPECT_EQ(saturday.Name(), monthBefore.Name());
    EXPECT_EQ(saturday.Height(), monthBefore.Height());
    EXPECT_EQ(WeekFonts().Font(TCalExFonts::Saturday).Color(), weekSaturday);
    EXPECT_EQ(MonthFonts().Font(TCalExFonts::Sunday).Color(), clRed);
    // Drawn at once: December 2026 has Saturdays in every row of the grid.
    EXPECT_GT(CountPixels(form->MonthlyCalendar1->BackBuffer(), form->MonthlyCalendar1->BackBuffer().rect(),
                          ToQColor(kOrange)),
              0);
}

TEST_F(Colors, ColourDialogReopensOnTheLastChoiceAndCancelChangesNothing) {
    env->dialogs.colorAnswers.push_back(kOrange);
    form->A1->trigger();
    EXPECT_EQ(form->MonthlyCalendar1->Color(), kOrange);
    form->N17->trigger();  // cancelled
    form->H3->trigger();   // cancelled
    ASSERT_EQ(env->dialogs.colorRequests.size(), 3u);
    EXPECT_EQ(env->dialogs.colorRequests[1], kOrange);
    EXPECT_EQ(env->dialogs.colorRequests[2], kOrange);
    EXPECT_EQ(form->WeeklyCalendar1->Color(), clNone);
    EXPECT_EQ(WeekFonts().Font(TCalExFonts::Holiday).Color(), clRed);
}

TEST_F(Colors, WholeCalendarFontSetsSixFontsButNotRokuyo) {
    const TFont rokuyo = MonthFonts().Font(TCalExFonts::Rokuyo);
    const TFont chosen = FixedFont(14, clBlue, fsUnderline);
    env->dialogs.fontAnswers.push_back(chosen);
    form->MCFontAll->trigger();
    for (int i : {TCalExFonts::Weekday, TCalExFonts::Saturday, TCalExFonts::Sunday, TCalExFonts::DayOfWeek,
                  TCalExFonts::Holiday, TCalExFonts::SpecialDay})
        EXPECT_TRUE(MonthFonts().Font(i).SameAs(chosen)) << i;
    EXPECT_TRUE(MonthFonts().Font(TCalExFonts::Rokuyo).SameAs(rokuyo));
    EXPECT_FALSE(WeekFonts().Font(TCalExFonts::Weekday).SameAs(chosen));
}

// The largest font the dialog offers still fits seven rows of the grid; a small one leaves
// the grid at its usual height.
TEST_F(Colors, MonthGridGrowsWithItsFont) {
    const int usual = form->MonthlyCalendar1->height();
    for (int points : {9, 15}) {
        env->dialogs.fontAnswers.push_back(FixedFont(points, clBlack));
        form->MCFontAll->trigger();
        const int line = QFontMetrics(ToQFont(FixedFont(points, clBlack))).height();
        EXPECT_GE(form->MonthlyCalendar1->ClientHeight(), 7 * line) << points;
        if (points == 9) {
            EXPECT_EQ(form->MonthlyCalendar1->height(), usual);
        }
    }
    EXPECT_GT(form->MonthlyCalendar1->height(), usual);
}

TEST_F(Colors, FontDialogOpensFirstOnTheDefaultThenOnTheLastChoiceWithItsLimits) {
    const TFont chosen = FixedFont(10, clGreen);
    env->dialogs.fontAnswers.push_back(chosen);
    form->WCHolidayFont->trigger();
    form->EditFont->trigger();  // cancelled
    ASSERT_EQ(env->dialogs.fontRequests.size(), 2u);
    const TFont& first = env->dialogs.fontRequests[0];
    EXPECT_EQ(first.Name(), Sjis("ＭＳ Ｐゴシック"));
    EXPECT_EQ(first.Height(), -12);
    EXPECT_EQ(first.Charset(), SHIFTJIS_CHARSET);
    EXPECT_EQ(first.Color(), clWindowText);
    EXPECT_EQ(first.Style(), 0);
    EXPECT_TRUE(env->dialogs.fontRequests[1].SameAs(chosen));
    const TFontDialogOptions& o = env->dialogs.fontOptions[0];
    EXPECT_EQ(o.MinSize, 9);
    EXPECT_EQ(o.MaxSize, 15);
    EXPECT_TRUE(o.FixedPitchOnly);
    EXPECT_TRUE(o.Effects);
    EXPECT_TRUE(WeekFonts().Font(TCalExFonts::Holiday).SameAs(chosen));
    EXPECT_FALSE(MonthFonts().Font(TCalExFonts::Holiday).SameAs(chosen));
    EXPECT_FALSE(form->Editor1->Font().SameAs(chosen));
}

TEST_F(Colors, MenusCarryTheCommandsWithSeparatorsAndMendedHints) {
    QMenu* options = nullptr;
    for (QAction* a : form->menuBar()->actions())
        if (a->text() == QString::fromUtf8("設定(&O)")) options = a->menu();
    ASSERT_NE(options, nullptr);
    QMenu* fonts = options->actions().at(1)->menu();
    QMenu* monthFonts = fonts->actions().at(0)->menu();
    QStringList captions;
    for (QAction* a : monthFonts->actions()) captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions.join(" "), QString::fromUtf8("全体(&A) - 曜日(&W) 土曜(&S) 日曜(&U) - 休日(&H) 特別な日(&P)"));
    EXPECT_EQ(form->MCFontAll->statusTip(), QString::fromUtf8("全体のフォントを設定します"));
    EXPECT_EQ(form->S1->statusTip(), QString::fromUtf8("特別な日の色を設定します"));
    EXPECT_EQ(fonts->actions().at(1)->menu()->menuAction()->statusTip(),
              QString::fromUtf8("WeeklyCalendar のフォントを設定します"));
    QMenu* weekColors = options->actions().at(0)->menu()->actions().at(1)->menu();
    captions.clear();
    for (QAction* a : weekColors->actions()) captions << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(captions.join(" "), QString::fromUtf8("背景(&B) - 日付(&W) 土曜(&S) 日曜(&U) - 休日(&H) 特別な日(&P)"));
}

TEST_F(Colors, ColourWindowButtonsRunTheMenuCommands) {
    TForm3 dialog(form.get());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("色の設定"));
    ASSERT_EQ(dialog.Buttons.size(), 12);
    env->dialogs.colorAnswers.push_back(kOrange);
    ButtonCaptioned(dialog, "土曜(&S)")->click();
    EXPECT_EQ(MonthFonts().Font(TCalExFonts::Saturday).Color(), kOrange);

    // Ctrl+key works from the week-calendar buttons only.
    QPushButton* weekBackground = ButtonCaptioned(dialog, "背景(CTRL+B)");
    env->dialogs.colorAnswers.push_back(clYellow);
    QTest::keyClick(weekBackground, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(WeekFonts().Font(TCalExFonts::Saturday).Color(), clYellow);
    env->dialogs.colorAnswers.push_back(clAqua);
    QTest::keyClick(ButtonCaptioned(dialog, "背景(&B)"), Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(form->WeeklyCalendar1->Color(), clNone);
    EXPECT_EQ(env->dialogs.colorRequests.size(), 2u);

    QTest::keyClick(weekBackground, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(Colors, WindowsKeepTheTabOrderOfTheirGroups) {
    TForm2 dialog(form.get());
    dialog.show();
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    ASSERT_EQ(dialog.Buttons.size(), 13);
    dialog.Buttons[0]->setFocus();
    for (int i = 1; i <= 13; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* expected = i < 13 ? dialog.Buttons[i] : dialog.CloseButton;
        ASSERT_EQ(QApplication::focusWidget(), expected) << i;
    }
    EXPECT_EQ(dialog.Buttons[6]->text(), QString::fromUtf8("全体(CTRL+A)"));
    EXPECT_EQ(dialog.Buttons[12]->text(), QString::fromUtf8("エディタ(&E)"));
}

TEST_F(Colors, CancelledFontChoiceFromTheFontWindowChangesNothing) {
    TForm2 dialog(form.get());
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("フォントの設定"));
    const TFont before = MonthFonts().Font(TCalExFonts::Saturday);
    ButtonCaptioned(dialog, "土曜(&S)")->click();
    EXPECT_EQ(env->dialogs.fontRequests.size(), 1u);
    EXPECT_TRUE(MonthFonts().Font(TCalExFonts::Saturday).SameAs(before));
    EXPECT_TRUE(dialog.isVisible());

    const TFont chosen = FixedFont(12, clNavy);
    env->dialogs.fontAnswers.push_back(chosen);
    QTest::keyClick(ButtonCaptioned(dialog, "休日(CTRL+H)"), Qt::Key_A, Qt::ControlModifier);
    EXPECT_TRUE(WeekFonts().Font(TCalExFonts::Sunday).SameAs(chosen));
    EXPECT_FALSE(WeekFonts().Font(TCalExFonts::Rokuyo).SameAs(chosen));
}

TEST_F(Colors, ToolButtonsOpenTheWindowsModally) {
    bool sawFonts = false, sawColors = false;
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<TForm2*>(QApplication::activeModalWidget());
        sawFonts = d != nullptr;
        if (d) d->CloseButton->click();
    });
    form->ToolButton7->trigger();
    QTimer::singleShot(0, [&] {
        auto* d = dynamic_cast<TForm3*>(QApplication::activeModalWidget());
        sawColors = d != nullptr;
        if (d) d->close();
    });
    form->ToolButton8->trigger();
    EXPECT_TRUE(sawFonts);
    EXPECT_TRUE(sawColors);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Colors, RegisteredHolidayColoursAndFontsAreBackAfterARestart) {
    form->WHolDayAdd->trigger();
    CommitText(form->Edit5, QString::fromUtf8("創立記念日"));
    QTest::keyClick(form->Edit5, Qt::Key_Return);
    env->dialogs.colorAnswers.push_back(kOrange);
    form->H2->trigger();
    const TFont editorFont = FixedFont(13, clMaroon, fsBold);
    env->dialogs.fontAnswers.push_back(editorFont);
    form->EditFont->trigger();
    form->close();

    form = Open();
    EXPECT_EQ(form->WeeklyCalendar1->HolidayList().Strings(ShippedHolidayList().Count()), Sjis("12,7,創立記念日"));
    EXPECT_EQ(form->MonthlyCalendar1->GetHolidayNames(2026, 12, 7), Sjis("創立記念日"));
    EXPECT_EQ(MonthFonts().Font(TCalExFonts::Holiday).Color(), kOrange);
    EXPECT_TRUE(form->Editor1->Font().SameAs(editorFont));
}

}  // namespace
