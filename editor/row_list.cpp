#include "editor/row_list.h"

#include "editor/byte_masks.h"
#include "editor/column_map.h"
#include "platform/exceptions.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace {

constexpr size_t MaxChunkBytes = std::numeric_limits<uint32_t>::max();

[[noreturn]] void TooLong() { throw EFileError("1 行が長すぎます (4G バイト以上)"); }

}  // namespace

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
        if (need > MaxChunkBytes) TooLong();
        if (cap != 0 && need <= cap) return;
        Reallocate(std::min(MaxChunkBytes, std::max<size_t>(need + need / 2, 256)));
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

TRowList::TRowList() : TRowList(TLimits{1024, 64 * 1024}) {}

TRowList::TRowList(TLimits limits) : limits_(limits) {
    limits_.fillRows = std::max(limits_.fillRows, 4);
    limits_.fillBytes = std::max<uint32_t>(limits_.fillBytes, 64);
}
TRowList::~TRowList() = default;

// --- Index ----------------------------------------------------------------------------------

void TRowList::EnsureTree() const {
    if (!treeDirty_) return;
    const size_t count = chunks_.size();
    rowTree_.assign(count + 1, 0);
    lineTree_.assign(count + 1, 0);
    for (size_t k = 0; k < count; ++k) {
        rowTree_[k + 1] = chunks_[k]->Rows();
        lineTree_[k + 1] = chunks_[k]->lineEnds;
    }
    for (size_t i = 1; i <= count; ++i) {
        size_t j = i + (i & (~i + 1));
        if (j <= count) {
            rowTree_[j] += rowTree_[i];
            lineTree_[j] += lineTree_[i];
        }
    }
    treeTop_ = count ? static_cast<int>(std::bit_floor(count)) : 0;
    treeDirty_ = false;
}

void TRowList::TreeAdd(int k, int rows, int lineEnds) {
    if (rows != 0) cacheChunk_ = -1;
    if (treeDirty_) return;
    for (size_t i = static_cast<size_t>(k) + 1; i < rowTree_.size(); i += i & (~i + 1)) {
        rowTree_[i] += rows;
        lineTree_[i] += lineEnds;
    }
}

void TRowList::Restructured() {
    treeDirty_ = true;
    cacheChunk_ = -1;
}

void TRowList::Account(const TChunk& c, int sign) {
    rows_ += sign * c.Rows();
    bytes_ += sign * static_cast<int64_t>(c.size);
    breaks_ += sign * c.breaks;
    lineEnds_ += sign * c.lineEnds;
}

std::pair<int, int> TRowList::Locate(int r) const {
    const int count = static_cast<int>(chunks_.size());
    if (r >= rows_) return {count - 1, count ? chunks_.back()->Rows() : 0};
    if (cacheChunk_ >= 0 && r >= cacheStart_) {
        const int rows = chunks_[cacheChunk_]->Rows();
        if (r < cacheStart_ + rows) return {cacheChunk_, r - cacheStart_};
        if (cacheChunk_ + 1 < count && r < cacheStart_ + rows + chunks_[cacheChunk_ + 1]->Rows()) {
            cacheStart_ += rows;
            ++cacheChunk_;
            return {cacheChunk_, r - cacheStart_};
        }
    }
    EnsureTree();
    int pos = 0;
    int rest = r;
    for (int step = treeTop_; step > 0; step >>= 1) {
        if (pos + step <= count && rowTree_[pos + step] <= rest) {
            pos += step;
            rest -= rowTree_[pos];
        }
    }
    cacheChunk_ = pos;
    cacheStart_ = r - rest;
    return {pos, rest};
}

// --- Reading --------------------------------------------------------------------------------

std::string_view TRowList::Text(int r) const {
    auto [k, i] = Locate(r);
    return chunks_[k]->Row(i);
}

int TRowList::Kind(int r) const {
    auto [k, i] = Locate(r);
    return chunks_[k]->kinds[i];
}

