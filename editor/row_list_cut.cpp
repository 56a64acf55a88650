// Cutting lines into rows over the bytes they already have, and appending loaded rows.
#include "editor/byte_masks.h"
#include "editor/column_map.h"
#include "editor/row_chunk.h"

#include <cstring>
#include <stdexcept>

using row_chunk::MaxChunkBytes;
using row_chunk::TooLong;

namespace {

// Rows past a chunk's fill that a loaded chunk of wrapped rows has room for: a diary's
// line gives a row or two.
constexpr int kSpareWrappedRows = 32;

}  // namespace

// --- Cutting lines into rows ----------------------------------------------------------------

void TRowList::Recut(int r, int n, const std::vector<TRowCut>& cuts) {
    auto [k, i] = Locate(r);
    TChunk& c = *chunks_[k];
    if (n <= 0 || cuts.empty() || i + n > c.Rows()) throw std::logic_error("a line's rows span two chunks");
    uint32_t at = c.Start(i);
    std::vector<uint32_t> ends;
    std::vector<uint8_t> kinds;
    ends.reserve(cuts.size());
    kinds.reserve(cuts.size());
    for (const TRowCut& cut : cuts) {
        at += cut.length;
        ends.push_back(at);
        kinds.push_back(static_cast<uint8_t>(cut.kind));
    }
    if (at != c.ends[i + n - 1]) throw std::logic_error("re-cut rows must keep their bytes");
    const int linesBefore = c.lineEnds, breaksBefore = c.breaks;
    for (int j = i; j < i + n; ++j) c.Count(c.kinds[j], -1);
    for (uint8_t kind : kinds) c.Count(kind, 1);
    const int m = static_cast<int>(cuts.size());
    if (m == n) {
        std::copy(ends.begin(), ends.end(), c.ends.begin() + i);
        std::copy(kinds.begin(), kinds.end(), c.kinds.begin() + i);
    } else {
        c.ends.erase(c.ends.begin() + i, c.ends.begin() + i + n);
        c.ends.insert(c.ends.begin() + i, ends.begin(), ends.end());
        c.kinds.erase(c.kinds.begin() + i, c.kinds.begin() + i + n);
        c.kinds.insert(c.kinds.begin() + i, kinds.begin(), kinds.end());
    }
    rows_ += m - n;
    lineEnds_ += c.lineEnds - linesBefore;
    breaks_ += c.breaks - breaksBefore;
    TreeAdd(k, m - n, c.lineEnds - linesBefore);
    Tidy(k);
}

void TRowList::RecutAll(bool wrap, int wrapByte, int tabSpaceCount, int lastKind) {
    if (chunks_.empty()) return;
    std::vector<uint32_t> ends;
    std::vector<uint8_t> kinds;
    std::vector<uint32_t> tabs;  // tab positions in the chunk
    TChunks out;
    out.reserve(chunks_.size());
    // Head first, then the tail, each cut again while too large.
    auto push = [&](auto&& self, std::unique_ptr<TChunk> c) -> void {
        auto tail = SplitTail(*c);
        out.push_back(std::move(c));
        if (!tail) return;
        auto head = std::move(out.back());
        out.pop_back();
        self(self, std::move(head));
        self(self, std::move(tail));
    };
    rows_ = lineEnds_ = breaks_ = 0;
    for (size_t k = 0; k < chunks_.size(); ++k) {
        TChunk& c = *chunks_[k];
        ends.clear();
        kinds.clear();
        const int n = c.Rows();
        // Tabs are found once per chunk, so that a line known to be narrower than a row
        // (its bytes and the most its tabs can add) costs no look at its bytes at all.
        tabs.clear();
        if (wrap) ForEachByte(c.base, c.size, '\t', [&](uint64_t at) { tabs.push_back(static_cast<uint32_t>(at)); });
        tabs.push_back(std::numeric_limits<uint32_t>::max());
        size_t tab = 0;
        for (int i = 0; i < n;) {
            int j = i;
            while (j < n - 1 && c.kinds[j] == rkWrap) ++j;
            const uint32_t s = c.Start(i);
            size_t widest = c.ends[j] - s + 1;
            for (; tabs[tab] < c.ends[j]; ++tab) widest += static_cast<size_t>(tabSpaceCount) - 1;
            if (!wrap || widest < static_cast<size_t>(wrapByte)) {
                ends.push_back(c.ends[j]);
                kinds.push_back(rkBreak);
            } else {
                WrapLine(std::string_view(c.base + s, c.ends[j] - s), wrapByte, tabSpaceCount,
                         [&](size_t offset, size_t length, bool wrapped) {
                             ends.push_back(static_cast<uint32_t>(s + offset + length));
                             kinds.push_back(wrapped ? rkWrap : rkBreak);
                         });
            }
            i = j + 1;
        }
        if (k + 1 == chunks_.size()) kinds.back() = static_cast<uint8_t>(lastKind);
        if (ends != c.ends || kinds != c.kinds) {
            c.ends.swap(ends);
            c.kinds.swap(kinds);
            c.Recount();
        }
        Account(c, 1);
        bytes_ -= c.size;  // the bytes did not change
        push(push, std::move(chunks_[k]));
    }
    chunks_ = std::move(out);
    counts_.clear();
    for (const auto& c : chunks_) counts_.push_back({c->Rows(), c->lineEnds});
    Restructured();
}

