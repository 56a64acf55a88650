#include "editor/byte_arena.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

constexpr size_t HugePage = 2u << 20;

// Large blocks (a loaded file) are asked for in huge pages where the system offers them:
// filling 100 MB then costs a few dozen page faults instead of tens of thousands.
char* AllocateBlock(size_t size) {
    void* p = nullptr;
#if defined(MADV_HUGEPAGE)
    if (size >= 2 * HugePage) {
        size_t rounded = (size + HugePage - 1) / HugePage * HugePage;
        p = std::aligned_alloc(HugePage, rounded);
        if (p) ::madvise(p, rounded, MADV_HUGEPAGE);
    }
#endif
    if (!p) p = std::malloc(size);
    if (!p) throw std::bad_alloc();
    return static_cast<char*>(p);
}

}  // namespace

void TByteArena::Free::operator()(char* p) const { std::free(p); }

char* TByteArena::Allocate(size_t n) {
    if (n > Room()) Reserve(n);
    char* p = cur_ + used_;
    used_ += n;
    return p;
}

std::string_view TByteArena::Store(std::string_view s) {
    if (s.empty()) return {};
    char* p = Allocate(s.size());
    std::memcpy(p, s.data(), s.size());
    return {p, s.size()};
}

void TByteArena::Reserve(size_t n) {
    if (n <= Room()) return;
    size_t size = n < MinBlock ? MinBlock : n;
    blocks_.emplace_back(AllocateBlock(size));
    cur_ = blocks_.back().get();
    used_ = 0;
    cap_ = size;
    held_ += size;
}

void TByteArena::Clear() {
    blocks_.clear();
    cur_ = nullptr;
    used_ = cap_ = held_ = 0;
}