int TRowList::LineEndRow(int i) const {
    if (i < 1 || i > lineEnds_) return -1;
    EnsureTree();
    const int count = static_cast<int>(chunks_.size());
    int pos = 0;
    int rest = i - 1;  // line ends to pass
    int rowsBefore = 0;
    for (int step = treeTop_; step > 0; step >>= 1) {
        if (pos + step <= count && lineTree_[pos + step] <= rest) {
            pos += step;
            rest -= lineTree_[pos];
            rowsBefore += rowTree_[pos];
        }
    }
    const TChunk& c = *chunks_[pos];
    for (int j = 0; j < c.Rows(); ++j)
        if (c.kinds[j] != rkWrap && rest-- == 0) return rowsBefore + j;
    throw std::logic_error("row index out of step with its chunks");
}

std::string_view TRowList::LineBytes(int first, int last) const {
    auto [k, i] = Locate(first);
    const TChunk& c = *chunks_[k];
    const int j = i + (last - first);
    if (j >= c.Rows()) throw std::logic_error("a line's rows span two chunks");
    return {c.base + c.Start(i), c.ends[j] - c.Start(i)};
}

size_t TRowList::BytesHeld() const {
    size_t n = sizeof(*this) + chunks_.capacity() * sizeof(void*);
    for (const TBlock& b : blocks_)
        if (!b.block.expired()) n += b.capacity;
    for (const auto& c : chunks_)
        n += sizeof(TChunk) + c->cap + c->ends.capacity() * sizeof(uint32_t) + c->kinds.capacity();
    return n;
}

// --- Changing rows --------------------------------------------------------------------------

void TRowList::SetText(int r, std::string_view text) {
    auto [k, i] = Locate(r);
    TChunk& c = *chunks_[k];
    // The new text may be bytes of this very chunk, which are about to move.
    std::string copy;
    if (!text.empty() && c.Contains(text.data())) {
        copy.assign(text);
        text = copy;
    }
    const uint32_t s = c.Start(i), e = c.ends[i];
    const int64_t delta = static_cast<int64_t>(text.size()) - (e - s);
    c.Own(delta > 0 ? static_cast<size_t>(delta) : 0);
    if (delta != 0 && c.size > e) std::memmove(c.base + e + delta, c.base + e, c.size - e);
    if (!text.empty()) std::memcpy(c.base + s, text.data(), text.size());
    for (int j = i; j < c.Rows(); ++j) c.ends[j] = static_cast<uint32_t>(c.ends[j] + delta);
    c.size = static_cast<uint32_t>(c.size + delta);
    bytes_ += delta;
    if (delta < 0) c.ShrinkIfSparse();
    if (delta != 0) Tidy(k);
}

void TRowList::SetKind(int r, int kind) {
    auto [k, i] = Locate(r);
    TChunk& c = *chunks_[k];
    const int old = c.kinds[i];
    if (old == kind) return;
    c.Count(old, -1);
    c.Count(kind, 1);
    c.kinds[i] = static_cast<uint8_t>(kind);
    const int lines = (kind != rkWrap) - (old != rkWrap);
    lineEnds_ += lines;
    breaks_ += (kind == rkBreak) - (old == rkBreak);
    TreeAdd(k, 0, lines);
    if (i == c.Rows() - 1) Tidy(k);
}

namespace {

// Rows appended to fresh chunks, a new chunk begun at a line end once the last is full.
template <typename Chunk, typename Limits>
class TPacker {
public:
    TPacker(std::vector<std::unique_ptr<Chunk>>& out, const Limits& limits) : out_(out), limits_(limits) {}
    void Add(std::string_view text, int kind) {
        if (out_.empty() || (out_.back()->Full() && out_.back()->kinds.back() != rkWrap)) {
            out_.push_back(std::make_unique<Chunk>());
            out_.back()->limits = &limits_;
            out_.back()->Own(limits_.fillBytes / 4);
        }
        out_.back()->Append(text, kind);
    }
    void Finish() {
        for (auto& c : out_) c->ShrinkIfSparse();
    }

private:
    std::vector<std::unique_ptr<Chunk>>& out_;
    const Limits& limits_;
};

}  // namespace

