#include "editor/column_map.h"

#include "platform/sjis.h"

#include <algorithm>

std::string ColumnMap(std::string_view text, int tabSpaceCount) {
    std::string map;
    map.reserve(text.size() + 8);
    for (size_t b = 0; b < text.size(); ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            int fill = tabSpaceCount - static_cast<int>(map.size() % tabSpaceCount) - 1;
            map += '0';
            map.append(fill, 't');
        } else if (IsLeadByte(c)) {
            map += "12";
            ++b;
        } else {
            map += '0';
        }
    }
    return map;
}

int ByteIndex(std::string_view map, int col) {
    if (col <= 0) return 0;
    int fills = 0;
    int last = col < static_cast<int>(map.size()) ? col : static_cast<int>(map.size()) - 1;
    for (int i = 0; i <= last; ++i)
        if (map[i] == 't') ++fills;
    return col - fills;
}

std::string ExpandTabs(std::string_view text, int tabSpaceCount, size_t maxColumns) {
    std::string out;
    out.reserve(std::min(text.size(), maxColumns) + 8);
    for (size_t b = 0; b < text.size() && out.size() < maxColumns; ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            out.append(tabSpaceCount - out.size() % tabSpaceCount, ' ');
        } else if (IsLeadByte(c)) {
            out += text[b];
            out += b + 1 < text.size() ? text[b + 1] : ' ';
            ++b;
        } else {
            out += text[b];
        }
    }
    return out;
}

int ExpandedWidth(std::string_view text, int tabSpaceCount) {
    int width = 0;
    for (size_t b = 0; b < text.size(); ++b) {
        unsigned char c = static_cast<unsigned char>(text[b]);
        if (c == '\t') {
            width += tabSpaceCount - width % tabSpaceCount;
        } else if (IsLeadByte(c)) {
            width += 2;
            ++b;
        } else {
            ++width;
        }
    }
    return width;
}

std::string_view TrimBlanks(std::string_view text) {
    size_t n = text.size();
    while (n > 0) {
        unsigned char c = static_cast<unsigned char>(text[n - 1]);
        if (c > 32 || c == '\t') break;
        --n;
    }
    return text.substr(0, n);
}
