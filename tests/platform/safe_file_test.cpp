// The one safe replacement under every save: what it keeps of the old file, what it
// refuses, and how it fails.
#include "temp_folder.h"

#include "platform/safe_file.h"
#include "support/child_process.h"

#include <cerrno>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using SafeFile = TempFolder;
using TNames = std::vector<std::string>;

constexpr uid_t kNobody = 65534;

struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

}  // namespace

TEST_F(SafeFile, AReadOnlyFileIsRefusedAndLeftAsItWas) {
    // Made read-only by its owner to protect an entry; even the superuser, who passes every
    // permission check, must not replace it through the folder.
    Put(PathOf("2026127.dat"), "old");
    ::chmod(PathOf("2026127.dat").c_str(), 0444);
    EXPECT_EQ(ReplaceFileContents(PathOf("2026127.dat"), "new"), EACCES);
    EXPECT_EQ(Get(PathOf("2026127.dat")), "old");
    EXPECT_EQ(StatOf(PathOf("2026127.dat")).st_mode & 07777, 0444u);
    EXPECT_EQ(Names(), TNames{"2026127.dat"});
}

TEST_F(SafeFile, AnotherUsersFileIsRefusedWhenTheUserCouldNotWriteIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to act as another user";
    // A folder everyone may write: the rename alone would succeed.
    ::chmod(dir_.c_str(), 0777);
    Put(PathOf("a.dat"), "old");
    ::chmod(PathOf("a.dat").c_str(), 0644);
    TChildResult r = RunInChild(
        [&] {
            if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) return 98;
            return ReplaceFileContents(PathOf("a.dat"), "new");
        },
        10);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.exitCode, EACCES);
    EXPECT_EQ(Get(PathOf("a.dat")), "old");
    EXPECT_EQ(Names(), TNames{"a.dat"});
}

TEST_F(SafeFile, OwnerGroupAndPermissionsAreKept) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs the superuser to give files away";
    Put(PathOf("Mekuri.ini"), "old");
    ASSERT_EQ(::chown(PathOf("Mekuri.ini").c_str(), kNobody, kNobody), 0);
    ::chmod(PathOf("Mekuri.ini").c_str(), 0640);
    ASSERT_EQ(ReplaceFileContents(PathOf("Mekuri.ini"), "new"), 0);
    struct stat st = StatOf(PathOf("Mekuri.ini"));
    EXPECT_EQ(Get(PathOf("Mekuri.ini")), "new");
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(SafeFile, SymbolicLinksAreWrittenThroughEvenWhenDangling) {
    std::filesystem::create_symlink("real.dat", PathOf("link.dat"));  // nothing there yet
    ASSERT_EQ(ReplaceFileContents(PathOf("link.dat"), "one"), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("link.dat")));
    EXPECT_EQ(Get(PathOf("real.dat")), "one");

    // A chain of links, the last one relative to its own folder.
    std::filesystem::create_directory(PathOf("sub"));
    std::filesystem::create_symlink("deep.dat", PathOf("sub/inner"));
    std::filesystem::create_symlink(PathOf("sub/inner"), PathOf("outer"));
    ASSERT_EQ(ReplaceFileContents(PathOf("outer"), "two"), 0);
    EXPECT_EQ(Get(PathOf("sub/deep.dat")), "two");
    ASSERT_EQ(ReplaceFileContents(PathOf("outer"), "three"), 0);
    EXPECT_EQ(Get(PathOf("sub/deep.dat")), "three");
    EXPECT_TRUE(std::filesystem::is_symlink(PathOf("outer")));

    // A loop is an error, and nothing is created.
    std::filesystem::create_symlink("b", PathOf("a"));
    std::filesystem::create_symlink("a", PathOf("b"));
    EXPECT_EQ(ReplaceFileContents(PathOf("a"), "x"), ELOOP);
    EXPECT_EQ(Names(), (TNames{"a", "b", "link.dat", "outer", "real.dat", "sub"}));
}

TEST_F(SafeFile, AFileSizeLimitFailsTheSaveInsteadOfKillingTheProgram) {
    // The limit stands in for a full disk or quota. The child inherits the program's start
    // (the application object of the test's main), as a real run would.
    Put(PathOf("big.dat"), "old");
    TChildResult r = RunInChild(
        [&] {
            rlimit small{4096, 4096};
            if (::setrlimit(RLIMIT_FSIZE, &small) != 0) return 98;
            return ReplaceFileContents(PathOf("big.dat"), std::string(100000, 'x'));
        },
        30);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.signal, 0) << "killed by signal " << r.signal;
    EXPECT_EQ(r.exitCode, EFBIG);
    EXPECT_EQ(Get(PathOf("big.dat")), "old");
    EXPECT_EQ(Names(), TNames{"big.dat"});
}
