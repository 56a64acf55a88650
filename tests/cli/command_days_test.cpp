// `mekuri days` run as a real process, as a script would run it.
#include "platform/sjis.h"
#include "../platform/temp_folder.h"

#include "mekuri_run.h"

#include <sys/stat.h>

class DaysCommand : public TempFolder {
protected:
    void SetUp() override {
        TempFolder::SetUp();
        // Both days of a clashing name, each with its own file.
        Put(PathOf("2027111.dat"), Sjis("十一月一日\r\n"));
        Put(PathOf("2027-01-11.dat"), Sjis("\r\n　\r\n\t一月\t十一日 ｶﾞｯｺｳ\r\n二行目\r\n"));
        Put(PathOf("2026127.dat"), "");  // an empty entry
        Put(PathOf("2026128.dat"), Sjis(std::string(45, 'x') + "\r\n"));
        Put(PathOf("20261231.dat"), Sjis("大晦日") + "\x1a" + "after the end");
        // Not days: a name the rule never gives, other files, a folder named like a day.
        Put(PathOf("2026-1-7.dat"), "no");
        Put(PathOf("foo.dat"), "no");
        Put(PathOf("20261230.dat.new"), "no");
        ::mkdir(PathOf("2026129.dat").c_str(), 0755);
        folder_ = "--folder '" + dir_.string() + "'";
    }
    std::string folder_;
};

TEST_F(DaysCommand, ListsEveryEntryOldestFirstWithCountAndFirstLine) {
    const TRun run = Mekuri("days " + folder_);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "2026-12-07\t0\t\n"
                       "2026-12-08\t45\t" + std::string(40, 'x') + "\n"
                       "2026-12-31\t3\t大晦日\n"
                       "2027-01-11\t17\t 一月 十一日 ｶﾞｯｺｳ\n"
                       "2027-11-01\t5\t十一月一日\n");
}

// A day in UTF-8 counts what the user sees: a ZWJ family is one character.
TEST_F(DaysCommand, Utf8DaysCountGraphemeClusters) {
    Put(PathOf("202811.dat"), "\xEF\xBB\xBF👨\u200D👩\u200D👧 café\r\n2");
    Put(PathOf("202812.dat"), "日記😊\n");
    const TRun run = Mekuri("days " + folder_ + " 2028-01-01");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2028-01-01\t7\t👨\u200D👩\u200D👧 café\n2028-01-02\t3\t日記😊\n");
}

TEST_F(DaysCommand, DatesBoundTheListInclusively) {
    const struct {
        std::string args;
        std::string firstDays;
    } cases[] = {
        {"2026-12-08 2027-01-11", "2026-12-08 2026-12-31 2027-01-11 "},
        {"2027-01-11", "2027-01-11 2027-11-01 "},
        {"2026-12-31 2026-12-31", "2026-12-31 "},
        {"2027-01-12 2027-10-31", ""},
    };
    for (const auto& c : cases) {
        const TRun run = Mekuri("days " + folder_ + " " + c.args);
        EXPECT_EQ(run.status, 0) << c.args << run.err;
        std::string days;
        for (size_t at = 0; at < run.out.size(); at = run.out.find('\n', at) + 1) days += run.out.substr(at, 10) + " ";
        EXPECT_EQ(days, c.firstDays) << c.args;
    }
}

TEST_F(DaysCommand, BadInputGivesAJapaneseMessageAndStatusTwo) {
    const struct {
        std::string args;
        std::string message;
    } cases[] = {
        {"days --folder '" + dir_.string() + "/none'", "がありません"},
        {"days " + folder_ + " 2027-02-29", "日付 2027-02-29 が正しくありません"},
        {"days " + folder_ + " 2027-1-1", "日付 2027-1-1 が正しくありません"},
        {"days " + folder_ + " 2027-01-01 tomorrow", "日付 tomorrow が正しくありません"},
        {"days " + folder_ + " 2027-01-01 2027-01-02 2027-01-03", "2 つまで"},
        {"days --since 2027-01-01", "不明なオプションです: --since"},
        {"days --folder", "オプション --folder には値が必要です"},
    };
    for (const auto& c : cases) {
        const TRun run = Mekuri(c.args);
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        EXPECT_NE(run.err.find("mekuri days: "), std::string::npos) << c.args << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.args << run.err;
    }
}

