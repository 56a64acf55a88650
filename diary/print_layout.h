#pragma once
// Where each piece of the editor's text goes on the printed pages. Pure, so that the
// pagination can be checked without a printer; all sizes are printer pixels.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TPrintMetrics {
    int pageWidth = 0;
    int pageHeight = 0;
    // The height of printed text; an empty line advances by it, a printed one by it + 2.
    int lineHeight = 0;
    int averageCharWidth = 0;
    // The advance of one CP932 character (one byte, or a lead byte and its trail byte).
    std::function<int(std::string_view character)> charWidth;
};

// Text that goes at `x` on its printed line; a tab starts a new run.
struct TPrintRun {
    int x = 0;
    std::string text;
    bool operator==(const TPrintRun&) const = default;
};

struct TPrintLine {
    int y = 0;  // top of the line
    std::vector<TPrintRun> runs;
    bool operator==(const TPrintLine&) const = default;
};

using TPrintPage = std::vector<TPrintLine>;

// Lays the lines out from the top-left corner of the first page: tabs move to the next
// multiple of eight average character widths, a line wider than the page breaks after the
// last whole character that fits (a character wider than the page still gets a line of its
// own), and a new page begins when a line's advance ends lower than the page height minus
// twice the line's height. An empty text gives one empty page.
std::vector<TPrintPage> LayOutPrint(const std::vector<std::string>& lines, const TPrintMetrics& metrics);
