#pragma once
// What the commands share: reading dates and options, choosing the folder, and the
// exit statuses and error messages in the habits of command-line tools.
#include "calendar/iso_date.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

constexpr int kExitFound = 0;
constexpr int kExitNothing = 1;
constexpr int kExitError = 2;

// Writes "mekuri <command>: <message>" to standard error and returns kExitError.
int CommandError(std::string_view command, std::string_view message);

// The diary folder a command works on: --folder when given, else the window's. Empty
// with a message written to standard error when that folder cannot be listed.
std::optional<std::string> CommandFolder(std::string_view command, const std::string& folderOption,
                                         const std::string& defaultFolder);

// A command's arguments split into options and operands. Options come as "--name VALUE"
// or "--name=VALUE" (or as a bare flag); "--" ends the options.
struct TCommandArgs {
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> operands;
    bool help = false;  // --help or -h

    bool Has(std::string_view flag) const { return flags.contains(flag); }
    std::string Value(std::string_view name) const;
};

// `withValue` and `flags` name the options the command takes ("--folder", "--exact").
// An unknown option or a missing value is written to standard error and gives nothing.
std::optional<TCommandArgs> ParseCommandArgs(std::string_view command, const std::vector<std::string>& args,
                                            const std::vector<std::string_view>& withValue,
                                            const std::vector<std::string_view>& flags);
