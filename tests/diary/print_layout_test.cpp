// Pagination of the printed text: line advance, page breaks, tabs, broken lines, the
// Japanese line-breaking rules, headers and footers.
#include "diary/print_layout.h"
#include "diary/line_breaking.h"
#include "platform/sjis.h"

#include <cctype>
#include <random>

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

// The pages of one day's text with no header or footer band, as lines only.
std::vector<std::vector<TPrintLine>> Pages(const std::vector<std::string>& lines, const TPrintMetrics& m) {
    std::vector<std::vector<TPrintLine>> out;
    for (TPrintPage& page : LayOutPrint({{"", lines}}, m)) out.push_back(std::move(page.lines));
    return out;
}

std::string Joined(const TPrintLine& line) {
    std::string s;
    for (const TPrintRun& r : line.runs) s += r.text;
    return s;
}

}  // namespace

TEST(PrintLayout, TwoHundredLinesFillPagesFromTheTop) {
    std::vector<std::string> lines(200, Sjis("日記の一行"));
    auto pages = Pages(lines, Metrics());
    // A printed line advances 32; the 31st starts at 960 and ends at 990, inside the page.
    ASSERT_EQ(pages.size(), 7u);
    size_t total = 0;
    for (size_t p = 0; p < pages.size(); ++p) {
        ASSERT_FALSE(pages[p].empty());
        EXPECT_EQ(pages[p].front().y, 0) << "page " << p;
        EXPECT_EQ(pages[p].size(), p + 1 < pages.size() ? 31u : 14u);
        EXPECT_EQ(pages[p].back().y, 32 * (static_cast<int>(pages[p].size()) - 1));
        total += pages[p].size();
    }
    EXPECT_EQ(total, 200u);
}

TEST(PrintLayout, EmptyLinesAdvanceByTheCharacterHeightAndBreakOnlyPastThePage) {
    auto pages = Pages({"a", "", "", "b"}, Metrics());
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 4u);
    EXPECT_EQ(pages[0][1].y, 32);
    EXPECT_EQ(pages[0][2].y, 62);
    EXPECT_EQ(pages[0][3].y, 92);
    EXPECT_TRUE(pages[0][1].runs.empty());
    // Empty lines alone: a page takes 33 of them (the 33rd spans 960..990, a 34th would end at 1020).
    auto blank = Pages(std::vector<std::string>(33, ""), Metrics());
    ASSERT_EQ(blank.size(), 1u);
    EXPECT_EQ(Pages(std::vector<std::string>(34, ""), Metrics()).size(), 2u);
    EXPECT_EQ(Pages({}, Metrics()).size(), 1u);
}

TEST(PrintLayout, LongLineBreaksAfterTheLastWholeCharacterThatFits) {
    // "a" and fifteen double-byte characters: 10 + 9 * 20 = 190 fits, the tenth would not.
    std::string text = "a";
    for (int i = 0; i < 15; ++i) text += Sjis("字");
    auto pages = Pages({text, "next"}, Metrics());
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(Joined(pages[0][0]), "a" + text.substr(1, 18));
    EXPECT_EQ(Joined(pages[0][1]), text.substr(19));
    EXPECT_EQ(pages[0][1].y, 32);
    EXPECT_EQ(pages[0][1].runs[0].x, 0);
    EXPECT_EQ(Joined(pages[0][2]), "next");
    // Exactly the page width still fits on one line.
    EXPECT_EQ(Pages({std::string(20, 'x')}, Metrics())[0].size(), 1u);
    // A character wider than the page gets a line of its own instead of looping.
    auto narrow = Pages({Sjis("字字")}, Metrics(15));
    ASSERT_EQ(narrow[0].size(), 2u);
    EXPECT_EQ(Joined(narrow[0][0]), Sjis("字"));
}