void TRowList::Insert(int r, const TRowBlock& block) {
    if (block.empty()) return;
    size_t blockBytes = 0;
    for (const TRowData& d : block) {
        if (d.text.size() > MaxChunkBytes) TooLong();
        blockBytes += d.text.size();
    }
    if (chunks_.empty()) {
        TPacker<TChunk, TLimits> packer(chunks_, limits_);
        for (const TRowData& d : block) packer.Add(d.text, d.kind);
        packer.Finish();
        for (const auto& c : chunks_) Account(*c, 1);
        Restructured();
        return;
    }
    auto [k, i] = Locate(r);
    TChunk& c = *chunks_[k];
    if (block.size() <= size_t(limits_.fillRows) && blockBytes <= limits_.fillBytes) {
        // Into the chunk, which is cut in the middle should it grow too large.
        InsertIntoChunk(k, i, block, blockBytes);
        return;
    }
    // A large block: it and the chunk's rows after it are packed into fresh chunks; the rows
    // before it stay where they are.
    TChunks packed;
    TPacker<TChunk, TLimits> packer(packed, limits_);
    for (const TRowData& d : block) packer.Add(d.text, d.kind);
    for (int j = i; j < c.Rows(); ++j) packer.Add(c.Row(j), c.kinds[j]);
    packer.Finish();
    Account(c, -1);
    int at = k;
    if (i == 0) {
        chunks_.erase(chunks_.begin() + k);
    } else {
        c.Cut(i, c.Rows() - i);
        Account(c, 1);
        at = k + 1;
    }
    for (const auto& p : packed) Account(*p, 1);
    const int last = at + static_cast<int>(packed.size()) - 1;
    chunks_.insert(chunks_.begin() + at, std::make_move_iterator(packed.begin()), std::make_move_iterator(packed.end()));
    Restructured();
    Tidy(last);
    Tidy(k);
}

void TRowList::InsertIntoChunk(int k, int i, const TRowBlock& block, size_t blockBytes) {
    TChunk& c = *chunks_[k];
    c.Own(blockBytes);
    const uint32_t s = c.Start(i);
    if (blockBytes && c.size > s) std::memmove(c.base + s + blockBytes, c.base + s, c.size - s);
    for (int j = i; j < c.Rows(); ++j) c.ends[j] += static_cast<uint32_t>(blockBytes);
    std::vector<uint32_t> ends;
    std::vector<uint8_t> kinds;
    ends.reserve(block.size());
    kinds.reserve(block.size());
    uint32_t at = s;
    const int linesBefore = c.lineEnds, breaksBefore = c.breaks;
    for (const TRowData& d : block) {
        if (!d.text.empty()) std::memcpy(c.base + at, d.text.data(), d.text.size());
        at += static_cast<uint32_t>(d.text.size());
        ends.push_back(at);
        kinds.push_back(static_cast<uint8_t>(d.kind));
        c.Count(d.kind, 1);
    }
    c.ends.insert(c.ends.begin() + i, ends.begin(), ends.end());
    c.kinds.insert(c.kinds.begin() + i, kinds.begin(), kinds.end());
    c.size += static_cast<uint32_t>(blockBytes);
    const int rows = static_cast<int>(block.size());
    rows_ += rows;
    bytes_ += static_cast<int64_t>(blockBytes);
    lineEnds_ += c.lineEnds - linesBefore;
    breaks_ += c.breaks - breaksBefore;
    TreeAdd(k, rows, c.lineEnds - linesBefore);
    Tidy(k);
}

