// Conflict copies of day files: which names are copies, of which day and tool, and how the
// folder's listing keeps them apart from the entries.
#include "diary/conflict_copies.h"
#include "diary/day_file.h"
#include "diary/day_index.h"
#include "../platform/temp_folder.h"

#include <sys/stat.h>
#include <utime.h>

namespace {

TYMD D(int y, int m, int d) { return {y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)}; }

struct TNameCase {
    const char* name;
    std::optional<TYMD> day;
    const char* tool;
};

void CheckNames(const std::vector<TNameCase>& cases, const std::vector<TConflictPattern>& patterns) {
    for (const TNameCase& c : cases) {
        const auto got = ConflictCopyName(c.name, patterns);
        ASSERT_EQ(got.has_value(), c.day.has_value()) << c.name;
        if (!got) continue;
        EXPECT_EQ(got->day, *c.day) << c.name;
        EXPECT_EQ(got->tool, c.tool) << c.name;
    }
}

void SetMtime(const std::string& path, std::int64_t sec) {
    const struct utimbuf times {static_cast<time_t>(sec), static_cast<time_t>(sec)};
    ASSERT_EQ(::utime(path.c_str(), &times), 0) << path;
}

}  // namespace

TEST(ConflictCopyName, KnowsTheToolsNamesForBothFormsOfDayNames) {
    CheckNames({
        {"2026127.sync-conflict-20261207-143012-ABCDEF1.dat", D(2026, 12, 7), "Syncthing"},
        {"2027-01-11.sync-conflict-20270111-090000-Q2RSTU7.dat", D(2027, 1, 11), "Syncthing"},
        {"2027111.sync-conflict-20271101-090000-Q2RSTU7.dat", D(2027, 11, 1), "Syncthing"},
        {"2026127 (conflicted copy 2026-12-07 143012).dat", D(2026, 12, 7), "Nextcloud"},
        {"2026127 (conflicted copy Taro Yamada 2026-12-07 143012).dat", D(2026, 12, 7), "Nextcloud"},
        {"2027-01-11 (conflicted copy 2027-01-11 080000).dat", D(2027, 1, 11), "Nextcloud"},
        {"2026127_conflict-20261207-143012.dat", D(2026, 12, 7), "ownCloud"},
        {"2026127 (Taro's conflicted copy 2026-12-07).dat", D(2026, 12, 7), "Dropbox"},
        {"2026127 (Taro\u2019s conflicted copy 2026-12-07).dat", D(2026, 12, 7), "Dropbox"},
        {"2026127 (Taro の競合コピー 2026-12-07).dat", D(2026, 12, 7), "Dropbox"},
        {"2026127 (山田の競合コピー 2026-12-07).dat", D(2026, 12, 7), "Dropbox"},
        {"2026127 (Taro's conflicted copy 2026-12-07 (1)).dat", D(2026, 12, 7), "Dropbox"},
        {"2027-01-11 (Taro の競合コピー 2027-01-12).dat", D(2027, 1, 11), "Dropbox"},
        {"2026127 (Selective Sync Conflict).dat", D(2026, 12, 7), "Dropbox"},
        {"2026127 (SFConflict taro@example.com 2026-12-07-14-30-12).dat", D(2026, 12, 7), "Seafile"},
        // Look-alikes: another program's copies and backups, and broken stamps.
        {"2026127 (copy).dat", std::nullopt, ""},
        {"2026127.dat.bak", std::nullopt, ""},
        {"2026127 (1).dat", std::nullopt, ""},
        {"2026127.dat", std::nullopt, ""},  // the day file itself
        {"2026127.sync-conflict-20261207-143012-ABCDEF1.dat.tmp", std::nullopt, ""},
        {"2026127.sync-conflict-20261207-1430-ABCDEF1.dat", std::nullopt, ""},
        {"2026127.sync-conflict-20261207-143012-abcdef1.dat", std::nullopt, ""},
        {"2026127 (conflicted copy 2026-12-07).dat", std::nullopt, ""},
        {"2026127 (conflicted copy x2026-12-07 143012).dat", std::nullopt, ""},
        {"2026127 ('s conflicted copy 2026-12-07).dat", std::nullopt, ""},  // no owner
        {"2026127 (の競合コピー 2026-12-07).dat", std::nullopt, ""},
        {"2026127 (Taro's conflicted copy 2026-12-07 (x)).dat", std::nullopt, ""},
        {"2026127 (SFConflict 2026-12-07-14-30-12).dat", std::nullopt, ""},
        // The day part must be a day file's own name.
        {"2027-11-01.sync-conflict-20271101-090000-Q2RSTU7.dat", std::nullopt, ""},
        {"2026-1-7 (conflicted copy 2026-12-07 143012).dat", std::nullopt, ""},
        {"02026127 (Taro's conflicted copy 2026-12-07).dat", std::nullopt, ""},
        {"notes.sync-conflict-20261207-143012-ABCDEF1.dat", std::nullopt, ""},
    }, {});
}

