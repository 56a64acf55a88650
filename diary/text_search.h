#pragma once
// Finding a query's words in one day's text (CP932 bytes). A match never spans a line
// break and always starts on a character, never inside a double-byte one.
#include "diary/search_query.h"
#include "platform/extra_chars.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TTextSpan {
    size_t start = 0;
    size_t length = 0;
    size_t End() const { return start + length; }
    bool operator==(const TTextSpan&) const = default;
};

// How a day matched: its first line holding one of the words, the first match there (both
// offsets in the day's text) and, when asked for, how many lines hold one of the words.
struct TDayMatch {
    TTextSpan line;  // without its line break
    TTextSpan match;
    int lines = 0;
};

// The first occurrence of `needle` in `haystack` at or after `from` that starts on a
// character; npos when there is none.
size_t FindWord(std::string_view haystack, std::string_view needle, size_t from = 0);

// A line cut to at most `maxChars` characters around a match within it, tabs made spaces,
// with where the match stands in the cut (CP932 bytes).
struct TExcerpt {
    std::string text;
    TTextSpan match;
};
TExcerpt Excerpt(std::string_view line, TTextSpan match, size_t maxChars);

// Matches one query against day texts; keeps its buffers between days, so one matcher
// per thread. Folded matching does not fold whole texts: each word has an anchor, one of
// its characters with the CP932 characters that fold to it, and only the lines holding
// one of those are folded and compared.
class TTextMatcher {
public:
    explicit TTextMatcher(const TSearchQuery& query);

    // The table of the codes in the texts that follow (nullptr or an empty table: plain
    // CP932). A text holding codes is compared line by line, since its codes' folds are
    // not among the anchors' sources; it must outlive the calls on those texts.
    void SetExtraChars(const TExtraChars* extra);

    // Nothing unless every word occurs in the text.
    std::optional<TDayMatch> MatchDay(std::string_view text, bool countLines);

    // The first line starting at or after `from` that holds one of the words (`from` at a
    // line start), or the last line starting before `before`; as a span without its line
    // break.
    std::optional<TTextSpan> FirstLine(std::string_view text, size_t from);
    std::optional<TTextSpan> LastLine(std::string_view text, size_t before);

    // For readers that know the lines themselves: the next place at or after `from` where
    // one of the words' anchors stands (npos for none). A line holding a match holds one;
    // MatchesInLine tells whether it does. Restart before each new text.
    void Restart() { Reset(); }
    size_t NextAnchor(std::string_view text, size_t from);

    // Every match of any word in `line` (a single line, no line break), in order, not
    // overlapping; for the find bar.
    std::vector<TTextSpan> MatchesInLine(std::string_view line);

private:
    struct TWord {
        std::string folded;                 // as compared (folded unless exact)
        std::vector<std::string> anchors;   // CP932 characters to scan the text for
        std::vector<std::string> also;      // one of these must stand in the line too
        std::vector<size_t> next;           // the next place of each anchor, per text
    };
    void Reset();
    // The line at or after `from` holding word w, or nothing.
    std::optional<TTextSpan> NextLine(std::string_view text, TWord& w, size_t from);
    bool LineHolds(std::string_view line, const TWord& w);
    // The line as compared (folded, or exact with codes), mapped to its bytes; false when
    // the line is compared as it is.
    bool Compared(std::string_view line, bool mapped);

    const TSearchQuery& query_;
    const TExtraChars* extra_ = nullptr;  // set only while it holds codes
    std::vector<TWord> words_;
    std::string lineFolded_;
    std::vector<uint32_t> lineFrom_;
    std::vector<size_t> lineStarts_;
};
