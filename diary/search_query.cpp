#include "diary/search_query.h"

#include "diary/text_fold.h"
#include "platform/exceptions.h"
#include "platform/sjis.h"

namespace {

// The characters of `word` that CP932 cannot hold, each once.
std::string Unencodable(std::string_view word) {
    std::string out;
    for (size_t i = 0; i < word.size();) {
        size_t n = 1;
        const auto c = static_cast<unsigned char>(word[i]);
        if (c >= 0xF0) n = 4;
        else if (c >= 0xE0) n = 3;
        else if (c >= 0xC0) n = 2;
        n = std::min(n, word.size() - i);
        const std::string_view ch = word.substr(i, n);
        try {
            Utf8ToSjis(ch);
        } catch (const EEncodingError&) {
            if (out.find(ch) == std::string::npos) out += ch;
        }
        i += n;
    }
    return out;
}

}  // namespace

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
            try {
                std::string sjis = Utf8ToSjis(word);
                if (exact) {
                    q.words.push_back(std::move(sjis));
                } else {
                    std::string folded;
                    FoldText(sjis, folded);
                    q.words.push_back(std::move(folded));
                }
            } catch (const EEncodingError&) {
                q.unencodable += Unencodable(word);
            }
        }
        if (end >= utf8.size()) break;
        i = end + gap;
    }
    return q;
}
