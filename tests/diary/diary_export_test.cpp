// The exact text and Markdown forms of a day, and the reading of a period's files.
#include "diary/diary_export.h"
#include "platform/sjis.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

struct TDayCase {
    const char* name;
    std::string sjis;
    const char* text;  // the exported day, UTF-8
    bool broken;
};

void Write(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
    std::ofstream(dir.filePath(name).toStdString(), std::ios::binary) << bytes;
}

}  // namespace

TEST(DiaryExport, OneDayInTextAndMarkdown) {
    const TDayCase cases[] = {
        {"CR LF becomes LF", Sjis("一行目\r\n二行目\r\n"), "一行目\n二行目\n", false},
        {"a final line end is added", Sjis("末尾なし"), "末尾なし\n", false},
        {"empty lines are kept", "a\r\n\r\n\r\n", "a\n\n\n", false},
        {"a lone CR and a lone LF stay", "a\rb\nc", "a\rb\nc\n", false},
        {"a line end alone", "\r\n", "\n", false},
        {"a lone lead byte", "x\x82", "x\xEF\xBF\xBD\n", true},
        {"an unmapped pair", "\xEF\x40", "\xEF\xBF\xBD@\n", true},
        {"a CR LF split by nothing else", "\r\r\n", "\r\n", false},
    };
    for (const TDayCase& c : cases) {
        std::string text, markdown;
        EXPECT_EQ(AppendExportedDay(text, {2026, 12, 7}, c.sjis, TExportFormat::Text), c.broken) << c.name;
        EXPECT_EQ(text, std::string("2026-12-07(月)\n") + c.text + "\n") << c.name;
        AppendExportedDay(markdown, {2026, 12, 7}, c.sjis, TExportFormat::Markdown);
        EXPECT_EQ(markdown, std::string("## 2026-12-07(月)\n\n") + c.text + "\n") << c.name;
    }
    EXPECT_EQ(ExportDayHeading({1, 1, 1}), "0001-01-01(土)");
    EXPECT_EQ(ExportDayHeading({1582, 10, 15}), "1582-10-15(金)");
    EXPECT_EQ(ExportDayHeading({20271, 1, 1}), "20271-01-01(日)");
}

TEST(DiaryExport, PeriodReadsTheDaysWithTextOldestFirstAndStopsWhenAsked) {
    QTemporaryDir dir;
    Write(dir, "2027111.dat", Sjis("十一月一日"));
    Write(dir, "2027-01-11.dat", Sjis("一月十一日"));
    Write(dir, "2027112.dat", "");
    // Only the text before a ^Z is the day's, as in the editor; a file of a ^Z alone still
    // holds a byte, so its day is there with empty text.
    Write(dir, "2027113.dat", Sjis("三日\x1A後ろ\r\n"));
    Write(dir, "2027114.dat", "\x1A");
    const std::string folder = dir.path().toStdString();
    // Days as the index lists them: a day whose file went away since is passed over.
    const std::vector<TYMD> days = {{2027, 1, 11}, {2027, 1, 12}, {2027, 11, 1}, {2027, 11, 2}, {2027, 11, 3}, {2027, 11, 4}};
    TExportResult all = ExportEntries(folder, days, TExportFormat::Text);
    EXPECT_EQ(all.output, "2027-01-11(月)\n一月十一日\n\n2027-11-01(月)\n十一月一日\n\n2027-11-03(水)\n三日\n\n"
                          "2027-11-04(木)\n\n\n");
    EXPECT_TRUE(all.error.empty() && all.brokenDays.empty() && !all.cancelled);

    size_t calls = 0;
    TExportResult stopped = ExportEntries(folder, days, TExportFormat::Text, [&](size_t done, size_t total) {
        EXPECT_EQ(total, days.size());
        EXPECT_EQ(done, calls++);
        return done < 1;
    });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(calls, 2u);

    // A file that cannot be read is an error naming it, not a day left out in silence.
    ASSERT_TRUE(QDir(dir.path()).mkdir("2027115.dat"));
    TExportResult failed = ExportEntries(folder, {{2027, 11, 1}, {2027, 11, 5}}, TExportFormat::Text);
    EXPECT_NE(failed.error.find("2027115.dat"), std::string::npos) << failed.error;
}

// UTF-8 days export their characters as they are: with or without the mark, a ^Z tail
// left out, a byte that forms no character as U+FFFD (and the day named), a real U+FFFD
// kept without naming the day.
TEST(DiaryExport, Utf8DaysInEveryForm) {
    QTemporaryDir dir;
    Write(dir, "202735.dat", "\xEF\xBB\xBF😊 café\r\n𠮷野家\x1A" "hidden");
    Write(dir, "202736.dat", "日記 👨\u200D👩\u200D👧\r\n\uFFFD");
    Write(dir, "202737.dat", "\xEF\xBB\xBF" "a\xFF" "b");
    Write(dir, "202738.dat", Sjis("三月八日"));
    const std::vector<TYMD> days = {{2027, 3, 5}, {2027, 3, 6}, {2027, 3, 7}, {2027, 3, 8}};
    TExportResult md = ExportEntries(dir.path().toStdString(), days, TExportFormat::Markdown);
    EXPECT_EQ(md.output, "## 2027-03-05(金)\n\n😊 café\n𠮷野家\n\n## 2027-03-06(土)\n\n日記 👨\u200D👩\u200D👧\n\uFFFD\n\n"
                         "## 2027-03-07(日)\n\na\uFFFD" "b\n\n## 2027-03-08(月)\n\n三月八日\n\n");
    ASSERT_EQ(md.brokenDays.size(), 1u);
    EXPECT_EQ(md.brokenDays[0].Day, 7);
}