// --- Loading --------------------------------------------------------------------------------

namespace {

// Rows of kind rkWrap and of kind rkEnd among kinds[0, m). The kinds are 0, 1 and 2, so a
// kind's bits say which it is, and eight of them are counted at once by a multiplication
// that adds the bytes of a word: a wrapped load hands over millions of kinds.
void CountKinds(const uint8_t* kinds, size_t m, int& wraps, int& unended) {
    static_assert(rkBreak == 0 && rkWrap == 1 && rkEnd == 2);
    constexpr uint64_t ones = 0x0101010101010101;
    size_t j = 0;
    uint64_t w = 0, e = 0;
    for (; j + 8 <= m; j += 8) {
        uint64_t word;
        std::memcpy(&word, kinds + j, 8);
        w += ((word & ones) * ones) >> 56;
        e += (((word >> 1) & ones) * ones) >> 56;
    }
    for (; j < m; ++j) {
        w += kinds[j] == rkWrap;
        e += kinds[j] == rkEnd;
    }
    wraps = static_cast<int>(w);
    unended = static_cast<int>(e);
}

}  // namespace

void TRowList::AppendShared(const std::shared_ptr<char>& block, size_t capacity, const char* data, size_t length,
                            int kind) {
    AppendLoaded(block, capacity, data, length, kind, 0);
}

void TRowList::AppendLoaded(const std::shared_ptr<char>& block, size_t capacity, const char* data, size_t length,
                            int kind, int spareRows) {
    if (length > MaxChunkBytes) TooLong();
    TChunk* c = chunks_.empty() ? nullptr : chunks_.back().get();
    const bool extend = c && c->cap == 0 && c->store == block && c->base + c->size == data &&
                        size_t{c->size} + length <= MaxChunkBytes && (c->kinds.back() == rkWrap || !c->Full());
    if (!extend && c && c->kinds.back() == rkWrap) {
        // The open line's rows must stay in one chunk, so these bytes are copied after it.
        const int linesBefore = c->lineEnds;
        c->Append(std::string_view(data, length), kind);
        ++rows_;
        bytes_ += static_cast<int64_t>(length);
        lineEnds_ += c->lineEnds - linesBefore;
        breaks_ += kind == rkBreak;
        TreeAdd(static_cast<int>(chunks_.size()) - 1, 1, c->lineEnds - linesBefore);
        return;
    }
    if (!extend) {
        if (blocks_.empty() || blocks_.back().block.lock() != block) blocks_.push_back({block, capacity});
        auto fresh = std::make_unique<TChunk>();
        fresh->limits = &limits_;
        fresh->store = block;
        fresh->base = const_cast<char*>(data);
        fresh->ends.reserve(static_cast<size_t>(limits_.fillRows + spareRows));
        fresh->kinds.reserve(static_cast<size_t>(limits_.fillRows + spareRows));
        chunks_.push_back(std::move(fresh));
        counts_.push_back({0, 0});
        c = chunks_.back().get();
        Restructured();
    }
    c->size += static_cast<uint32_t>(length);
    c->ends.push_back(c->size);
    c->kinds.push_back(static_cast<uint8_t>(kind));
    c->Count(kind, 1);
    ++rows_;
    bytes_ += static_cast<int64_t>(length);
    lineEnds_ += kind != rkWrap;
    breaks_ += kind == rkBreak;
    TreeAdd(static_cast<int>(chunks_.size()) - 1, 1, kind != rkWrap);
}

