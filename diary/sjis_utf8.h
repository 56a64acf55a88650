#pragma once
// Shift-JIS (CP932) text as UTF-8, from tables made at build time with iconv itself: the
// same characters as platform/sjis.h's SjisToUtf8, U+FFFD for each byte that starts no
// character, without iconv's cost per call, which outweighed the conversion of a short
// line (a search's results, one line a day).
#include <string>
#include <string_view>

// Appends `sjis` as UTF-8 to `out`.
void AppendSjisAsUtf8(std::string& out, std::string_view sjis);
