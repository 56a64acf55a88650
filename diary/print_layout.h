#pragma once
// Where each piece of the diary's text goes on the printed pages. Pure, so that the
// pagination and the line breaking can be checked without a printer; all sizes are
// printer pixels, measured from the top-left corner of the printable area.
#include "calendar/julius.h"
#include "platform/extra_chars.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct TPrintMetrics {
    int pageWidth = 0;  // of the printable area
    int pageHeight = 0;
    // The height of printed text; an empty line advances by it, a printed one by it + 2.
    int lineHeight = 0;
    int averageCharWidth = 0;
    // The advance of one CP932 character (one byte, or a lead byte and its trail byte).
    std::function<int(std::string_view character)> charWidth;
    // The advance of a cluster CP932 lacks (UTF-8), for the extra codes of a day's text.
    std::function<int(std::string_view cluster)> clusterWidth;
    // Bands kept free for the page's header at the top and its footer at the bottom.
    int headerHeight = 0;
    int footerHeight = 0;
    // How far a 、 or 。 may stand right of the printable area (the page's margin there):
    // with no room it moves to the next line together with the character before it.
    int hangWidth = 0;
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

// What one day brings to a print job: its header and its text's lines (CP932, no line
// ends), with the table of the extra codes the lines hold (none: plain CP932).
struct TPrintDay {
    std::string header;
    std::vector<std::string> lines;
    std::shared_ptr<const TExtraChars> extra;
};

struct TPrintPage {
    std::string header;  // the day's, CP932
    std::string footer;  // "3 / 12": the page's number and the job's page count
    std::vector<TPrintLine> lines;
    std::shared_ptr<const TExtraChars> extra;  // the day's
};

// Lays the days out, each from the top of a page of its own, the lines below the header
// band. Tabs move to the next multiple of eight average character widths. A line wider
// than the page breaks where Japanese typesetting allows (see line_breaking.h): never
// before a closing mark or after an opening one, and never inside a Latin word unless the
// word is longer than a whole line; a character wider than the page still gets a line of
// its own. A line whose height would reach past the footer band begins the next page, so
// nothing is printed off the page. A day with no lines gets one empty page.
std::vector<TPrintPage> LayOutPrint(const std::vector<TPrintDay>& days, const TPrintMetrics& metrics);

// The page header for a day: "2026年12月7日(月)", then the day's holiday and special-day
// names (comma text, as the calendar gives them) after a space, joined by 、. CP932.
std::string PrintDayHeader(const TYMD& day, std::string_view holidayNames);

// A day file's text as printed lines: split at LF, a CR before it dropped, and no empty
// line after a final line end.
std::vector<std::string> DayTextLines(std::string_view text);
