#pragma once
// The settings the main window keeps, declared once: the same table drives the reading
// at start and the writing at close, so the two orders cannot drift apart.
#include <functional>
#include <string>
#include <vector>

class TIniStore;

struct TSettingEntry {
    std::string Section;
    std::string Key;
    std::function<void(const TIniStore&)> Read;  // applies the stored value at once
    std::function<void(TIniStore&)> Write;
};

using TSettingsTable = std::vector<TSettingEntry>;
