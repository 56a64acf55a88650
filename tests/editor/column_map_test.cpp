// Bytes versus columns: every caret, wrap and drawing rule stands on these.
#include "editor/column_map.h"
#include "editor/row_store.h"
#include "editor_test_support.h"

#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>

TEST(ColumnMap, TabFillsToTheNextStopAndDoubleByteTakesTwoColumns) {
    EXPECT_EQ(ColumnMap("a\t" + kA2, 8), "00tttttt12");
    EXPECT_EQ(ColumnMap("\t", 8), "0ttttttt");
    EXPECT_EQ(ColumnMap("abc\td", 4), "0000" "0");  // a tab at column 3 fills one column
    EXPECT_EQ(ColumnMap("ab\t", 2), "000t");
    EXPECT_EQ(ColumnMap("\xb1\xb2", 8), "00");  // half-width katakana: one column each
    EXPECT_EQ(ColumnMap("", 8), "");
}

TEST(ColumnMap, TrailByteThatLooksLikeATabOrBackslashStaysWithItsLead) {
    // 0x5C as a trail byte is half of one character, not a byte of its own.
    EXPECT_EQ(ColumnMap(kSo + "a", 8), "120");
    EXPECT_EQ(ExpandTabs(kSo + "\t", 4), kSo + "  ");
}

TEST(ColumnMap, BrokenLeadByteAtTheEndCountsTwoColumnsEverywhere) {
    std::string row = "ab\x82";
    EXPECT_EQ(ColumnMap(row, 8), "0012");
    std::string expanded = ExpandTabs(row, 8);
    EXPECT_EQ(expanded.size(), 4u);
    EXPECT_EQ(ExpandedWidth(row, 8), 4);
    EXPECT_EQ(ByteIndex(ColumnMap(row, 8), 3), 3);
}

TEST(ByteIndex, ColumnsInsideATabGiveTheTabAndColumnsPastTheEndGoOneToOne) {
    std::string map = ColumnMap("a\t" + kA2, 8);  // 0 0 t t t t t t 1 2
    EXPECT_EQ(ByteIndex(map, 0), 0);
    EXPECT_EQ(ByteIndex(map, 1), 1);
    EXPECT_EQ(ByteIndex(map, 4), 1);
    EXPECT_EQ(ByteIndex(map, 7), 1);
    EXPECT_EQ(ByteIndex(map, 8), 2);
    EXPECT_EQ(ByteIndex(map, 9), 3);
    EXPECT_EQ(ByteIndex(map, 10), 4);
    EXPECT_EQ(ByteIndex(map, 15), 9);
    EXPECT_EQ(ByteIndex("", 3), 3);
}

TEST(ExpandTabs, TabsBecomeSpacesUpToTheStop) {
    EXPECT_EQ(ExpandTabs("a\tb", 8), "a       b");
    EXPECT_EQ(ExpandTabs(kA2 + "\tb", 4), kA2 + "  b");
    EXPECT_EQ(ExpandTabs("\t\t", 2), "    ");
    for (std::string s : {std::string("x\ty\t") + kKa + "\tz", "\t" + kA2 + "a\t\t", std::string("abc")})
        for (int t : {2, 4, 6, 8}) EXPECT_EQ(ExpandTabs(s, t).size(), ColumnMap(s, t).size()) << s << " " << t;
}

TEST(TrimBlanks, StopsAtATabFromTheEnd) {
    EXPECT_EQ(TrimBlanks("a  "), "a");
    EXPECT_EQ(TrimBlanks("a\t  "), "a\t");
    EXPECT_EQ(TrimBlanks(std::string("a \x01\x1f ", 5)), "a");
    EXPECT_EQ(TrimBlanks("   "), "");
    EXPECT_EQ(TrimBlanks(kA2), kA2);
}

TEST(RowStoreProperties, SettersClampAsTheControlPromises) {
    TRowStore store;
    store.SetTabSpaceCount(7);
    EXPECT_EQ(store.TabSpaceCount(), 6);
    store.SetTabSpaceCount(1);
    EXPECT_EQ(store.TabSpaceCount(), 2);
    store.SetTabSpaceCount(12);
    EXPECT_EQ(store.TabSpaceCount(), 8);
    store.SetWrapByte(5);
    EXPECT_EQ(store.WrapByte(), 20);
    store.SetWrapByte(1000);
    EXPECT_EQ(store.WrapByte(), 250);
    EXPECT_TRUE(store.DisposeBlank());
    store.SetWordWrap(true);
    EXPECT_FALSE(store.DisposeBlank());
    store.SetDisposeBlank(true);
    EXPECT_FALSE(store.DisposeBlank());
}

