#pragma once
// What a day cell says to a screen reader: the date as it is spoken ("12月8日 火曜日"),
// then what the eye sees in the cell, in the order it is read: the holiday and its
// names, the other names the day carries, the rokuyo when shown, the entry mark, today.
#include "calendar/day_attrs.h"

#include <string>
#include <string_view>
#include <vector>

struct TDaySpeech {
    int month = 1;
    int day = 1;
    int weekday = 0;  // 0 = Sunday
    TDayAttrs attrs = 0;
    std::string namesCommaText;  // CP932, as GetHolidayNames gives them
    std::string rokuyo;          // CP932; empty when not shown
    bool marked = false;
    bool today = false;
};

// UTF-8.
std::string DaySpoken(const TDaySpeech& day);

// The names of comma text (quotes with doubled inner quotes, as CommaText writes them).
std::vector<std::string> SplitCommaText(std::string_view text);
