// `mekuri search` run as a real process over a diary folder written here: every folding
// rule, the words' rules, clashing day names, empty and unreadable files, the output
// format and the exit statuses.
#include "mekuri_process.h"
#include "platform/sjis.h"

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using TRun = TOutcome;

TRun Search(std::vector<std::string> args) {
    args.insert(args.begin(), "search");
    return RunMekuri({.args = std::move(args)});
}

class SearchCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "mekuri-search-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    // A day file holding `utf8` in CP932 with CR LF line breaks.
    void Day(const std::string& name, const std::string& utf8) { Raw(name, Sjis(utf8)); }
    void Raw(const std::string& name, const std::string& bytes) {
        std::ofstream(dir_ / name, std::ios::binary) << bytes;
    }
    TRun Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"--folder", dir_.string()});
        return Search(args);
    }
    fs::path dir_;
};

struct TFoldCase {
    const char* text;
    const char* query;
    bool matches;
};

TEST_F(SearchCommand, FoldingRules) {
    const TFoldCase cases[] = {
        {"今日は Kyoto へ", "kyoto", true},                   // letter case
        {"今日はＫＹＯＴＯへ", "kyoto", true},                 // full-width Latin
        {"kyoto", "ＫＹＯＴＯ", true},
        {"キョウト", "きょうと", true},                          // katakana and hiragana
        {"ｷｮｳﾄ", "きょうと", true},                            // half-width katakana
        {"ｶﾞｽ代", "ガス", true},                                // a voiced mark joins
        {"ﾊﾟﾝ屋", "ぱん", true},                                // a semi-voiced mark joins
        {"ｶﾞｽ代", "かす", false},                               // joined, so no か is left
        {"ｳﾞｧｲｵﾘﾝ", "ヴァイオリン", true},
        {"ラーメン", "らーめん", true},                          // ー stays
        {"①番線", "1番", true},                                // compatibility characters
        {"㈱山田商店", "(株)山田", true},
        {"10㌔歩いた", "きろ", true},
        {"第Ⅸ章と ⅲ", "ix III", true},                          // Roman numerals
        {"ΑΒΓ", "αβγ", true},                                  // Greek
        {"МОСКВА", "москва", true},                            // Cyrillic
        {"１２３４", "1234", true},                              // full-width digits
        {"京都\r\n旅行", "京都 旅行", true},                     // words on different lines
        {"旅行　京都", "京都　旅行", true},                      // full-width space splits too
        {"京都", "京都 大阪", false},                            // every word must occur
        {"京\r\n都", "京都", false},                             // a word never spans a line
        {"表示", "\\", false},                                   // nor starts inside a character
        {"ヶ月", "ケ月", false},
    };
    int day = 1;
    for (const TFoldCase& c : cases) {
        char date[16];
        std::snprintf(date, sizeof date, "2026-03-%02d", day);
        Day("20263" + std::to_string(day) + ".dat", c.text);
        const TRun r = Run({"--from", date, "--to", date, c.query});
        EXPECT_EQ(r.status, c.matches ? 0 : 1) << c.text << " / " << c.query << "\n" << r.err;
        if (c.matches) {
            EXPECT_EQ(r.out.substr(0, 11), std::string(date) + "\t") << c.text;
        }
        ++day;
    }
}

TEST_F(SearchCommand, ExactComparesTheCharactersAsTheyAre) {
    Day("202651.dat", "ＫＹＯＴＯ\r\n");
    EXPECT_EQ(Run({"--exact", "kyoto"}).status, 1);
    EXPECT_EQ(Run({"--exact", "ＫＹＯＴＯ"}).status, 0);
    EXPECT_EQ(Run({"kyoto"}).status, 0);
}

