#include "calendar/lunisolar.h"

#include "calendar/astronomy.h"
#include "calendar/old_calendar.h"

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace {

// The months from the one that holds the winter solstice of the year before to the one
// that holds the solstice of the year: 12 or 13 first days, then the first day of the
// next 11th month, which closes the range.
struct SolsticeYear {
    std::vector<TJuliusDay> Starts;
    std::vector<int> Months;  // one fewer than Starts
};

SolsticeYear ComputeSolsticeYear(std::int32_t year) {
    // Rough moments to start the searches from: the solstice falls about 21 December.
    const double roughSolstice = YMDToJulius(year - 1, 12, 21) - 0.5;
    const double solstice = SolarLongitudeUT(270.0, roughSolstice);
    const double nextSolstice = SolarLongitudeUT(270.0, solstice + 365.2422);
    const TJuliusDay solsticeDay = JstDay(solstice);
    const TJuliusDay nextSolsticeDay = JstDay(nextSolstice);

    std::map<int, TJuliusDay> newMoonDays;
    auto newMoonDay = [&newMoonDays](int k) {
        auto it = newMoonDays.find(k);
        if (it == newMoonDays.end()) it = newMoonDays.emplace(k, NewMoonJstDay(k)).first;
        return it->second;
    };
    // The 11th month: the last new moon day on or before the solstice day.
    int k = NearestLunation(solstice);
    while (newMoonDay(k) > solsticeDay) --k;
    while (newMoonDay(k + 1) <= solsticeDay) ++k;

    SolsticeYear result;
    for (int i = k;; ++i) {
        result.Starts.push_back(newMoonDay(i));
        if (newMoonDay(i + 1) > nextSolsticeDay) break;
    }
    const std::size_t months = result.Starts.size() - 1;  // 12 or 13

    // The days of the principal terms between the two solstices.
    std::array<TJuliusDay, 11> termDays{};
    for (int n = 1; n <= 11; ++n)
        termDays[n - 1] = JstDay(SolarLongitudeUT(270.0 + 30.0 * n - (n >= 3 ? 360.0 : 0.0), solstice + 30.44 * n));
    auto holdsTerm = [&](std::size_t i) {
        return std::any_of(termDays.begin(), termDays.end(), [&](TJuliusDay d) {
            return d >= result.Starts[i] && d < result.Starts[i + 1];
        });
    };
    std::size_t leap = months;  // none
    if (months == 13)
        for (std::size_t i = 1; i < months && leap == months; ++i)
            if (!holdsTerm(i)) leap = i;

    int month = 11;
    for (std::size_t i = 0; i < months; ++i) {
        if (i == leap) {
            result.Months.push_back(100 + month);
            continue;
        }
        if (i > 0) month = month % 12 + 1;
        result.Months.push_back(month);
    }
    return result;
}

const SolsticeYear& SolsticeYearOf(std::int32_t year) {
    static std::map<std::int32_t, SolsticeYear> years;
    auto it = years.find(year);
    if (it == years.end()) it = years.emplace(year, ComputeSolsticeYear(year)).first;
    return it->second;
}

}  // namespace

TOldDate ComputedOldCalendarDate(TJuliusDay j) {
    if (j < kFirstComputedOldDay || j > kLastComputedOldDay) return {0, 0};
    // The last looked-up year answers the other days of a month view.
    static const SolsticeYear* last = nullptr;
    if (!last || j < last->Starts.front() || j >= last->Starts.back()) {
        const std::int32_t year = JuliusToYMD(j).Year;
        last = &SolsticeYearOf(year);
        if (j >= last->Starts.back()) last = &SolsticeYearOf(year + 1);
    }
    const auto later = std::upper_bound(last->Starts.begin(), last->Starts.end(), j);
    const std::size_t i = static_cast<std::size_t>(later - last->Starts.begin()) - 1;
    return {static_cast<std::uint8_t>(last->Months[i]), static_cast<std::uint8_t>(j - last->Starts[i] + 1)};
}
