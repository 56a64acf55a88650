#include "diary/day_file_name.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

struct TDate {
    std::int32_t year;
    unsigned month;
    unsigned day;
    size_t yearDigits;
};

// A decimal number as the plain rule writes it: no leading zero, at most `maxDigits`.
std::optional<long long> Number(std::string_view s, size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits || (s.size() > 1 && s[0] == '0')) return std::nullopt;
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

bool DateExists(std::int32_t y, unsigned m, unsigned d) {
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, static_cast<int>(m))) return false;
    return !(y == 1582 && m == 10 && d >= 5 && d <= 14);
}

// Whether `a` has the better claim to a plain name than `b`.
bool Before(const TDate& a, const TDate& b) {
    const bool a4 = a.yearDigits == 4, b4 = b.yearDigits == 4;
    if (a4 != b4) return a4;
    if (a.month != b.month) return a.month > b.month;
    return a.yearDigits > b.yearDigits;
}

// The date that owns a plain name stem (the name without ".dat"): the first, in the order
// above, of every date whose plain name it is.
std::optional<TDate> Owner(std::string_view stem) {
    const bool negative = !stem.empty() && stem[0] == '-';
    const std::string_view digits = negative ? stem.substr(1) : stem;
    std::optional<TDate> best;
    for (size_t dayLen = 1; dayLen <= 2; ++dayLen) {
        for (size_t monthLen = 1; monthLen <= 2; ++monthLen) {
            if (digits.size() <= dayLen + monthLen) continue;
            const size_t yearLen = digits.size() - dayLen - monthLen;
            auto y = Number(digits.substr(0, yearLen), 9);
            auto m = Number(digits.substr(yearLen, monthLen), 2);
            auto d = Number(digits.substr(yearLen + monthLen), 2);
            if (!y || !m || !d || (negative && *y == 0)) continue;
            TDate date{static_cast<std::int32_t>(negative ? -*y : *y), static_cast<unsigned>(*m),
                       static_cast<unsigned>(*d), yearLen};
            if (!DateExists(date.year, date.month, date.day)) continue;
            if (!best || Before(date, *best)) best = date;
        }
    }
    return best;
}

std::string Stem(std::int32_t year, unsigned month, unsigned day) {
    return std::to_string(year) + std::to_string(month) + std::to_string(day);
}

}  // namespace

std::string PlainDayFileName(std::int32_t year, unsigned month, unsigned day) {
    return Stem(year, month, day) + ".dat";
}

std::string DayFileName(std::int32_t year, unsigned month, unsigned day) {
    const std::string stem = Stem(year, month, day);
    auto owner = Owner(stem);
    if (!owner || (owner->year == year && owner->month == month && owner->day == day)) return stem + ".dat";
    char name[32];
    std::snprintf(name, sizeof name, "%d-%02u-%02u.dat", static_cast<int>(year), month, day);
    return name;
}

namespace {

// "Y-MM-DD" with an optional sign on the year; whether the name is the day's own is
// checked by the caller.
std::optional<TDate> Separated(std::string_view stem) {
    const size_t dash = stem.find('-', 1);
    if (dash == std::string_view::npos || stem.size() != dash + 6 || stem[dash + 3] != '-') return std::nullopt;
    const bool negative = stem[0] == '-';
    auto y = Number(stem.substr(negative ? 1 : 0, dash - (negative ? 1 : 0)), 9);
    const auto two = [&](size_t at) -> std::optional<unsigned> {
        const char a = stem[at], b = stem[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
        return static_cast<unsigned>((a - '0') * 10 + (b - '0'));
    };
    auto m = two(dash + 1), d = two(dash + 4);
    if (!y || !m || !d) return std::nullopt;
    return TDate{static_cast<std::int32_t>(negative ? -*y : *y), *m, *d, 0};
}

}  // namespace

std::optional<TYMD> DayOfFileName(std::string_view name) {
    constexpr std::string_view kExt = ".dat";
    if (name.size() <= kExt.size() || !name.ends_with(kExt)) return std::nullopt;
    const std::string_view stem = name.substr(0, name.size() - kExt.size());
    const bool plain = stem.find('-', 1) == std::string_view::npos;
    const auto date = plain ? Owner(stem) : Separated(stem);
    if (!date || !DateExists(date->year, date->month, date->day)) return std::nullopt;
    // A plain stem was read without leading zeros, so it is the plain name of the date
    // that owns it: only a separated name needs asking whether it is its date's own. The
    // index asks this of every name in the folder, so the common case stays cheap.
    if (!plain && DayFileName(date->year, date->month, date->day) != name) return std::nullopt;
    return TYMD{date->year, static_cast<std::uint8_t>(date->month), static_cast<std::uint8_t>(date->day)};
}
