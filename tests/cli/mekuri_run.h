#pragma once
// Runs the program through the shell, its arguments quoted as a script would write them.
#include "mekuri_process.h"

using TRun = TOutcome;

// Runs Mekuri (or `program`) with `args` and `env` (already quoted for the shell).
inline TRun Mekuri(const std::string& args, const std::string& env = {}, const std::string& program = MEKURI_PROGRAM) {
    return RunMekuri({.args = {"-c", "exec env " + env + " '" + program + "' " + args}, .program = "/bin/sh"});
}
