// The main window's diary: the selected day's file in the editor, save, delete, the edit
#include "main_window_test.h"
// lock, the questions that keep unsaved text, the ruled lines and printing.
#include "window/form1.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "controls/tab_tool_bar.h"
#include "controls/up_down.h"
#include "editor/editor.h"
#include "platform/application.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"
#include "diary/diary_session.h"
#include "window/print_pages.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QInputMethodEvent>
#include <QLabel>
#include <QKeySequence>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <deque>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <sys/stat.h>

namespace {

const char* const kEdited = "エディタの内容が編集されました。保存しますか？";

class Diary : public MainWindowTest {
protected:
    QTemporaryDir diaryDir;
    QString oldCwd = QDir::currentPath();

    void SetUp() override { QDir::setCurrent(diaryDir.path()); }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldCwd);
    }
    void Select(std::int32_t y, int m, int d) { form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(y, m, d)); }
    TYMD Selected() const { return JuliusToYMD(form->MonthlyCalendar1->JuliusDay()); }
    // Stands in for typing: the text goes through the editor's own line store.
    void Type(const char* utf8) { form->Editor1->Lines().Add(Sjis(utf8)); }
    std::string Text() const { return form->Editor1->Lines().Text(); }
    // Runs a command the way the event loop does: an error ends in the error box.
    template <typename F>
    void Command(F f) {
        try {
            f();
        } catch (...) {
            TApplication::ReportCurrentException();
        }
    }
    void ClickToolButton(QAction* action) {
        QTest::mouseClick(form->TabToolBar1->widgetForAction(action), Qt::LeftButton);
    }
    static std::string Read(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static bool Exists(const char* name) { return QFileInfo::exists(name); }
    static void Write(const char* name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
    }
};

}  // namespace

// The editor starts empty for a new entry even when today has one; the status bar says
// so, and a save of what was typed asks first, appending by default.
TEST_F(Diary, StartUpEditorIsEmptyAndASaveOverTodaysEntryAppendsByDefault) {
    const std::string morning = Sjis("朝の日記\r\n二行目");
    struct Case {
        const char* what;
        std::deque<int> answer;  // empty: Escape
        std::string file, text;  // afterwards
        bool edited;
    } cases[] = {
        {"追記, the default", {0}, morning + "\r\n" + Sjis("夜に追加\r\n"), morning + "\r\n" + Sjis("夜に追加\r\n"), false},
        {"上書き", {1}, Sjis("夜に追加\r\n"), Sjis("夜に追加\r\n"), false},
        {"キャンセル", {2}, morning, Sjis("夜に追加\r\n"), true},
        {"Escape", {}, morning, Sjis("夜に追加\r\n"), true},
    };
    for (const Case& c : cases) {
        Write("202735.dat", morning);
        Start({2027, 3, 5});
        EXPECT_EQ(Text(), "") << c.what;
        EXPECT_FALSE(form->Editor1->ReadOnly()) << c.what;
        EXPECT_EQ(form->StatusPanel0->text(), QString::fromUtf8("今日の日記があります（カレンダーの今日をクリックすると表示します）"));
        Type("夜に追加");
        env->dialogs.choiceAnswers = c.answer;
        form->Save1->trigger();
        ASSERT_EQ(env->dialogs.choiceButtons.size(), 1u) << c.what;
        EXPECT_EQ(env->dialogs.choiceButtons[0], (std::vector<std::string>{"追記(&A)", "上書き(&O)", "キャンセル"}));
        EXPECT_EQ(env->dialogs.choices[0].rfind("ファイル 202735.dat には、エディタに表示されていない内容があります。", 0), 0u);
        EXPECT_TRUE(env->dialogs.confirmations.empty()) << c.what;
        EXPECT_EQ(Read("202735.dat"), c.file) << c.what;
        EXPECT_EQ(Text(), c.text) << c.what;
        EXPECT_FALSE(form->Editor1->ReadOnly()) << c.what;
        // A second save asks nothing more: the editor now holds the whole day.
        if (!c.edited) {
            form->Save1->trigger();
            EXPECT_EQ(env->dialogs.choices.size(), 1u) << c.what;
            EXPECT_EQ(Read("202735.dat"), c.file) << c.what;
        }
        form.reset();
        env.reset();  // before the next one is installed, or its end would remove that one
    }
}

