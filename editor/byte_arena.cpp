#include "editor/byte_arena.h"

#include <cstring>

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
    blocks_.emplace_back(new char[size]);
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
