// `mekuri export -o` never writes over the diary it reads: each way of naming one of its
// files, run as a real process, leaves every file of the folder as it was.
#include "mekuri_process.h"
#include "platform/sjis.h"
#include "../platform/temp_folder.h"

#include <map>

namespace {

namespace fs = std::filesystem;

class ExportTarget : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        fs::create_directories(dir_ / "diary" / "sub");
        fs::create_directories(dir_ / "elsewhere");
        for (const char* name : {"2026121.dat", "2027-01-11.dat", ".Mekuri.lock", ".Mekuri-2026121-k3J9xQ.recovery",
                                 "2026121.sync-conflict-20261207-143012-ABCDEF1.dat", "notes.txt", "sub/old.txt"})
            Put(Diary(name), Sjis(std::string("元の ") + name + "\r\n"));
        fs::create_symlink(Diary("2026121.dat"), PathOf("elsewhere/link.txt"));
        fs::create_symlink(Diary("2026125.dat"), PathOf("elsewhere/dangling.txt"));
        fs::create_symlink(Diary(""), PathOf("elsewhere/diary-link"));
    }
    std::string Diary(const std::string& name) const { return (dir_ / "diary" / name).string(); }
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> files;
        for (const auto& e : fs::recursive_directory_iterator(dir_ / "diary"))
            files[e.path().string()] = e.is_regular_file() ? Get(e.path().string()) : "<folder>";
        return files;
    }
};

TEST_F(ExportTarget, NoFileOfTheDiaryIsWrittenOver) {
    const std::string diary = Diary(""), here = dir_.string();
    const struct {
        std::string output;
        std::string folder = {};  // --folder, when not the diary's plain path
        std::string cwd = {};
    } cases[] = {
        {Diary("2026121.dat")},
        {Diary("2026122.dat")},  // a day without an entry yet
        {Diary("2027-01-11.dat")},
        {Diary("2027-01-12.dat")},
        {Diary(".Mekuri.lock")},
        {Diary(".Mekuri-2026121-k3J9xQ.recovery")},
        {Diary(".Mekuri-2026122-aaaaaa.recovery")},
        {Diary("2026121.sync-conflict-20261207-143012-ABCDEF1.dat")},
        {Diary("2026121 (conflicted copy 2026-12-07 143012).dat")},
        {Diary("notes.txt")},  // not the diary's, but there already
        {Diary("sub/old.txt")},
        {Diary("sub/../2026121.dat")},
        {"2026121.dat", {}, diary},
        {"../diary/2026121.dat", ".", diary},
        {PathOf("elsewhere/link.txt")},
        {PathOf("elsewhere/dangling.txt")},
        {PathOf("elsewhere/diary-link/2026121.dat")},
        {Diary("2026121.dat"), PathOf("elsewhere/diary-link")},
    };
    const auto before = Snapshot();
    for (const auto& c : cases) {
        for (const char* format : {"text", "pdf"}) {
            const TOutcome r = RunMekuri({.args = {"export", "--folder", c.folder.empty() ? diary : c.folder, "--format",
                                                   format, "-o", c.output},
                                          .cwd = c.cwd.empty() ? here : c.cwd});
            EXPECT_EQ(r.status, 2) << c.output << " " << format << r.err;
            EXPECT_NE(r.err.find("mekuri export: 出力先 " + c.output + " は日記のフォルダーの中にあり"), std::string::npos)
                << r.err;
            EXPECT_EQ(Snapshot(), before) << c.output << " " << format;
        }
    }
    EXPECT_FALSE(fs::exists(Diary("2026125.dat")));

    // A new name that is none of the diary's goes, inside the folder too.
    for (const std::string& output : {Diary("書き出し.txt"), Diary("sub/new.md"), PathOf("elsewhere/out.txt")}) {
        const TOutcome r = RunMekuri({.args = {"export", "--folder", diary, "-o", output}});
        EXPECT_EQ(r.status, 0) << output << r.err;
        EXPECT_EQ(Get(output), "2026-12-01(火)\n元の 2026121.dat\n\n2027-01-11(月)\n元の 2027-01-11.dat\n\n") << output;
    }
}

}  // namespace