void TRowList::EraseInChunk(int k, int i, int n) {
    TChunk& c = *chunks_[k];
    const uint32_t bytes = c.ends[i + n - 1] - c.Start(i);
    const int linesBefore = c.lineEnds, breaksBefore = c.breaks;
    c.Cut(i, n);
    rows_ -= n;
    bytes_ -= bytes;
    lineEnds_ += c.lineEnds - linesBefore;
    breaks_ += c.breaks - breaksBefore;
    TreeAdd(k, -n, c.lineEnds - linesBefore);
}

void TRowList::Erase(int r, int n) {
    if (n <= 0 || r < 0 || r >= rows_) return;
    n = std::min(n, rows_ - r);
    auto [k, i] = Locate(r);
    const int first = k;
    if (i > 0 || n < chunks_[k]->Rows()) {
        const int m = std::min(n, chunks_[k]->Rows() - i);
        EraseInChunk(k, i, m);
        n -= m;
        ++k;
    }
    int end = k;
    while (end < static_cast<int>(chunks_.size()) && n >= chunks_[end]->Rows()) {
        n -= chunks_[end]->Rows();
        Account(*chunks_[end], -1);
        ++end;
    }
    if (end > k) {
        chunks_.erase(chunks_.begin() + k, chunks_.begin() + end);
        Restructured();
    }
    if (n > 0) EraseInChunk(k, 0, n);
    if (chunks_.empty()) return;
    Tidy(first);
    Tidy(first + 1);
}

void TRowList::Clear() {
    chunks_.clear();
    blocks_.clear();
    rows_ = 0;
    bytes_ = 0;
    breaks_ = 0;
    lineEnds_ = 0;
    Restructured();
}

// --- Keeping the chunks in shape ------------------------------------------------------------

void TRowList::PullFromNext(int k, int n) {
    TChunk& a = *chunks_[k];
    TChunk& b = *chunks_[k + 1];
    const uint32_t bytes = b.ends[n - 1];
    if (a.cap == 0 && b.cap == 0 && a.store == b.store && a.base + a.size == b.base) {
        // Neighbours in one loaded block: the window just grows.
        if (size_t{a.size} + bytes > MaxChunkBytes) TooLong();
    } else {
        a.Own(bytes);
        if (bytes) std::memcpy(a.base + a.size, b.base, bytes);
    }
    for (int j = 0; j < n; ++j) {
        a.ends.push_back(a.size + b.ends[j]);
        a.kinds.push_back(b.kinds[j]);
        a.Count(b.kinds[j], 1);
    }
    a.size += bytes;
    if (n == b.Rows()) chunks_.erase(chunks_.begin() + k + 1);
    else b.Cut(0, n);
    Restructured();
}

void TRowList::FixBoundary(int k) {
    while (k + 1 < static_cast<int>(chunks_.size()) && chunks_[k]->kinds.back() == rkWrap) {
        const TChunk& b = *chunks_[k + 1];
        int n = 0;
        while (n < b.Rows() && b.kinds[n] == rkWrap) ++n;
        if (n < b.Rows()) ++n;
        PullFromNext(k, n);
    }
}

std::unique_ptr<TRowList::TChunk> TRowList::SplitTail(TChunk& c) {
    if (!c.Large()) return nullptr;
    // The first line end at or past the middle, by rows or by bytes.
    int cut = 0;
    for (int j = 0; j + 1 < c.Rows(); ++j) {
        if (c.kinds[j] == rkWrap) continue;
        cut = j + 1;
        if (2 * cut >= c.Rows() || 2 * uint64_t{c.ends[j]} >= c.size) break;
    }
    if (cut == 0) return nullptr;  // one line: it cannot be cut
    auto tail = std::make_unique<TChunk>();
    tail->limits = c.limits;
    const uint32_t s = c.ends[cut - 1];
    if (c.cap == 0) {
        tail->store = c.store;
        tail->base = c.base + s;
        tail->size = c.size - s;
    } else {
        tail->Own(c.size - s);
        std::memcpy(tail->base, c.base + s, c.size - s);
        tail->size = c.size - s;
    }
    tail->ends.reserve(c.Rows() - cut);
    tail->kinds.assign(c.kinds.begin() + cut, c.kinds.end());
    for (int j = cut; j < c.Rows(); ++j) tail->ends.push_back(c.ends[j] - s);
    tail->Recount();
    c.ends.resize(cut);
    c.kinds.resize(cut);
    c.size = s;
    c.Recount();
    c.ShrinkIfSparse();
    return tail;
}

