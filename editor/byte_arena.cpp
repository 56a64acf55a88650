#include "editor/byte_arena.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>

namespace {

constexpr size_t HugePage = 2u << 20;

}  // namespace

std::shared_ptr<char> AllocateBytes(size_t size) {
    if (size == 0) size = 1;
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
    // On failure the shared pointer frees `p` itself.
    return std::shared_ptr<char>(static_cast<char*>(p), std::free);
}
