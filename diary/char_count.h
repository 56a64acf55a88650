#pragma once
// 文字数: how many characters a diary text holds, as Japanese writers count them. Every
// character counts one, whatever its width: a double-byte character, a half-width katakana,
// a space, a tab. Line breaks (CR LF, or a lone CR or LF) count nothing.
#include <cstdint>
#include <string>
#include <string_view>

// `text` is CP932. A lead byte followed by a byte that cannot end a double-byte character
// counts one by itself, so broken text is counted as it is shown, byte by byte.
std::int64_t CharCount(std::string_view text);

// "1,234": the count with a comma between groups of three digits, as the status bar and
// the lists show it.
std::string GroupedCount(std::int64_t count);

// What a list of days shows of an entry: its 文字数 and its first line that holds
// something other than blanks (spaces, tabs, full-width spaces), cut to its first
// `maxChars` characters, tabs turned into spaces; as UTF-8. The file is read in its form
// (day_file_form.h); in UTF-8 a character is a grapheme cluster, and a byte that forms
// none counts one and shows as U+FFFD. The text ends at the byte 26, as the editor reads
// a day file.
struct TEntrySummary {
    std::int64_t chars = 0;
    std::string firstLine;
};
TEntrySummary SummarizeEntry(std::string_view fileBytes, std::size_t maxChars = 40);
