#include "window/quit_signals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};

void OnSignal(int sig) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(sig);
    (void)!::write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

TQuitSignals::TQuitSignals(std::initializer_list<int> quitSignals, std::function<void()> beforeEnd)
    : beforeEnd_(std::move(beforeEnd)) {
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { Arrived(); });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : quitSignals) ::sigaction(sig, &action, nullptr);
}

TQuitSignals::~TQuitSignals() = default;

void TQuitSignals::Arrived() {
    unsigned char byte = 0;
    if (::read(pipeFds[0], &byte, 1) != 1) return;
    try {
        if (beforeEnd_) beforeEnd_();
    } catch (...) {
        // Ending is what was asked; nothing here may keep the program alive.
    }
    ::signal(byte, SIG_DFL);
    ::raise(byte);
}
