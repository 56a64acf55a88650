// The days with an entry in the main window: their marks, kept true by saves, deletes and
// other programs; the steps from entry to entry; the same day in other years; the 文字数.
#include "main_window_test.h"

#include "window/same_day_dialog.h"
#include "calendar/grid_layout.h"
#include "calendar/weekly_calendar.h"
#include "controls/tab_tool_bar.h"
#include "diary/day_file_name.h"
#include "editor/editor.h"
#include "platform/sjis.h"

#include "calendar/cal_ex_paint.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLayout>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <fstream>
#include <unistd.h>

namespace {

const QColor kMark(224, 96, 0);

class Entries : public MainWindowTest {
protected:
    QTemporaryDir diaryDir;
    QString oldCwd = QDir::currentPath();

    void SetUp() override { QDir::setCurrent(diaryDir.path()); }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldCwd);
    }
    void Put(int y, int m, int d, const std::string& utf8) {
        std::ofstream(DayFileName(y, m, d), std::ios::binary) << Sjis(utf8);
    }
    void Select(int y, int m, int d) { form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(y, m, d)); }
    // Mark-coloured pixels in the month grid's cell of a day of the shown month.
    int MarkPixels(int y, int m, int d, const QColor& color = kMark) {
        TMonthlyCalendar* cal = form->MonthlyCalendar1;
        const TJuliusDay first = cal->GetFirstDay(), day = YMDToJulius(y, m, d);
        const int rows = cal->GetRowCount();
        const int index = day - first;
        const QRect cell = ToQRect(GridCellRect(index % 7, index / 7 + 1, 7, rows, cal->ClientWidth(), cal->ClientHeight()));
        return CountPixels(cal->BackBuffer(), cell, color);
    }
    int WeekMarkPixels(int row) {
        TWeeklyCalendar* cal = form->WeeklyCalendar1;
        const QRect cell = ToQRect(GridCellRect(0, row, 1, 7, cal->ClientWidth(), cal->ClientHeight()));
        return CountPixels(cal->BackBuffer(), cell, kMark);
    }
};

}  // namespace

TEST_F(Entries, MarksFollowSavesDeletesAndFilesFromOutside) {
    Put(2026, 12, 3, "三日");
    Put(2026, 12, 9, "九日");
    Put(2026, 12, 13, "");  // a Sunday, with an empty entry
    Start({2026, 12, 7});
    form->EntryIndex();
    for (int d : {3, 9, 13}) EXPECT_GT(MarkPixels(2026, 12, d), 0) << d;
    for (int d : {7, 8}) EXPECT_EQ(MarkPixels(2026, 12, d), 0) << d;
    // The week of the 7th, from Sunday the 6th: the 9th is its fourth row.
    EXPECT_GT(WeekMarkPixels(3), 0);
    EXPECT_EQ(WeekMarkPixels(1), 0);
    EXPECT_EQ(WeekMarkPixels(2), 0);

    // The mark hides neither the class colour nor the selection's inverted number.
    const QColor red(255, 0, 0), white(255, 255, 255);
    Select(2026, 12, 9);
    const int sundayRed = MarkPixels(2026, 12, 13, red), selectedWhite = MarkPixels(2026, 12, 9, white);
    form->SetEntryMarksShown(false);
    EXPECT_EQ(MarkPixels(2026, 12, 3), 0);
    EXPECT_EQ(WeekMarkPixels(3), 0);
    EXPECT_EQ(MarkPixels(2026, 12, 13, red), sundayRed);
    EXPECT_GT(selectedWhite, MarkPixels(2026, 12, 9, white));  // the selected day's mark, inverted
    form->EntryMarksShow->trigger();
    EXPECT_TRUE(form->MonthlyCalendar1->ShowMarks());

    // The program's own save and delete change the marks at once.
    // The selected day shows its mark inverted: more of the background's white.
    Select(2026, 12, 8);
    const int unmarked = MarkPixels(2026, 12, 8, white);
    CommitText(form->Editor1, QString::fromUtf8("八日"));
    form->EditorSaveClick();
    EXPECT_GT(MarkPixels(2026, 12, 8, white), unmarked);
    env->dialogs.confirmAnswers.push_back(true);
    form->EditorFileDaleteClick();
    EXPECT_EQ(MarkPixels(2026, 12, 8, white), unmarked);

    // Another program's files, within about a second.
    QElapsedTimer clock;
    clock.start();
    Put(2026, 12, 20, "外から");
    ::unlink(DayFileName(2026, 12, 3).c_str());
    while ((MarkPixels(2026, 12, 20) == 0 || MarkPixels(2026, 12, 3) > 0) && clock.elapsed() < 5000) QTest::qWait(20);
    EXPECT_GT(MarkPixels(2026, 12, 20), 0);
    EXPECT_EQ(MarkPixels(2026, 12, 3), 0);
    EXPECT_LT(clock.elapsed(), 1500);
}

