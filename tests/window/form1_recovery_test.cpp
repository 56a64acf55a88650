// Unsaved text in the main window: kept in a recovery copy while it differs from the
// day's file, removed when that no longer holds, and offered back by the next start.
#include "main_window_test.h"

#include "diary/recovery_files.h"
#include "editor/editor.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::vector<std::string> kButtons = {"はい(&Y)", "いいえ(&N)", "後で(&L)"};

class Recovery : public MainWindowTest {
protected:
    QTemporaryDir diaryDir, stateDir;
    QString oldCwd = QDir::currentPath();
    std::string oldState = std::getenv("XDG_STATE_HOME") ? std::getenv("XDG_STATE_HOME") : "";

    void SetUp() override {
        QDir::setCurrent(diaryDir.path());
        ::setenv("XDG_STATE_HOME", stateDir.path().toLocal8Bit().constData(), 1);
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldCwd);
        if (oldState.empty())
            ::unsetenv("XDG_STATE_HOME");
        else
            ::setenv("XDG_STATE_HOME", oldState.c_str(), 1);
    }
    // The start-up questions come once the window is up.
    void Settle() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    // As a kill leaves things: no close sequence, the copy stays on the disk.
    void Kill() { form.reset(); }
    void Restart() {
        form = Open();
        Settle();
    }
    void Select(std::int32_t y, int m, int d) { form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(y, m, d)); }
    void Type(const char* utf8) { form->Editor1->Lines().Add(Sjis(utf8)); }
    std::string Text() const { return form->Editor1->Lines().Text(); }
    std::vector<TRecoveryCopy> Copies() const {
        std::vector<TRecoveryCopy> copies;
        for (const auto& e : fs::directory_iterator(diaryDir.path().toStdString())) {
            if (!IsRecoveryCopyName(e.path().filename().string())) continue;
            std::ifstream in(e.path(), std::ios::binary);
            std::string why;
            const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
            auto c = DecodeRecoveryCopy(bytes, why);
            EXPECT_TRUE(c) << why;
            if (c) copies.push_back(*c);
        }
        return copies;
    }
    static std::string Read(const char* name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const char* name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
    }
};

}  // namespace

// The copy comes two seconds after the first change, however the typing goes on: typing
// without a pause must not hold it back.
TEST_F(Recovery, KeptTwoSecondsAfterTheFirstChangeAndGoneOnceSaved) {
    Start();
    Settle();
    QElapsedTimer clock;
    clock.start();
    Type("朝");
    QTest::qWait(1200);
    Type("昼");
    while (Copies().empty() && clock.elapsed() < 4000) QTest::qWait(50);
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_LT(clock.elapsed(), 2900) << "the second change put the copy off";
    // Qt's timers may fire up to 5% early.
    EXPECT_GE(clock.elapsed(), TForm1::kRecoveryDelayMs * 9 / 10);
    const TRecoveryCopy c = Copies()[0];
    EXPECT_TRUE(c.day == (TYMD{2026, 12, 7}));
    EXPECT_EQ(c.text, Text());
    EXPECT_FALSE(c.loaded);
    EXPECT_EQ(c.folder, fs::canonical(diaryDir.path().toStdString()).string());

    form->Save1->trigger();
    form->KeepRecoveryNow();
    EXPECT_TRUE(Copies().empty());
    EXPECT_EQ(Read("2026127.dat"), Text());
}

// Each way the text stops differing from the file removes the copy; the file itself is
// never written by it.
TEST_F(Recovery, GoneWhenTheTextReturnsToTheFileIsRefusedOrTheWindowClosesWithNo) {
    Write("2026122.dat", "file\r\n");
    Start();
    Select(2026, 12, 2);
    form->CanEdit->trigger();
    Type("extra");
    form->KeepRecoveryNow();
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_TRUE(Copies()[0].loaded);
    EXPECT_EQ(Copies()[0].base, StampOf("2026122.dat"));

    form->Undo1Click();
    form->Editor1->Lines().Add("");  // another change, then back to the file's text
    form->Undo1Click();
    ASSERT_EQ(Text(), "file\r\n");
    form->KeepRecoveryNow();
    EXPECT_TRUE(Copies().empty());

    Type("draft");
    form->KeepRecoveryNow();
    ASSERT_EQ(Copies().size(), 1u);
    env->dialogs.confirmAnswers = {false};  // いいえ on leaving the day
    Select(2026, 12, 3);
    form->KeepRecoveryNow();
    EXPECT_TRUE(Copies().empty());

    Type("evening");
    form->KeepRecoveryNow();
    ASSERT_EQ(Copies().size(), 1u);
    env->dialogs.confirmAnswers = {false};  // いいえ at close
    form->close();
    form.reset();
    EXPECT_TRUE(Copies().empty());
    EXPECT_EQ(Read("2026122.dat"), "file\r\n");
    EXPECT_FALSE(QFileInfo::exists("2026123.dat"));
}

