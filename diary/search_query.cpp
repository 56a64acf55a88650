#include "diary/search_query.h"

#include "diary/text_fold.h"
#include "diary/unicode_fold.h"
#include "platform/exceptions.h"
#include "platform/sjis.h"


TSearchQuery MakeSearchQuery(std::string_view utf8, bool exact) {
    TSearchQuery q;
    q.exact = exact;
    constexpr std::string_view kWideSpace = "\xE3\x80\x80";
    size_t i = 0;
    while (i <= utf8.size()) {
        size_t end = i;
        size_t gap = 0;
        while (end < utf8.size()) {
            if (utf8[end] == ' ' || utf8[end] == '\t') {
                gap = 1;
                break;
            }
            if (utf8.substr(end, 3) == kWideSpace) {
                gap = 3;
                break;
            }
            ++end;
        }
        const std::string_view word = utf8.substr(i, end - i);
        if (!word.empty()) {
            std::string compared;
            if (exact) {
                ExactUnicode(word, compared);
            } else {
                // A word CP932 holds folds as the days' CP932 text does, join of a sound
                // mark included; any other through the fold of its code points.
                try {
                    FoldText(Utf8ToSjis(word), compared);
                } catch (const EEncodingError&) {
                    FoldUnicode(word, compared);
                }
            }
            q.words.push_back(std::move(compared));
        }
        if (end >= utf8.size()) break;
        i = end + gap;
    }
    return q;
}
