// The find bar's next and previous match over the editor's rows: from any place, forward
// and backward, wrap on and off, across the row store's chunks, the match found is the one
// a walk over every line finds, and going round the end is reported.
#include "window/day_finder.h"
#include "editor/row_store.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::vector<std::string> kAlphabet = {"a", "A", "Ａ", "か", "カ", "ｶ", "ﾞ", "が", "表", "\\", "x", " ", "\t", "京都"};
// Characters CP932 lacks, carried as extra codes.
const std::vector<std::string> kExtra = {"😀", "é", "É", "👨‍👩‍👧", "𠮷"};

struct TPlace {
    int line;
    size_t offset;
    auto operator<=>(const TPlace&) const = default;
};

// (row, byte) as (logical line, offset in it).
TPlace LinePlace(const TRowStore& rows, int row, int byte) {
    TPlace p{0, 0};
    for (int r = 0; r < row; ++r) {
        if (rows.RowKind(r) == rkWrap) {
            p.offset += rows.RowView(r).size();
        } else {
            ++p.line;
            p.offset = 0;
        }
    }
    p.offset += static_cast<size_t>(byte);
    return p;
}

TEST(DayFinder, NextAndPreviousMatchAsAWalkOverEveryLineFindsThem) {
    std::mt19937 rng(3);
    for (const bool wrap : {false, true})
    for (const bool codes : {false, true}) {
        std::vector<std::string> alphabet = kAlphabet;
        if (codes) alphabet.insert(alphabet.end(), kExtra.begin(), kExtra.end());
        TExtraChars extra;
        std::vector<std::string> lines(3000);
        for (std::string& l : lines) {
            const int n = static_cast<int>(rng() % 30);
            std::string utf8;
            for (int i = 0; i < n; ++i) utf8 += alphabet[rng() % alphabet.size()];
            l = TextFromUnicode(utf8, extra);
        }
        std::string text;
        for (const std::string& l : lines) text += l + "\r\n";
        TRowStore rows;
        rows.LoadRowsFromText(text);
        if (wrap) {
            rows.SetWrapByte(20);
            rows.SetWordWrap(true);
        }
        const std::vector<const char*> queries =
            codes ? std::vector<const char*>{"😀", "É", "👨‍👩‍👧 か"} : std::vector<const char*>{"ｶﾞ", "a \\", "京都"};
        for (const char* words : queries) {
            for (const bool exact : {false, true}) {
                const TSearchQuery q = MakeSearchQuery(words, exact);
                TTextMatcher lineMatcher(q);
                lineMatcher.SetExtraChars(&extra);
                std::vector<std::pair<TPlace, size_t>> all;  // every match, in order
                for (size_t i = 0; i < lines.size(); ++i)
                    for (const TTextSpan& s : lineMatcher.MatchesInLine(lines[i])) all.push_back({{static_cast<int>(i), s.start}, s.length});
                ASSERT_FALSE(all.empty()) << words;
                TDayFinder finder(q);
                finder.SetExtraChars(&extra);
                for (int k = 0; k < 60; ++k) {
                    const int row = static_cast<int>(rng() % static_cast<unsigned>(rows.RowCount()));
                    const int byte = static_cast<int>(rng() % (rows.RowView(row).size() + 1));
                    const TPlace from = LinePlace(rows, row, byte);
                    for (const bool backward : {false, true}) {
                        const auto got = finder.Find(rows, TRowPlace{row, byte}, backward);
                        ASSERT_TRUE(got.has_value());
                        auto want = all.end();
                        bool wrapped = false;
                        if (!backward) {
                            want = std::find_if(all.begin(), all.end(), [&](const auto& m) { return m.first >= from; });
                            if (want == all.end()) want = all.begin(), wrapped = true;
                        } else {
                            auto before = std::find_if(all.rbegin(), all.rend(), [&](const auto& m) { return m.first < from; });
                            want = before == all.rend() ? std::prev(all.end()) : std::prev(before.base());
                            wrapped = before == all.rend();
                        }
                        EXPECT_EQ(LinePlace(rows, got->start.row, got->start.byte), want->first)
                            << words << (exact ? " exact" : "") << (wrap ? " wrap" : "") << (backward ? " backward" : "")
                            << (codes ? " codes" : "");
                        EXPECT_EQ(static_cast<size_t>(got->length), want->second);
                        EXPECT_EQ(got->wrapped, wrapped);
                    }
                }
            }
        }
    }
}

TEST(DayFinder, NothingToFind) {
    TRowStore rows;
    rows.LoadRowsFromText(Sjis("京都\r\n大阪\r\n"));
    EXPECT_FALSE(TDayFinder(MakeSearchQuery("東京", false)).Find(rows, {0, 0}, false));
    EXPECT_FALSE(TDayFinder(MakeSearchQuery("😀", false)).Find(rows, {0, 0}, false));
    EXPECT_TRUE(TDayFinder(MakeSearchQuery("京 都", true)).Find(rows, {1, 0}, true).has_value());
}

}  // namespace
