#pragma once
#include <thread>

// Fontconfig reads its whole configuration (dozens of XML files) the first time any text
// is measured, and Qt then fills its font database from it: several milliseconds before
// the first character can be drawn. TFontWarmUp does this work on another core while the
// program builds its window. Qt locks its font database while it fills it, so a window
// that needs a font sooner simply waits for it.
class TFontWarmUp {
public:
    // Starts reading fontconfig's configuration; made before the application object.
    TFontWarmUp();
    // Once the application object exists: fills Qt's font database.
    void Fill();
    // Waits for the work, wherever it stands.
    ~TFontWarmUp();

    TFontWarmUp(const TFontWarmUp&) = delete;
    TFontWarmUp& operator=(const TFontWarmUp&) = delete;

private:
    std::thread config_;
    std::thread database_;
};
