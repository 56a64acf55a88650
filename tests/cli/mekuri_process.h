#pragma once
// Runs the built program as a real process with the standard output a script might give
// it: a file, a full device, a pipe whose reader has gone, or none at all; with SIGPIPE
// ignored and a file-size limit when asked. No display is offered.
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

enum class TStdout { File, Full, ClosedPipe, Closed };

struct TProcess {
    std::vector<std::string> args;
    std::string cwd = {};  // empty: the test's own
    TStdout out = TStdout::File;
    bool ignorePipe = false;
    long fileLimit = -1;                // bytes, for RLIMIT_FSIZE
    std::vector<std::string> env = {};  // NAME=VALUE added
    std::string program = MEKURI_PROGRAM;
};

struct TOutcome {
    int status = -1;  // the exit status, or 1000 + the signal that ended the process
    std::string out, err;
};

inline std::string SlurpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline TOutcome RunMekuri(const TProcess& p) {
    const std::string base =
        (std::filesystem::temp_directory_path() / ("mekuri-process-" + std::to_string(::getpid()))).string();
    int pipeFds[2] = {-1, -1};
    if (p.out == TStdout::ClosedPipe && ::pipe(pipeFds) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        int err = ::open((base + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int out = -1;
        switch (p.out) {
        case TStdout::File: out = ::open((base + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600); break;
        case TStdout::Full: out = ::open("/dev/full", O_WRONLY); break;
        case TStdout::ClosedPipe: out = pipeFds[1]; break;
        case TStdout::Closed: break;
        }
        if (err < 0 || ::dup2(err, 2) < 0) ::_exit(97);
        if (out >= 0 ? ::dup2(out, 1) < 0 : ::close(1) != 0) ::_exit(97);
        if (p.out == TStdout::ClosedPipe) ::close(pipeFds[0]);
        // What the caller ignored would otherwise be ignored here too.
        std::signal(SIGPIPE, p.ignorePipe ? SIG_IGN : SIG_DFL);
        std::signal(SIGXFSZ, SIG_DFL);
        if (p.fileLimit >= 0) {
            const rlimit limit{static_cast<rlim_t>(p.fileLimit), static_cast<rlim_t>(p.fileLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(97);
        }
        if (!p.cwd.empty() && ::chdir(p.cwd.c_str()) != 0) ::_exit(97);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        for (const std::string& e : p.env) ::putenv(const_cast<char*>(e.c_str()));
        std::vector<std::string> all{p.program};
        all.insert(all.end(), p.args.begin(), p.args.end());
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(p.program.c_str(), argv.data());
        ::_exit(98);
    }
    // The reader goes before the program writes anything.
    if (p.out == TStdout::ClosedPipe) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
    }
    int wait = 0;
    ::waitpid(pid, &wait, 0);
    TOutcome r;
    r.status = WIFEXITED(wait) ? WEXITSTATUS(wait) : 1000 + WTERMSIG(wait);
    r.out = SlurpFile(base + ".out");
    r.err = SlurpFile(base + ".err");
    std::filesystem::remove(base + ".out");
    std::filesystem::remove(base + ".err");
    return r;
}
