#include "support/child_process.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

TChildResult RunInChild(const std::function<int()>& body, double seconds) {
    pid_t pid = ::fork();
    if (pid == 0) {
        int code = 99;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    TChildResult result;
    if (pid < 0) return result;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    result.finished = true;
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

TChildResult RunUnprivileged(const std::function<int()>& body, double seconds) {
    return RunInChild(
        [&] {
            ::umask(022);
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedUser) != 0 ||
                                     ::setuid(kUnprivilegedUser) != 0))
                return 98;
            return body();
        },
        seconds);
}

namespace {
constexpr const char* kSecret = "the user's own file\n";
}

TOpenFolder::TOpenFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "mekuri-open-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    root_ = pattern;
    ::chmod(root_.c_str(), 0755);  // the user must reach the folders inside
    ::mkdir(Diary().c_str(), 0777);
    ::chmod(Diary().c_str(), 0777);  // whatever the umask
    const std::string own = root_ + "/own";
    ::mkdir(own.c_str(), 0755);
    std::ofstream(OwnFile(), std::ios::binary) << kSecret;
    ::chmod(OwnFile().c_str(), 0644);
    for (const std::string& path : {Diary(), own, OwnFile()}) GiveToUser(path);
}

TOpenFolder::~TOpenFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::string TOpenFolder::Diary(const std::string& name) const {
    return root_ + "/diary" + (name.empty() ? "" : "/" + name);
}

std::string TOpenFolder::OwnFile() const { return root_ + "/own/secret.txt"; }

std::string TOpenFolder::NewName() const { return root_ + "/own/new.txt"; }

bool TOpenFolder::LinkTargetsUntouched() const {
    std::ifstream in(OwnFile(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    struct stat st {};
    return bytes == kSecret && ::lstat(NewName().c_str(), &st) != 0;
}

void TOpenFolder::GiveToUser(const std::string& path) const {
    if (::geteuid() == 0 && ::lchown(path.c_str(), kUnprivilegedUser, kUnprivilegedUser) != 0) std::abort();
}

bool TOpenFolder::PlantsAsAnotherUser() { return ::geteuid() == 0; }