TEST(RowStoreRows, RowsOutsideTheListReadAsEmptyEnd) {
    TRowStore store;
    store.AppendRow("abc", rkBreak);
    EXPECT_EQ(store.RowText(-1), "");
    EXPECT_EQ(store.RowKind(-1), rkEnd);
    EXPECT_EQ(store.RowText(1), "");
    EXPECT_EQ(store.RowKind(1), rkEnd);
    EXPECT_EQ(store.RowWidth(5), 0);
    EXPECT_EQ(store.ExtractRows(1, 1).lastKind, -1);
    EXPECT_EQ(store.ExtractRows(-1, -1).rowCount, 0);
}

TEST(RowStoreRows, ExtractRowsJoinsWithBreaksAndNeverReadsPastTheEnd) {
    TRowStore store;
    store.SetWordWrap(true);
    store.AppendRow("ab", rkWrap);
    store.AppendRow("cd", rkBreak);
    store.AppendRow("ef", rkEnd);
    TRowRun line = store.ExtractRows(0, -1);
    EXPECT_EQ(line.text, "abcd\r\n");
    EXPECT_EQ(line.rowCount, 2);
    EXPECT_EQ(line.lastKind, rkBreak);
    TRowRun tail = store.ExtractRows(1, 100);
    EXPECT_EQ(tail.text, "cd\r\nef");
    EXPECT_EQ(tail.rowCount, 2);
    EXPECT_EQ(tail.lastKind, rkEnd);
    EXPECT_EQ(store.TextLength(), static_cast<int64_t>(store.Text().size()));
}

TEST(RowStoreRows, ReplacedTextIsReclaimedWithoutDisturbingOtherRows) {
    TRowStore store;
    for (int r = 0; r < 100; ++r) store.AppendRow("row " + std::to_string(r), r < 99 ? rkBreak : rkEnd);
    std::string expected = store.Text();
    std::string big(1000, 'x');
    for (int i = 0; i < 20000; ++i) {
        big[i % 1000] = static_cast<char>('a' + i % 26);
        store.SetRowText(50, big);
    }
    store.SetRowText(50, "row 50");
    EXPECT_EQ(store.Text(), expected);
    // 20 MB were written through the row; what stays held is bounded, not the sum.
    EXPECT_LT(store.BytesHeld(), 10u << 20);
}

namespace {

// Cuts by walking every character from the row's start: slow, but plainly the rule.
std::vector<std::pair<size_t, size_t>> WalkCuts(std::string_view line, int wrapByte, int tabs) {
    std::vector<std::pair<size_t, size_t>> rows;
    size_t start = 0, b = 0;
    int col = 0;
    while (b < line.size()) {
        unsigned char c = static_cast<unsigned char>(line[b]);
        bool dbcs = IsLeadByte(c);
        int width = c == '\t' ? tabs - col % tabs : dbcs ? 2 : 1;
        size_t len = dbcs && b + 1 < line.size() ? 2 : 1;
        if (col + width < wrapByte) {
            col += width;
            b += len;
            continue;
        }
        size_t cut = dbcs && col == wrapByte - 1 ? b : b + len;
        rows.push_back({start, cut - start});
        start = b = cut;
        col = 0;
    }
    rows.push_back({start, line.size() - start});
    return rows;
}

}  // namespace

TEST(WrapLine, CutsLikeAWalkOverEveryCharacter) {
    // Tabs, lead bytes whose trail is a tab, runs of bytes that could all lead, half-width
    // katakana and broken lead bytes at the end, for every width and tab size.
    const std::vector<std::string> pieces = {"a", "b", "\t", kA2, kKa, kSo, "\x81\x09", "\xe0\xe0", "\x9f\xfc",
                                             "\xb1", "0123456789", std::string(30, 'x')};
    std::mt19937 rng(80);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        for (int n = std::uniform_int_distribution<int>(0, 40)(rng); n > 0; --n)
            line += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        if (round % 3 == 0) line += "\x82";  // a broken character at the end
        const int wrapByte = std::uniform_int_distribution<int>(20, 30)(rng);
        const int tabs = 2 * std::uniform_int_distribution<int>(1, 4)(rng);
        std::vector<std::pair<size_t, size_t>> rows;
        size_t wrapped = 0;
        WrapLine(line, wrapByte, tabs, [&](size_t offset, size_t length, bool isWrapped) {
            rows.push_back({offset, length});
            wrapped += isWrapped;
        });
        ASSERT_EQ(rows, WalkCuts(line, wrapByte, tabs)) << "round " << round << " width " << wrapByte << " tabs " << tabs;
        ASSERT_EQ(wrapped, rows.size() - 1);
    }
}

