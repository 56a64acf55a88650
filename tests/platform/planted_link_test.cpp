// What another user can do in a folder everyone may write to: put a symbolic link where
// Mekuri is about to write, to a file of the user's or to a name not there yet. No file
// Mekuri makes may follow it; every case runs as an ordinary user. (The recovery copies
// and the lock are tried where the diary makes them, in the diary's tests.)
#include "platform/folder_files.h"
#include "platform/safe_file.h"
#include "support/child_process.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Get(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The new files' names become predictable: the first is ".<name>.mekuri-PLANT0".
int counted = 0;
std::string CountedPart() { return "PLANT" + std::to_string(counted++ % 10); }

}  // namespace

TEST(PlantedLinks, NoFileMekuriCreatesOrRewritesFollowsOne) {
    enum class Call { Replace, Private };
    struct Case {
        const char* what;
        const char* plantedAt;  // in the diary folder
        Call call;
        const char* target;     // what the call names, in the diary folder
        int result;             // what the call returns
        bool anotherUsersLink;  // the case needs the link to be another user's
    };
    const Case cases[] = {
        {"a day file's new file", ".2026127.dat.mekuri-PLANT0", Call::Replace, "2026127.dat", 0, false},
        {"the settings file's new file", ".Mekuri.ini.mekuri-PLANT0", Call::Replace, "Mekuri.ini", 0, false},
        {"a recovery copy's new file", ".c.recovery.mekuri-PLANT0", Call::Private, "c.recovery", 0, false},
        {"a day file, by another user", "2026127.dat", Call::Replace, "2026127.dat", ELOOP, true},
    };
    for (const Case& c : cases) {
        for (const bool toNewName : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (toNewName ? ", to a new name" : ", to the user's file"));
            if (c.anotherUsersLink && !TOpenFolder::PlantsAsAnotherUser()) continue;
            TOpenFolder folder;
            const std::string link = folder.Diary(c.plantedAt);
            ASSERT_EQ(::symlink((toNewName ? folder.NewName() : folder.OwnFile()).c_str(), link.c_str()), 0);
            const std::string target = folder.Diary(c.target);
            TChildResult r = RunUnprivileged([&] {
                counted = 0;
                SetUniquePartSource(CountedPart);
                int fd = -1;
                switch (c.call) {
                case Call::Replace: return ReplaceFileContents(target, "diary text");
                case Call::Private: return ReplacePrivateFile(target, "diary text", fd);
                }
                return 97;
            });
            ASSERT_TRUE(r.finished);
            EXPECT_EQ(r.exitCode, c.result);
            EXPECT_TRUE(folder.LinkTargetsUntouched());
            struct stat st {};
            EXPECT_TRUE(::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << "the link is left for the user to see";
            // Where the link took only a new file's first name, the write went on beside it.
            if (c.result == 0) {
                EXPECT_EQ(Get(target), "diary text");
            }
        }
    }
}

TEST(PlantedLinks, TheUsersOwnLinksAreStillWrittenThrough) {
    TOpenFolder folder;
    TChildResult r = RunUnprivileged([&] {
        if (::symlink(folder.NewName().c_str(), folder.Diary("2026127.dat").c_str()) != 0) return 97;
        return ReplaceFileContents(folder.Diary("2026127.dat"), "kept elsewhere");
    });
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(Get(folder.NewName()), "kept elsewhere");
}

