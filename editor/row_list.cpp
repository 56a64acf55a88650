#include "editor/row_chunk.h"

#include <bit>
#include <stdexcept>

using row_chunk::MaxChunkBytes;
using row_chunk::TooLong;

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
        rowTree_[k + 1] = counts_[k].rows;
        lineTree_[k + 1] = counts_[k].lineEnds;
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
    counts_[k].rows += rows;
    counts_[k].lineEnds += lineEnds;
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

void TRowList::InsertChunks(int at, TChunks&& fresh) {
    std::vector<TCounts> counts;
    counts.reserve(fresh.size());
    for (const auto& c : fresh) counts.push_back({c->Rows(), c->lineEnds});
    chunks_.insert(chunks_.begin() + at, std::make_move_iterator(fresh.begin()), std::make_move_iterator(fresh.end()));
    counts_.insert(counts_.begin() + at, counts.begin(), counts.end());
    Restructured();
}

void TRowList::EraseChunks(int from, int to) {
    chunks_.erase(chunks_.begin() + from, chunks_.begin() + to);
    counts_.erase(counts_.begin() + from, counts_.begin() + to);
    Restructured();
}

void TRowList::Recount(int k) {
    counts_[k] = {chunks_[k]->Rows(), chunks_[k]->lineEnds};
    Restructured();
}

void TRowList::Account(const TChunk& c, int sign) {
    rows_ += sign * c.Rows();
    bytes_ += sign * static_cast<int64_t>(c.size);
    breaks_ += sign * c.breaks;
    lineEnds_ += sign * c.lineEnds;
}

TRowList::TRowSpan TRowList::SpanAt(int r) const {
    if (r < 0 || r >= rows_) return {};
    const auto [k, i] = Locate(r);
    const TChunk& c = *chunks_[k];
    return {r - i, c.Rows(), std::string_view(c.base, c.size), c.ends.data(), c.kinds.data()};
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
        TChunks packed;
        TPacker<TChunk, TLimits> packer(packed, limits_);
        for (const TRowData& d : block) packer.Add(d.text, d.kind);
        packer.Finish();
        for (const auto& c : packed) Account(*c, 1);
        InsertChunks(0, std::move(packed));
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
        EraseChunks(k, k + 1);
    } else {
        c.Cut(i, c.Rows() - i);
        Account(c, 1);
        Recount(k);
        at = k + 1;
    }
    for (const auto& p : packed) Account(*p, 1);
    const int last = at + static_cast<int>(packed.size()) - 1;
    InsertChunks(at, std::move(packed));
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
    if (end > k) EraseChunks(k, end);
    if (n > 0) EraseInChunk(k, 0, n);
    if (chunks_.empty()) return;
    Tidy(first);
    Tidy(first + 1);
}

void TRowList::Clear() {
    chunks_.clear();
    counts_.clear();
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
    Recount(k);
    if (n == b.Rows()) {
        EraseChunks(k + 1, k + 2);
    } else {
        b.Cut(0, n);
        Recount(k + 1);
    }
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
    Recount(k);
    TChunks fresh;
    fresh.push_back(std::move(tail));
    InsertChunks(k + 1, std::move(fresh));
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
