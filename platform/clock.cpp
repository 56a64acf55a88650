#include "platform/clock.h"

#include <ctime>
#include <optional>

namespace {
std::optional<TSystemDate> fixedDate;
}

TSystemDate CurrentDate() {
    if (fixedDate) return *fixedDate;
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void SetClock(const TSystemDate& date) { fixedDate = date; }

void ResetClock() { fixedDate.reset(); }