// Under umask 022 a new file is no more open than its folder; a file replaced keeps its
// mode, and a private file is the user's alone in any folder.
TEST(NewFiles, ModesFollowTheFolderWithinTheUmask) {
    struct Case {
        mode_t folderMode;
        mode_t oldMode;  // 0: no file there before
        bool isPrivate;
        mode_t expected;
    };
    const Case cases[] = {
        {0700, 0, false, 0600}, {0755, 0, false, 0644}, {0750, 0, false, 0640}, {0777, 0, false, 0644},
        {0711, 0, false, 0600}, {0755, 0600, false, 0600}, {0700, 0664, false, 0664}, {0777, 0, true, 0600},
        {0755, 0644, true, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::oct << "folder " << c.folderMode << ", old " << c.oldMode
                                        << (c.isPrivate ? ", private" : ""));
        TOpenFolder folder;
        const std::string file = folder.Diary("2026127.dat");
        if (c.oldMode != 0) {
            std::ofstream(file) << "old";
            ::chmod(file.c_str(), c.oldMode);
            folder.GiveToUser(file);
        }
        ::chmod(folder.Diary().c_str(), c.folderMode);
        TChildResult r = RunUnprivileged([&] {
            int fd = -1;
            int err = c.isPrivate ? ReplacePrivateFile(file, "new", fd) : ReplaceFileContents(file, "new");
            // The lock, made new, follows the same rule as a day file.
            if (err == 0 && !c.isPrivate && c.oldMode == 0) err = OpenLockFile(folder.Diary(), ".Mekuri.lock", fd);
            return err;
        });
        ASSERT_TRUE(r.finished);
        ASSERT_EQ(r.exitCode, 0);
        EXPECT_EQ(ModeOf(file), c.expected);
        if (!c.isPrivate && c.oldMode == 0) {
            EXPECT_EQ(ModeOf(folder.Diary(".Mekuri.lock")), c.expected);
        }
    }
}

// The folders Mekuri makes are the user's alone; the state folder, which holds the unsaved
// text of every diary, is used only when no one else can read it or put anything in it.
TEST(PrivateFolders, MadeForTheOwnerAloneAndUsedOnlyWhenTheOwnersAlone) {
    enum class Before { Missing, Ours, Others, LinkToOurs, File };
    struct Case {
        const char* what;
        Before before;
        mode_t mode;
        bool create;
        int result;
        mode_t after;  // the mode of what is there after; 0: nothing there
    };
    const Case cases[] = {
        {"missing, made", Before::Missing, 0, true, 0, 0700},
        {"missing, not asked to make", Before::Missing, 0, false, ENOENT, 0},
        {"ours, open to others: tightened", Before::Ours, 0755, false, 0, 0700},
        {"ours, group may write: tightened", Before::Ours, 0770, true, 0, 0700},
        {"ours, private: kept", Before::Ours, 0700, false, 0, 0700},
        {"another user's: left alone", Before::Others, 0755, true, EPERM, 0755},
        {"a link to a folder of ours: refused", Before::LinkToOurs, 0755, true, ELOOP, 0777},
        {"a file", Before::File, 0644, true, ENOTDIR, 0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before == Before::Others && !TOpenFolder::PlantsAsAnotherUser()) continue;
        TOpenFolder folder;
        const std::string state = folder.Diary("state/Mekuri");
        ASSERT_EQ(::mkdir(folder.Diary("state").c_str(), 0755), 0);
        folder.GiveToUser(folder.Diary("state"));
        switch (c.before) {
        case Before::Missing: break;
        case Before::Ours:
        case Before::Others:
            ASSERT_EQ(::mkdir(state.c_str(), c.mode), 0);
            ::chmod(state.c_str(), c.mode);
            if (c.before == Before::Ours) folder.GiveToUser(state);
            break;
        case Before::LinkToOurs: ASSERT_EQ(::symlink(folder.Diary().c_str(), state.c_str()), 0); break;
        case Before::File:
            std::ofstream(state) << "";
            ::chmod(state.c_str(), c.mode);
            folder.GiveToUser(state);
            break;
        }
        TChildResult r = RunUnprivileged([&] { return MakePrivateFolder(state, c.create); });
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, c.result);
        struct stat st {};
        EXPECT_EQ(::stat(state.c_str(), &st) == 0 ? st.st_mode & 07777 : 0, c.after);
    }
}

TEST(PrivateFolders, MissingFoldersAreMadeForTheOwnerAloneAndExistingOnesKeepTheirModes) {
    TOpenFolder folder;
    ::chmod(folder.Diary().c_str(), 0755);  // the user's shared folder
    TChildResult r = RunUnprivileged([&] { return MakeFolders(folder.Diary("Mekuri/2026")); });
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(ModeOf(folder.Diary()), 0755u);
    EXPECT_EQ(ModeOf(folder.Diary("Mekuri")), 0700u);
    EXPECT_EQ(ModeOf(folder.Diary("Mekuri/2026")), 0700u);
}
