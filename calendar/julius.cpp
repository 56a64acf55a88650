#include "calendar/julius.h"

namespace {

// Integer part toward zero, as the formulas require (not the floor).
std::int64_t Trunc(double x) { return static_cast<std::int64_t>(x); }

struct Shifted {
    double y;  // year counted from March
    double m;  // 3..14
};

Shifted ShiftToMarch(std::int32_t year, int month) {
    if (month < 3) return {static_cast<double>(year) - 1, static_cast<double>(month) + 12};
    return {static_cast<double>(year), static_cast<double>(month)};
}

std::int64_t YearDays(std::int32_t year, double shiftedYear) {
    return year > 0 ? Trunc(365.25 * shiftedYear) : Trunc(365.25 * shiftedYear - 0.75);
}

TJuliusDay JulianYMDToJulius(std::int32_t year, int month, int day) {
    Shifted s = ShiftToMarch(year, month);
    std::int64_t a = YearDays(year, s.y);
    std::int64_t b = Trunc(30.6001 * (s.m + 1));
    return static_cast<TJuliusDay>(a + b + day + 1720995);
}

TJuliusDay GregorianYMDToJulius(std::int32_t year, int month, int day) {
    Shifted s = ShiftToMarch(year, month);
    std::int64_t a = YearDays(year, s.y);
    std::int64_t b = Trunc(30.6001 * (s.m + 1));
    std::int64_t century = Trunc(s.y / 100);
    std::int64_t c = 2 - century + Trunc(static_cast<double>(century) / 4);
    return static_cast<TJuliusDay>(a + b + day + 1720995 + c);
}

// Steps 2..7 shared by both calendars, from B = day number + 1524 (+ Gregorian shift).
TYMD FromB(std::int64_t b) {
    std::int64_t c = Trunc((static_cast<double>(b) - 122.1) / 365.25);
    std::int64_t d = Trunc(365.25 * static_cast<double>(c));
    std::int64_t e = Trunc(static_cast<double>(b - d) / 30.6001);
    std::int64_t day = b - d - Trunc(30.6001 * static_cast<double>(e));
    std::int64_t month = e < 13.5 ? e - 1 : e - 13;
    std::int64_t year = month > 2.5 ? c - 4716 : c - 4715;
    return {static_cast<std::int32_t>(year), static_cast<std::uint8_t>(month), static_cast<std::uint8_t>(day)};
}

TYMD JuliusToJulianYMD(TJuliusDay j) { return FromB(static_cast<std::int64_t>(j) + 1524); }

TYMD JuliusToGregorianYMD(TJuliusDay j) {
    std::int64_t alpha = Trunc((static_cast<double>(j) - 1867216.25) / 36524.25);
    std::int64_t a = static_cast<std::int64_t>(j) + 1 + alpha - Trunc(static_cast<double>(alpha) / 4);
    return FromB(a + 1524);
}

constexpr std::uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

}  // namespace

EJuliusError::EJuliusError() : Exception("1582/10/5-10/14は存在しません。") {}

TJuliusDay YMDToJulius(std::int32_t year, int month, int day) {
    if (year < 1582) return JulianYMDToJulius(year, month, day);
    if (year > 1582) return GregorianYMDToJulius(year, month, day);
    if (month < 10) return JulianYMDToJulius(year, month, day);
    if (month > 10) return GregorianYMDToJulius(year, month, day);
    if (day < 5) return JulianYMDToJulius(year, month, day);
    if (day > 14) return GregorianYMDToJulius(year, month, day);
    throw EJuliusError();
}

TYMD JuliusToYMD(TJuliusDay j) { return j >= kFirstGregorianDay ? JuliusToGregorianYMD(j) : JuliusToJulianYMD(j); }

void JuliusToYMD(TJuliusDay j, std::int32_t& year, std::uint8_t& month, std::uint8_t& day) {
    TYMD d = JuliusToYMD(j);
    year = d.Year;
    month = d.Month;
    day = d.Day;
}

// Counted in 64 bits: the last day number's successor does not fit the day number type, and
// a rule line with a far-off month reaches any day number.
std::uint8_t JuliusDayOfWeek(TJuliusDay j) { return static_cast<std::uint8_t>((static_cast<std::int64_t>(j) + 1) % 7 + 1); }

bool IsLeapYear(std::int32_t year) {
    if (year < 1582) return (static_cast<std::int64_t>(year) + 4712) % 4 == 0;
    bool leap = year % 4 == 0;
    if (year % 100 == 0) leap = false;
    if (year % 400 == 0) leap = true;
    if (year % 4000 == 0) leap = false;
    return leap;
}

std::uint8_t DaysInMonth(std::int32_t year, int month) {
    std::uint8_t n = kMonthDays[month - 1];
    if (month == 2 && IsLeapYear(year)) ++n;
    return n;
}

bool IsValidYMD(std::int32_t year, int month, int day) {
    TYMD back = JuliusToYMD(YMDToJulius(year, month, day));
    return back.Year == year && back.Month == month && back.Day == day;
}

TJuliusDay DateTimeToJulius(const TSystemDate& date) { return YMDToJulius(date.Year, date.Month, date.Day); }
