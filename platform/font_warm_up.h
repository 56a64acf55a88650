#pragma once
#include <QFont>
#include <QList>

#include <thread>

// Fontconfig reads its whole configuration (dozens of XML files) the first time any text
// is measured; Qt then fills its font database and asks fontconfig for the fallbacks of
// each family it meets. That is several milliseconds before the first character can be
// drawn. TFontWarmUp does this work on another core while the program builds its window.
// Qt locks its font database while it fills it, so a window that needs a font sooner
// simply waits for it.
class TFontWarmUp {
public:
    // Starts reading fontconfig's configuration; made before the application object.
    TFontWarmUp();
    // Once the application object exists: fills Qt's font database and looks `fonts` up
    // for Japanese text, so that their fallback families are known when the window asks.
    void Fill(QList<QFont> fonts);
    // Waits for the work, wherever it stands.
    ~TFontWarmUp();

    TFontWarmUp(const TFontWarmUp&) = delete;
    TFontWarmUp& operator=(const TFontWarmUp&) = delete;

private:
    std::thread config_;
    std::thread database_;
};
