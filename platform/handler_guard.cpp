#include "platform/handler_guard.h"

#include "platform/application.h"

namespace handler_guard {
namespace {

// One user-interface thread: plain statics suffice.
int depth = 0;
std::exception_ptr pending;

void ReportPending() {
    if (!pending) return;
    std::exception_ptr error = std::move(pending);
    pending = nullptr;
    TApplication::ReportException(error);
}

}  // namespace

TScope::TScope() { ++depth; }

TScope::~TScope() {
    if (--depth == 0) ReportPending();
}

// Later errors of the same event are most often consequences of the first.
void TScope::Failed(std::exception_ptr error) {
    if (!pending) pending = std::move(error);
}

// The event counts as the outermost scope of the handlers it runs.
TDispatchScope::TDispatchScope() : depth_(depth), pending_(std::move(pending)) {
    depth = 1;
    pending = nullptr;
}

TDispatchScope::~TDispatchScope() {
    depth = 0;
    ReportPending();
    depth = depth_;
    pending = std::move(pending_);
}

}  // namespace handler_guard

bool HandlerFailed() { return handler_guard::pending != nullptr; }
