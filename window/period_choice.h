#pragma once
// A period of the diary chosen for printing or export.
#include "calendar/julius.h"

#include <string>

enum class TPeriodFormat { Text, Markdown, Pdf };

struct TPeriodChoice {
    TYMD first{};
    TYMD last{};
    TPeriodFormat format = TPeriodFormat::Text;
    std::string file;  // export only
};