TEST(WrapLine, ShortLinesCutFromBitMasksAsTheWalkCutsThem) {
    // Lines up to 128 bytes are cut from masks of their tabs and character starts; the walk
    // from tab to tab cuts any line. Lengths run past the 64-bit and 128-bit seams of the
    // masks, with runs of lead-capable bytes across them, for every width a row may have.
    const std::vector<std::string> pieces = {"a", "\t", kA2, kKa, kSo, "\x81\t", "\xe0\xe0\xe0", "\x9f\xfc", "\xb1",
                                             "0123456789", std::string(9, '\x82')};
    std::mt19937 rng(128);
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const size_t target = std::uniform_int_distribution<size_t>(0, 140)(rng);
        while (line.size() < target) line += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        if (round % 4 == 0) line.resize(target);  // cut anywhere, a lead byte last included
        const int wrapByte = round % 2 ? std::uniform_int_distribution<int>(20, 40)(rng)
                                       : std::uniform_int_distribution<int>(20, 250)(rng);
        const int tabs = 2 * std::uniform_int_distribution<int>(1, 4)(rng);
        std::vector<std::tuple<size_t, size_t, bool>> byMasks, byWalk;
        WrapLine(line, wrapByte, tabs, [&](size_t offset, size_t length, bool w) { byMasks.emplace_back(offset, length, w); });
        WrapLongLine(line, wrapByte, tabs, [&](size_t offset, size_t length, bool w) { byWalk.emplace_back(offset, length, w); });
        ASSERT_EQ(byMasks, byWalk) << "round " << round << " length " << line.size() << " width " << wrapByte;
        if (line.size() <= wrap_detail::MaskBytes) {
            const wrap_detail::TLineMasks wide = wrap_detail::ScanShortLine(line.data(), line.size());
            const wrap_detail::TLineMasks portable = wrap_detail::ScanShortLinePortable(line.data(), line.size());
            ASSERT_TRUE(wide.tab == portable.tab && wide.lead == portable.lead) << "round " << round;
        }
    }
}

TEST(WrapLine, CharacterStartsFromMasksMatchAByteWalk) {
    // Every split of lead-capable runs: each byte of a 128-byte line is a lead-capable byte
    // or not, in runs of every length up to the whole line.
    std::mt19937 rng(932);
    for (int round = 0; round < 5000; ++round) {
        std::string line;
        const size_t n = round < 129 ? static_cast<size_t>(round) : std::uniform_int_distribution<size_t>(0, 128)(rng);
        for (size_t i = 0; i < n; ++i) {
            const bool lead = round < 129 ? true : std::uniform_int_distribution<int>(0, 2)(rng) > 0;
            line += lead ? '\x82' : 'a';
        }
        const wrap_detail::TLineMasks m = wrap_detail::WithStarts(wrap_detail::ScanShortLine(line.data(), n), n);
        size_t b = 0;
        for (size_t i = 0; i < n; ++i) {
            const bool start = i == b;
            if (start) b += IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1;
            ASSERT_EQ(static_cast<bool>((m.start >> i) & 1), start) << "round " << round << " byte " << i;
        }
        if (n < wrap_detail::MaskBytes) {
            ASSERT_TRUE((m.start >> n) == 0) << "round " << round;
        }
    }
}

TEST(WrapLine, TabStopsByMultiplicationAgreeWithTheRemainder) {
    for (int width : {1, 2, 3, 4, 6, 7, 8, 100, 255, 256, 1000}) {
        const wrap_detail::TTabStops stops(width);
        for (size_t col = 0; col < (size_t{1} << 16) + 300; ++col)
            ASSERT_EQ(stops.Fill(col), static_cast<size_t>(width) - col % static_cast<size_t>(width)) << width << " " << col;
    }
}

