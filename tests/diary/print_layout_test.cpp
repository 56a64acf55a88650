// Pagination of the printed text: line advance, page breaks, tabs and broken lines.
#include "diary/print_layout.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace {

// Single-byte characters 10 pixels wide, double-byte ones 20, tab stops every 80.
TPrintMetrics Metrics(int width = 200, int height = 1000) {
    TPrintMetrics m;
    m.pageWidth = width;
    m.pageHeight = height;
    m.lineHeight = 30;
    m.averageCharWidth = 10;
    m.charWidth = [](std::string_view ch) { return ch.size() == 2 ? 20 : 10; };
    return m;
}

std::string Joined(const TPrintLine& line) {
    std::string s;
    for (const TPrintRun& r : line.runs) s += r.text;
    return s;
}

}  // namespace

TEST(PrintLayout, TwoHundredLinesFillPagesFromTheTop) {
    std::vector<std::string> lines(200, Sjis("日記の一行"));
    auto pages = LayOutPrint(lines, Metrics());
    // A printed line advances 32; after 30 lines (960) the next would end below 1000 - 2 * 30.
    ASSERT_EQ(pages.size(), 7u);
    size_t total = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        ASSERT_FALSE(pages[p].empty());
        EXPECT_EQ(pages[p].front().y, 0) << "page " << p;
        EXPECT_EQ(pages[p].size(), p + 1 < pages.size() ? 30u : 20u);
        EXPECT_EQ(pages[p].back().y, 32 * (static_cast<int>(pages[p].size()) - 1));
        total += pages[p].size();
    }
    EXPECT_EQ(total, 200u);
}

TEST(PrintLayout, EmptyLinesAdvanceByTheCharacterHeightAndBreakOnlyPastThePage) {
    auto pages = LayOutPrint({"a", "", "", "b"}, Metrics());
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 4u);
    EXPECT_EQ(pages[0][1].y, 32);
    EXPECT_EQ(pages[0][2].y, 62);
    EXPECT_EQ(pages[0][3].y, 92);
    EXPECT_TRUE(pages[0][1].runs.empty());
    // Empty lines alone: a page takes 34 of them (y reaches 1020 > 1000 only after the 34th).
    auto blank = LayOutPrint(std::vector<std::string>(34, ""), Metrics());
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(LayOutPrint(std::vector<std::string>(35, ""), Metrics()).size(), 2u);
    EXPECT_EQ(LayOutPrint({}, Metrics()).size(), 1u);
}

TEST(PrintLayout, LongLineBreaksAfterTheLastWholeCharacterThatFits) {
    // "a" and fifteen double-byte characters: 10 + 9 * 20 = 190 fits, the tenth would not.
    std::string text = "a";
    for (int i = 0; i < 15; ++i) text += Sjis("字");
    auto pages = LayOutPrint({text, "next"}, Metrics());
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(Joined(pages[0][0]), "a" + text.substr(1, 18));
    EXPECT_EQ(Joined(pages[0][1]), text.substr(19));
    EXPECT_EQ(pages[0][1].y, 32);
    EXPECT_EQ(pages[0][1].runs[0].x, 0);
    EXPECT_EQ(Joined(pages[0][2]), "next");
    // Exactly the page width still fits on one line.
    EXPECT_EQ(LayOutPrint({std::string(20, 'x')}, Metrics())[0].size(), 1u);
    // A character wider than the page gets a line of its own instead of looping.
    auto narrow = LayOutPrint({Sjis("字字")}, Metrics(15));
    ASSERT_EQ(narrow[0].size(), 2u);
    EXPECT_EQ(Joined(narrow[0][0]), Sjis("字"));
}

TEST(PrintLayout, TabsMoveToTheNextMultipleOfEightAverageWidths) {
    auto pages = LayOutPrint({"a\tb", "\tc", "abcdefgh\ti", "a\t\tb"}, Metrics(400));
    const auto& l = pages[0];
    EXPECT_EQ(l[0].runs, (std::vector<TPrintRun>{{0, "a"}, {80, "b"}}));
    EXPECT_EQ(l[1].runs, (std::vector<TPrintRun>{{80, "c"}}));
    EXPECT_EQ(l[2].runs, (std::vector<TPrintRun>{{0, "abcdefgh"}, {160, "i"}}));
    EXPECT_EQ(l[3].runs, (std::vector<TPrintRun>{{0, "a"}, {160, "b"}}));
    // A tab that would pass the right edge starts the next printed line.
    auto wrapped = LayOutPrint({"abcdefghijklmnopq\tz"}, Metrics(170));
    ASSERT_EQ(wrapped[0].size(), 2u);
    EXPECT_EQ(wrapped[0][1].runs, (std::vector<TPrintRun>{{80, "z"}}));
}
