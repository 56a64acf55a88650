#pragma once
// Finding a query's words in one day's text (CP932 bytes). A match never spans a line
// break and always starts on a character, never inside a double-byte one.
#include "diary/search_query.h"

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
// per thread.
class TTextMatcher {
public:
    explicit TTextMatcher(const TSearchQuery& query) : query_(query) {}

    // Nothing unless every word occurs in the text.
    std::optional<TDayMatch> MatchDay(std::string_view text, bool countLines);

    // Every match of any word in `line` (a single line, no line break), in order, not
    // overlapping; for the find bar.
    std::vector<TTextSpan> MatchesInLine(std::string_view line);

private:
    // The text as compared: the folded copy, or the text itself when exact.
    std::string_view Compared(std::string_view text);
    // A match found in compared text at `at`, as a span of the source line that holds it.
    TDayMatch Locate(std::string_view text, std::string_view compared, size_t at, size_t length);

    const TSearchQuery& query_;
    std::string folded_;
    std::string lineFolded_;
    std::vector<uint32_t> lineFrom_;
    std::vector<size_t> lineStarts_;
};