TEST(WrapLine, LoadedLinesCutByArithmeticAsTheWalkCutsThem) {
    // The loader's path for lines of at most two rows, from their tab count and a mask of
    // lead bytes near the end: where it answers, the rows are the walk's. Lines around the
    // 32- and 64-byte limits of its windows, tabs whose byte before may lead (and a tab that
    // is a trail), runs of lead bytes across the window's start, broken lead bytes at the end.
    const std::vector<std::string> pieces = {"a", kA2, kSo, "\x93\xfa", "\xe0\xe0", "\x9f\xfc", "\xb1", "0123456789",
                                             std::string(9, '\x82'), std::string(33, '\x82')};
    const std::vector<std::string> tabPieces = {"\t", "\x81\t", "\x93\xfa\t", "\t\t"};
    std::mt19937 rng(4096);
    int answered = 0, cut = 0;
    for (int round = 0; round < 40000; ++round) {
        const int wrapByte = round % 4 ? std::uniform_int_distribution<int>(20, 100)(rng)
                                       : std::uniform_int_distribution<int>(20, 250)(rng);
        const int tabs = 2 * std::uniform_int_distribution<int>(1, 4)(rng);
        std::string line;
        const size_t target = static_cast<size_t>(std::max(24, wrapByte + std::uniform_int_distribution<int>(-20, 40)(rng)));
        while (line.size() < target) line += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
        for (int k = std::uniform_int_distribution<int>(0, 3)(rng); k > 0; --k) {
            const size_t at = std::uniform_int_distribution<size_t>(0, std::min<size_t>(line.size(), 70))(rng);
            line.insert(at, tabPieces[std::uniform_int_distribution<size_t>(0, tabPieces.size() - 1)(rng)]);
        }
        if (round % 3 == 0) line.resize(target);  // a lead byte last included
        const size_t tabBytes = static_cast<size_t>(std::count(line.begin(), line.end(), '\t'));
        const TTwoRows two = CutTwoRows(line, tabBytes, wrapByte, wrap_detail::TTabStops(tabs));
        if (!two.known) continue;
        ++answered;
        std::vector<std::pair<size_t, size_t>> rows = {{0, line.size()}};
        if (two.rows == 2) rows = {{0, two.firstEnd}, {two.firstEnd, line.size() - two.firstEnd}};
        cut += two.rows == 2;
        ASSERT_EQ(rows, WalkCuts(line, wrapByte, tabs)) << "round " << round << " width " << wrapByte << " tabs " << tabs;
    }
    // The path answers for most of these lines, cut or not, or the comparison says little.
    EXPECT_GT(answered, 3000);
    EXPECT_GT(cut, 2000);
    EXPECT_GT(answered - cut, 1000);
}

TEST(WrapLine, CharacterStartsFromSixteenBytesMatchAByteWalk) {
    // Runs of lead-capable bytes of every length across the sixteen bytes read at once, from
    // every character start before the byte asked about.
    std::mt19937 rng(16);
    for (int round = 0; round < 3000; ++round) {
        std::string line;
        const size_t n = std::uniform_int_distribution<size_t>(1, 60)(rng);
        const int leadShare = std::uniform_int_distribution<int>(0, 10)(rng);
        for (size_t i = 0; i < n; ++i) line += std::uniform_int_distribution<int>(0, 9)(rng) < leadShare ? '\x82' : 'a';
        std::vector<size_t> starts;
        for (size_t i = 0; i < n; i += IsLeadByte(static_cast<unsigned char>(line[i])) ? 2 : 1) starts.push_back(i);
        for (size_t x = 0; x < n; ++x) {
            const size_t expected = std::binary_search(starts.begin(), starts.end(), x) ? x : x - 1;
            for (size_t from : starts) {
                if (from > x) break;
                ASSERT_EQ(wrap_detail::CharStart(line, from, x), expected) << "round " << round << " x " << x << " from " << from;
            }
        }
    }
}

TEST(ExpandTabs, AColumnLimitStopsAfterTheCharacterThatReachesIt) {
    // "a", a tab to column 4, a double-byte character at columns 4-5, then "bc".
    const std::string row = "a\t\x93\xfa" "bc";
    EXPECT_EQ(ExpandTabs(row, 4), "a   \x93\xfa" "bc");
    EXPECT_EQ(ExpandTabs(row, 4, 100), ExpandTabs(row, 4));
    EXPECT_EQ(ExpandTabs(row, 4, 1), "a");
    EXPECT_EQ(ExpandTabs(row, 4, 2), "a   ");          // the tab is kept whole
    EXPECT_EQ(ExpandTabs(row, 4, 5), "a   \x93\xfa");  // and so is the character
    EXPECT_EQ(ExpandTabs(row, 4, 0), "");
    // A long row costs what is asked for, not its length.
    const std::string longRow(1 << 20, 'x');
    EXPECT_EQ(ExpandTabs(longRow, 8, 300).size(), 300u);
}
