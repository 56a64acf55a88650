// New files left behind by saves that a kill or a power cut cut short.
#include "temp_folder.h"

#include "platform/safe_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using StaleReplacements = TempFolder;

TEST_F(StaleReplacements, OnlyAbandonedFilesOfOurOwnNamingGo) {
    ASSERT_EQ(ReplaceFileContents(PathOf("2026127.dat"), "diary"), 0);
    Put(PathOf(".2026127.dat.mekuri-a1B2c3"), "half a save");
    Put(PathOf(".Mekuri.ini.mekuri-Zz9Yy8"), "half a save");
    // A save still running in another process holds its lock on the file.
    Put(PathOf(".2026128.dat.mekuri-live00"), "being written");
    int live = ::open(PathOf(".2026128.dat.mekuri-live00").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(live, LOCK_EX), 0);
    // Other people's files, however alike.
    Put(PathOf(".profile"), "x");
    Put(PathOf("x.mekuri-abcdef"), "x");
    Put(PathOf(".y.mekuri-abc"), "x");

    RemoveStaleReplacements(dir_.string());
    ::close(live);

    std::vector<std::string> expected{".2026128.dat.mekuri-live00", ".profile", ".y.mekuri-abc", "2026127.dat",
                                      "x.mekuri-abcdef"};
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(Get(PathOf("2026127.dat")), "diary");
}
