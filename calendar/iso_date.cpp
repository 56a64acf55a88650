#include "calendar/iso_date.h"

#include <cstdio>

std::optional<TYMD> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int parts[3] = {0, 0, 0};
    const std::pair<size_t, size_t> spans[3] = {{0, 4}, {5, 2}, {8, 2}};
    for (int i = 0; i < 3; ++i) {
        for (size_t k = spans[i].first; k < spans[i].first + spans[i].second; ++k) {
            if (text[k] < '0' || text[k] > '9') return std::nullopt;
            parts[i] = parts[i] * 10 + (text[k] - '0');
        }
    }
    const int y = parts[0], m = parts[1], d = parts[2];
    if (m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return std::nullopt;
    if (y == 1582 && m == 10 && d >= 5 && d <= 14) return std::nullopt;
    return TYMD{y, static_cast<std::uint8_t>(m), static_cast<std::uint8_t>(d)};
}

std::string FormatIsoDate(const TYMD& day) {
    char text[24];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(day.Year), static_cast<unsigned>(day.Month),
                  static_cast<unsigned>(day.Day));
    return text;
}
