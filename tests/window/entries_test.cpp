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