TEST(PrintLayout, TabsMoveToTheNextMultipleOfEightAverageWidths) {
    auto pages = Pages({"a\tb", "\tc", "abcdefgh\ti", "a\t\tb"}, Metrics(400));
    const auto& l = pages[0];
    EXPECT_EQ(l[0].runs, (std::vector<TPrintRun>{{0, "a"}, {80, "b"}}));
    EXPECT_EQ(l[1].runs, (std::vector<TPrintRun>{{80, "c"}}));
    EXPECT_EQ(l[2].runs, (std::vector<TPrintRun>{{0, "abcdefgh"}, {160, "i"}}));
    EXPECT_EQ(l[3].runs, (std::vector<TPrintRun>{{0, "a"}, {160, "b"}}));
    // A tab that would pass the right edge starts the next printed line.
    auto wrapped = Pages({"abcdefghijklmnopq\tz"}, Metrics(170));
    ASSERT_EQ(wrapped[0].size(), 2u);
    EXPECT_EQ(wrapped[0][1].runs, (std::vector<TPrintRun>{{80, "z"}}));
}

TEST(PrintLayout, NoLineReachesPastTheBottomAfterEmptyLines) {
    // Empty lines advance by 30, printed ones by 32: after "a" and two empty lines a line
    // starts at 92 and would end at 122, past a page of 120.
    auto pages = Pages({"a", "", "", "b"}, Metrics(200, 120));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(Joined(pages[1][0]), "b");
    EXPECT_EQ(pages[1][0].y, 0);
    // The bands for header and footer are kept free on every page.
    TPrintMetrics m = Metrics(200, 300);
    m.headerHeight = 40;
    m.footerHeight = 25;
    auto banded = LayOutPrint({{"h", std::vector<std::string>(40, "x")}}, m);
    for (const TPrintPage& page : banded) {
        EXPECT_EQ(page.lines.front().y, 40);
        EXPECT_LE(page.lines.back().y + 30, 300 - 25);
    }
    EXPECT_EQ(banded[0].lines.size(), 7u);  // 40 + 6 * 32 + 30 = 262 <= 275; 294 + 30 would not be
}

// One row per rule: the text of a line on a page 10 double-byte characters wide (200
// pixels), and the printed lines it must become.
struct TBreakCase {
    const char* name;
    const char* text;  // UTF-8
    std::vector<const char*> lines;
    int hangWidth = 0;
};

TEST(PrintLayout, JapaneseLineBreakingRules) {
    const TBreakCase cases[] = {
        {"closing mark moves down with the character before it", "一二三四五六七八九十」続き",
         {"一二三四五六七八九", "十」続き"}},
        {"several closing marks stay together", "一二三四五六七八九十』）。",
         {"一二三四五六七八九", "十』）。"}},
        {"small kana and the long vowel mark", "一二三四五六七八九ョー",
         {"一二三四五六七八", "九ョー"}},
        {"iteration mark", "一二三四五六七八九人々", {"一二三四五六七八九", "人々"}},
        {"ellipsis", "一二三四五六七八九十…", {"一二三四五六七八九", "十…"}},
        {"opening bracket moves down with what follows", "一二三四五六七八九「十」",
         {"一二三四五六七八九", "「十」"}},
        {"。 hangs into the margin when there is room", "一二三四五六七八九十。次", {"一二三四五六七八九十。", "次"}, 20},
        {"、 hangs too", "一二三四五六七八九十、次", {"一二三四五六七八九十、", "次"}, 20},
        {"no room in the margin: 。 moves down with the character before", "一二三四五六七八九十。",
         {"一二三四五六七八九", "十。"}, 0},
        {"a closing bracket does not hang", "一二三四五六七八九十」", {"一二三四五六七八九", "十」"}, 20},
        {"Latin word moves down whole", "日本語の文章 and words", {"日本語の文章 and ", "words"}},
        {"a word with digits", "一二三四五六七 abc123", {"一二三四五六七 ", "abc123"}},
        {"a word longer than a line is cut", "xxxxxxxxxxxxxxxxxxxxxxxxx", {"xxxxxxxxxxxxxxxxxxxx", "xxxxx"}},
        {"spaces at a break stay at the end of the line", "一二三四五六七八九十  next", {"一二三四五六七八九十  ", "next"}},
        {"a long word starts a line of its own before it is cut", "字abcdefghijklmnopqrstu",
         {"字", "abcdefghijklmnopqrst", "u"}},
        {"a cut long word does not leave a closing mark to start a line", "abcdefghijklmnopqrs」x",
         {"abcdefghijklmnopqr", "s」x"}},
        {"ASCII punctuation stays with its word", "aaaa bbbb cccc ddd, e", {"aaaa bbbb cccc ddd, ", "e"}},
    };
    for (const TBreakCase& c : cases) {
        TPrintMetrics m = Metrics();
        m.hangWidth = c.hangWidth;
        auto pages = Pages({Sjis(c.text)}, m);
        std::vector<std::string> got, want;
        for (const TPrintLine& line : pages[0]) got.push_back(SjisToUtf8(Joined(line)));
        for (const char* line : c.lines) want.push_back(line);
        EXPECT_EQ(got, want) << c.name;
    }
}