// A file that cannot be read is named and left out; the others are still listed. As root
// permissions do not stop a read, so the day's name is given to a file whose reading fails
// for anyone: the process's own memory from address 0.
TEST_F(DaysCommand, AnUnreadableFileIsNamedAndTheRestListed) {
    ASSERT_EQ(::symlink("/proc/self/mem", PathOf("2026126.dat").c_str()), 0);
    std::string unreadable = "2026126.dat";
    if (::geteuid() != 0) {
        ::chmod(PathOf("2026128.dat").c_str(), 0);
        unreadable = "2026128.dat";
    }
    const TRun run = Mekuri("days " + folder_);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("ファイル \"" + unreadable + "\" を読めません"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("2026-12-06"), std::string::npos);
    for (const char* day : {"2026-12-07", "2026-12-31", "2027-01-11", "2027-11-01"})
        EXPECT_NE(run.out.find(std::string(day) + "\t"), std::string::npos) << day;
}

TEST_F(DaysCommand, TheFolderComesFromTheEnvironmentWithoutOptionAndHelpListsIt) {
    const TRun run = Mekuri("days 2027-11-01", "MEKURI_DIARY='" + dir_.string() + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "2027-11-01\t5\t十一月一日\n");

    const TRun help = Mekuri("days --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("mekuri days [--folder"), std::string::npos);
    const TRun all = Mekuri("--help");
    EXPECT_NE(all.out.find("days"), std::string::npos);
}

// The commands start without loading Qt: the dynamic loader's own record of the files it
// loads shows none of Qt's libraries nor the window library. The PDF export, which draws
// with Qt, shows both, so the record is read right.
TEST_F(DaysCommand, CommandsLoadNoQtAndPdfLoadsTheWindowLibrary) {
    const std::string pdf = PathOf("out.pdf");
    const struct {
        std::string args;
        bool drawsWithQt;
    } cases[] = {
        {"days " + folder_, false},
        {"search " + folder_ + " 一月", false},
        {"search --exact " + folder_ + " 一月", false},
        {"export " + folder_ + " --format markdown", false},
        {"export " + folder_ + " --format pdf -o '" + pdf + "'", true},
    };
    for (const auto& c : cases) {
        const TRun run = Mekuri(c.args, "LD_DEBUG=files");
        EXPECT_EQ(run.status, 0) << c.args << run.err;
        EXPECT_NE(run.err.find("libstdc++"), std::string::npos) << "no loader record for " << c.args;
        EXPECT_EQ(run.err.find("libQt6Core") != std::string::npos, c.drawsWithQt) << c.args;
        // The text tables are made at build time: the commands load no ICU (Qt itself does).
        if (!c.drawsWithQt) {
            EXPECT_EQ(run.err.find("libicu"), std::string::npos) << c.args;
        }
        EXPECT_EQ(run.err.find("libmekuri-window.so") != std::string::npos, c.drawsWithQt) << c.args;
    }
    EXPECT_GT(Get(pdf).size(), 0u);
}

// Without its window library the program says so and fails, and its commands still run.
TEST_F(DaysCommand, WithoutTheWindowLibraryTheWindowFailsAndCommandsRun) {
    const std::string copy = PathOf("mekuri");
    std::filesystem::copy_file(MEKURI_PROGRAM, copy);
    const TRun window = Mekuri("", "", copy);
    EXPECT_EQ(window.status, 1);
    EXPECT_NE(window.err.find("ウィンドウを開けません"), std::string::npos) << window.err;
    EXPECT_NE(window.err.find("libmekuri-window.so が見つかりません"), std::string::npos) << window.err;
    const TRun pdf = Mekuri("export " + folder_ + " --format pdf -o '" + PathOf("out.pdf") + "'", "", copy);
    EXPECT_EQ(pdf.status, 2);
    EXPECT_NE(pdf.err.find("mekuri export: PDF を書き出せません"), std::string::npos) << pdf.err;
    EXPECT_FALSE(std::filesystem::exists(PathOf("out.pdf")));
    EXPECT_EQ(Mekuri("days " + folder_, "", copy).out, Mekuri("days " + folder_).out);
}