// Days in UTF-8 (with or without the mark) are searched beside the CP932 ones, for a query
// of any characters; the lines come out as the characters written.
TEST_F(SearchCommand, Utf8DaysAndQueriesOfAnyCharacters) {
    Raw("202671.dat", "\xEF\xBB\xBF朝😊コーヒー\r\n家族 👨\u200D👩\u200D👧\r\n");
    Raw("202672.dat", "CAFÉ au lait 〜\n𠮷野家\n");
    Day("202673.dat", "カフェで～\r\n");
    Raw("202674.dat", "\xEF\xBB\xBF\xFF cafe\u0301\r\n");
    const struct {
        std::vector<std::string> args;
        const char* out;
    } cases[] = {
        {{"😊"}, "2026-07-01\t朝😊コーヒー\n"},
        {{"👨\u200D👩\u200D👧"}, "2026-07-01\t家族 👨\u200D👩\u200D👧\n"},
        {{"café"}, "2026-07-02\tCAFÉ au lait 〜\n2026-07-04\t\uFFFD cafe\u0301\n"},
        {{"--exact", "café"}, ""},
        {{"--exact", "CAFÉ"}, "2026-07-02\tCAFÉ au lait 〜\n"},
        {{"〜"}, "2026-07-02\tCAFÉ au lait 〜\n2026-07-03\tカフェで～\n"},
        {{"𠮷"}, "2026-07-02\t𠮷野家\n"},
        {{"こーひー", "かぞく"}, ""},
        {{"こーひー", "家族"}, "2026-07-01\t朝😊コーヒー\n"},
    };
    for (const auto& c : cases) {
        const TRun r = Run(c.args);
        EXPECT_EQ(r.out, c.out) << testing::PrintToString(c.args) << r.err;
        EXPECT_EQ(r.status, *c.out ? 0 : 1) << testing::PrintToString(c.args);
    }
}

TEST_F(SearchCommand, OneLinePerDayOldestFirstCutAroundTheMatch) {
    Day("2025315.dat", "朝\r\n昼は\t京都で\tお茶\r\n京都の夜\r\n");
    Day("2024101.dat", "1行目\r\n" + std::string(100, 'a') + "京都" + std::string(100, 'b') + "\r\n");
    Day("2025316.dat", "大阪\r\n");
    const TRun r = Run({"京都"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string cut = std::string(19, 'a') + "京都" + std::string(39, 'b');
    EXPECT_EQ(r.out, "2024-10-01\t" + cut + "\n2025-03-15\t昼は 京都で お茶\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(SearchCommand, ClashingDayNamesEachKeepTheirDay) {
    Day("2027111.dat", "十一月一日の京都\r\n");
    Day("2027-01-11.dat", "一月十一日の京都\r\n");
    Day("2027-1-11.dat", "名前が正しくない京都\r\n");  // no day's file
    Day("2027-11-01.dat", "名前が正しくない京都\r\n");  // 2027-11-01 is 2027111.dat
    const TRun r = Run({"京都"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "2027-01-11\t一月十一日の京都\n2027-11-01\t十一月一日の京都\n");
    EXPECT_EQ(Run({"--from", "2027-01-01", "--to", "2027-01-31", "京都"}).out, "2027-01-11\t一月十一日の京都\n");
}

TEST_F(SearchCommand, EmptyAndUnreadableFiles) {
    Day("202611.dat", "");
    EXPECT_EQ(Run({"京都"}).status, 1);
    Day("202612.dat", "京都\r\n");
    // A file that opens but cannot be read: as root a mode of 000 still reads, so the
    // day's name points at a file whose reading fails (the process's own memory).
    const fs::path bad = dir_ / "202613.dat";
    if (::geteuid() == 0) {
        fs::create_symlink("/proc/self/mem", bad);
    } else {
        Day("202613.dat", "京都\r\n");
        ::chmod(bad.c_str(), 0);
    }
    Day("202614.dat", "京都\r\n");
    const TRun r = Run({"京都"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "2026-01-02\t京都\n2026-01-04\t京都\n");
    EXPECT_NE(r.err.find("ファイル \"202613.dat\" を読めません"), std::string::npos) << r.err;
}

TEST_F(SearchCommand, ExitStatusesAndMessages) {
    Day("202611.dat", "京都\r\n");
    struct TCase {
        std::vector<std::string> args;
        int status;
        const char* err;  // part of the message on standard error
    };
    const TCase cases[] = {
        {{"京都"}, 0, ""},
        {{"大阪"}, 1, ""},
        {{"😀"}, 1, ""},  // any character is searched for; this one is in no day
        {{"--from", "2026-02-30", "京都"}, 2, "日付 2026-02-30 が正しくありません"},
        {{"--to", "20260101", "京都"}, 2, "日付 20260101 が正しくありません"},
        {{"--bogus", "京都"}, 2, "不明なオプション"},
        {{}, 2, "探す語を指定してください"},
        {{"　"}, 2, "探す語を指定してください"},
        {{"--from"}, 2, "値が必要です"},
    };
    for (const TCase& c : cases) {
        const TRun r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << testing::PrintToString(c.args) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    const TRun missing = Search({"--folder", (dir_ / "nothing").string(), "京都"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("ありません"), std::string::npos);
    const TRun help = Search({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--folder", "--exact", "--from", "--to"}) EXPECT_NE(help.out.find(option), std::string::npos);
}

}  // namespace
