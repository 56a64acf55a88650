#pragma once
// Where the program keeps "Mekuri.ini" and where it writes the day files. Run from its
// build tree it keeps both beside what it was given (settings in the program's folder,
// day files in the current folder); installed, its folder is not the user's to write, so
// the settings go to the user's configuration folder and the diary to ~/Mekuri.
#include <string>

struct TPlacesInput {
    std::string programDir;      // the folder of the executable
    bool programDirWritable = false;
    bool installed = false;      // the executable sits in an installed layout
    std::string configDir;       // the user's configuration folder for this program
    std::string homeDir;
    std::string currentDir;
    std::string argDiary;        // a diary folder named on the command line, or empty
    std::string envDiary;        // MEKURI_DIARY, or empty
};

struct TPlaces {
    std::string settingsDir;
    std::string diaryDir;
};

// A diary folder given on the command line wins over MEKURI_DIARY, which wins over the
// default: ~/Mekuri when installed, else the current folder.
TPlaces ChoosePlaces(const TPlacesInput& in);

// Whether the folder of `programDir` looks like an installed program: <prefix>/bin with
// the program's shared data under <prefix>/share.
bool LooksInstalled(const std::string& programDir);

// The program's own file, symbolic links resolved (from /proc/self/exe), or an empty
// string when the system does not say.
std::string ProgramFile();

// The folder the window would open with no folder named on the command line, worked out
// without Qt for the commands.
std::string DefaultDiaryFolder();
// The folder the window keeps "Mekuri.ini" in, worked out the same way.
std::string DefaultSettingsFolder();

// The folder "Mekuri.ini" lives in; the program's folder until SetSettingsFolder.
const std::string& SettingsFolder();
void SetSettingsFolder(const std::string& folder);