// The way the start-up note names: a click on today shows its entry, read-only as any
// day's file; a click on another day goes there as ever.
TEST_F(Diary, AClickOnTodayShowsTheEntryTheStartLeftOut) {
    Write("202735.dat", Sjis("今日の日記\r\n"));
    Start({2027, 3, 5});
    TMonthlyCalendar* month = form->MonthlyCalendar1;
    QPoint today;
    for (int y = 2; y < month->contentsRect().height() && today.isNull(); y += 2)
        for (int x = 2; x < month->contentsRect().width() && today.isNull(); x += 2) {
            const TGridCell cell = month->CellFromPoint(x, y);
            if (cell.Row > 0 && month->GetFirstDay() + (cell.Row - 1) * 7 + cell.Column == YMDToJulius(2027, 3, 5))
                today = QPoint(x, y) + QPoint(4, 4) + month->contentsRect().topLeft();
        }
    ASSERT_FALSE(today.isNull());
    QTest::mouseClick(month, Qt::LeftButton, {}, today);
    EXPECT_EQ(Text(), Sjis("今日の日記\r\n"));
    EXPECT_TRUE(form->Editor1->ReadOnly());
    EXPECT_EQ(form->StatusPanel0->text(), QString());
    // Shown once: a later click changes nothing typed since.
    form->CanEdit->trigger();
    Type("続き");
    QTest::mouseClick(month, Qt::LeftButton, {}, today);
    EXPECT_EQ(Text(), Sjis("今日の日記\r\n続き\r\n"));
}

// The editor starts empty, so today's file is never opened: a folder in its place, which
// any read would report, goes unnoticed until the user selects the day.
TEST_F(Diary, StartUpDoesNotReadTodaysFile) {
    ASSERT_EQ(::mkdir("202735.dat", 0755), 0);
    Start({2027, 3, 5});
    EXPECT_TRUE(env->dialogs.errors.empty());
    EXPECT_FALSE(form->Editor1->ReadOnly());
}

TEST_F(Diary, UnreadableDayFileShowsTheErrorAndAnEmptyLockedEditor) {
    Start({2027, 3, 5});
    ASSERT_EQ(::mkdir("202736.dat", 0755), 0);
    Command([&] { Select(2027, 3, 6); });
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 6}));
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(form->Editor1->ReadOnly());

    // What could not be shown cannot be replaced by what the user writes instead, and the
    // save says so at once rather than offering to overwrite it.
    ASSERT_EQ(::mkfifo("202737.dat", 0644), 0);
    Command([&] { Select(2027, 3, 7); });
    ASSERT_EQ(env->dialogs.errors.size(), 2u);
    form->CanEdit->trigger();
    Type("instead");
    Command([&] { form->EditorSaveClick(); });
    EXPECT_TRUE(env->dialogs.confirmations.empty());
    ASSERT_EQ(env->dialogs.errors.size(), 3u);
    EXPECT_EQ(env->dialogs.errors[2], "通常のファイルではありません");
}

TEST_F(Diary, SaveWritesTheWholeTextAndDeleteAsksForTheFile) {
    Start({2027, 3, 5});
    Type("一行目");
    Type("二行目\tタブ");
    ClickToolButton(form->ToolButton1);
    EXPECT_TRUE(env->dialogs.errors.empty());
    EXPECT_EQ(Read("202735.dat"), Sjis("一行目\r\n二行目\tタブ\r\n"));  // CR LF, no byte-order mark
    EXPECT_TRUE(env->dialogs.confirmations.empty());
    EXPECT_FALSE(form->Editor1->ReadOnly());

    env->dialogs.confirmAnswers = {false};
    form->Delete1->trigger();
    ASSERT_EQ(env->dialogs.confirmations.size(), 1u);
    EXPECT_EQ(env->dialogs.confirmations[0], "202735.datを削除します");
    EXPECT_TRUE(Exists("202735.dat"));
    env->dialogs.confirmAnswers = {true};
    form->EditorFileDalete->trigger();
    EXPECT_FALSE(Exists("202735.dat"));
    EXPECT_EQ(Text(), Sjis("一行目\r\n二行目\tタブ\r\n"));  // the text stays shown
    Select(2027, 3, 6);
    Select(2027, 3, 5);
    EXPECT_EQ(Text(), "");

    // Delete on a day without a file asks nothing.
    form->Delete1->trigger();
    EXPECT_EQ(env->dialogs.confirmations.size(), 2u);
}

TEST_F(Diary, EmptySaveAndTheLockAcrossDaysWithoutFiles) {
    Start({2027, 3, 5});
    form->Save1->trigger();  // an empty editor still saves, giving an empty file
    ASSERT_TRUE(Exists("202735.dat"));
    EXPECT_EQ(Read("202735.dat"), "");
    Select(2027, 3, 6);
    EXPECT_FALSE(form->Editor1->ReadOnly());
    Select(2027, 3, 5);
    EXPECT_EQ(Text(), "");
    EXPECT_TRUE(form->Editor1->ReadOnly());
    Select(2027, 3, 7);  // no file: empty, and still locked
    EXPECT_TRUE(form->Editor1->ReadOnly());
    form->CanEdit->trigger();
    EXPECT_FALSE(form->Editor1->ReadOnly());
    // Saving while locked works too.
    Write("202738.dat", "abc\r\n");
    Select(2027, 3, 8);
    ASSERT_TRUE(form->Editor1->ReadOnly());
    form->EditorSave->trigger();
    EXPECT_EQ(Read("202738.dat"), "abc\r\n");
    EXPECT_TRUE(env->dialogs.confirmations.empty());
}

