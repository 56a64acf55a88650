#pragma once
// Runs a piece of a test in a child process, so that a hang, a fatal signal or a kill at a
// chosen moment can be observed from the parent instead of taking the test program down.
#include <functional>

struct TChildResult {
    bool finished = false;  // false: still running after the time allowed, then killed
    int exitCode = -1;      // the child's exit status when it exited normally
    int signal = 0;         // the signal that ended it otherwise
};

// `body` runs in a forked child; its return value is the exit status (an exception gives
// 99). Waits at most `seconds`.
TChildResult RunInChild(const std::function<int()>& body, double seconds);
