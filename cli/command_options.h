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
// Standard output went to a pipe whose reader had gone: the status a shell shows for a
// command that SIGPIPE ended (128 + 13), also when SIGPIPE was ignored.
constexpr int kExitClosedPipe = 141;

// Writes "mekuri <command>: <message>" ("mekuri: <message>" without a command) to standard
// error, after the output printed before it.
void CommandMessage(std::string_view command, std::string_view message);
// The same, returning kExitError.
int CommandError(std::string_view command, std::string_view message);

// The diary folder a command works on: --folder when given, else the window's. Empty
// with a message written to standard error when that folder cannot be listed.
std::optional<std::string> CommandFolder(std::string_view command, const std::string& folderOption,
                                         const std::string& defaultFolder);

// A date given on the command line (YYYY-MM-DD, a day that exists); a message when not.
std::optional<TYMD> CommandDate(std::string_view command, const std::string& text);

// Whether `first`..`last` is a period; a message when `first` comes after `last`.
bool CommandPeriod(std::string_view command, const TYMD& first, const TYMD& last);

// The words of the commands for a diary file or folder they could not read.
std::string UnreadableFileMessage(const std::string& fileName, int err);
std::string UnreadableFolderMessage(const std::string& folder, int err);

// A command's arguments split into options and operands. Options come as "--name VALUE"
// or "--name=VALUE" (or as a bare flag); "--" ends the options. An option may be given
// once, and its value may not be empty.
struct TCommandArgs {
    std::map<std::string, std::string, std::less<>> values;
    std::set<std::string, std::less<>> flags;
    std::vector<std::string> operands;
    bool help = false;  // --help or -h

    bool Has(std::string_view flag) const { return flags.contains(flag); }
    std::string Value(std::string_view name) const;
};

// `withValue` and `flags` name the options the command takes ("--folder", "--exact").
// An unknown, repeated or empty option, or a missing value, is written to standard error
// and gives nothing.
std::optional<TCommandArgs> ParseCommandArgs(std::string_view command, const std::vector<std::string>& args,
                                            const std::vector<std::string_view>& withValue,
                                            const std::vector<std::string_view>& flags);