TEST_F(Diary, ClashingDaysKeepTheirOwnText) {
    Write("2027111.dat", "old file\r\n");
    Start({2027, 11, 1});
    Select(2027, 1, 11);
    EXPECT_EQ(Text(), "");
    Type("January");
    form->Save1->trigger();
    Select(2027, 11, 1);
    EXPECT_EQ(Text(), "old file\r\n");
    EXPECT_EQ(Read("2027-01-11.dat"), "January\r\n");
    EXPECT_EQ(Read("2027111.dat"), "old file\r\n");
}

TEST_F(Diary, MovingAwayFromChangedTextAsksFirst) {
    Write("202736.dat", "next day\r\n");
    Start({2027, 3, 5});
    Type("draft");
    env->dialogs.confirmAnswers = {false};  // いいえ: the text goes, as it always did
    Select(2027, 3, 6);
    ASSERT_EQ(env->dialogs.confirmations, std::vector<std::string>{kEdited});
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 6}));
    EXPECT_EQ(Text(), "next day\r\n");
    EXPECT_FALSE(Exists("202735.dat"));

    // Showing a day's file is no change of the user's: moving on asks nothing.
    Select(2027, 3, 7);
    EXPECT_EQ(env->dialogs.confirmations.size(), 1u);

    Type("written on the 7th");
    env->dialogs.confirmAnswers = {true};  // はい: saved to the day it was written for
    form->SpeedButtonClick(1);
    EXPECT_EQ(env->dialogs.confirmations.size(), 2u);
    EXPECT_EQ(Read("202737.dat"), "written on the 7th\r\n");
    EXPECT_FALSE(Exists("202738.dat"));
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 8}));
    EXPECT_EQ(Text(), "");

    // Text the user emptied again is not worth a question.
    Type("x");
    form->Editor1->Lines().Clear();
    Select(2027, 3, 9);
    EXPECT_EQ(env->dialogs.confirmations.size(), 2u);
}

TEST_F(Diary, FailedSaveOnTheWayToAnotherDayKeepsTheTextOnItsDay) {
    Start({2027, 3, 5});
    ASSERT_EQ(::mkdir("202735.dat", 0755), 0);  // the day's file cannot be replaced
    Type("precious");
    env->dialogs.confirmAnswers = {true};  // save
    form->SpeedButtonClick(1);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "フォルダーです");
    EXPECT_EQ(env->dialogs.confirmations.size(), 1u) << "nothing to overwrite was offered";
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 5}));
    EXPECT_EQ(JuliusToYMD(form->WeeklyCalendar1->JuliusDay()), (TYMD{2027, 3, 5}));
    EXPECT_EQ(form->NumEdit3->text(), "5");
    EXPECT_EQ(Text(), "precious\r\n");
    // A field step moves the week calendar after the month calendar: it comes back too.
    env->dialogs.confirmAnswers = {true};
    form->UpDown3->Step(+1);
    QCoreApplication::processEvents();
    EXPECT_EQ(env->dialogs.errors.size(), 2u);
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 5}));
    EXPECT_EQ(JuliusToYMD(form->WeeklyCalendar1->JuliusDay()), (TYMD{2027, 3, 5}));
    EXPECT_EQ(form->NumEdit3->text(), "5");
    // Still the user's unsaved text: the next move asks again.
    env->dialogs.confirmAnswers = {false};
    form->SpeedButtonClick(1);
    EXPECT_EQ(env->dialogs.confirmations.size(), 3u);
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 6}));
}

TEST_F(Diary, RefusingToReplaceAChangedFileKeepsTheText) {
    Write("202735.dat", "v1\r\n");
    Start({2027, 3, 4});
    Select(2027, 3, 5);
    form->CanEdit->trigger();
    Type("mine");
    Write("202735.dat", "changed by a sync tool\r\n");
    env->dialogs.confirmAnswers = {true, false};  // save: yes; replace the changed file: no
    Select(2027, 3, 6);
    ASSERT_EQ(env->dialogs.confirmations.size(), 2u);
    EXPECT_EQ(env->dialogs.confirmations[1],
              "ファイル 202735.dat は、読み込んだ後にほかのプログラムで変更されました。上書きしますか？");
    EXPECT_TRUE(env->dialogs.errors.empty());
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 5}));
    EXPECT_EQ(Text(), "v1\r\nmine\r\n");
    EXPECT_EQ(Read("202735.dat"), "changed by a sync tool\r\n");
}

