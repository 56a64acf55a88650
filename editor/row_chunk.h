#pragma once
// One chunk of the row list: the rows of whole logical lines, their bytes end to end in
// one buffer. Shared by the row list's files only.
#include "editor/row_list.h"
#include "platform/exceptions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace row_chunk {

inline constexpr size_t MaxChunkBytes = std::numeric_limits<uint32_t>::max();

[[noreturn]] inline void TooLong() { throw EFileError("1 行が長すぎます (4G バイト以上)"); }

}  // namespace row_chunk

struct TRowList::TChunk {
    const TLimits* limits = nullptr;
    std::shared_ptr<char> store;  // the buffer `base` points into
    char* base = nullptr;
    uint32_t size = 0;
    uint32_t cap = 0;  // 0: the bytes lie in a loaded block shared with other chunks, read only
    std::vector<uint32_t> ends;  // end offset of each row from `base`
    std::vector<uint8_t> kinds;
    int lineEnds = 0;
    int breaks = 0;

    int Rows() const { return static_cast<int>(ends.size()); }
    uint32_t Start(int i) const { return i > 0 ? ends[i - 1] : 0; }
    std::string_view Row(int i) const { return {base + Start(i), ends[i] - Start(i)}; }
    bool Full() const { return Rows() >= limits->fillRows || size >= limits->fillBytes; }
    bool Large() const { return Rows() > 2 * limits->fillRows || size > 2 * limits->fillBytes; }
    bool Small() const { return Rows() < limits->fillRows / 4 && size < limits->fillBytes / 4; }
    bool Contains(const char* p) const {
        auto a = reinterpret_cast<uintptr_t>(base), x = reinterpret_cast<uintptr_t>(p);
        return x >= a && x < a + std::max(size, cap);
    }
    void Count(int kind, int d) {
        if (kind != rkWrap) lineEnds += d;
        if (kind == rkBreak) breaks += d;
    }
    void Recount() {
        lineEnds = breaks = 0;
        for (uint8_t k : kinds) Count(k, 1);
    }

    // A writable buffer of the chunk's own with room for `extra` more bytes.
    void Own(size_t extra) {
        size_t need = size_t{size} + extra;
        if (need > row_chunk::MaxChunkBytes) row_chunk::TooLong();
        if (cap != 0 && need <= cap) return;
        Reallocate(std::min(row_chunk::MaxChunkBytes, std::max<size_t>(need + need / 2, 256)));
    }
    // Gives back most of a buffer that deletions left largely empty.
    void ShrinkIfSparse() {
        if (cap != 0 && cap > 2 * size_t{size} + 4096) Reallocate(size + size / 4 + 256);
    }
    void Reallocate(size_t capacity) {
        char* raw = static_cast<char*>(std::malloc(capacity));
        if (!raw) throw std::bad_alloc();
        std::shared_ptr<char> fresh(raw, std::free);
        if (size) std::memcpy(raw, base, size);
        store = std::move(fresh);
        base = raw;
        cap = static_cast<uint32_t>(capacity);
    }

    void Append(std::string_view text, int kind) {
        if (!text.empty()) {
            Own(text.size());
            std::memcpy(base + size, text.data(), text.size());
            size += static_cast<uint32_t>(text.size());
        }
        ends.push_back(size);
        kinds.push_back(static_cast<uint8_t>(kind));
        Count(kind, 1);
    }

    // Removes rows i..i+n-1 (n < Rows) and their bytes.
    void Cut(int i, int n) {
        const uint32_t s = Start(i), e = ends[i + n - 1], d = e - s;
        for (int j = i; j < i + n; ++j) Count(kinds[j], -1);
        if (i + n < Rows() && d > 0) {
            if (cap == 0 && i == 0) {
                base += d;  // loaded bytes: the window just starts later
            } else {
                Own(0);
                std::memmove(base + s, base + e, size - e);
            }
            for (int j = i + n; j < Rows(); ++j) ends[j] -= d;
        }
        size -= d;
        ends.erase(ends.begin() + i, ends.begin() + i + n);
        kinds.erase(kinds.begin() + i, kinds.begin() + i + n);
        ShrinkIfSparse();
    }
};
