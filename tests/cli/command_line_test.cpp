// What the program makes of its first argument, and the rules every command shares, run
// as a real process.
#include "mekuri_process.h"
#include "platform/sjis.h"
#include "../platform/temp_folder.h"

#include <sys/stat.h>

namespace {

class CommandLine : public TempFolder {
protected:
    TOutcome Run(std::vector<std::string> args, const std::string& cwd = {}) {
        return RunMekuri({.args = std::move(args), .cwd = cwd.empty() ? dir_.string() : cwd});
    }
    // The text after "mekuri COMMAND: ", to compare the commands' wording.
    static std::string Message(const std::string& err) {
        const size_t colon = err.find(": ");
        return colon == std::string::npos ? err : err.substr(colon + 2);
    }
};

TEST_F(CommandLine, VersionNamesTheProgram) {
    const TOutcome r = Run({"--version"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "mekuri " MEKURI_VERSION "\n");
    EXPECT_NE(Run({"--help"}).out.find("--version"), std::string::npos);
}

// Nothing the program does not know opens a window or makes a folder; without a display
// it does not abort either.
TEST_F(CommandLine, UnknownArgumentsEndWithStatusTwoAndCreateNothing) {
    Put(PathOf("notes.txt"), "x");
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"--hepl"}, "mekuri: 不明なオプションです: --hepl"},
        {{"-x"}, "不明なオプションです: -x"},
        {{"--version=2"}, "不明なオプションです: --version=2"},
        {{"conflcts"}, "mekuri: 不明なコマンドです: conflcts"},
        {{"新しい日記"}, "./新しい日記"},  // the way to make it is named
        {{""}, "フォルダーの名前が空です"},
        {{"notes.txt"}, "notes.txt はフォルダーではありません"},
        {{"./notes.txt"}, "フォルダーではありません"},
        {{"./日記", "extra"}, "余分な引数です: extra"},
        {{"-session"}, "不明なオプションです: -session"},
    };
    for (const auto& c : cases) {
        const TOutcome r = Run(c.args);
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(r.status, 2) << what << r.err;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << what << r.err;
        EXPECT_NE(r.err.find("mekuri --help"), std::string::npos) << what << r.err;
        EXPECT_EQ(Names(), std::vector<std::string>{"notes.txt"}) << what;
    }
}

// The window's journey with a folder: an existing one by its bare name, a new one only with
// a "/" in its name. A copy of the program keeps its settings beside itself, here.
TEST_F(CommandLine, TheWindowOpensAnExistingFolderOrMakesOneNamedAsAPath) {
    namespace fs = std::filesystem;
    const fs::path bin = dir_ / "bin";
    fs::create_directory(bin);
    fs::copy_file(MEKURI_PROGRAM, bin / "mekuri");
    fs::copy_file(fs::path(MEKURI_PROGRAM).parent_path() / "libmekuri-window.so", bin / "libmekuri-window.so");
    fs::create_directory(dir_ / "日記");
    // A desktop session that saved the window starts it again with Qt's "-session ID".
    for (const std::vector<std::string>& args : {std::vector<std::string>{"日記"}, {"./新しい日記"}, {"深い/新しい日記"},
                                                {"-session", "1a2b3c", "./再開"}}) {
        const std::string& folder = args.back();
        const TOutcome r = RunMekuri({.args = args,
                                      .cwd = dir_.string(),
                                      .env = {"QT_QPA_PLATFORM=offscreen", "MEKURI_QUIT_AFTER_FIRST_PAINT=1"},
                                      .program = (bin / "mekuri").string()});
        EXPECT_EQ(r.status, 0) << folder << r.err;
        EXPECT_TRUE(fs::is_directory(dir_ / folder)) << folder;
    }
}

TEST_F(CommandLine, EveryCommandSharesTheRulesOfOptionsAndPeriods) {
    Put(PathOf("2026121.dat"), Sjis("京都\r\n"));
    const std::string d = dir_.string();
    const struct {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{"days", "--folder", d, "2026-12-07", "2026-12-01"}, "開始日 2026-12-07 が終了日 2026-12-01 より後です"},
        {{"search", "--folder", d, "--from", "2026-12-07", "--to", "2026-12-01", "京都"}, "開始日 2026-12-07 が終了日 2026-12-01 より後です"},
        {{"export", "--folder", d, "--from", "2026-12-07", "--to", "2026-12-01"}, "開始日 2026-12-07 が終了日 2026-12-01 より後です"},
        {{"days", "--folder", ""}, "オプション --folder の値が空です"},
        {{"search", "--folder=", "京都"}, "オプション --folder の値が空です"},
        {{"export", "--folder", ""}, "オプション --folder の値が空です"},
        {{"export", "--folder", d, "-o", ""}, "オプション -o の値が空です"},
        {{"days", "--folder", d, "--folder", d}, "オプション --folder が 2 回指定されています"},
        {{"search", "--exact", "--exact", "京都"}, "オプション --exact が 2 回指定されています"},
        {{"export", "--format", "text", "--format=pdf"}, "オプション --format が 2 回指定されています"},
        {{"search", "--folder", d, "--from", "2026-02-30", "京都"}, "日付 2026-02-30 が正しくありません"},
        {{"export", "--folder", d, "--to", "2026-1-5"}, "日付 2026-1-5 が正しくありません"},
    };
    for (const auto& c : cases) {
        const TOutcome r = Run(c.args);
        const std::string what = testing::PrintToString(c.args);
        EXPECT_EQ(r.status, 2) << what;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_EQ(r.err.rfind("mekuri " + c.args[0] + ": " + c.message, 0), 0u) << what << r.err;
    }
}

// As root a mode of 000 still reads, so the day's name points at a file whose reading
// fails for anyone: the process's own memory from address 0.
TEST_F(CommandLine, AnUnreadableFileIsWordedAlikeByEveryCommand) {
    Put(PathOf("2026121.dat"), Sjis("京都\r\n"));
    ASSERT_EQ(::symlink("/proc/self/mem", PathOf("2026122.dat").c_str()), 0);
    std::vector<std::string> messages;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"days"}, {"search", "京都"}, {"export"}}) {
        std::vector<std::string> all = args;
        all.insert(all.begin() + 1, {"--folder", dir_.string()});
        const TOutcome r = Run(all);
        EXPECT_EQ(r.status, 2) << args[0];
        messages.push_back(Message(r.err));
    }
    EXPECT_EQ(messages[0].rfind("ファイル \"2026122.dat\" を読めません。", 0), 0u) << messages[0];
    EXPECT_EQ(messages[1], messages[0]);
    EXPECT_EQ(messages[2], messages[0]);
}

}  // namespace
