#pragma once
#include "platform/dialogs.h"

// The dialogs as the user sees them: Qt message boxes and the Qt standard dialogs.
class TQtDialogs : public TDialogs {
public:
    bool Confirm(const std::string& message) override;
    TAnswer YesNoCancel(const std::string& message) override;
    void Error(const std::string& message) override;
    void Warning(const std::string& message) override;
    void Beep() override;
    std::optional<TColor> ChooseColor(TColor initial) override;
    bool ChooseFont(TFont& font, const TFontDialogOptions& options = {}) override;
    bool PrinterSetup(QPrinter& printer) override;
    int Choose(const std::string& message, const std::vector<std::string>& buttons) override;
};
