// `mekuri conflicts` run as a real process on a folder holding every tool's conflict copy,
// the look-alikes that are none, and a pattern of the user's own in "Mekuri.ini".
#include "platform/sjis.h"
#include "../platform/temp_folder.h"

#include "mekuri_run.h"

#include <sys/stat.h>
#include <utime.h>

namespace {

// Every tool's name, with the modification time the copy gets (seconds from 2026-12-07 UTC).
const struct {
    const char* name;
    int sinceMidnight;
} kCopies[] = {
    {"2026127.sync-conflict-20261207-143012-ABCDEF1.dat", 52212},
    {"2026127 (conflicted copy 2026-12-07 143012).dat", 52213},
    {"2026127 (Taro's conflicted copy 2026-12-07).dat", 40000},
    {"2026127 (Taro の競合コピー 2026-12-07).dat", 60000},
    {"2027-01-11 (SFConflict taro@example.com 2027-01-11-08-00-00).dat", 0},
    {"2027-01-11_conflict-20270111-080000.dat", 1},
    {"2026128.conflict-laptop.dat", 5},  // the user's own pattern
};
constexpr long kDay = 1'796'601'600;  // 2026-12-07T00:00:00Z

}  // namespace

class ConflictsCommand : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        Put(PathOf("2026127.dat"), Sjis("この端末\r\n"));
        for (const auto& c : kCopies) {
            Put(PathOf(c.name), "x");
            const struct utimbuf t {kDay + c.sinceMidnight, kDay + c.sinceMidnight};
            ASSERT_EQ(::utime(PathOf(c.name).c_str(), &t), 0);
        }
        for (const char* lookAlike : {"2026127 (copy).dat", "2026127.dat.bak", "2026127 (1).dat",
                                      "2027-11-01.sync-conflict-20271101-090000-Q2RSTU7.dat"})
            Put(PathOf(lookAlike), "x");
        ::mkdir(PathOf(".Mekuri-conflicts").c_str(), 0700);
        Put(PathOf(".Mekuri-conflicts/2026127.sync-conflict-20261201-000000-ABCDEF1.dat"), "resolved before");
        folder_ = "--folder '" + dir_.string() + "'";
    }
    std::string folder_;
};

TEST_F(ConflictsCommand, ListsEveryToolsCopyByDayNewestFirstAndExitsThree) {
    // A private copy of the program, whose settings file sits beside it as in a build tree.
    const std::string bin = PathOf("bin");
    std::filesystem::create_directory(bin);
    std::filesystem::copy_file(MEKURI_PROGRAM, bin + "/mekuri");
    Put(bin + "/Mekuri.ini", Sjis("[Diary]\r\nConflictPatterns=手元の道具|{day}.conflict-*.dat;壊れた\r\n"));
    const TRun run = Mekuri("conflicts " + folder_, "TZ=UTC", bin + "/mekuri");
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out,
              "2026-12-07\t2026127 (Taro の競合コピー 2026-12-07).dat\tDropbox\t2026-12-07T16:40:00+00:00\n"
              "2026-12-07\t2026127 (conflicted copy 2026-12-07 143012).dat\tNextcloud\t2026-12-07T14:30:13+00:00\n"
              "2026-12-07\t2026127.sync-conflict-20261207-143012-ABCDEF1.dat\tSyncthing\t2026-12-07T14:30:12+00:00\n"
              "2026-12-07\t2026127 (Taro's conflicted copy 2026-12-07).dat\tDropbox\t2026-12-07T11:06:40+00:00\n"
              "2026-12-08\t2026128.conflict-laptop.dat\t手元の道具\t2026-12-07T00:00:05+00:00\n"
              "2027-01-11\t2027-01-11_conflict-20270111-080000.dat\townCloud\t2026-12-07T00:00:01+00:00\n"
              "2027-01-11\t2027-01-11 (SFConflict taro@example.com 2027-01-11-08-00-00).dat\tSeafile\t2026-12-07T00:00:00+00:00\n");
    EXPECT_EQ(run.err, "mekuri conflicts: Mekuri.ini の ConflictPatterns の「壊れた」は使えません"
                       "（「ツール名|名前」の形で、名前に {day} を 1 つ含めてください）\n");

    // Without the user's pattern its copy is not one; the day files are still no copies.
    const TRun plain = Mekuri("conflicts " + folder_, "TZ=Asia/Tokyo");
    EXPECT_EQ(plain.status, 3);
    EXPECT_EQ(plain.out.find("2026128"), std::string::npos);
    EXPECT_NE(plain.out.find("\tSyncthing\t2026-12-07T23:30:12+09:00\n"), std::string::npos) << plain.out;
}

TEST_F(ConflictsCommand, ExitsZeroWithoutCopiesAndTwoOnErrors) {
    const std::string empty = PathOf("empty");
    std::filesystem::create_directory(empty);
    Put(empty + "/2026127.dat", "x");
    Put(empty + "/2026127 (copy).dat", "x");
    const struct {
        std::string args;
        int status;
        std::string out, errPart;
    } cases[] = {
        {"conflicts --folder '" + empty + "'", 0, "", ""},
        {"conflicts --folder '" + PathOf("none") + "'", 2, "", "日記のフォルダー " + PathOf("none") + " がありません"},
        {"conflicts --folder '" + PathOf("2026127.dat") + "'", 2, "", "はフォルダーではありません"},
        {"conflicts " + folder_ + " extra", 2, "", "余分な引数です: extra"},
        {"conflicts --wrong", 2, "", "不明なオプションです: --wrong"},
        {"conflicts --help", 0, "", ""},
    };
    for (const auto& c : cases) {
        const TRun run = Mekuri(c.args);
        EXPECT_EQ(run.status, c.status) << c.args << run.err;
        if (c.args.ends_with("--help")) {
            EXPECT_NE(run.out.find("終了コード: 0 競合コピーはない、3 競合コピーがある、2 エラー"), std::string::npos);
            continue;
        }
        EXPECT_EQ(run.out, c.out) << c.args;
        EXPECT_NE(run.err.find(c.errPart), std::string::npos) << c.args << run.err;
    }
    EXPECT_NE(Mekuri("--help").out.find("  conflicts 同期ツールが残した競合コピーの一覧\n"), std::string::npos);
}