// はい: the day, the text as changed and not saved; a file changed in between is named in
// the question and replaced only after the save's own question.
TEST_F(Recovery, YesShowsTheTextUnsavedAndAChangedFileIsNotOverwrittenUnasked) {
    Write("2026122.dat", "before\r\n");
    Start();
    Select(2026, 12, 2);
    form->CanEdit->trigger();
    Type("行");
    // The last line as typed, without a break.
    form->Editor1->Session().TypeText("end");
    const std::string typed = Text();
    ASSERT_EQ(typed.substr(typed.size() - 5), "\r\nend");
    form->KeepRecoveryNow();
    Kill();
    Write("2026122.dat", "changed elsewhere\r\n");

    env->dialogs.choiceAnswers = {0};
    Restart();
    ASSERT_EQ(env->dialogs.choices.size(), 1u);
    const std::string& q = env->dialogs.choices[0];
    EXPECT_EQ(q.rfind("保存されていない日記が見つかりました（2026年12月2日）。復元しますか？", 0), 0u) << q;
    EXPECT_NE(q.find("読み込んだ後に、日記ファイル 2026122.dat が変更されています"), std::string::npos) << q;
    EXPECT_EQ(env->dialogs.choiceButtons[0], kButtons);
    EXPECT_EQ(Monthly(), (TYMD{2026, 12, 2}));
    EXPECT_EQ(Text(), typed);
    EXPECT_TRUE(form->Editor1->Modified());
    EXPECT_FALSE(form->Editor1->ReadOnly());
    // This run keeps the text now; the old copy went once the new one was on the disk.
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].text, typed);
    EXPECT_EQ(Read("2026122.dat"), "changed elsewhere\r\n");

    env->dialogs.confirmAnswers = {false};
    form->Save1->trigger();
    ASSERT_EQ(env->dialogs.confirmations.size(), 1u);
    EXPECT_NE(env->dialogs.confirmations[0].find("ほかのプログラムで変更されました"), std::string::npos);
    EXPECT_EQ(Read("2026122.dat"), "changed elsewhere\r\n");
    env->dialogs.confirmAnswers = {true};
    form->Save1->trigger();
    EXPECT_EQ(Read("2026122.dat"), typed);
    form->KeepRecoveryNow();
    EXPECT_TRUE(Copies().empty());
}

// Newest first; 後で keeps a copy for the next start, いいえ removes one only after the
// second question; a copy of a Mekuri still running is not offered at all.
TEST_F(Recovery, LaterKeepsNoAsksTwiceAndARunningCopyIsNotOffered) {
    Start();
    for (int day : {3, 4}) {  // the 4th's copy is the newer
        form = Open();
        Settle();
        Select(2026, 12, day);
        Type(("day " + std::to_string(day)).c_str());
        form->KeepRecoveryNow();
        Kill();
    }
    ASSERT_EQ(Copies().size(), 2u);
    env->dialogs.choices.clear();
    env->dialogs.choiceAnswers = {1, 1};  // いいえ, いいえ
    env->dialogs.confirmAnswers = {false, true};  // the first refusal thought better of
    Restart();
    ASSERT_EQ(env->dialogs.choices.size(), 2u);
    EXPECT_NE(env->dialogs.choices[0].find("2026年12月4日"), std::string::npos);
    EXPECT_NE(env->dialogs.choices[1].find("2026年12月3日"), std::string::npos);
    EXPECT_EQ(env->dialogs.confirmations[1], "2026年12月3日の保存されていない日記を削除します。よろしいですか？");
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].text, "day 4\r\n");

    // 後で (and a closed box) leaves it for the next start.
    Kill();
    env->dialogs.choices.clear();
    Restart();
    EXPECT_EQ(env->dialogs.choices.size(), 1u);
    EXPECT_EQ(Copies().size(), 1u);

    // A second window while this one runs with a copy of its own.
    env->dialogs.choiceAnswers = {2};
    Kill();
    Restart();
    Type("mine");
    form->KeepRecoveryNow();
    ASSERT_EQ(Copies().size(), 2u);
    env->dialogs.choices.clear();
    env->dialogs.choiceAnswers = {2};
    auto second = Open();
    Settle();
    ASSERT_EQ(env->dialogs.choices.size(), 1u);
    EXPECT_NE(env->dialogs.choices[0].find("2026年12月4日"), std::string::npos);
}