TEST_F(Diary, CloseQuestion) {
    Start({2027, 3, 5});
    Type("x");
    form->Editor1->Lines().Clear();
    form->close();  // edited but empty: no question
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(env->dialogs.confirmations.empty());
    EXPECT_TRUE(QFileInfo::exists(settingsDir.filePath("Mekuri.ini")));
}

TEST_F(Diary, CloseQuestionSavesAndAnErrorKeepsTheWindowOpen) {
    Start({2027, 3, 5});
    Type("last words");
    ASSERT_EQ(::mkdir("202735.dat", 0755), 0);
    env->dialogs.confirmAnswers = {true};
    form->close();
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "ファイル 202735.dat を作成できません。フォルダーです");
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(QFileInfo::exists(settingsDir.filePath("Mekuri.ini")));
    ::rmdir("202735.dat");
    env->dialogs.confirmAnswers = {true};
    form->close();  // asked again, and this time it works
    ASSERT_EQ(env->dialogs.confirmations.size(), 2u);
    EXPECT_EQ(env->dialogs.confirmations[1], kEdited);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Read("202735.dat"), "last words\r\n");
    EXPECT_TRUE(QFileInfo::exists(settingsDir.filePath("Mekuri.ini")));
}

TEST_F(Diary, CloseAfterOnlyLookingAsksNothingAndNoSavesNothing) {
    Write("202736.dat", "shown\r\n");
    Start({2027, 3, 5});
    Select(2027, 3, 6);  // loading is no change of the user's
    form->close();
    EXPECT_TRUE(env->dialogs.confirmations.empty());
    EXPECT_FALSE(form->isVisible());

    form = Open();
    Select(2027, 3, 6);
    form->CanEdit->trigger();
    Type("more");
    env->dialogs.confirmAnswers = {false};
    form->close();
    EXPECT_EQ(env->dialogs.confirmations, std::vector<std::string>{kEdited});
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Read("202736.dat"), "shown\r\n");
}

// キャンセル (the box's Escape and close button) decides nothing: whatever way the day was
// to change, every date display is back on the text's day and the text is as it was; at
// close the window stays.
TEST_F(Diary, CancelKeepsTheTextOnItsDayAndTheWindowOpen) {
    Write("202736.dat", "next day\r\n");
    Start({2027, 3, 5});
    Type("unsaved");
    struct Route {
        const char* name;
        std::function<void()> move;
    };
    const Route routes[] = {
        {"month calendar", [&] { Select(2027, 3, 6); }},
        {"日毎 button", [&] { form->SpeedButtonClick(1); }},
        {"day field", [&] { form->UpDown3->Step(+1); }},
        {"month field", [&] { form->UpDown2->Step(+1); }},
    };
    size_t asked = 0;
    for (const Route& r : routes) {
        SCOPED_TRACE(r.name);
        env->dialogs.confirmAnswers = {TAnswer::Cancel};
        r.move();
        QCoreApplication::processEvents();
        ASSERT_EQ(env->dialogs.confirmations.size(), ++asked);
        EXPECT_EQ(env->dialogs.confirmations.back(), kEdited);
        EXPECT_EQ(Selected(), (TYMD{2027, 3, 5}));
        EXPECT_EQ(JuliusToYMD(form->WeeklyCalendar1->JuliusDay()), (TYMD{2027, 3, 5}));
        EXPECT_EQ(Fields(), "2027/3/5");
        EXPECT_EQ(Text(), "unsaved\r\n");
        EXPECT_TRUE(env->dialogs.errors.empty());
    }
    EXPECT_FALSE(Exists("202735.dat"));
    EXPECT_EQ(Read("202736.dat"), "next day\r\n");

    env->dialogs.confirmAnswers = {TAnswer::Cancel};
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(Text(), "unsaved\r\n");
    EXPECT_FALSE(Exists("202735.dat"));
    // Still unsaved and still the user's: はい after all saves it to its day.
    env->dialogs.confirmAnswers = {TAnswer::Yes};
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Read("202735.dat"), "unsaved\r\n");
}

