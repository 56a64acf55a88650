#pragma once
// What the user asks a search for: words that must all occur in the same day, each within
// one line, compared folded (see text_fold.h) unless the search is exact.
#include <string>
#include <string_view>
#include <vector>

struct TSearchQuery {
    // CP932 bytes, folded unless exact; never empty strings.
    std::vector<std::string> words;
    bool exact = false;
    // The characters of the query that CP932 cannot hold (UTF-8). Such a query is no
    // error: it matches nothing, and this says why.
    std::string unencodable;

    bool MatchesNothing() const { return words.empty() || !unencodable.empty(); }
};

// Splits `utf8` into words at half- and full-width spaces and tabs, then converts and folds
// each word.
TSearchQuery MakeSearchQuery(std::string_view utf8, bool exact);