// The file-size limit stops a copy as it stops a save, and is named as the save names it;
// only a text over the copies' own size is "too large".
TEST_F(Recovery, ACopyStoppedByTheFileSizeLimitSaysSo) {
    Start();
    Settle();
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small{64, saved.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Type("書きかけの文章が、上限より長くなるまで続きます。");
    form->KeepRecoveryNow();
    Type("もう一行");
    form->KeepRecoveryNow();  // a failed write shows on the next tick
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0],
              "保存されていない日記の復元用コピーを書けません（ファイルの大きさの上限を超えました）。\n日記を保存すれば、文章は失われません。");
    EXPECT_TRUE(Copies().empty());
}

// The state folder holds the unsaved text of every diary: one of the user's that others
// could read is closed at start; another user's is not used, and the user is told.
TEST_F(Recovery, AStateFolderOthersCanReadIsTightenedOrNotUsed) {
    const std::string state = stateDir.path().toStdString() + "/Mekuri";
    ASSERT_EQ(::mkdir(state.c_str(), 0755), 0);
    ::chmod(state.c_str(), 0755);
    Start();
    Settle();
    EXPECT_TRUE(env->dialogs.errors.empty());
    EXPECT_EQ(fs::status(state).permissions(), fs::perms::owner_all);

    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give the folder away";
    ::chmod(state.c_str(), 0755);
    ASSERT_EQ(::chown(state.c_str(), 65534, 65534), 0);
    form = Open();
    Settle();
    ASSERT_EQ(env->dialogs.errors.size(), 1u);
    EXPECT_EQ(env->dialogs.errors[0], "状態フォルダー " + state +
                                          " は使いません（ほかのユーザーのフォルダーです）。\n"
                                          "保存されていない日記の復元用コピーは、日記のフォルダーにだけ置きます。");
    EXPECT_EQ(fs::status(state).permissions() & fs::perms::others_read, fs::perms::others_read);
}

// A diary folder synced between two machines carries each one's copies to the other:
// there a copy is offered as the other machine's, named, and never deleted from here.
TEST_F(Recovery, AnotherMachinesCopyIsOfferedAsThatMachinesAndNeverDeletedHere) {
    Start();
    ::setenv("MEKURI_HOST", "desk", 1);
    Select(2026, 12, 5);
    Type("written on the desk");
    form->KeepRecoveryNow();
    Kill();
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].host, "desk");

    ::setenv("MEKURI_HOST", "laptop", 1);
    env->dialogs.choices.clear();
    env->dialogs.choiceAnswers = {1};  // 後で
    Restart();
    ASSERT_EQ(env->dialogs.choices.size(), 1u);
    EXPECT_EQ(env->dialogs.choices[0],
              "別の端末（desk）の未保存の内容が見つかりました（2026年12月5日）。この端末で復元しますか？");
    EXPECT_EQ(env->dialogs.confirmations.size(), 0u);
    ASSERT_EQ(Copies().size(), 1u);

    // Taken over, the text becomes this machine's, under this machine's name.
    Kill();
    env->dialogs.choiceAnswers = {0};
    Restart();
    EXPECT_EQ(Text(), "written on the desk\r\n");
    ASSERT_EQ(Copies().size(), 1u);
    EXPECT_EQ(Copies()[0].host, "laptop");
    ::unsetenv("MEKURI_HOST");
}

// A copy of text with characters Shift-JIS lacks brings them back after a kill, and the
// day they were typed on is saved with them.
TEST_F(Recovery, CharactersShiftJisLacksComeBackWithTheCopy) {
    Start();
    Settle();
    form->Editor1->TypeUnicode(QString::fromUtf8("朝😀é"));
    form->KeepRecoveryNow();
    Kill();
    env->dialogs.choiceAnswers = {0};
    Restart();
    ASSERT_EQ(env->dialogs.choices.size(), 1u);
    EXPECT_EQ(UnicodeFromText(Text(), form->Editor1->Session().Extra()), "朝😀é");
    form->Save1->trigger();
    EXPECT_EQ(Read("2026127.dat"), "\xEF\xBB\xBF朝😀é");
}
