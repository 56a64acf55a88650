#pragma once
// A fresh folder per test, and whole-file reads and writes for setting up and checking
// settings files byte for byte.
#include "../platform/temp_folder.h"

class SettingsFolder : public TempFolder {
protected:
    // Every name in the folder, to see that no temporary file was left behind.
    int FileCount() const { return static_cast<int>(Names().size()); }
};
