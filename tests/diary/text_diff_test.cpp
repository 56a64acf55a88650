// The side-by-side comparison of two versions of a day: rows, and changed characters.
#include "diary/conflict_copies.h"
#include "diary/text_diff.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<std::u32string> Lines(std::initializer_list<const char32_t*> lines) { return {lines.begin(), lines.end()}; }

std::string Shape(const std::vector<TDiffRow>& rows) {
    std::string s;
    for (const TDiffRow& r : rows) {
        s += "=~<>"[static_cast<int>(r.kind)];
        s += std::to_string(r.left) + "," + std::to_string(r.right) + " ";
    }
    return s;
}

}  // namespace

TEST(DiffLines, PairsChangedLinesAndKeepsEveryLineInOrder) {
    const struct {
        std::vector<std::u32string> left, right;
        std::string shape;
    } cases[] = {
        {Lines({U"朝", U"昼", U"夜"}), Lines({U"朝", U"昼", U"夜"}), "=0,0 =1,1 =2,2 "},
        {Lines({U"朝", U"昼", U"夜"}), Lines({U"朝", U"昼ごはん", U"夜"}), "=0,0 ~1,1 =2,2 "},
        {Lines({U"朝", U"夜"}), Lines({U"朝", U"昼", U"夜"}), "=0,0 >-1,1 =1,2 "},
        {Lines({U"朝", U"昼", U"夜"}), Lines({U"夜"}), "<0,-1 <1,-1 =2,0 "},
        {Lines({}), Lines({U"一行"}), ">-1,0 "},
        {Lines({U"a", U"b", U"c"}), Lines({U"x", U"y"}), "~0,0 ~1,1 <2,-1 "},
        {Lines({U"a", U"b"}), Lines({U"b", U"a"}), "<0,-1 =1,0 >-1,1 "},
    };
    for (const auto& c : cases) EXPECT_EQ(Shape(DiffLines(c.left, c.right)), c.shape) << c.shape;
}

TEST(DiffChars, MarksWholeCharactersNotBytes) {
    // 雨 and 雪 share two of their three UTF-8 bytes; as characters they differ whole.
    const auto [a, b] = DiffChars(U"今日は雨でした", U"今日は雪でした。");
    EXPECT_EQ(a, (std::vector<TCharSpan>{{3, 1}}));
    EXPECT_EQ(b, (std::vector<TCharSpan>{{3, 1}, {7, 1}}));
    const auto row = DiffLines(Lines({U"今日は雨でした"}), Lines({U"今日は雪でした。"}));
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0].leftSpans, a);
    EXPECT_EQ(row[0].rightSpans, b);
}

// Random edits of a random text: every line of each side shows once, in order; the rows
// called the same are the same; the characters left unmarked on a changed row are the
// same sequence on both sides.
TEST(DiffLines, SeededRandomVersionsKeepTheInvariants) {
    std::mt19937 random(20261207);
    const std::u32string alphabet = U"あいう漢字ab";
    const auto line = [&] {
        std::u32string s;
        for (int n = random() % 5; n > 0; --n) s += alphabet[random() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        std::vector<std::u32string> left;
        for (int n = random() % 12; n > 0; --n) left.push_back(line());
        std::vector<std::u32string> right = left;
        for (int edits = random() % 5; edits > 0; --edits) {
            const size_t at = right.empty() ? 0 : random() % right.size();
            switch (random() % 3) {
                case 0: right.insert(right.begin() + at, line()); break;
                case 1: if (!right.empty()) right.erase(right.begin() + at); break;
                default: if (!right.empty()) right[at] += alphabet[random() % alphabet.size()];
            }
        }
        int nextLeft = 0, nextRight = 0;
        for (const TDiffRow& r : DiffLines(left, right)) {
            if (r.left >= 0) {
                ASSERT_EQ(r.left, nextLeft++);
            }
            if (r.right >= 0) {
                ASSERT_EQ(r.right, nextRight++);
            }
            if (r.kind == TDiffKind::Same) {
                ASSERT_EQ(left[r.left], right[r.right]);
            }
            if (r.kind != TDiffKind::Changed) continue;
            const auto unmarked = [](const std::u32string& s, const std::vector<TCharSpan>& spans) {
                std::u32string kept;
                for (int i = 0; i < int(s.size()); ++i)
                    if (std::none_of(spans.begin(), spans.end(), [i](const TCharSpan& sp) { return i >= sp.first && i < sp.first + sp.length; }))
                        kept += s[i];
                return kept;
            };
            ASSERT_EQ(unmarked(left[r.left], r.leftSpans), unmarked(right[r.right], r.rightSpans));
        }
        ASSERT_EQ(nextLeft, int(left.size()));
        ASSERT_EQ(nextRight, int(right.size()));
    }
}

TEST(BothVersionsText, KeepsEachVersionWholeAroundTheSeparator) {
    const struct {
        const char *mine, *other, *both;
    } cases[] = {
        {"a\r\nb\r\n", "c\r\n", "a\r\nb\r\n--\r\nc\r\n"},
        {"a\r\nb", "c", "a\r\nb\r\n--\r\nc"},
        {"a\r\n", "a\r\n", "a\r\n"},
        {"a", "", "a"},
        {"", "c\r\n", "c\r\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(BothVersionsText(c.mine, c.other, "--"), c.both) << c.mine << "|" << c.other;
}
