#pragma once
// Lines of a text held in memory: CR LF, a lone CR and a lone LF each end a line, and a
// final line end adds no empty line after it.
#include <string_view>

template <typename F>
void ForEachTextLine(std::string_view text, F&& f) {
    size_t start = 0;
    const size_t n = text.size();
    while (start < n) {
        size_t end = start;
        while (end < n && text[end] != '\r' && text[end] != '\n') ++end;
        f(text.substr(start, end - start));
        if (end == n) return;
        start = end + 1;
        if (text[end] == '\r' && start < n && text[start] == '\n') ++start;
    }
}