TEST_F(Diary, CtrlSSavesWhileTheEditorHasTheFocus) {
    Start({2027, 3, 5});
    EXPECT_EQ(form->Save1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->Editor1->setFocus();
    QTest::keyClicks(form->Editor1, "typed");
    QTest::keyClick(form->Editor1, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Read("202735.dat"), "typed");
    EXPECT_EQ(Text(), "typed");
}

// A day file with a ^Z: the editor shows what comes before it, and neither a save nor
// the close question's はい loses what comes after it.
TEST_F(Diary, BytesAfterCtrlZSurviveTheSaveAndTheClose) {
    const std::string rest(300000, 'r');
    struct Case {
        const char* name;
        std::string file;
        std::string shown;
        std::string kept;
    };
    const Case cases[] = {
        {"at the start", "\x1A" + rest, "", "\x1A" + rest},
        {"in the middle", "seen\r\n\x1A" + rest, "seen\r\n", "\x1A" + rest},
        {"as the last byte", "seen\r\n\x1A", "seen\r\n", ""},
    };
    Start({2027, 3, 5});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write("202736.dat", c.file);
        Select(2027, 3, 6);
        EXPECT_EQ(Text(), c.shown);
        form->EditorSaveClick();
        EXPECT_EQ(Read("202736.dat"), c.shown + c.kept);
        form->CanEdit->trigger();
        Type("added");
        env->dialogs.confirmAnswers = {TAnswer::Yes};
        Select(2027, 3, 5);
        EXPECT_EQ(Read("202736.dat"), c.shown + "added\r\n" + c.kept);
    }
    Write("202736.dat", "seen\r\n\x1A" + rest);
    Select(2027, 3, 6);
    form->CanEdit->trigger();
    Type("last");
    env->dialogs.confirmAnswers = {TAnswer::Yes};
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(Read("202736.dat"), "seen\r\nlast\r\n\x1A" + rest);
}

// A composition showing when the day changes belongs to the day it was typed on: it is
// committed there first, so the question comes, and it never reaches the next day's text.
TEST_F(Diary, ACompositionStaysWithTheDayItWasTypedOn) {
    Write("202736.dat", "next day\r\n");
    Start({2027, 3, 5});
    QInputMethodEvent composing(QString::fromUtf8("にっき"), {});
    QApplication::sendEvent(form->Editor1, &composing);
    env->dialogs.confirmAnswers = {TAnswer::Cancel};
    form->SpeedButtonClick(1);
    EXPECT_EQ(env->dialogs.confirmations, std::vector<std::string>{kEdited});
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 5}));
    EXPECT_EQ(Text(), Sjis("にっき"));

    QApplication::sendEvent(form->Editor1, &composing);
    env->dialogs.confirmAnswers = {TAnswer::No};
    form->SpeedButtonClick(1);
    EXPECT_EQ(Selected(), (TYMD{2027, 3, 6}));
    EXPECT_EQ(Text(), "next day\r\n");
    EXPECT_TRUE(form->Editor1->Preedit().isEmpty());
    QInputMethodEvent late;
    late.setCommitString(QString::fromUtf8("x"));
    QApplication::sendEvent(form->Editor1, &late);  // the day's file is shown locked
    EXPECT_EQ(Text(), "next day\r\n");

    // 保存 settles a composition first, so that it is saved too.
    form->CanEdit->trigger();
    QApplication::sendEvent(form->Editor1, &composing);
    form->EditorSaveClick();
    EXPECT_EQ(Read("202736.dat"), Sjis("にっき") + "next day\r\n");
}

TEST_F(Diary, SilverRuleUnderEveryRow) {
    Start({2027, 3, 5});
    form->resize(615, 460);
    Type("一行目");
    Type("");
    Type("三行目");
    TEditor* e = form->Editor1;
    const QImage image = e->viewport()->grab().toImage();
    const QColor silver(192, 192, 192);
    for (int r = 0; r < 3; ++r) {
        const int y = e->RowY(r) + e->CharHeight() - 1;
        const int width = e->viewport()->width() - e->LeftMargin();
        EXPECT_EQ(CountPixels(image, QRect(e->LeftMargin(), y, width, 1), silver), width) << "row " << r;
        EXPECT_EQ(CountPixels(image, QRect(e->LeftMargin(), y - 1, width, 1), silver), 0) << "row " << r;
    }
    // Below the text there are no rows and no rules.
    const int below = e->RowY(3) + e->CharHeight() - 1;
    EXPECT_EQ(CountPixels(image, QRect(0, below, image.width(), 1), silver), 0);
}

