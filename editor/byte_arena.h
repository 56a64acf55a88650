#pragma once
// Storage for row bytes: large chunks that never move, handed out in pieces. Rows point
// into it, so a loaded file costs its own size plus a few bytes per row instead of one
// heap block per row. Replaced text is not reclaimed piecemeal; the row store copies the
// live rows into a fresh arena when the dead bytes outweigh them.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

class TByteArena {
public:
    TByteArena() = default;
    TByteArena(TByteArena&&) noexcept = default;
    TByteArena& operator=(TByteArena&&) noexcept = default;

    // `n` bytes that stay where they are until Clear or destruction.
    char* Allocate(size_t n);
    // A copy of `s` in the arena; an empty view for empty input.
    std::string_view Store(std::string_view s);
    // Makes sure that the next allocations up to `n` bytes come from one block.
    void Reserve(size_t n);
    // Bytes left in the current block.
    size_t Room() const { return cap_ - used_; }
    // Start of the free space of the current block (Room() bytes).
    char* Cursor() { return cur_ + used_; }
    // Marks `n` bytes at Cursor() as used.
    void Commit(size_t n) { used_ += n; }

    size_t BytesHeld() const { return held_; }
    void Clear();

private:
    static constexpr size_t MinBlock = 64 * 1024;

    struct Free {
        void operator()(char* p) const;
    };
    std::vector<std::unique_ptr<char, Free>> blocks_;
    char* cur_ = nullptr;
    size_t used_ = 0;
    size_t cap_ = 0;
    size_t held_ = 0;
};