TEST(PrintLayout, TabsLineUpOnWrappedLines) {
    // A tab after a break measures from the start of the new line.
    auto pages = Pages({"abcdefghijklmnop q\tr\ts"}, Metrics(170));
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(pages[0][1].runs, (std::vector<TPrintRun>{{0, "q"}, {80, "r"}, {160, "s"}}));
}

// Random lines of Japanese, brackets, marks, words and tabs on random page widths: every
// character is printed once and in order, and nothing passes the right edge except a
// hanging 、 or 。. In the tame half, where no mark follows another (blanks between or not), no blank another, and
// words are short, so that every unbreakable piece fits a line, no broken line starts with a closing mark
// or ends with an opening one, and no word is cut.
TEST(PrintLayout, RandomLinesKeepEveryRule) {
    const std::vector<std::string> marks = {Sjis("。"), Sjis("、"), Sjis("」"), Sjis("「"), Sjis("ッ"),
                                            Sjis("ー"), Sjis("（"), Sjis("）"), ","};
    const std::vector<std::string> others = {Sjis("字"), Sjis("あ"), " ", "\t", "w"};
    std::mt19937 rng(2212);
    for (int round = 0; round < 4000; ++round) {
        const bool tame = round % 2 == 0;
        TPrintMetrics m = Metrics((tame ? 200 : 80) + static_cast<int>(rng() % 200), 1 << 30);
        m.hangWidth = rng() % 2 ? 20 : 0;
        std::string text;
        bool lastMark = false, lastBlank = false;
        for (int i = 0, n = 1 + static_cast<int>(rng() % 40); i < n; ++i) {
            const bool mark = rng() % 3 == 0 && !(tame && lastMark);
            std::string token = mark ? marks[rng() % marks.size()] : others[rng() % others.size()];
            const bool blank = token == " " || token == "\t";
            if (tame && blank && lastBlank) token = Sjis("字");
            lastBlank = blank;
            if (token == "w")
                token = (tame ? " " : "") + std::string(1 + rng() % (tame ? 5 : 30), static_cast<char>('a' + rng() % 26));
            text += token;
            if (!blank) lastMark = mark;
        }
        const auto pages = Pages({text}, m);
        const std::vector<TPrintLine>& lines = pages[0];
        const auto where = [&] { return SjisToUtf8(text) + " on width " + std::to_string(m.pageWidth); };
        std::string printed;
        for (size_t l = 0; l < lines.size(); ++l) {
            const std::string piece = Joined(lines[l]);
            printed += piece;
            for (const TPrintRun& run : lines[l].runs) {
                int end = run.x, before = run.x;
                std::string last;
                const std::string ink = run.text.substr(0, run.text.find_last_not_of(' ') + 1);
                for (size_t i = 0; i < ink.size(); i += CharLengthAt(ink, i)) {
                    last = ink.substr(i, CharLengthAt(ink, i));
                    before = end;
                    end += m.charWidth(last);
                }
                const bool hangs = (last == Sjis("。") || last == Sjis("、")) && before <= m.pageWidth &&
                                   end <= m.pageWidth + m.hangWidth;
                const bool lone = run.x == 0 && !ink.empty() && ink.size() == CharLengthAt(ink, 0);
                if (end > m.pageWidth && !hangs && !lone) ADD_FAILURE() << "past the edge: " << where();
            }
            if (!tame || piece.empty()) continue;
            if (l > 0 && piece[0] == ' ' && lines[l].runs[0].x == 0) ADD_FAILURE() << "line " << l << " starts with a space: " << where();
            const TBreakClass first = BreakClassOf(piece.substr(0, CharLengthAt(piece, 0)));
            if (l > 0 && (first == TBreakClass::Closing || first == TBreakClass::Hanging))
                ADD_FAILURE() << "line " << l << " starts with a closing mark: " << where();
            size_t lastAt = 0;
            for (size_t i = 0; i < piece.size(); i += CharLengthAt(piece, i)) lastAt = i;
            if (l + 1 < lines.size() && BreakClassOf(piece.substr(lastAt, CharLengthAt(piece, lastAt))) == TBreakClass::Opening)
                ADD_FAILURE() << "line " << l << " ends with an opening mark: " << where();
        }
        std::string withoutTabs;
        for (char ch : text)
            if (ch != '\t') withoutTabs += ch;
        ASSERT_EQ(printed, withoutTabs) << where();
        if (!tame) continue;
        for (size_t i = 0; i < text.size();) {
            size_t j = i;
            while (j < text.size() && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
            if (j > i) {
                bool whole = false;
                for (const TPrintLine& line : lines) whole |= Joined(line).find(text.substr(i, j - i)) != std::string::npos;
                EXPECT_TRUE(whole) << "word cut: " << where();
            }
            i = j > i ? j : i + CharLengthAt(text, i);
        }
    }
}

TEST(PrintLayout, DaysStartNewPagesAndTheFooterCountsTheWholeJob) {
    TPrintMetrics m = Metrics(200, 100);
    auto pages = LayOutPrint({{"first", {"a", "b", "c", "d"}}, {"second", {"e"}}, {"third", {}}}, m);
    ASSERT_EQ(pages.size(), 4u);  // three lines fit a page of 100
    const char* headers[] = {"first", "first", "second", "third"};
    for (size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(pages[p].header, headers[p]);
        EXPECT_EQ(pages[p].footer, std::to_string(p + 1) + " / 4");
    }
    EXPECT_EQ(Joined(pages[2].lines[0]), "e");
    EXPECT_TRUE(pages[3].lines.empty());
}

TEST(PrintLayout, DayHeaderAndDayLines) {
    EXPECT_EQ(SjisToUtf8(PrintDayHeader({2026, 12, 7}, "")), "2026年12月7日(月)");
    EXPECT_EQ(SjisToUtf8(PrintDayHeader({2027, 1, 1}, Sjis("元日,誕生日"))), "2027年1月1日(金)  元日、誕生日");
    EXPECT_EQ(SjisToUtf8(PrintDayHeader({1582, 10, 4}, "")), "1582年10月4日(木)");
    using V = std::vector<std::string>;
    EXPECT_EQ(DayTextLines("a\r\nb\r\n"), (V{"a", "b"}));
    EXPECT_EQ(DayTextLines("a\n\nb"), (V{"a", "", "b"}));
    EXPECT_EQ(DayTextLines("a\r"), (V{"a\r"}));
    EXPECT_EQ(DayTextLines("\r\n"), (V{""}));
    EXPECT_EQ(DayTextLines(""), V{});
}
