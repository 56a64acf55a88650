#include "platform/application.h"

#include "platform/deferred_icon_style.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_fonts.h"

#include <csignal>
#include <exception>
#include <string>

namespace {
bool reporting = false;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The name shows in the error box's title and names the user's configuration folder.
    setApplicationName("Mekuri");
    // Ties the window to its menu entry: Wayland compositors take this as the window's
    // application id; X11 docks match WM_CLASS, whose class is the application name,
    // against the entry's StartupWMClass.
    setDesktopFileName("jp.mekuri.Mekuri");
    InstallFaceSubstitutions();
    // Wraps the style the desktop or -style/QT_STYLE_OVERRIDE chose.
    setStyle(new TDeferredIconStyle(style()->name()));
    // A write past the file-size limit (a full quota, say) would otherwise kill the program
    // without a word; ignored, it fails with EFBIG and is reported like any file error.
    std::signal(SIGXFSZ, SIG_IGN);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    handler_guard::TDispatchScope dispatch;
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        qWarning("an error escaped a handler of %s (event %d) into the event loop",
                 receiver ? receiver->metaObject()->className() : "?", static_cast<int>(event->type()));
        ReportCurrentException();
        return false;
    }
}

void TApplication::ReportCurrentException() { ReportException(std::current_exception()); }

void TApplication::ReportException(std::exception_ptr error) {
    if (!error) return;
    std::string message;
    try {
        std::rethrow_exception(error);
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
