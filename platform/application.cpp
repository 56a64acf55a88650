#include "platform/application.h"

#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_fonts.h"
#include "platform/safe_file.h"

#include <csignal>
#include <exception>
#include <string>

namespace {
bool reporting = false;
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    InstallFaceSubstitutions();
    // A write past the file-size limit (a full quota, say) would otherwise kill the program
    // without a word; ignored, it fails with EFBIG and is reported like any file error.
    std::signal(SIGXFSZ, SIG_IGN);
    // Saves cut short by a kill or a power cut leave their new files behind: in the
    // current folder (day files) and beside the program (settings).
    RemoveStaleReplacements(".");
    RemoveStaleReplacements(applicationDirPath().toStdString());
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
