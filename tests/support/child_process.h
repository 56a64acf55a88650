#pragma once
// Runs a piece of a test in a child process, so that a hang, a fatal signal or a kill at a
// chosen moment can be observed from the parent instead of taking the test program down.
#include <functional>
#include <string>
#include <sys/types.h>

struct TChildResult {
    bool finished = false;  // false: still running after the time allowed, then killed
    int exitCode = -1;      // the child's exit status when it exited normally
    int signal = 0;         // the signal that ended it otherwise
};

// `body` runs in a forked child; its return value is the exit status (an exception gives
// 99). Waits at most `seconds`.
TChildResult RunInChild(const std::function<int()>& body, double seconds);

// The user RunUnprivileged runs as when the tests run as the superuser, who passes every
// permission check and so would hide what an ordinary user meets.
constexpr uid_t kUnprivilegedUser = 65534;  // nobody

// `body` in a child as an ordinary user, under umask 022: kUnprivilegedUser when the tests
// run as the superuser, else the user running them.
TChildResult RunUnprivileged(const std::function<int()>& body, double seconds = 30);

// A diary folder set up as badly as a shared one can be: 0777 without the sticky bit,
// belonging to the user RunUnprivileged runs as, so that anyone may put a link in it. Beside
// it, that user's own folder (0755) with a file of theirs, where a planted link may lead.
class TOpenFolder {
public:
    TOpenFolder();
    ~TOpenFolder();
    TOpenFolder(const TOpenFolder&) = delete;
    TOpenFolder& operator=(const TOpenFolder&) = delete;

    std::string Diary(const std::string& name = {}) const;
    // The user's own file ("secret.txt") and a name in their folder that does not exist.
    std::string OwnFile() const;
    std::string NewName() const;
    // Whether both are as they were: the file holds what it held, the new name is absent.
    bool LinkTargetsUntouched() const;
    // Gives `path` to the user RunUnprivileged runs as (nothing to do when not superuser).
    void GiveToUser(const std::string& path) const;
    // Whether links this process makes belong to another user than RunUnprivileged's.
    static bool PlantsAsAnotherUser();

private:
    std::string root_;
};