TEST_F(Entries, StepsFromEntryToEntryThroughTheDayChange) {
    Put(2026, 11, 30, "a");
    Put(2026, 12, 3, "b");
    Put(2027, 1, 11, "c");  // 2027-01-11.dat, beside 2027111.dat of November 1st
    Put(2027, 11, 1, "d");
    Start({2026, 12, 7});
    form->EntryIndex();
    form->NextEntryClick();
    EXPECT_EQ(Monthly(), (TYMD{2027, 1, 11}));
    EXPECT_EQ(form->WeeklyCalendar1->JuliusDay(), form->MonthlyCalendar1->JuliusDay());
    EXPECT_EQ(form->Editor1->Lines().Text(), "c");
    form->NextEntry->trigger();
    EXPECT_EQ(Monthly(), (TYMD{2027, 11, 1}));
    form->NextEntryClick();
    EXPECT_EQ(Monthly(), (TYMD{2027, 11, 1}));
    EXPECT_EQ(env->dialogs.beeps, 1);
    for (TYMD expected : {TYMD{2027, 1, 11}, TYMD{2026, 12, 3}, TYMD{2026, 11, 30}}) {
        form->PrevEntryClick();
        EXPECT_EQ(Monthly(), expected);
    }
    form->PrevEntryClick();
    EXPECT_EQ(env->dialogs.beeps, 2);
    EXPECT_EQ(Monthly(), (TYMD{2026, 11, 30}));

    // Edited text is asked about, as on any day change.
    form->CanEditClick();
    CommitText(form->Editor1, QString::fromUtf8("追記"));
    QTest::mouseClick(form->TabToolBar1->widgetForAction(form->ToolButtonNextEntry), Qt::LeftButton);
    ASSERT_EQ(env->dialogs.confirmations.size(), 1u);
    EXPECT_EQ(env->dialogs.confirmations[0], "エディタの内容が編集されました。保存しますか？");
    EXPECT_EQ(Monthly(), (TYMD{2026, 12, 3}));

    // The shortcut works from the editor, whose own keys keep Left and Right.
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Editor1->setFocus();
    QTest::keyClick(form->Editor1, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(Monthly(), (TYMD{2027, 1, 11}));
    QTest::keyClick(form->Editor1, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(Monthly(), (TYMD{2026, 12, 3}));
}

TEST_F(Entries, TheSameDayInOtherYearsNewestFirstAndEnterGoesThere) {
    Put(2025, 12, 7, "去年の今日\r\n二行目");
    Put(2023, 12, 7, "\r\n\t三年前");
    Put(2026, 12, 8, "other day");
    ASSERT_EQ(::symlink("/proc/self/mem", DayFileName(2024, 12, 7).c_str()), 0);  // cannot be read
    Start({2026, 12, 7});
    QStringList rows;
    QTimer::singleShot(0, [&] {
        auto* dialog = dynamic_cast<TSameDayDialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        for (int i = 0; i < dialog->List->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* item = dialog->List->topLevelItem(i);
            rows << item->text(0) + "|" + item->text(1) + "|" + item->text(2);
        }
        dialog->List->setCurrentItem(dialog->List->topLevelItem(2));
        QTest::keyClick(dialog->List, Qt::Key_Return);
    });
    form->SameDayPastClick();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QString::fromUtf8("2025/12/7(日)|8|去年の今日"));
    EXPECT_TRUE(rows[1].startsWith(QString::fromUtf8("2024/12/7(土)|-|（読めません"))) << rows[1].toStdString();
    EXPECT_EQ(rows[2], QString::fromUtf8("2023/12/7(木)|4| 三年前"));
    EXPECT_EQ(Monthly(), (TYMD{2023, 12, 7}));
}

TEST_F(Entries, StatusBarCountsTheDayAndTheSelection) {
    Put(2026, 12, 8, "三日坊主\r\nｶﾀｶﾅ\tと");
    Start({2026, 12, 7});
    EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8("0 字"));
    Select(2026, 12, 8);
    QTest::qWait(0);
    EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8("10 字"));
    form->CanEditClick();
    form->Editor1->SelectAll();
    QTest::qWait(0);
    EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8("10 / 10 字"));
    QTest::keyClick(form->Editor1, Qt::Key_End, Qt::ControlModifier);
    CommitText(form->Editor1, QString::fromUtf8(std::string(1000, 'x').c_str()));
    QTest::qWait(0);
    EXPECT_EQ(form->StatusPanel1->text(), QString::fromUtf8("1,010 字"));
}

