#pragma once
// The two computed holidays: the days in Japan Standard Time on which the vernal and the
// autumnal equinox fall.
#include "calendar/julius.h"

#include <cstdint>

// Day numbers; no year range is enforced (the formulas drift far from the present).
TJuliusDay VernalEquinoxDay(std::int32_t year);
TJuliusDay AutumnalEquinoxDay(std::int32_t year);

bool IsVernalEquinoxDay(std::int32_t year, int month, int day);
bool IsAutumnalEquinoxDay(std::int32_t year, int month, int day);