namespace {

QString Output(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

TEST_F(Diary, PrintsTwoHundredJapaneseLinesToAPdf) {
    Start({2027, 3, 5});
    std::string text;
    for (int i = 1; i <= 200; ++i) text += Sjis("日記の") + std::to_string(i) + Sjis("行目\tです") + "\r\n";
    form->Editor1->Lines().SetText(text);
    const QString pdf = diaryDir.filePath("out.pdf");
    env->dialogs.printerSetupAnswer = true;
    env->dialogs.printToFile = pdf.toStdString();
    ClickToolButton(form->ToolButton5);
    ASSERT_TRUE(env->dialogs.errors.empty()) << env->dialogs.errors[0];
    ASSERT_TRUE(QFileInfo::exists(pdf));
    const QString info = Output("pdfinfo", {pdf});
    const QRegularExpressionMatch pages = QRegularExpression("Pages:\\s+(\\d+)").match(info);
    ASSERT_TRUE(pages.hasMatch()) << info.toStdString();
    // The 15-pixel font prints at 11.25 points: some 66 lines to an A4 page (a few fewer on
    // Letter), so four pages, give or take one.
    EXPECT_GE(pages.captured(1).toInt(), 3);
    EXPECT_LE(pages.captured(1).toInt(), 5);
    const QString printed = Output("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(printed.contains(QString::fromUtf8("日記の1行目"))) << printed.left(200).toStdString();
    EXPECT_TRUE(printed.contains(QString::fromUtf8("日記の200行目")));
    // Every page starts with the day and ends with its number of the count; page one's text
    // starts with the first line, page two's with the line after page one's last.
    QStringList pageTexts = printed.split(QChar('\f'));
    if (pageTexts.size() > 1 && pageTexts.back().trimmed().isEmpty()) pageTexts.removeLast();
    ASSERT_GE(pageTexts.size(), 2);
    for (int p = 0; p < pageTexts.size(); ++p) {
        const QString page = pageTexts[p].trimmed();
        EXPECT_TRUE(page.startsWith(QString::fromUtf8("2027年3月5日(金)"))) << page.left(80).toStdString();
        EXPECT_TRUE(page.endsWith(QString("%1 / %2").arg(p + 1).arg(pageTexts.size()))) << page.right(80).toStdString();
    }
    EXPECT_TRUE(pageTexts[0].contains(QRegularExpression(QString::fromUtf8("\\)\\s*日記の1行目"))));
    const int firstOfPageTwo = QRegularExpression(QString::fromUtf8("日記の(\\d+)行目"))
                                   .match(pageTexts[1]).captured(1).toInt();
    EXPECT_EQ(pageTexts[0].count(QString::fromUtf8("行目")) + 1, firstOfPageTwo);
}

TEST_F(Diary, FailedPrintJobShowsTheErrorBox) {
    Start({2027, 3, 5});
    Type("x");
    env->dialogs.printerSetupAnswer = true;
    env->dialogs.printToFile = diaryDir.filePath("no/such/folder/out.pdf").toStdString();
    ClickToolButton(form->ToolButton5);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "印刷できませんでした。プリンターを確認してください");
    // Cancelling the printer set-up prints nothing and says nothing.
    env->dialogs.printerSetupAnswer = false;
    form->Print1->trigger();
    EXPECT_EQ(env->dialogs.errors.size(), 1u);
}

namespace {

std::string PdfText(const QString& pdf) { return Output("pdftotext", {"-layout", pdf, "-"}).toStdString(); }

// Where the first word of the PDF's first page stands, in points from the page's corner.
QPointF FirstWordAt(const QString& pdf) {
    const auto m = QRegularExpression("<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\"")
                       .match(Output("pdftotext", {"-bbox", "-l", "1", pdf, "-"}));
    return m.hasMatch() ? QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QPointF(-1, -1);
}

int PdfPages(const QString& pdf) {
    return QRegularExpression("Pages:\\s+(\\d+)").match(Output("pdfinfo", {pdf})).captured(1).toInt();
}

}  // namespace

// A month printed and exported from the window in the three formats: the month shown is
// offered, only days whose file holds text appear, oldest first, each with its header, and
// the calendar's names reach the printed headers.
TEST_F(Diary, PeriodPrintsAndExportsTheDaysWithText) {
    Write("2027321.dat", Sjis("春分の日記\r\n"));
    Write("202733.dat", Sjis("三日目"));
    Write("202732.dat", "");
    Write("202741.dat", Sjis("四月\r\n"));
    Write("202737.dat", "bad\x82\r\n");
    Start({2027, 3, 5});
    std::vector<TPeriodChoice> offered;
    TPeriodChoice answer;
    form->ChoosePeriod = [&](const TPeriodChoice& initial, bool) -> std::optional<TPeriodChoice> {
        offered.push_back(initial);
        answer.first = initial.first;
        answer.last = initial.last;
        return answer;
    };
    const QString pdf = diaryDir.filePath("month-print.pdf");
    env->dialogs.printerSetupAnswer = true;
    env->dialogs.printToFile = pdf.toStdString();
    form->PeriodPrint->trigger();
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].first, (TYMD{2027, 3, 1}));
    EXPECT_EQ(offered[0].last, (TYMD{2027, 3, 31}));
    ASSERT_TRUE(env->dialogs.errors.empty()) << env->dialogs.errors[0];
    EXPECT_EQ(PdfPages(pdf), 3);
    const std::string printed = PdfText(pdf);
    const size_t third = printed.find("2027年3月3日(水)"), seventh = printed.find("2027年3月7日(日)"),
                 equinox = printed.find("2027年3月21日(日)");
    EXPECT_TRUE(third < seventh && seventh < equinox && equinox != std::string::npos) << printed;
    EXPECT_EQ(printed.find("春分の日", equinox), printed.find('\n', equinox) - std::string("春分の日").size()) << printed;
    EXPECT_NE(printed.find("3 / 3"), std::string::npos);
    EXPECT_EQ(printed.find("四月"), std::string::npos);

