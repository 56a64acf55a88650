#pragma once
// The one QApplication of a benchmark program, offscreen unless the caller chose a platform,
// with the program's font substitutions so that the diary's faces draw as they do in Mekuri.
#include "platform/qt_fonts.h"

#include <QApplication>

inline void EnsureBenchApp() {
    static QApplication* app = nullptr;
    if (app) return;
    static int argc = 1;
    static char name[] = "mekuri_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(argc, argv);
    InstallFaceSubstitutions();
}