namespace {

// The smallest rectangle around the pixels in `area` that `is` takes.
template <typename Is>
QRect Box(const QImage& image, const QRect& area, Is is) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (is(PixelAt(image, QPoint(x, y)))) box |= QRect(x, y, 1, 1);
    return box;
}

// The red of a Sunday's number, smoothed at its edges (the mark's orange has more green).
bool Reddish(const QColor& c) { return c.red() > 150 && c.green() < 60 && c.blue() < 60; }
bool IsMark(const QColor& c) { return c == kMark; }

}  // namespace

// A day with an entry is told at a glance at every size the font dialog offers (9 to 15
// points): a bar at least 2 px thick under the whole number (under the whole date in the
// week list), while the Sunday's number stays red and the selected day inverted. Where the
// number fills the cell's height the bar takes the cell's lowest pixels.
TEST_F(Entries, MarksReadAtAGlanceAtEveryFontSize) {
    Put(2026, 12, 13, "日曜");  // a Sunday, in the week list's second week
    Put(2026, 12, 7, "選択");   // the selected day
    Start({2026, 12, 7});
    form->EntryIndex();
    TMonthlyCalendar* month = form->MonthlyCalendar1;
    TWeeklyCalendar* week = form->WeeklyCalendar1;
    for (int height : {-12, -16, -20}) {
        for (TCustomCalendarEx* cal : {static_cast<TCustomCalendarEx*>(month), static_cast<TCustomCalendarEx*>(week)})
            for (int i = 0; i < TCalExFonts::Count; ++i) cal->Fonts().Font(i).SetHeight(height);
        form->layout()->activate();
        QCoreApplication::processEvents();
        const TJuliusDay first = month->GetFirstDay();
        const auto cell = [&](int d) {
            const int index = YMDToJulius(2026, 12, d) - first;
            return ToQRect(GridCellRect(index % 7, index / 7 + 1, 7, month->GetRowCount(), month->ClientWidth(), month->ClientHeight()));
        };
        const QColor red(255, 0, 0), white(255, 255, 255);
        const QRect number = Box(month->BackBuffer(), cell(13), Reddish);
        const QRect bar = Box(month->BackBuffer(), cell(13), IsMark);
        ASSERT_FALSE(number.isEmpty()) << height;
        EXPECT_GE(bar.height(), 2) << height;
        EXPECT_GE(bar.width(), number.width()) << height;
        EXPECT_LE(bar.left(), number.left()) << height;
        EXPECT_GE(bar.right(), number.right()) << height;
        EXPECT_GE(CountPixels(month->BackBuffer(), bar, kMark), bar.width() * 2) << "a solid bar, " << height;
        EXPECT_TRUE(bar.top() > number.bottom() || bar.bottom() == cell(13).bottom()) << "under the number, " << height;
        // The week of the 13th: its first row, the date in red, not selected.
        week->SetJuliusDay(YMDToJulius(2026, 12, 14));
        const QRect row = ToQRect(GridCellRect(0, 0, 1, 7, week->ClientWidth(), week->ClientHeight()));
        const QRect date = Box(week->BackBuffer(), row.adjusted(week->TextMargin, 0, 0, 0), Reddish);
        const QRect weekBar = Box(week->BackBuffer(), row.adjusted(week->TextMargin, 0, 0, 0), IsMark);
        EXPECT_GE(weekBar.height(), 2) << height;
        EXPECT_GE(weekBar.width(), date.width() * 9 / 10) << height;
        week->SetJuliusDay(YMDToJulius(2026, 12, 7));

        const int sundayRed = CountPixels(month->BackBuffer(), cell(13), red);
        const int selectedFill = CountPixels(month->BackBuffer(), cell(7), Qt::black);
        const int selectedMark = CountPixels(month->BackBuffer(), cell(7), white);
        form->SetEntryMarksShown(false);
        const int unmarkedRed = CountPixels(month->BackBuffer(), cell(13), red);
        EXPECT_GE(sundayRed, unmarkedRed * 3 / 4) << height;
        // Where the cell has room under the number, the bar takes none of its pixels.
        if (bar.top() > Box(month->BackBuffer(), cell(13), Reddish).bottom()) EXPECT_EQ(sundayRed, unmarkedRed) << height;
        EXPECT_GE(selectedFill, CountPixels(month->BackBuffer(), cell(7), Qt::black) * 8 / 10) << height;
        EXPECT_GE(selectedMark, CountPixels(month->BackBuffer(), cell(7), white) + 2 * number.width() / 2) << "inverted, " << height;
        form->SetEntryMarksShown(true);
    }
}
