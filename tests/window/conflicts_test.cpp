// Conflict copies in the main window: the bar, and 比べる resolving several copies of one
// day newest first, each choice saved as usual, undoable, the copy set aside.
#include "main_window_test.h"

#include "window/conflict_bar.h"
#include "diary/day_index.h"
#include "editor/editor.h"
#include "platform/sjis.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <utime.h>

namespace fs = std::filesystem;

namespace {

class Conflicts : public MainWindowTest {
protected:
    QTemporaryDir diaryDir;
    QString oldCwd = QDir::currentPath();

    void SetUp() override { QDir::setCurrent(diaryDir.path()); }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldCwd);
    }
    static std::string Read(const std::string& name) {
        std::ifstream in(name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Write(const std::string& name, const std::string& bytes, long mtime = 0) {
        std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
        if (mtime) {
            const struct utimbuf t {mtime, mtime};
            ::utime(name.c_str(), &t);
        }
    }
    std::string Text() const { return form->Editor1->Lines().Text(); }
};

const std::string kMine = "mine\r\nshared\r\n";
const char* const kSync = "2026127.sync-conflict-20261207-143012-ABCDEF1.dat";
const char* const kDropbox = "2026127 (Taro's conflicted copy 2026-12-07).dat";

}  // namespace

TEST_F(Conflicts, EachChoiceIsSavedUndoableAndTheCopiesGoAsideNewestFirst) {
    const struct {
        TConflictChoice first, second;
        std::string saved;  // the day file after both copies
        bool barStays;
    } cases[] = {
        {TConflictChoice::KeepMine, TConflictChoice::KeepMine, kMine, false},
        {TConflictChoice::KeepOther, TConflictChoice::KeepMine, "newer\r\n", false},
        {TConflictChoice::KeepOther, TConflictChoice::KeepOther, "older\r\n", false},
        {TConflictChoice::KeepBoth, TConflictChoice::Later,
         kMine + Sjis("――――― 別の版（Dropbox、") + "X" + Sjis("） ―――――\r\n") + "newer\r\n", true},
        {TConflictChoice::Later, TConflictChoice::KeepMine, kMine, true},
    };
    for (const auto& c : cases) {
        for (const auto& e : fs::directory_iterator(diaryDir.path().toStdString())) fs::remove_all(e.path());
        Write("2026127.dat", kMine);
        Write(kSync, "older\r\n", 1'796'000'000);
        Write(kDropbox, "newer\r\n", 1'796'100'000);
        Start();
        form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(2026, 12, 7));
        ASSERT_EQ(form->EntryIndex().Conflicts().size(), 2u);
        ASSERT_TRUE(form->ConflictBar1->isVisibleTo(form.get()));
        EXPECT_NE(form->ConflictBar1->Message->text().indexOf(QString::fromUtf8("Dropbox が残したもの")), -1);
        EXPECT_NE(form->ConflictBar1->Message->text().indexOf(QString::fromUtf8("ほかに 1 件")), -1);

        std::vector<QString> shown;
        std::vector<TConflictChoice> answers = {c.first, c.second};
        form->ChooseConflict = [&](const QString& mine, const QString& other) {
            shown.push_back(mine + "|" + other);
            const TConflictChoice choice = answers.front();
            answers.erase(answers.begin());
            return choice;
        };
        // This machine's version: the day file, read in by 比べる.
        const std::string before = kMine;
        form->CompareConflictsClick();
        // Newest first; the second compares with what the first choice left.
        ASSERT_GE(shown.size(), 1u);
        EXPECT_TRUE(shown[0].endsWith("|newer\r\n")) << shown[0].toStdString();
        if (c.first != TConflictChoice::Later) {
            ASSERT_EQ(shown.size(), 2u);
            EXPECT_TRUE(shown[1].endsWith("|older\r\n"));
        }
        std::string saved = Read("2026127.dat");
        // The separator names the copy's time as this machine's clock shows it.
        if (c.first == TConflictChoice::KeepBoth) {
            const size_t open = saved.find(Sjis("Dropbox、")) + Sjis("Dropbox、").size();
            saved.replace(open, saved.find(Sjis("）"), open) - open, "X");
        }
        EXPECT_EQ(saved, c.saved);
        EXPECT_EQ(fs::exists(kDropbox), c.first == TConflictChoice::Later);
        EXPECT_EQ(Read(".Mekuri-conflicts/" + std::string(kDropbox)), c.first == TConflictChoice::Later ? "" : "newer\r\n");
        EXPECT_EQ(fs::exists(kSync), c.first == TConflictChoice::Later || c.second == TConflictChoice::Later);
        EXPECT_EQ(form->ConflictBar1->isVisibleTo(form.get()), c.barStays);
        EXPECT_EQ(form->EntryIndex().Days().size(), 1u);  // the copies never became entries

        // 元に戻す takes a chosen text back, as far as the text before 比べる.
        if (Text() != before) {
            while (form->Editor1->CanUndo() && Text() != before) form->Editor1->Undo();
            EXPECT_EQ(Text(), before);
        }
        form.reset();
    }
}
