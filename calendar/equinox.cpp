#include "calendar/equinox.h"

#include <cmath>
#include <numbers>

namespace {

double SinDeg(double degrees) { return std::sin(degrees / 180.0 * std::numbers::pi); }

// Toward zero, not the floor: the values are positive for every year in use, but the
// formula is defined that way for the rest too.
// Years near the ends of the day-number range would overflow the cast; they are clamped.
TJuliusDay Trunc(double x) {
    double t = std::trunc(x);
    if (t >= 2147483647.0) return 2147483647;
    if (t <= -2147483648.0) return -2147483647 - 1;
    return static_cast<TJuliusDay>(t);
}

}  // namespace

// Double precision is enough: for every year 0..4000 the value before truncation lies at
// least 0.00002 away from a whole number, so no day flips.
TJuliusDay VernalEquinoxDay(std::int32_t year) {
    const double b = static_cast<double>(year) - 2000.0;
    const double p = 0.002 * (SinDeg(321 - 30.37 * b) + SinDeg(249 + 0.19 * b) + SinDeg(202 - 132.57 * b) +
                              SinDeg(84 - 90.37 * b)) -
                     0.00004871850323926 * b + 0.001 * SinDeg(132 - 134.81 * b) + 0.005 * SinDeg(239 - 19.34 * b);
    return Trunc(2451624.683 + 365.24229 * b + 0.0000001 * b * b - p);
}

TJuliusDay AutumnalEquinoxDay(std::int32_t year) {
    const double b = static_cast<double>(year) - 2000.0;
    const double p = 0.002 * (SinDeg(485 - 30.37 * b) + SinDeg(249 + 0.19 * b) + SinDeg(268.2 - 132.57 * b) +
                              SinDeg(309.2 - 90.37 * b)) +
                     0.00004871850323926 * b + 0.001 * SinDeg(244.6 - 134.81 * b) + 0.005 * SinDeg(248.6 - 19.34 * b);
    return Trunc(2451811.096 + 365.24206 * b + 0.0000001 * b * b - p);
}

bool IsVernalEquinoxDay(std::int32_t year, int month, int day) {
    TYMD e = JuliusToYMD(VernalEquinoxDay(year));
    return e.Month == month && e.Day == day;
}

bool IsAutumnalEquinoxDay(std::int32_t year, int month, int day) {
    TYMD e = JuliusToYMD(AutumnalEquinoxDay(year));
    return e.Month == month && e.Day == day;
}