void TRowList::AppendShared(const std::shared_ptr<char>& block, size_t capacity, const char* data,
                            const uint32_t* ends, const uint8_t* kinds, size_t count) {
    size_t done = 0;
    uint32_t prev = 0;  // end of the rows handed over so far, from `data`
    while (done < count) {
        // The first row decides the chunk; the rows that still fit follow in bulk.
        // A chunk of wrapped rows that fills up inside a line takes the rest of the line's
        // rows too: room for a few spares saves growing its tables for them.
        AppendLoaded(block, capacity, data + prev, ends[done] - prev, kinds ? int{kinds[done]} : int{rkBreak},
                     kinds ? kSpareWrappedRows : 0);
        prev = ends[done++];
        // The rest join in bulk only where the chunk's window of the block ends at the next
        // row (a row copied after an open wrapped line, even an empty one, breaks that).
        TChunk& c = *chunks_.back();
        if (c.cap != 0 || c.base + c.size != data + prev || c.size >= limits_.fillBytes) continue;
        const size_t room = std::min<size_t>(count - done, c.Rows() < limits_.fillRows ? limits_.fillRows - c.Rows() : 0);
        // A row joins while the chunk holds fewer than fillBytes bytes before it: rows
        // done..done+m-1 where m counts the ends from ends[done - 1] on that are not yet
        // fillBytes - size past `prev`.
        const uint64_t limit = uint64_t{prev} + (limits_.fillBytes - c.size);
        size_t m = static_cast<size_t>(std::lower_bound(ends + done - 1, ends + done - 1 + room, limit,
                                                        [](uint32_t e, uint64_t l) { return e < l; }) -
                                       (ends + done - 1));
        // Only the last of them can pass the chunk's largest size.
        if (m > 0 && uint64_t{c.size} + (ends[done + m - 1] - prev) > MaxChunkBytes) --m;
        if (m == 0) continue;
        const uint32_t base = c.size - prev;  // row ends from `data` to row ends in the chunk, modulo 2^32
        const size_t at = c.ends.size();
        c.ends.resize(at + m);
        for (size_t j = 0; j < m; ++j) c.ends[at + j] = ends[done + j] + base;
        const int linesBefore = c.lineEnds, breaksBefore = c.breaks;
        if (kinds) {
            c.kinds.insert(c.kinds.end(), kinds + done, kinds + done + m);
            int wraps = 0, unended = 0;
            CountKinds(kinds + done, m, wraps, unended);
            c.lineEnds += static_cast<int>(m) - wraps;
            c.breaks += static_cast<int>(m) - wraps - unended;
        } else {
            c.kinds.resize(at + m, static_cast<uint8_t>(rkBreak));
            c.lineEnds += static_cast<int>(m);
            c.breaks += static_cast<int>(m);
        }
        const uint32_t bytes = ends[done + m - 1] - prev;
        c.size += bytes;
        rows_ += static_cast<int>(m);
        bytes_ += bytes;
        lineEnds_ += c.lineEnds - linesBefore;
        breaks_ += c.breaks - breaksBefore;
        TreeAdd(static_cast<int>(chunks_.size()) - 1, static_cast<int>(m), c.lineEnds - linesBefore);
        prev = ends[done + m - 1];
        done += m;
    }
}
