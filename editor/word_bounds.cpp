#include "editor/word_bounds.h"

#include "platform/sjis.h"

TDelimiters DefaultDelimiters() {
    TDelimiters d{};
    auto mark = [&d](int from, int to) {
        for (int b = from; b <= to; ++b) d[static_cast<size_t>(b)] = true;
    };
    mark(0x00, 0x2F);
    mark(0x3A, 0x40);
    mark(0x5B, 0x60);
    mark(0x7B, 0x80);
    mark(0xA0, 0xA5);
    mark(0xFD, 0xFF);
    return d;
}

std::vector<int> WordBounds(std::string_view text, const TDelimiters& delimiters, bool delimDbcs) {
    std::vector<int> starts{1};
    const int n = static_cast<int>(text.size());
    // The previous character as a whole: a double-byte character is never a delimiter,
    // whatever its trail byte happens to be.
    bool prevDelim = false;
    bool prevDbcs = false;
    int i = 0;
    while (i < n) {
        const auto b = static_cast<unsigned char>(text[static_cast<size_t>(i)]);
        const bool dbcs = IsLeadByte(b);
        if (i > 0) {
            bool starts_here;
            if (dbcs)
                starts_here = prevDelim || (delimDbcs && !prevDbcs);
            else
                starts_here = delimiters[b] || prevDelim || (delimDbcs && prevDbcs);
            if (starts_here) starts.push_back(i + 1);
        }
        prevDelim = !dbcs && delimiters[b];
        prevDbcs = dbcs;
        i += dbcs ? 2 : 1;
    }
    starts.push_back(n + 1);
    return starts;
}
