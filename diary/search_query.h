#pragma once
// What the user asks a search for: words that must all occur in the same day, each within
// one line, compared folded (see text_fold.h) unless the search is exact.
#include <string>
#include <string_view>
#include <vector>

struct TSearchQuery {
    // In the folded text's shape (text_fold.h, unicode_fold.h), folded unless exact; never
    // empty strings.
    std::vector<std::string> words;
    bool exact = false;

    bool MatchesNothing() const { return words.empty(); }
};

// Splits `utf8` into words at half- and full-width spaces and tabs, then converts and folds
// each word. A word of any characters is searched for: those CP932 cannot hold find the
// days that carry them.
TSearchQuery MakeSearchQuery(std::string_view utf8, bool exact);