TEST(ConflictCopyName, TakesTheUsersOwnPatterns) {
    std::vector<std::string> rejected;
    const auto patterns = ParseConflictPatterns(
        " MyBackup | {day}.conflict-*.dat ; |{day}.x;NoDay|*.dat;Twice|{day}{day}.dat;Sub|a/{day}.dat;"
        "Pre|競合 * {day}.dat;;Bare",
        &rejected);
    ASSERT_EQ(patterns, (std::vector<TConflictPattern>{{"MyBackup", "{day}.conflict-*.dat"}, {"Pre", "競合 * {day}.dat"}}));
    EXPECT_EQ(rejected, (std::vector<std::string>{"|{day}.x", "NoDay|*.dat", "Twice|{day}{day}.dat", "Sub|a/{day}.dat", "Bare"}));
    CheckNames({
        {"2026127.conflict-laptop.dat", D(2026, 12, 7), "MyBackup"},
        {"2027-01-11.conflict-.dat", D(2027, 1, 11), "MyBackup"},
        {"競合 ノート 2026127.dat", D(2026, 12, 7), "Pre"},
        {"競合 ノート 2027-11-01.dat", std::nullopt, ""},  // not a day file's name
        {"2026127.conflict-laptop.txt", std::nullopt, ""},
        // A pattern never turns the day file itself into a copy, and the tools' names stay theirs.
        {"2026127.dat", std::nullopt, ""},
        {"2026127.sync-conflict-20261207-143012-ABCDEF1.dat", D(2026, 12, 7), "Syncthing"},
    }, patterns);
    // A pattern that would take every day file still does not.
    CheckNames({{"2026127.dat", std::nullopt, ""}, {"2026127 (copy).dat", D(2026, 12, 7), "Any"}},
               ParseConflictPatterns("Any|{day}*.dat"));
}

using ConflictFolder = TempFolder;

TEST_F(ConflictFolder, ListingKeepsCopiesApartNewestFirstAndMovesThemAsideWithoutReplacing) {
    Put(PathOf("2026127.dat"), "mine");
    Put(PathOf("2026127 (copy).dat"), "x");
    Put(PathOf("2026127.dat.bak"), "x");
    Put(PathOf("2026127.sync-conflict-20261207-143012-ABCDEF1.dat"), "older");
    Put(PathOf("2026127 (Taro's conflicted copy 2026-12-07).dat"), "newer");
    Put(PathOf("2026128 (conflicted copy 2026-12-08 101010).dat"), "no day file beside it");
    ::mkdir(PathOf("2026129 (conflicted copy 2026-12-09 101010).dat").c_str(), 0755);  // a folder is no copy
    SetMtime(PathOf("2026127.sync-conflict-20261207-143012-ABCDEF1.dat"), 1'800'000'000);
    SetMtime(PathOf("2026127 (Taro's conflicted copy 2026-12-07).dat"), 1'800'000'100);

    TDayIndex index;
    ASSERT_EQ(index.Scan(dir_.string()), 0);
    EXPECT_EQ(index.Days(), std::vector<TYMD>{D(2026, 12, 7)});  // copies never count as entries
    ASSERT_EQ(index.Conflicts().size(), 3u);
    const auto copies = index.ConflictsOf(D(2026, 12, 7));
    ASSERT_EQ(copies.size(), 2u);
    EXPECT_EQ(copies[0].fileName, "2026127 (Taro's conflicted copy 2026-12-07).dat");
    EXPECT_EQ(copies[0].mtimeSec, 1'800'000'100);
    EXPECT_EQ(copies[1].tool, "Syncthing");
    EXPECT_TRUE(index.HasConflict(D(2026, 12, 8)));
    EXPECT_FALSE(index.Has(D(2026, 12, 8)));
    EXPECT_FALSE(index.HasConflict(D(2026, 12, 9)));

    // A copy of the same name already set aside stays; the new one takes a numbered name.
    ::mkdir(PathOf(kConflictFolderName).c_str(), 0700);
    Put(PathOf(std::string(kConflictFolderName) + "/" + copies[1].fileName), "set aside before");
    std::string movedTo;
    ASSERT_EQ(MoveConflictCopyAside(dir_.string(), copies[1].fileName, &movedTo), 0);
    EXPECT_EQ(movedTo, ".Mekuri-conflicts/2026127.sync-conflict-20261207-143012-ABCDEF1 (2).dat");
    EXPECT_EQ(Get(PathOf(movedTo)), "older");
    EXPECT_EQ(Get(PathOf(std::string(kConflictFolderName) + "/" + copies[1].fileName)), "set aside before");
    EXPECT_EQ(MoveConflictCopyAside(dir_.string(), copies[1].fileName), ENOENT);

    ASSERT_EQ(index.Scan(dir_.string()), 0);  // the hidden folder's copies are not listed
    EXPECT_EQ(index.ConflictsOf(D(2026, 12, 7)).size(), 1u);
}

TEST(IsoLocalTime, WritesTheZoneWithAColon) {
    ::setenv("TZ", "Asia/Tokyo", 1);
    ::tzset();
    EXPECT_EQ(IsoLocalTime(1'796'621'412), "2026-12-07T14:30:12+09:00");
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    EXPECT_EQ(IsoLocalTime(0), "1970-01-01T00:00:00+00:00");
    ::unsetenv("TZ");
    ::tzset();
}

// The folder lock is an flock of this machine: a lock file that a sync tool brought from
// another machine, whatever it holds, neither blocks a save here nor is broken by one.
TEST_F(ConflictFolder, ALockFileFromAnotherMachineBlocksNothing) {
    Put(PathOf(TFolderLock::kFileName), "written by the desk's Mekuri\n");
    TFolderLock here(dir_.string());
    EXPECT_FALSE(here.HeldByAnother());
    // Held here now, as a second running copy on this machine would find it.
    TFolderLock second(dir_.string());
    EXPECT_TRUE(second.HeldByAnother());
    EXPECT_EQ(Get(PathOf(TFolderLock::kFileName)), "written by the desk's Mekuri\n");
}
