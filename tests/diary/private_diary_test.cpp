// The diary stays its owner's: unsaved text is kept where only the owner reads it, and in
// a folder others may write to, a link put where the diary writes leads nowhere. Every
// case runs as an ordinary user under umask 022.
#include "diary/diary_session.h"
#include "diary/recovery_files.h"
#include "platform/exceptions.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

TRecoveryCopy Copy(const std::string& folder) {
    TRecoveryCopy c;
    c.day = {2026, 12, 7};
    c.text = "unsaved text\r\n";
    c.folder = folder;
    return c;
}

// The copies in `folder` and their modes.
std::vector<mode_t> CopyModes(const std::string& folder) {
    std::vector<mode_t> modes;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) {
        if (!IsRecoveryCopyName(e.path().filename().string())) continue;
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        modes.push_back(st.st_mode & 07777);
    }
    return modes;
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

}  // namespace

TEST(PrivateDiary, RecoveryCopiesAreTheUsersAloneWhereverTheyAreWritten) {
    enum class State { None, Missing, Ours, Others };
    struct Case {
        const char* what;
        bool diaryWritable;
        State state;
        int result;
        bool inDiary;          // where the copy is: the diary folder, else the state folder
        mode_t stateModeAfter;  // 0: no state folder there
    };
    const Case cases[] = {
        {"beside a private day file", true, State::None, 0, true, 0},
        {"in a state folder made for it", false, State::Missing, 0, false, 0700},
        {"in a state folder of ours others could read", false, State::Ours, 0, false, 0700},
        {"not in another user's state folder", false, State::Others, EPERM, false, 0777},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.state == State::Others && !TOpenFolder::PlantsAsAnotherUser()) continue;
        TOpenFolder folder;
        const std::string diary = folder.Diary("diary");
        const std::string state = folder.Diary("state");
        ASSERT_EQ(::mkdir(diary.c_str(), 0755), 0);
        folder.GiveToUser(diary);
        std::ofstream(diary + "/2026127.dat") << "saved text\r\n";
        ::chmod((diary + "/2026127.dat").c_str(), 0600);
        folder.GiveToUser(diary + "/2026127.dat");
        if (!c.diaryWritable) ::chmod(diary.c_str(), 0555);
        if (c.state == State::Ours || c.state == State::Others) {
            ASSERT_EQ(::mkdir(state.c_str(), 0777), 0);
            ::chmod(state.c_str(), c.state == State::Ours ? 0755 : 0777);
            if (c.state == State::Ours) folder.GiveToUser(state);
        }
        TChildResult r = RunUnprivileged([&] {
            TRecoveryWriter writer(diary, c.state == State::None ? std::string() : state);
            return writer.Write(Copy(diary));
        });
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, c.result);
        ::chmod(diary.c_str(), 0755);
        const std::vector<mode_t> expected = c.result == 0 ? std::vector<mode_t>{0600} : std::vector<mode_t>{};
        EXPECT_EQ(CopyModes(c.inDiary ? diary : state), expected);
        EXPECT_EQ(ModeOf(state), c.stateModeAfter);
    }
}

// Another user puts a link, to a file of the user's or to a name not yet there, in the
// place of the lock and of the running program's copy: the copy is refused, the save stops
// with a message, and the link's end stays as it was.
TEST(PrivateDiary, LinksPutInTheCopysAndTheLocksPlaceAreRefusedNotFollowed) {
    for (const bool toNewName : {false, true}) {
        SCOPED_TRACE(toNewName ? "to a new name" : "to the user's file");
        TOpenFolder folder;
        const std::string target = toNewName ? folder.NewName() : folder.OwnFile();
        ASSERT_EQ(::symlink(target.c_str(), folder.Diary(".Mekuri.lock").c_str()), 0);
        TChildResult r = RunUnprivileged([&] {
            TRecoveryWriter writer(folder.Diary(), folder.Diary("state"));
            if (writer.Write(Copy(folder.Diary())) != 0) return 90;
            if (::unlink(writer.Path().c_str()) != 0 || ::symlink(target.c_str(), writer.Path().c_str()) != 0) return 91;
            if (writer.Write(Copy(folder.Diary())) != ELOOP) return 1;
            TDiarySession session(folder.Diary());
            session.Show({2026, 12, 7});
            try {
                session.Save("text\r\n", [](const std::string&) { return true; });
            } catch (const EFileError& e) {
                return std::string(e.what()) == "ファイル \".Mekuri.lock\" を開けません。シンボリックリンクです。" ? 0 : 2;
            }
            return 3;
        });
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(folder.LinkTargetsUntouched());
        EXPECT_FALSE(fs::exists(folder.Diary("state"))) << "the copy went elsewhere unannounced";
        EXPECT_FALSE(fs::exists(folder.Diary("2026127.dat")));
    }
}
