// Registering holidays and special days, the list dialog and the exports.
#include "main_window_test.h"
#include "window/form1.h"
#include "window/form4.h"
#include "window/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "platform/sjis.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

std::string ReadFile(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> LinesOf(const TStringList& list) { return list.Lines(); }

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Runs `fn` on the modal dialog once it is open; the dialog must be closed by `fn`.
void WhenModal(std::function<void(QDialog*)> fn) {
    QTimer::singleShot(0, [fn] {
        auto* dialog = dynamic_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        fn(dialog);
    });
}

class Lists : public MainWindowTest {
protected:
    QTemporaryDir workDir;
    QString oldDir = QDir::currentPath();

    void Start(TSystemDate today = {2027, 5, 3}) {
        QDir::setCurrent(workDir.path());
        MainWindowTest::Start(today);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldDir);
    }

    TStringList& Holidays() { return form->WeeklyCalendar1->HolidayList(); }
    TStringList& SpecialDays() { return form->WeeklyCalendar1->SpecialDayList(); }

    // The way a menu command runs for the user: from the event loop, where the
    // application's error handler catches what it raises.
    void RunFromEventLoop(QAction* action) {
        QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
        QCoreApplication::processEvents();
    }
};

TEST_F(Lists, HolidayRegistrationShowsInTheWeekAtOnceAndInTheMonthAfterARestart) {
    Start({2027, 5, 3});
    form->WHolDayAdd->trigger();
    ASSERT_TRUE(form->Edit5->isVisible());
    EXPECT_FALSE(form->Edit4->isVisible());
    EXPECT_EQ(form->Edit5->text(), "5,3,");
    EXPECT_EQ(form->Edit5->cursorPosition(), 4);
    EXPECT_FALSE(form->Edit5->hasSelectedText());

    CommitText(form->Edit5, QString::fromUtf8("記念日"));
    QTest::keyClick(form->Edit5, Qt::Key_Return);
    EXPECT_FALSE(form->Edit5->isVisible());
    const int shipped = ShippedHolidayList().Count();
    ASSERT_EQ(Holidays().Count(), shipped + 1);
    EXPECT_EQ(Holidays().Strings(shipped), Sjis("5,3,記念日"));
    // 2027-05-03 is a Monday: the second row of a week starting on Sunday.
    EXPECT_TRUE(form->WeeklyCalendar1->RowText(1).contains(QString::fromUtf8("記念日")));
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Count(), shipped);
    EXPECT_EQ(form->MonthlyCalendar1->GetHolidayNames(2027, 5, 3), Sjis("憲法記念日"));

    form->close();
    form = std::make_unique<TForm1>();
    form->IniStore1->SetApplicationDir(settingsDir.path().toStdString());
    form->show();
    EXPECT_EQ(form->MonthlyCalendar1->HolidayList().Count(), shipped + 1);
    EXPECT_NE(form->MonthlyCalendar1->GetHolidayNames(2027, 5, 3).find(Sjis("記念日,")), std::string::npos)
        << SjisToUtf8(form->MonthlyCalendar1->GetHolidayNames(2027, 5, 3));
}

TEST_F(Lists, EscapeAddsNothingAndLosesTheTypedText) {
    Start();
    form->WSpecialDayAdd->trigger();
    QTest::keyClicks(form->Edit4, "draft");
    QTest::keyClick(form->Edit4, Qt::Key_Escape);
    EXPECT_FALSE(form->Edit4->isVisible());
    EXPECT_EQ(SpecialDays().Count(), 1);
    form->WSpecialDayAdd->trigger();
    EXPECT_EQ(form->Edit4->text(), "5,3,");
}

TEST_F(Lists, EntryLineStaysOpenWithoutFocusAndTakesTextAsTyped) {
    Start();
    form->WHolDayAdd->trigger();
    form->MonthlyCalendar1->setFocus();
    EXPECT_TRUE(form->Edit5->isVisible());
    // A second start replaces what was typed; a comma in the name is not refused.
    form->Edit5->setText("junk");
    form->WHolDayAdd->trigger();
    QTest::keyClicks(form->Edit5, "a,b");
    QTest::keyClick(form->Edit5, Qt::Key_Enter);
    EXPECT_EQ(Holidays().Strings(Holidays().Count() - 1), "5,3,a,b");
}

TEST_F(Lists, CharacterWithoutShiftJisFormIsRefusedWithABeep) {
    Start();
    form->WHolDayAdd->trigger();
    CommitText(form->Edit5, QString::fromUtf8("\xF0\x9F\x98\x80"));  // an emoji
    EXPECT_EQ(form->Edit5->text(), "5,3,");
    EXPECT_GT(env->dialogs.beeps, 0);
}

TEST_F(Lists, InsertInTheWeekCalendarOpensTheSpecialDayLine) {
    Start();
    form->WeeklyCalendar1->SetJuliusDay(form->WeeklyCalendar1->JuliusDay() + 1);  // 5/4
    QTest::keyClick(form->WeeklyCalendar1, Qt::Key_Insert);
    EXPECT_TRUE(form->Edit4->isVisible());
    EXPECT_FALSE(form->Edit5->isVisible());
    EXPECT_EQ(form->Edit4->text(), "5,4,");
}

TEST_F(Lists, PopupRegistrationTakesTheWeekCalendarsDay) {
    Start();
    form->WeeklyCalendar1->SetJuliusDay(form->WeeklyCalendar1->JuliusDay() + 30);  // 6/2
    form->PopupMenu1->actions().at(0)->trigger();
    EXPECT_EQ(form->Edit5->text(), "6,2,");
}

