#pragma once
// Taking the diary out of the program: the days of a period that hold text, read from
// their files oldest first, and written as plain text or Markdown (UTF-8, LF) in a form
// exact enough for scripts to rely on. Printing and PDF use the same reading of a period.
#include "calendar/julius.h"
#include "platform/extra_chars.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

enum class TExportFormat { Text, Markdown };

// The day's weekday as one kanji (日月火水木金土), UTF-8.
const char* WeekdayKanji(const TYMD& day);

// "2026-12-07(月)", UTF-8.
std::string ExportDayHeading(const TYMD& day);

// Appends one day: for text the heading line, the text with CR LF turned into LF and a
// final LF added when missing, then an empty line; for Markdown "## " before the heading
// and an empty line after it. `text` is the editor's (CP932 with the codes of `extra`).
// Bytes that form no character become U+FFFD; returns whether there were any.
bool AppendExportedDay(std::string& out, const TYMD& day, std::string_view text, TExportFormat format,
                       const TExtraChars& extra = TExtraChars());

// Whether the text holds bytes that form no character (drawn as U+FFFD).
bool HoldsBrokenSjis(std::string_view text, const TExtraChars& extra = TExtraChars());

// Reads the file of each of `days` (in the order given) in `folder` and calls `each` with
// the days whose file holds at least one byte, and with the day's text as the editor shows
// it: the text before the file's first ^Z, if it has one, read in the file's form, with
// the table of its codes. `each` returns false to stop. Returns an empty string when every
// file was read (or the reading was stopped), else a message naming the file that could
// not be read; nothing after it is read.
using TEntryVisitor = std::function<bool(const TYMD& day, std::string_view text, const TExtraChars& extra)>;
std::string ForEachEntry(const std::string& folder, const std::vector<TYMD>& days, const TEntryVisitor& each);

struct TExportResult {
    std::string output;          // UTF-8
    std::vector<TYMD> brokenDays;  // days whose text held bytes that are not CP932
    std::string error;           // a file that could not be read; output is then incomplete
    bool cancelled = false;
};

// The whole export of `days` from `folder`. `progress` is told how many of the days were
// read so far; returning false cancels.
TExportResult ExportEntries(const std::string& folder, const std::vector<TYMD>& days, TExportFormat format,
                            const std::function<bool(size_t done, size_t total)>& progress = {});
