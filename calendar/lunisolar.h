#pragma once
// The old Japanese lunisolar calendar computed the way the almanac makers compute it:
// each month begins on the day (Japan Standard Time) of a new moon; the month that holds
// the winter solstice is the 11th; when the 11th months of two years lie 13 months apart,
// the first month after the earlier one that holds no principal solar term (the Sun at a
// multiple of 30 degrees) is the leap month and repeats the number of the month before.
//
// For 2033, where the traditional rules contradict one another, this gives the leap month
// after month 11 of 2033, as the calendar makers recommend.
#include "calendar/julius.h"

#include <cstdint>

struct TOldDate;

// 1873-01-01, the day Japan left the old calendar, to 2100-12-31.
constexpr TJuliusDay kFirstComputedOldDay = 2405160;
constexpr TJuliusDay kLastComputedOldDay = 2488434;

// Month 1..12 (101..112 for a leap month) and day 1..30 of a day of the covered range;
// 0, 0 outside it. Each year's months are computed once and kept.
TOldDate ComputedOldCalendarDate(TJuliusDay j);
