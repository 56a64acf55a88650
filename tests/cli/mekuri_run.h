#pragma once
// Runs the real program as a script would: no display, its output and status kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct TRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs Mekuri (or `program`) with `args` (already quoted for the shell) and no display.
inline TRun Mekuri(const std::string& args, const std::string& env = {}, const std::string& program = MEKURI_PROGRAM) {
    const std::string errFile = (std::filesystem::temp_directory_path() / ("mekuri-run-err-" + std::to_string(::getpid()))).string();
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb " + env + " '" + program + "' " +
                                args + " 2>'" + errFile + "'";
    TRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int wait = ::pclose(pipe);
    run.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : -1;
    std::ifstream in(errFile, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    run.err = s.str();
    std::remove(errFile.c_str());
    return run;
}