    const std::string text = "2027-03-03(水)\n三日目\n\n2027-03-07(日)\nbad\xEF\xBF\xBD\n\n2027-03-21(日)\n春分の日記\n\n";
    answer.format = TPeriodFormat::Text;
    answer.file = diaryDir.filePath("month.txt").toStdString();
    form->PeriodExport->trigger();
    EXPECT_EQ(Read(answer.file.c_str()), text);
    // The broken day, named, and what stands in for what could not be read: a warning,
    // since the export was done.
    EXPECT_TRUE(env->dialogs.errors.empty());
    ASSERT_EQ(env->dialogs.warnings.size(), 1u);
    EXPECT_NE(env->dialogs.warnings[0].find("2027-03-07(日)"), std::string::npos);
    EXPECT_NE(env->dialogs.warnings[0].find("「\xEF\xBF\xBD」"), std::string::npos) << env->dialogs.warnings[0];
    EXPECT_EQ(env->dialogs.warnings[0].find("U+"), std::string::npos) << env->dialogs.warnings[0];
    answer.format = TPeriodFormat::Markdown;
    answer.file = diaryDir.filePath("month.md").toStdString();
    form->PeriodExport->trigger();
    EXPECT_EQ(Read(answer.file.c_str()),
              "## 2027-03-03(水)\n\n三日目\n\n## 2027-03-07(日)\n\nbad\xEF\xBF\xBD\n\n## 2027-03-21(日)\n\n春分の日記\n\n");
    answer.format = TPeriodFormat::Pdf;
    answer.file = diaryDir.filePath("month.pdf").toStdString();
    env->dialogs.warnings.clear();
    form->PeriodExport->trigger();
    EXPECT_TRUE(env->dialogs.errors.empty());
    ASSERT_EQ(env->dialogs.warnings.size(), 1u);
    EXPECT_NE(env->dialogs.warnings[0].find("2027-03-07(日)"), std::string::npos);
    EXPECT_EQ(PdfPages(QString::fromStdString(answer.file)), 3);
    const std::string exported = PdfText(QString::fromStdString(answer.file));
    for (const char* header : {"2027年3月3日(水)", "2027年3月7日(日)", "春分の日", "1 / 3", "3 / 3"})
        EXPECT_NE(exported.find(header), std::string::npos) << header;

    // A period with no text says so and writes nothing.
    env->dialogs.errors.clear();
    form->ChoosePeriod = [&](const TPeriodChoice&, bool) -> std::optional<TPeriodChoice> {
        TPeriodChoice empty;
        empty.first = {2027, 3, 8};
        empty.last = {2027, 3, 20};
        empty.file = diaryDir.filePath("none.txt").toStdString();
        return empty;
    };
    form->PeriodExport->trigger();
    EXPECT_EQ(env->dialogs.errors, std::vector<std::string>{"この期間に日記はありません"});
    EXPECT_FALSE(Exists("none.txt"));
}

