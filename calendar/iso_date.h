#pragma once
// Dates as the command line, the search window and the exports write them: "YYYY-MM-DD".
#include "calendar/julius.h"

#include <optional>
#include <string>
#include <string_view>

// "YYYY-MM-DD" with a real date; anything else is nothing.
std::optional<TYMD> ParseIsoDate(std::string_view text);
// "YYYY-MM-DD" with four digits of year and two of month and day.
std::string FormatIsoDate(const TYMD& day);
