#include "cli/command_output.h"
#include "cli/command_options.h"

#include "platform/file_error.h"

#include <cerrno>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t kBlock = 64 * 1024;

std::string pending;
int failure = 0;  // the errno of the first write that failed
bool wrote = false;  // a closed standard output is no failure of a command that writes nothing

void WriteAll(std::string_view rest) {
    wrote = wrote || !rest.empty();
    while (!rest.empty() && failure == 0) {
        const ssize_t n = ::write(STDOUT_FILENO, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failure = errno;
        else rest.remove_prefix(static_cast<size_t>(n));
    }
}

}  // namespace

void CommandOut(std::string_view text) {
    if (failure != 0) return;
    if (pending.size() + text.size() < kBlock) {
        pending += text;
        return;
    }
    // A large text (a whole export) goes out as it is, not copied.
    FlushCommandOutput();
    WriteAll(text);
}

void FlushCommandOutput() {
    WriteAll(pending);
    pending.clear();
}

bool CommandOutputFailed() { return failure != 0; }

int FinishCommandOutput(std::string_view command, int status) {
    FlushCommandOutput();
    if (::close(STDOUT_FILENO) != 0 && failure == 0 && wrote && errno != EINTR) failure = errno;
    if (failure == 0) return status;
    if (failure == EPIPE) return kExitClosedPipe;
    return CommandError(command, "標準出力に書き込めません。" + FileErrorReason(failure) + "。");
}
