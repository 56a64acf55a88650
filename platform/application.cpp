#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/qt_fonts.h"

#include <exception>
#include <string>

namespace {
bool reporting = false;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name shows in the error box's title and names the user's configuration folder.
    setApplicationName("Mekuri");
    InstallFaceSubstitutions();
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

void TApplication::ReportCurrentException() {
    std::string message;
    try {
        throw;
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        message = "不明なエラーが発生しました";
    }
    if (reporting) return;
    reporting = true;
    try {
        Dialogs().Error(message);
    } catch (...) {
    }
    reporting = false;
}
