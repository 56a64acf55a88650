// Matching a query in a day's text: the anchored scan that folds only candidate lines
// must find exactly what folding every line and comparing would find.
#include "diary/text_fold.h"
#include "diary/text_search.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// Characters that fold into each other, break lines, join marks or hide a byte that looks
// like ASCII inside a double-byte character.
const char* const kAlphabet[] = {"a", "A", "Ａ", "ａ", "k", "か", "カ", "ｶ", "ﾞ", "が", "ガ", "き", "キ", "ｷ",
                                 "ろ", "㌔", "表", "\\", "＼", "1", "①", "x", " ", "\t", "\r\n", "\n", "\r"};
const char* const kWordAlphabet[] = {"a", "Ａ", "か", "が", "ｶ", "ｶﾞ", "き", "ろ", "㌔", "\\", "1", "x"};

std::string Fold(std::string_view s) {
    std::string out;
    FoldText(s, out);
    return out;
}

// Whether `line` holds `word` (compared as given), at a character.
bool Holds(std::string_view line, std::string_view word) {
    for (size_t at = 0; at + word.size() <= line.size(); ++at)
        if (line.substr(at, word.size()) == word && StartsCharacter(line, at)) return true;
    return false;
}

struct TLine {
    size_t start, length;
};
std::vector<TLine> Lines(std::string_view text) {
    std::vector<TLine> out;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
            out.push_back({start, i - start});
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    return out;
}

TEST(TextSearch, AnchoredMatchingAgreesWithFoldingEveryLine) {
    std::mt19937 rng(20261207);
    int matched = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int n = static_cast<int>(rng() % 60);
        for (int i = 0; i < n; ++i) text += Sjis(kAlphabet[rng() % std::size(kAlphabet)]);
        std::string words;
        for (int w = 0, count = 1 + static_cast<int>(rng() % 2); w < count; ++w) {
            if (w) words += " ";
            for (int k = 0, len = 1 + static_cast<int>(rng() % 3); k < len; ++k) words += kWordAlphabet[rng() % std::size(kWordAlphabet)];
        }
        const bool exact = rng() % 4 == 0;
        const TSearchQuery q = MakeSearchQuery(words, exact);
        TTextMatcher matcher(q);
        const auto got = matcher.MatchDay(text, true);

        // Every line folded and compared, word by word.
        std::optional<size_t> firstLine;
        int lines = 0;
        std::vector<bool> wordSeen(q.words.size());
        for (const TLine& l : Lines(text)) {
            const std::string line = exact ? text.substr(l.start, l.length) : Fold(text.substr(l.start, l.length));
            bool any = false;
            for (size_t w = 0; w < q.words.size(); ++w) {
                if (!Holds(line, q.words[w])) continue;
                wordSeen[w] = true;
                any = true;
            }
            if (any) {
                ++lines;
                if (!firstLine) firstLine = l.start;
            }
        }
        const bool want = !text.empty() && std::all_of(wordSeen.begin(), wordSeen.end(), [](bool b) { return b; });
        ASSERT_EQ(got.has_value(), want) << round << " text " << testing::PrintToString(text) << " words " << words;
        if (!want) continue;
        ++matched;
        EXPECT_EQ(got->line.start, *firstLine) << round;
        EXPECT_EQ(got->lines, lines) << round;
        // The first match lies in the first line, and its text holds a word.
        ASSERT_LE(got->match.End(), got->line.End()) << round;
        ASSERT_GE(got->match.start, got->line.start) << round;
        const std::string matchText = text.substr(got->match.start, got->match.length);
        const std::string compared = exact ? matchText : Fold(matchText);
        EXPECT_TRUE(std::any_of(q.words.begin(), q.words.end(), [&](const std::string& w) { return compared.find(w) != std::string::npos; }))
            << round << " match " << testing::PrintToString(matchText);
    }
    EXPECT_GT(matched, 300);
}

TEST(TextSearch, ExcerptKeepsTheMatchInSixtyCharacters) {
    struct TCase {
        std::string line;
        TTextSpan match;
        std::string want;
        TTextSpan wantMatch;
    };
    const std::string wide = Sjis("あいうえおかきくけこ");  // 10 characters, 20 bytes
    const TCase cases[] = {
        {"short\tline", {6, 4}, "short line", {6, 4}},
        {std::string(100, 'a') + "XY" + std::string(100, 'b'), {100, 2}, std::string(19, 'a') + "XY" + std::string(39, 'b'), {19, 2}},
        {"XY" + std::string(100, 'b'), {0, 2}, "XY" + std::string(58, 'b'), {0, 2}},
        {std::string(100, 'a') + "XY", {100, 2}, std::string(58, 'a') + "XY", {58, 2}},
        // Double-byte characters count one each and are never cut.
        {wide + wide + wide + wide + wide + wide + wide + "XY", {140, 2}, (wide + wide + wide + wide + wide + wide).substr(4) + "XY", {116, 2}},
    };
    for (const TCase& c : cases) {
        const TExcerpt e = Excerpt(c.line, c.match, 60);
        EXPECT_EQ(e.text, c.want) << c.line;
        EXPECT_EQ(e.match, c.wantMatch) << c.line;
    }
}

TEST(TextSearch, ExcerptsOfRandomLinesAreWholeCharactersAroundTheWholeMatch) {
    std::mt19937 random(20261207);
    const std::string pieces[] = {"a", "\t", Sjis("あ"), Sjis("漢"), "\xB1"};
    for (int round = 0; round < 2000; ++round) {
        std::string line;
        std::vector<size_t> starts;
        const size_t n = random() % 150;
        for (size_t k = 0; k < n; ++k) {
            starts.push_back(line.size());
            line += pieces[random() % 5];
        }
        starts.push_back(line.size());
        const size_t m0 = random() % (n + 1), m1 = m0 + random() % (std::min<size_t>(n - m0, 20) + 1);
        const TTextSpan match{starts[m0], starts[m1] - starts[m0]};
        const TExcerpt e = Excerpt(line, match, 60);
        std::string shown = line;
        std::replace(shown.begin(), shown.end(), '\t', ' ');
        // Some whole characters of the line, as many as fit, with the match inside.
        const size_t at = shown.find(e.text, match.start >= e.match.start ? match.start - e.match.start : 0);
        ASSERT_EQ(at, match.start - e.match.start) << round;
        const size_t first = std::find(starts.begin(), starts.end(), at) - starts.begin();
        const size_t last = std::find(starts.begin(), starts.end(), at + e.text.size()) - starts.begin();
        ASSERT_LE(last, n) << round;
        EXPECT_EQ(last - first, std::min<size_t>(n, 60)) << round;
        EXPECT_EQ(e.match.length, match.length) << round;
    }
}

}  // namespace
