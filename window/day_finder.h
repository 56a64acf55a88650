#pragma once
// Finding the query's words in the editor's text, for the find bar: the next or previous
// match from a place in the rows, wrapping at the ends. Scans the row store's own buffers,
// many rows at a time, so that even a day of a hundred megabytes is searched through at once.
#include "diary/search_query.h"
#include "diary/text_search.h"

#include <optional>
#include <string>
#include <vector>

class TRowStore;

struct TRowPlace {
    int row = 0;
    int byte = 0;
    bool operator==(const TRowPlace&) const = default;
};

struct TRowMatch {
    TRowPlace start;
    int length = 0;        // bytes; a match in a wrapped line may go on in the next rows
    bool wrapped = false;  // found only after going round the end (or the start)
};

class TDayFinder {
public:
    explicit TDayFinder(const TSearchQuery& query) : query_(query), matcher_(query_) {}
    TDayFinder(const TDayFinder&) = delete;
    TDayFinder& operator=(const TDayFinder&) = delete;

    const TSearchQuery& Query() const { return query_; }
    // The table of the extra codes of the rows searched next; nullptr for plain CP932.
    void SetExtraChars(const TExtraChars* extra) { matcher_.SetExtraChars(extra); }

    // Forward: the first match starting at or after `from`; backward: the last match
    // starting before it. Nothing when the text holds no match at all.
    std::optional<TRowMatch> Find(const TRowStore& rows, TRowPlace from, bool backward);

private:
    struct TLineHit {
        int firstRow;
        TTextSpan span;  // within the logical line
    };
    // The first (or last) match in the logical lines of rows [begin, end).
    std::optional<TLineHit> Scan(const TRowStore& rows, int begin, int end, bool backward);
    // The same within the rows the row store keeps together with row `begin`.
    std::optional<TLineHit> InSpan(const TRowStore& rows, int begin, int end, bool backward);

    TSearchQuery query_;
    TTextMatcher matcher_;
};
