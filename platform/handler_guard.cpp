#include "platform/handler_guard.h"

#include "platform/application.h"

namespace handler_guard {
namespace {

// One user-interface thread: plain statics suffice.
int depth = 0;
std::exception_ptr pending;

}  // namespace

TScope::TScope() { ++depth; }

TScope::~TScope() {
    if (--depth > 0 || !pending) return;
    std::exception_ptr error = std::move(pending);
    pending = nullptr;
    TApplication::ReportException(error);
}

// Later errors of the same event are most often consequences of the first.
void TScope::Failed(std::exception_ptr error) {
    if (!pending) pending = std::move(error);
}

TDispatchScope::TDispatchScope() : depth_(depth), pending_(std::move(pending)) {
    depth = 0;
    pending = nullptr;
}

TDispatchScope::~TDispatchScope() {
    depth = depth_;
    pending = std::move(pending_);
}

}  // namespace handler_guard
