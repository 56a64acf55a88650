// Standard output that cannot take what a command writes, and files past the size limit:
// every command says so in its status, run as a real process.
#include "mekuri_process.h"
#include "platform/sjis.h"
#include "../platform/temp_folder.h"

namespace {

class CommandOutput : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        // Enough lines that the commands write while they still read (over 64 KB).
        std::string line;
        for (int i = 0; i < 12; ++i) line += "京都の日記。";
        for (int day = 1; day <= 600; ++day) {
            const int year = 2000 + day / 28, month = 1 + day % 12, dom = 1 + day % 28;
            Put(PathOf(std::to_string(year) + std::to_string(month) + std::to_string(dom) + ".dat"),
                Sjis(line + "\r\n"));
        }
    }
};

TEST_F(CommandOutput, AFailedWriteIsAnErrorAndAClosedPipeEndsQuietly) {
    const std::string d = dir_.string();
    const std::vector<std::string> commands[] = {
        {"--help"},
        {"--version"},
        {"days", "--folder", d},
        {"days", "--folder", d, "2001-01-01", "2001-01-31"},  // a few lines, written at the end
        {"days", "--help"},
        {"search", "--folder", d, "京都"},
        {"search", "--help"},
        {"export", "--folder", d},
        {"export", "--help"},
    };
    for (const auto& args : commands) {
        const std::string what = testing::PrintToString(args);
        const std::string prefix = args.size() > 1 && args[0][0] != '-' ? "mekuri " + args[0] + ": " : "mekuri: ";
        for (TStdout out : {TStdout::Full, TStdout::Closed}) {
            const TOutcome r = RunMekuri({.args = args, .out = out});
            EXPECT_EQ(r.status, 2) << what << static_cast<int>(out);
            EXPECT_EQ(r.err.rfind(prefix + "標準出力に書き込めません。", 0), 0u) << what << r.err;
        }
        const TOutcome pipe = RunMekuri({.args = args, .out = TStdout::ClosedPipe, .ignorePipe = true});
        EXPECT_EQ(pipe.status, 141) << what;
        EXPECT_EQ(pipe.err, "") << what;
    }
}

// The export's file goes past the limit: reported, nothing left behind, for text and PDF.
TEST_F(CommandOutput, TheFileSizeLimitIsReportedAndLeavesNoFile) {
    namespace fs = std::filesystem;
    const fs::path out = dir_ / "out";
    fs::create_directory(out);
    for (const char* format : {"text", "pdf"}) {
        const std::string file = (out / (std::string("x.") + format)).string();
        const TOutcome r =
            RunMekuri({.args = {"export", "--folder", dir_.string(), "--format", format, "-o", file}, .fileLimit = 1024});
        EXPECT_EQ(r.status, 2) << format << r.err;
        EXPECT_NE(r.err.find("mekuri export: ファイル \"" + file + "\" を書き込めません。"), std::string::npos) << r.err;
        EXPECT_TRUE(fs::is_empty(out)) << format;
    }
}

}  // namespace
