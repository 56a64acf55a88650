#pragma once
// Day numbers: the chronological Julian day number of a civil day, with the change from
// the Julian to the Gregorian calendar after 1582-10-04.
#include "platform/clock.h"
#include "platform/exceptions.h"

#include <cstdint>

using TJuliusDay = std::int32_t;

// The only date error: the ten days the 1582 reform removed.
class EJuliusError : public Exception {
public:
    EJuliusError();
};

struct TYMD {
    std::int32_t Year;
    std::uint8_t Month;
    std::uint8_t Day;
    bool operator==(const TYMD&) const = default;
};

// Raises EJuliusError for 1582-10-05..14; other out-of-range months and days are
// converted arithmetically (month 13 is January of the next year, day 0 the day before).
TJuliusDay YMDToJulius(std::int32_t year, int month, int day);
TYMD JuliusToYMD(TJuliusDay j);
void JuliusToYMD(TJuliusDay j, std::int32_t& year, std::uint8_t& month, std::uint8_t& day);
// 1 = Sunday .. 7 = Saturday.
std::uint8_t JuliusDayOfWeek(TJuliusDay j);
bool IsLeapYear(std::int32_t year);
// Defined for months 1..12 only.
std::uint8_t DaysInMonth(std::int32_t year, int month);
// True when the date converts and comes back unchanged; raises for 1582-10-05..14.
bool IsValidYMD(std::int32_t year, int month, int day);
TJuliusDay DateTimeToJulius(const TSystemDate& date);

constexpr TJuliusDay kLastJulianDay = 2299160;    // 1582-10-04
constexpr TJuliusDay kFirstGregorianDay = 2299161;  // 1582-10-15
