#pragma once
// Names of the day files. Each day's text lives in a file of its own in the diary folder,
// named after the date.
#include "calendar/julius.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The plain name: decimal year, month and day one after the other, without separators or
// leading zeros, then ".dat" (2026-12-06 gives 2026126.dat).
std::string PlainDayFileName(std::int32_t year, unsigned month, unsigned day);

// The name of the file that holds this day's text. Plain names are ambiguous: 2027111.dat
// reads as 2027-11-01 and as 2027-01-11 (and as 20271-01-01). Such a name belongs to one
// of its dates only, the first of them in this order: a four-digit year, then the larger
// month, then the longer year. Every other date that would give the name is written with
// separators and two-digit month and day (2027-01-11.dat), a form no plain name has, so
// every day has a file of its own and every file stored under the plain rule by a day that
// owns it is still found.
std::string DayFileName(std::int32_t year, unsigned month, unsigned day);

// The day whose file is called `name`, when `name` is exactly what DayFileName gives for
// some date: so both 2026127.dat and 2027-01-11.dat, but not 2026-1-7.dat, 02026127.dat or
// 2027-11-01.dat (that day's file is 2027111.dat).
std::optional<TYMD> DayOfFileName(std::string_view name);
