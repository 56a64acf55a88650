#include "app/program_places.h"
#include "window/qt_language.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

TPlacesInput BuildTree() {
    TPlacesInput in;
    in.programDir = "/src/build/app";
    in.programDirWritable = true;
    in.configDir = "/home/u/.config/Mekuri";
    in.homeDir = "/home/u";
    in.currentDir = "/home/u/work";
    return in;
}

}  // namespace

TEST(ProgramPlaces, BuildTreeKeepsSettingsBesideTheProgramAndDayFilesInTheCurrentFolder) {
    TPlaces p = ChoosePlaces(BuildTree());
    EXPECT_EQ(p.settingsDir, "/src/build/app");
    EXPECT_EQ(p.diaryDir, "/home/u/work");
}

TEST(ProgramPlaces, UnwritableOrInstalledProgramFolderSendsSettingsToTheConfigFolder) {
    TPlacesInput in = BuildTree();
    in.programDirWritable = false;
    EXPECT_EQ(ChoosePlaces(in).settingsDir, "/home/u/.config/Mekuri");
    EXPECT_EQ(ChoosePlaces(in).diaryDir, "/home/u/work");  // not installed: the folder it was started in

    in = BuildTree();
    in.installed = true;  // root may write to /usr/bin; installed still means the user's folders
    TPlaces p = ChoosePlaces(in);
    EXPECT_EQ(p.settingsDir, "/home/u/.config/Mekuri");
    EXPECT_EQ(p.diaryDir, "/home/u/Mekuri");
}

TEST(ProgramPlaces, CommandLineWinsOverEnvironmentWhichWinsOverDefault) {
    TPlacesInput in = BuildTree();
    in.installed = true;
    in.envDiary = "/env";
    EXPECT_EQ(ChoosePlaces(in).diaryDir, "/env");
    in.argDiary = "/arg";
    EXPECT_EQ(ChoosePlaces(in).diaryDir, "/arg");
}

TEST(ProgramPlaces, InstalledLayoutIsRecognisedByItsDesktopEntry) {
    namespace fs = std::filesystem;
    fs::path root = fs::temp_directory_path() / ("mekuri_places_" + std::to_string(::getpid()));
    fs::create_directories(root / "bin");
    fs::create_directories(root / "share" / "applications");
    EXPECT_FALSE(LooksInstalled((root / "bin").string()));
    std::ofstream(root / "share" / "applications" / "jp.mekuri.Mekuri.desktop") << "[Desktop Entry]\n";
    EXPECT_TRUE(LooksInstalled((root / "bin").string()));
    EXPECT_FALSE(LooksInstalled((root / "share").string()));  // only a bin folder holds the program
    fs::remove_all(root);
}

// Qt's print and colour dialogs follow the program's Japanese, whatever the locale.
TEST(QtLanguage, QtDialogsSpeakJapanese) {
    ASSERT_TRUE(InstallQtJapanese(*QCoreApplication::instance())) << "Qt's Japanese translations are missing";
    EXPECT_EQ(QCoreApplication::translate("QPrintDialog", "Print"), QString::fromUtf8("印刷"));
    for (QTranslator* t : QCoreApplication::instance()->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}