void TRowList::SplitIfLarge(int k) {
    auto tail = SplitTail(*chunks_[k]);
    if (!tail) return;
    chunks_.insert(chunks_.begin() + k + 1, std::move(tail));
    Restructured();
    SplitIfLarge(k + 1);
    SplitIfLarge(k);
}

void TRowList::MergeIfSmall(int k) {
    const TChunk& c = *chunks_[k];
    if (!c.Small()) return;
    auto fits = [&](const TChunk& a, const TChunk& b) {
        return a.Rows() + b.Rows() <= limits_.fillRows && size_t{a.size} + b.size <= limits_.fillBytes;
    };
    const int count = static_cast<int>(chunks_.size());
    if (k + 1 < count && fits(c, *chunks_[k + 1])) PullFromNext(k, chunks_[k + 1]->Rows());
    else if (k > 0 && fits(*chunks_[k - 1], c)) PullFromNext(k - 1, c.Rows());
}

void TRowList::Tidy(int k) {
    auto clamp = [&](int j) { return std::clamp(j, 0, static_cast<int>(chunks_.size()) - 1); };
    if (chunks_.empty()) return;
    k = clamp(k);
    // Only the ends of the chunk that changed and of the one before it can have moved.
    for (int j = std::max(0, k - 1); j <= k + 1 && j < static_cast<int>(chunks_.size()); ++j) FixBoundary(j);
    k = clamp(k);
    SplitIfLarge(k);
    MergeIfSmall(clamp(k));
    MergeIfSmall(clamp(k + 1));
}

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
    Restructured();
}

// --- Loading --------------------------------------------------------------------------------

void TRowList::AppendShared(const std::shared_ptr<char>& block, size_t capacity, const char* data, size_t length,
                            int kind) {
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
        fresh->ends.reserve(limits_.fillRows);
        fresh->kinds.reserve(limits_.fillRows);
        chunks_.push_back(std::move(fresh));
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
                            const uint32_t* lengths, size_t count, int kind) {
    while (count > 0) {
        // The first row decides the chunk; the rows that still fit follow in a tight loop.
        AppendShared(block, capacity, data, lengths[0], kind);
        data += lengths[0];
        ++lengths;
        --count;
        TChunk& c = *chunks_.back();
        if (c.cap != 0) continue;
        const size_t room = std::min<size_t>(count, c.Rows() < limits_.fillRows ? limits_.fillRows - c.Rows() : 0);
        size_t n = 0;
        uint32_t size = c.size;
        for (; n < room && size < limits_.fillBytes && size_t{size} + lengths[n] <= MaxChunkBytes; ++n) {
            size += lengths[n];
            c.ends.push_back(size);
        }
        if (n == 0) continue;
        c.kinds.insert(c.kinds.end(), n, static_cast<uint8_t>(kind));
        c.Count(kind, static_cast<int>(n));
        const int64_t bytes = size - c.size;
        c.size = size;
        rows_ += static_cast<int>(n);
        bytes_ += bytes;
        lineEnds_ += kind != rkWrap ? static_cast<int>(n) : 0;
        breaks_ += kind == rkBreak ? static_cast<int>(n) : 0;
        TreeAdd(static_cast<int>(chunks_.size()) - 1, static_cast<int>(n), kind != rkWrap ? static_cast<int>(n) : 0);
        data += bytes;
        lengths += n;
        count -= n;
    }
}
