// What another user can do in a folder everyone may write to: put a symbolic link where
// Mekuri is about to write, to a file of the user's or to a name not there yet. No file
// Mekuri makes may follow it. New files and folders are no more open than they should be.
// Every case runs as an ordinary user under umask 022; the recovery copies and the lock
// are tried where the diary makes them, in the diary's tests.
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

mode_t ModeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The new files' names become predictable: the first is ".<name>.mekuri-PLANT0".
int counted = 0;
std::string CountedPart() { return "PLANT" + std::to_string(counted++ % 10); }

}  // namespace

TEST(PlantedLinks, NoFileMekuriCreatesOrRewritesFollowsOne) {
    struct Case {
        const char* what;
        const char* plantedAt;
        const char* target;  // what is written, in the same folder
        bool isPrivate;      // written as a recovery copy is
        int result;
    };
    const Case cases[] = {
        {"a day file's new file", ".2026127.dat.mekuri-PLANT0", "2026127.dat", false, 0},
        {"the settings file's new file", ".Mekuri.ini.mekuri-PLANT0", "Mekuri.ini", false, 0},
        {"a recovery copy's new file", ".c.recovery.mekuri-PLANT0", "c.recovery", true, 0},
        {"a day file, by another user", "2026127.dat", "2026127.dat", false, ELOOP},
    };
    for (const Case& c : cases) {
        for (const bool toNewName : {false, true}) {
            SCOPED_TRACE(std::string(c.what) + (toNewName ? ", to a new name" : ", to the user's file"));
            // Only the superuser can plant a link that is not the user's own.
            if (c.result == ELOOP && !TOpenFolder::PlantsAsAnotherUser()) continue;
            TOpenFolder folder;
            const std::string link = folder.Diary(c.plantedAt);
            ASSERT_EQ(::symlink((toNewName ? folder.NewName() : folder.OwnFile()).c_str(), link.c_str()), 0);
            TChildResult r = RunUnprivileged([&] {
                SetUniquePartSource(CountedPart);
                int fd = -1;
                return c.isPrivate ? ReplacePrivateFile(folder.Diary(c.target), "diary text", fd)
                                   : ReplaceFileContents(folder.Diary(c.target), "diary text");
            });
            ASSERT_TRUE(r.finished);
            EXPECT_EQ(r.exitCode, c.result);
            EXPECT_TRUE(folder.LinkTargetsUntouched());
            struct stat st {};
            EXPECT_TRUE(::lstat(link.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) << "the link is left for the user to see";
            // Where the link took only a new file's first name, the write went on beside it.
            if (c.result == 0) {
                std::ifstream in(folder.Diary(c.target));
                EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "diary text");
            }
        }
    }
}

// A new file gets the folder's group and other bits within the umask; a file replaced
// keeps its mode, and a private one is the user's alone in any folder.
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
        const bool withLock = !c.isPrivate && c.oldMode == 0;  // made new, the lock follows the same rule
        TChildResult r = RunUnprivileged([&] {
            int fd = -1;
            int err = c.isPrivate ? ReplacePrivateFile(file, "new", fd) : ReplaceFileContents(file, "new");
            return err == 0 && withLock ? OpenLockFile(folder.Diary(), ".Mekuri.lock", fd) : err;
        });
        ASSERT_TRUE(r.finished);
        ASSERT_EQ(r.exitCode, 0);
        EXPECT_EQ(ModeOf(file), c.expected);
        EXPECT_EQ(ModeOf(folder.Diary(".Mekuri.lock")), withLock ? c.expected : 0);
    }
}

// Folders Mekuri makes are the user's alone, and folders that exist keep their modes; the
// state folder, which holds the unsaved text of every diary, is used only when no one else
// can read it or put anything in it.
TEST(PrivateFolders, MadeForTheOwnerAloneAndUsedOnlyWhenTheOwnersAlone) {
    enum class Before { Missing, Ours, Others, LinkToOurs, File };
    struct Case {
        const char* what;
        Before before;
        mode_t mode;
        bool create;
        int result;
        mode_t after;  // 0: nothing there
    };
    const Case cases[] = {
        {"missing, made with the folder above it", Before::Missing, 0, true, 0, 0700},
        {"missing, not asked to make", Before::Missing, 0, false, ENOENT, 0},
        {"ours, open to others: tightened", Before::Ours, 0755, false, 0, 0700},
        {"ours, group may write: tightened", Before::Ours, 0770, true, 0, 0700},
        {"ours, private: kept", Before::Ours, 0700, false, 0, 0700},
        {"another user's: left alone", Before::Others, 0755, true, EPERM, 0755},
        {"a link to a folder of ours: refused", Before::LinkToOurs, 0, true, ELOOP, 0777},
        {"a file", Before::File, 0644, true, ENOTDIR, 0644},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.before == Before::Others && !TOpenFolder::PlantsAsAnotherUser()) continue;
        TOpenFolder folder;
        const std::string state = folder.Diary("state/Mekuri");
        if (c.before != Before::Missing) {
            ASSERT_EQ(::mkdir(folder.Diary("state").c_str(), 0755), 0);
            folder.GiveToUser(folder.Diary("state"));
        }
        int made = 0;
        if (c.before == Before::Ours || c.before == Before::Others) made = ::mkdir(state.c_str(), c.mode);
        if (c.before == Before::File) std::ofstream(state) << "";
        if (c.before == Before::LinkToOurs) made = ::symlink(folder.Diary().c_str(), state.c_str());
        ASSERT_EQ(made, 0);
        if (c.mode != 0) ::chmod(state.c_str(), c.mode);  // whatever the umask
        if (c.before != Before::Missing && c.before != Before::Others) folder.GiveToUser(state);
        TChildResult r = RunUnprivileged([&] { return MakePrivateFolder(state, c.create); });
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.exitCode, c.result);
        struct stat st {};
        EXPECT_EQ(::stat(state.c_str(), &st) == 0 ? st.st_mode & 07777 : 0, c.after);
        EXPECT_EQ(ModeOf(folder.Diary("state")), c.before == Before::Missing && c.create ? 0700u
                                                 : c.before == Before::Missing          ? 0u
                                                                                        : 0755u);
    }
}