// The export is proposed in the user's documents folder, never among the day files: the
// home folder when the documents folder is the diary's, the diary's parent when the home
// folder holds the diary itself.
TEST_F(Diary, PeriodExportIsProposedOutsideTheDiaryFolder) {
    QTemporaryDir home, config;
    const QString oldHome = qEnvironmentVariable("HOME"), oldConfig = qEnvironmentVariable("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString docs = home.filePath("文書");
    QDir().mkpath(docs);
    const QString diary = QDir::current().canonicalPath();
    struct Case {
        const char* what;
        QString home, documents, expected;
    } cases[] = {
        {"the documents folder", home.path(), docs, docs},
        {"the home folder when the diary is the documents folder", home.path(), diary, home.path()},
        {"the diary's parent when the home folder is the diary", diary, diary, QFileInfo(diary).path()},
    };
    Start({2027, 3, 5});
    for (const Case& c : cases) {
        qputenv("HOME", c.home.toUtf8());
        std::ofstream(config.filePath("user-dirs.dirs").toStdString(), std::ios::trunc)
            << "XDG_DOCUMENTS_DIR=\"" << c.documents.toStdString() << "\"\n";
        std::optional<TPeriodChoice> offered;
        form->ChoosePeriod = [&](const TPeriodChoice& initial, bool) -> std::optional<TPeriodChoice> {
            offered = initial;
            return std::nullopt;
        };
        form->PeriodExport->trigger();
        ASSERT_TRUE(offered) << c.what;
        const QFileInfo file(QString::fromStdString(offered->file));
        EXPECT_EQ(file.dir().canonicalPath(), QDir(c.expected).canonicalPath()) << c.what;
        EXPECT_EQ(file.fileName(), "2027-03.txt") << c.what;
    }
    qputenv("HOME", oldHome.toUtf8());
    if (oldConfig.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", oldConfig.toUtf8());
}

// A day printed through the printer set-up to a PDF and the same day exported as PDF
// stand at the same place on the page: one page set-up for both.
TEST_F(Diary, PrintAndPdfExportShareThePageSetUp) {
    Write("202733.dat", Sjis("三日目の日記\r\n"));
    Start({2027, 3, 5});
    TPeriodChoice answer;
    answer.first = answer.last = {2027, 3, 3};
    answer.format = TPeriodFormat::Pdf;
    answer.file = diaryDir.filePath("exported.pdf").toStdString();
    form->ChoosePeriod = [&](const TPeriodChoice&, bool) -> std::optional<TPeriodChoice> { return answer; };
    const QString printed = diaryDir.filePath("printed.pdf");
    env->dialogs.printerSetupAnswer = true;
    env->dialogs.printToFile = printed.toStdString();
    form->PeriodPrint->trigger();
    form->PeriodExport->trigger();
    ASSERT_TRUE(env->dialogs.errors.empty()) << env->dialogs.errors[0];
    const QPointF a = FirstWordAt(printed), b = FirstWordAt(QString::fromStdString(answer.file));
    ASSERT_GE(a.x(), 0);
    EXPECT_NEAR(a.x(), b.x(), 0.5);
    EXPECT_NEAR(a.y(), b.y(), 0.5);
    EXPECT_NEAR(a.x(), 15 / 25.4 * 72, 1.0) << "a 15 mm margin";
}

// Characters Shift-JIS lacks go into a day, move its file to UTF-8 with the mark once
// (the status bar says why), and come back from the file after a day change; the file's
// own user-defined character keeps its meaning beside the codes given out.
TEST_F(Diary, ADayWithCharactersShiftJisLacksIsSavedInUtf8AndReadBack) {
    Write("202736.dat", "a\xF0\x40\r\n");  // F040: a user-defined character of the file
    Start({2027, 3, 5});
    Select(2027, 3, 6);
    form->CanEdit->trigger();
    form->Editor1->Session().SetCaret(0, 3);
    ASSERT_TRUE(form->Editor1->TypeUnicode(QString::fromUtf8("😀é𠮷")));
    form->EditorSaveClick();
    const std::string mark = "\xEF\xBB\xBF";
    EXPECT_EQ(Read("202736.dat"), mark + "a\xEE\x80\x80😀é𠮷\r\n");
    EXPECT_EQ(form->StatusPanel0->text().toStdString(), TDiarySession::kMovedToUtf8Message);
    // Once: a later save of the same day says nothing.
    form->StatusPanel0->clear();
    form->Editor1->TypeUnicode(QString::fromUtf8("👍"));
    form->EditorSaveClick();
    EXPECT_TRUE(form->StatusPanel0->text().isEmpty());
    Select(2027, 3, 5);
    Select(2027, 3, 6);
    EXPECT_EQ(UnicodeFromText(Text(), form->Editor1->Session().Extra()), "a\xEE\x80\x80😀é𠮷👍\r\n");
    // An unedited save writes the bytes it read.
    form->EditorSaveClick();
    EXPECT_EQ(Read("202736.dat"), mark + "a\xEE\x80\x80😀é𠮷👍\r\n");
}

// A PDF of a day holding characters beyond the Basic Multilingual Plane gives them back to
// a reader (Qt's own text maps stop at U+FFFF), with the Japanese text around them intact
// and the broken byte shown as U+FFFD, as before.
TEST_F(Diary, PdfTextReadsBackCharactersBeyondTheBasicPlane) {
    Start({2027, 3, 5});
    auto extra = std::make_shared<TExtraChars>();
    const std::vector<std::string> lines = {
        TextFromUnicode("日記 😀 と 𠮷野家、👨‍👩‍👧 家族", *extra), TextFromUnicode("👍🏽 café", *extra) + "\x81",
        Sjis("二行目")};
    const QString pdf = diaryDir.filePath("codes.pdf");
    ASSERT_EQ(WritePrintPdf(pdf.toStdString(), {{"h", lines, extra}}, PrinterFont(form->Editor1->Font())), "");
    const QString text = Output("pdftotext", {"-raw", pdf, "-"});
    for (const char* want : {"日記 😀 と 𠮷野家、👨‍👩‍👧 家族", "👍🏽 café\xEF\xBF\xBD", "二行目"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(want))) << want << "\n" << text.toStdString();
}
