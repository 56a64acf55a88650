#pragma once
// `mekuri COMMAND …`: the diary's commands for terminals and scripts, run without a
// window or an X server. Results go to standard output in UTF-8, messages in Japanese to
// standard error; exit status 0 for success, 1 for "nothing found", 2 for an error.
#include <optional>
#include <string>
#include <vector>

// Runs the command that argv names (or --help, --version) and returns its exit status;
// nothing when the window is to start: with no argument, or with one that names an
// existing folder or a new one given as a path. Anything else is refused with exit status 2
// and a message. `defaultFolder` gives the diary folder the window would use; it is asked
// only when a command runs. `settingsFolder`, when given, finds the folder of "Mekuri.ini"
// the same way.
std::optional<int> RunCommandLine(int argc, char** argv, std::string (*defaultFolder)(),
                                  std::string (*settingsFolder)() = nullptr);

// What every command is given: its own arguments (after the command's name) and the
// diary folder the window would use when no --folder is given.
struct TCommandInput {
    std::vector<std::string> args;
    std::string defaultFolder;
    std::string settingsFolder;  // where "Mekuri.ini" is; empty when unknown
};

// The commands, one file each.
int RunDaysCommand(const TCommandInput& in);
int RunSearchCommand(const TCommandInput& in);
int RunExportCommand(const TCommandInput& in);
int RunConflictsCommand(const TCommandInput& in);
