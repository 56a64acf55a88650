#include "app/form1.h"
#include "app/program_places.h"
#include "app/qt_language.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/font_warm_up.h"
#include "platform/safe_file.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <string>

namespace {

TPlaces FindPlaces(int argc, char** argv) {
    TPlacesInput in;
    in.programDir = QCoreApplication::applicationDirPath().toStdString();
    in.programDirWritable = QFileInfo(QCoreApplication::applicationDirPath()).isWritable();
    in.installed = LooksInstalled(in.programDir);
    in.configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation).toStdString();
    in.homeDir = QDir::homePath().toStdString();
    in.currentDir = QDir::currentPath().toStdString();
    if (argc > 1) in.argDiary = QString::fromLocal8Bit(argv[1]).toStdString();
    in.envDiary = qEnvironmentVariable("MEKURI_DIARY").toStdString();
    return ChoosePlaces(in);
}

// For measuring start-up and for install checks: tells "first-paint" on the standard
// output and closes the window (through the normal close sequence, so settings are
// written) as soon as it has been painted once.
class TQuitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // The window's own paint event comes before its children's; the whole first
            // picture is on screen once control is back in the event loop.
            QWidget* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] {
                std::fputs("first-paint\n", stdout);
                std::fflush(stdout);
                window->close();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    TFontWarmUp fonts;
    TApplication app(argc, argv);
    fonts.Fill();
    InstallQtJapanese(app);
    const TPlaces places = FindPlaces(argc, argv);
    for (const std::string& dir : {places.settingsDir, places.diaryDir}) {
        if (!QDir().mkpath(QString::fromStdString(dir))) {
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
    TQuitAfterFirstPaint quitter;
    if (qEnvironmentVariableIsSet("MEKURI_QUIT_AFTER_FIRST_PAINT")) form.installEventFilter(&quitter);
    form.show();
    return app.exec();
}