TEST_F(Lists, DialogShowsTheListSortedAndClosingReSortsIt) {
    Start();
    Holidays().Assign(OldShippedHolidayList());
    const std::vector<std::string> before = LinesOf(Holidays());
    TForm4 dialog(form.get(), "休日の編集", Holidays());
    EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("休日の編集"));
    ASSERT_EQ(dialog.ListBox1->count(), 13);
    const char* first[] = {"1,1,元旦", "1,15,成人の日", "10,10,体育の日", "11,23,勤労感謝の日", "11,3,文化の日"};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(dialog.ListBox1->item(i)->text(), QString::fromUtf8(first[i]));
    EXPECT_EQ(dialog.ListBox1->currentRow(), 0);
    dialog.show();
    dialog.Button4->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(LinesOf(Holidays()), Sorted(before));
}

TEST_F(Lists, DeleteAllThenCloseLeavesTheListAlone) {
    Start();
    Holidays().Assign(OldShippedHolidayList());
    const std::vector<std::string> before = LinesOf(Holidays());
    TForm4 dialog(form.get(), "休日の編集", Holidays());
    dialog.show();
    dialog.Button3->click();
    EXPECT_EQ(dialog.ListBox1->count(), 0);
    dialog.Button4->click();
    EXPECT_EQ(LinesOf(Holidays()), before);
}

TEST_F(Lists, DeleteThenCancelThenCloseKeepsEveryLine) {
    Start();
    Holidays().Assign(OldShippedHolidayList());
    const std::vector<std::string> before = LinesOf(Holidays());
    TForm4 dialog(form.get(), "休日の編集", Holidays());
    dialog.show();
    dialog.Button1->click();
    EXPECT_EQ(dialog.ListBox1->count(), 12);
    dialog.Button2->click();
    EXPECT_EQ(dialog.ListBox1->count(), 13);
    dialog.Button4->click();
    EXPECT_EQ(LinesOf(Holidays()), Sorted(before));
}

TEST_F(Lists, DeleteTakesOnlyTheSelectedLineAndThenNothing) {
    Start();
    Holidays().Assign(OldShippedHolidayList());
    TForm4 dialog(form.get(), "休日の編集", Holidays());
    dialog.show();
    dialog.ListBox1->setCurrentRow(2);  // 10,10,体育の日
    dialog.Button1->click();
    dialog.Button1->click();  // nothing selected any more
    EXPECT_EQ(dialog.ListBox1->count(), 12);
    QTest::keyClick(dialog.ListBox1, Qt::Key_Escape);  // Escape closes from the list box too
    EXPECT_FALSE(dialog.isVisible());
    ASSERT_EQ(Holidays().Count(), 12);
    EXPECT_EQ(Holidays().IndexOf(Sjis("10,10,体育の日")), -1);
    EXPECT_EQ(Holidays().Strings(2), Sjis("11,23,勤労感謝の日"));
}

TEST_F(Lists, MenuOpensTheDialogOnTheNamedList) {
    Start();
    WhenModal([](QDialog* dialog) {
        auto* form4 = dynamic_cast<TForm4*>(dialog);
        ASSERT_NE(form4, nullptr);
        EXPECT_EQ(form4->windowTitle(), QString::fromUtf8("特別な日の編集"));
        form4->Button1->click();
        form4->close();
    });
    form->WSpecialDayDalete->trigger();
    EXPECT_EQ(form->EditList, &SpecialDays());
    // The one line was deleted and the box left empty: the list stays.
    EXPECT_EQ(SpecialDays().Count(), 1);
    EXPECT_EQ(form->MonthlyCalendar1->SpecialDayList().Count(), 1);
}

TEST_F(Lists, ExportWritesEveryLineAndAnEmptyLastLine) {
    Start();
    std::ofstream(workDir.filePath("Holday.txt").toStdString()) << "old content that is longer than nothing";
    form->H4->trigger();
    std::string expected;
    for (const std::string& line : Holidays().Lines()) expected += line + "\r\n";
    expected += "\r\n";
    EXPECT_EQ(ReadFile(workDir.filePath("Holday.txt")), expected);

    SpecialDays().Clear();
    form->PopupMenu1->actions().at(6)->trigger();
    EXPECT_EQ(ReadFile(workDir.filePath("Spday.txt")), "\r\n");
}

TEST_F(Lists, ExportThatCannotBeWrittenShowsTheErrorAndChangesNothing) {
    Start();
    // A folder in the place of the file cannot be replaced, by root neither.
    ASSERT_TRUE(QDir(workDir.path()).mkdir("Holday.txt"));
    const std::vector<std::string> before = LinesOf(Holidays());
    RunFromEventLoop(form->H4);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_NE(env->dialogs.errors[0].find("Holday.txt"), std::string::npos);
    EXPECT_EQ(LinesOf(Holidays()), before);
    EXPECT_TRUE(QFileInfo(workDir.filePath("Holday.txt")).isDir());
    EXPECT_EQ(QDir(workDir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
}

TEST_F(Lists, ExportIntoAFolderWithoutWritePermissionShowsTheError) {
    Start();
    std::ofstream(workDir.filePath("Spday.txt").toStdString()) << "kept";
    QFile::setPermissions(workDir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    // Permission bits do not stop root; a folder that has gone away stops everyone.
    QTemporaryDir goneDir;
    const bool root = ::geteuid() == 0;
    if (root) {
        QDir::setCurrent(goneDir.path());
        goneDir.remove();
    }
    RunFromEventLoop(form->S5);
    QDir::setCurrent(oldDir);
    QFile::setPermissions(workDir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_NE(env->dialogs.errors[0].find("Spday.txt"), std::string::npos);
    EXPECT_EQ(ReadFile(workDir.filePath("Spday.txt")), "kept");
    EXPECT_EQ(SpecialDays().Count(), 1);
}

}  // namespace
