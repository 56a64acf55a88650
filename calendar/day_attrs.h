#pragma once
// The classes a day can belong to, held as one byte (bits 1, 2, 4, 8, 16).
#include <cstdint>

enum TDayAttr : std::uint8_t {
    daSunday = 1,
    daSaturday = 2,
    daHoliday = 4,
    daFurikae = 8,
    daSpecialDay = 16,
};
using TDayAttrs = std::uint8_t;

// The class a day is drawn as; each number is the index of the calendar font that draws it.
enum TDayClass : int {
    dcWeekday = 0,
    dcSaturday = 1,
    dcSunday = 2,
    dcHoliday = 4,
    dcSpecialDay = 5,
};

// 0 = Sunday .. 6 = Saturday; the ordinal is the day arithmetic's weekday minus 1.
enum TDayOfWeek : std::uint8_t { dowSun, dowMon, dowTue, dowWed, dowThu, dowFri, dowSat };
