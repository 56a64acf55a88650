// The window library's side of the hand-over: the window as `mekuri [FOLDER]` opens it,
// and the PDF export. Everything else in this library stays hidden, so that its calls
// bind within it and cannot be taken over by a name of the program's.
#include "cli/command_export.h"
#include "window/form1.h"
#include "app/program_places.h"
#include "window/qt_language.h"
#include "window/quit_after_first_paint.h"
#include "window/quit_signals.h"
#include "window/window_entry.h"
#include "window/window_places.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/folder_files.h"
#include "platform/font_warm_up.h"
#include "platform/qt_contrast.h"
#include "platform/safe_file.h"

#include <QDir>

#include <csignal>
#include <string>

namespace {

TPlaces FindPlaces(int argc, char** argv) {
    TPlacesInput in = WindowPlacesInput();
    if (argc > 1) in.argDiary = QString::fromLocal8Bit(argv[1]).toStdString();
    in.envDiary = qEnvironmentVariable("MEKURI_DIARY").toStdString();
    return ChoosePlaces(in);
}

int RunWindow(int argc, char** argv) {
    TFontWarmUp fonts;
    TApplication app(argc, argv);
    UseHighContrastSetting();
    fonts.Fill();
    InstallQtJapanese(app);
    const TPlaces places = FindPlaces(argc, argv);
    // Made for the user alone: the diary is private until the user shares its folder.
    for (const std::string& dir : {places.settingsDir, places.diaryDir}) {
        if (MakeFolders(dir) != 0) {
            Dialogs().Error("フォルダ " + dir + " を作成できません");
            return 1;
        }
    }
    if (!QDir::setCurrent(QString::fromStdString(places.diaryDir))) {
        Dialogs().Error("フォルダ " + places.diaryDir + " に移れません");
        return 1;
    }
    SetSettingsFolder(places.settingsDir);
    // Saves cut short by a kill or a power cut leave their new files behind.
    for (const std::string& dir : {places.settingsDir, places.diaryDir}) RemoveStaleReplacements(dir);

    TForm1 form;
    // Asked to end from outside: the unsaved text is kept in its recovery copy first, then
    // the settings.
    TQuitSignals quitSignals({SIGTERM, SIGHUP}, [&form] { form.KeepStateNow(); });
    TQuitAfterFirstPaint quitter;
    if (qEnvironmentVariableIsSet("MEKURI_QUIT_AFTER_FIRST_PAINT")) form.installEventFilter(&quitter);
    form.show();
    return app.exec();
}

constexpr TWindowEntries kEntries = {kWindowEntriesVersion, RunWindow, ExportPdfForCommand};

}  // namespace

extern "C" __attribute__((visibility("default"))) const TWindowEntries* MekuriWindowEntries() { return &kEntries; }
