#pragma once
// The old lunisolar calendar and its six-day rokuyo cycle. The program carries a table of
// the old calendar's months (JDOLDCAL): day number of each month's first day, comma, month
// number (100 + month for a leap month). The table covers 1989-12-28 to 2010-12-05; its
// last line only closes the range. Outside the table the months are computed from the
// Sun and the Moon (calendar/lunisolar.h) from 1873 to 2100.
#include "calendar/julius.h"

#include <cstdint>
#include <string>
#include <string_view>

struct TOldDate {
    std::uint8_t Month;  // 1..12, 101..112 for a leap month, 0 where none is known
    std::uint8_t Day;    // 1..30, 0 where none is known
    bool operator==(const TOldDate&) const = default;
};

TOldDate OldCalendarDate(TJuliusDay j);
void OldCalendarDate(TJuliusDay j, std::uint8_t& month, std::uint8_t& day);

// 1 先勝, 2 友引, 3 先負, 4 仏滅, 5 大安, 6 赤口; 0 where no old date is known.
int RokuyoOf(TJuliusDay j);

// The name of a rokuyo index as CP932 bytes; 0 (and anything outside 0..6) is "不明".
const std::string& RokuyoNames(int index);

// The table exactly as compiled into the program.
std::string_view JdOldCalResource();
