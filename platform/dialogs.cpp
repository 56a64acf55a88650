#include "platform/dialogs.h"

#include "platform/qt_dialogs.h"

#include <QPrinter>

namespace {
TDialogs* installed = nullptr;
}

TDialogs& TDialogs::Instance() {
    if (installed) return *installed;
    static TQtDialogs qtDialogs;
    return qtDialogs;
}

void TDialogs::Install(TDialogs* dialogs) { installed = dialogs; }

bool TScriptedDialogs::Confirm(const std::string& message) { return YesNoCancel(message) == TAnswer::Yes; }

TAnswer TScriptedDialogs::YesNoCancel(const std::string& message) {
    confirmations.push_back(message);
    if (confirmAnswers.empty()) return TAnswer::No;
    const TAnswer answer = confirmAnswers.front().answer;
    confirmAnswers.pop_front();
    return answer;
}

void TScriptedDialogs::Error(const std::string& message) { errors.push_back(message); }

std::optional<TColor> TScriptedDialogs::ChooseColor(TColor initial) {
    colorRequests.push_back(initial);
    if (colorAnswers.empty()) return std::nullopt;
    auto answer = colorAnswers.front();
    colorAnswers.pop_front();
    return answer;
}

bool TScriptedDialogs::ChooseFont(TFont& font, const TFontDialogOptions& options) {
    fontRequests.push_back(font);
    fontOptions.push_back(options);
    if (fontAnswers.empty()) return false;
    auto answer = fontAnswers.front();
    fontAnswers.pop_front();
    if (!answer) return false;
    font.Assign(*answer);
    return true;
}

bool TScriptedDialogs::PrinterSetup(QPrinter& printer) {
    if (printerSetupAnswer && !printToFile.empty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(printToFile));
    }
    return printerSetupAnswer;
}

int TScriptedDialogs::Choose(const std::string& message, const std::vector<std::string>& buttons) {
    choices.push_back(message);
    choiceButtons.push_back(buttons);
    const int last = static_cast<int>(buttons.size()) - 1;
    if (choiceAnswers.empty()) return last;
    int answer = choiceAnswers.front();
    choiceAnswers.pop_front();
    return answer < 0 || answer > last ? last : answer;
}
