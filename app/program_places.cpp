#include "app/program_places.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
std::string settingsFolder;
}

TPlaces ChoosePlaces(const TPlacesInput& in) {
    TPlaces places;
    const bool userFolders = in.installed || !in.programDirWritable;
    places.settingsDir = userFolders ? in.configDir : in.programDir;
    if (!in.argDiary.empty())
        places.diaryDir = in.argDiary;
    else if (!in.envDiary.empty())
        places.diaryDir = in.envDiary;
    else if (in.installed)
        places.diaryDir = (fs::path(in.homeDir) / "Mekuri").string();
    else
        places.diaryDir = in.currentDir;
    return places;
}

bool LooksInstalled(const std::string& programDir) {
    std::error_code ec;
    const fs::path dir(programDir);
    return dir.filename() == "bin" &&
           fs::exists(dir.parent_path() / "share" / "applications" / "jp.mekuri.Mekuri.desktop", ec);
}

std::string ProgramFile() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
}

const std::string& SettingsFolder() { return settingsFolder; }

void SetSettingsFolder(const std::string& folder) { settingsFolder = folder; }

namespace {

// What the window would find about its own places, worked out without Qt.
TPlacesInput CommandPlacesInput() {
    const std::string exe = ProgramFile();
    std::error_code ec;
    TPlacesInput in;
    in.programDir = exe.empty() ? fs::current_path(ec).string() : fs::path(exe).parent_path().string();
    in.programDirWritable = ::access(in.programDir.c_str(), W_OK) == 0;
    in.installed = LooksInstalled(in.programDir);
    const char* home = std::getenv("HOME");
    in.homeDir = home ? home : "";
    in.currentDir = fs::current_path(ec).string();
    const char* env = std::getenv("MEKURI_DIARY");
    in.envDiary = env ? env : "";
    // Where Qt puts the configuration of an application named "Mekuri".
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const fs::path configHome = config && *config == '/' ? fs::path(config) : fs::path(in.homeDir) / ".config";
    in.configDir = (configHome / "Mekuri").string();
    return in;
}

}  // namespace

std::string DefaultDiaryFolder() { return ChoosePlaces(CommandPlacesInput()).diaryDir; }

std::string DefaultSettingsFolder() { return ChoosePlaces(CommandPlacesInput()).settingsDir; }
