// Reading a file into rows in one pass of 8192-byte blocks, straight into one block of
// memory sized from the file's size. A line counter of its own, on bit masks, stands beside
// the reader so that the tests can hold the two to the same answer.
#include "editor/row_loader.h"

#include "editor/byte_arena.h"
#include "editor/byte_masks.h"
#include "editor/column_map.h"
#include "editor/line_compact.h"
#include "platform/file_error.h"
#include "editor/row_store.h"
#include "platform/exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr size_t BlockSize = 8192;
constexpr char CtrlZ = 26;

// The counting pass's view of the blocks: only how many lines they hold. Terminators are
// counted sixteen bytes at a time from bit masks (an LF whose previous byte is CR is not
// counted), which costs a fraction of visiting each line.
class TLineCounter {
public:
    void Count(const char* p, size_t n) {
        const void* z = std::memchr(p, CtrlZ, n);
        const size_t m = z ? static_cast<size_t>(static_cast<const char*>(z) - p) : n;
        unsigned afterCr = afterCr_ ? 1 : 0;
        long last = -1;  // last CR or LF in p[0..m)
        size_t i = 0;
#if defined(__SSE2__)
        for (; i + 64 <= m; i += 64) {
            const uint64_t cr = Mask64(p + i, '\r');
            const uint64_t lf = Mask64(p + i, '\n');
            if (cr | lf) {
                // Line ends are sparse: clearing bits one by one beats a library popcount.
                for (uint64_t ends = cr | (lf & ~((cr << 1) | afterCr)); ends != 0; ends &= ends - 1) ++lines_;
                last = static_cast<long>(i) + 63 - __builtin_clzll(cr | lf);
            }
            afterCr = static_cast<unsigned>(cr >> 63);
        }
#endif
        for (; i < m; ++i) {
            if (p[i] == '\r') {
                ++lines_;
                afterCr = 1;
                last = static_cast<long>(i);
            } else {
                if (p[i] == '\n') {
                    if (!afterCr) ++lines_;
                    last = static_cast<long>(i);
                }
                afterCr = 0;
            }
        }
        if (m > 0) {
            afterCr_ = afterCr != 0;
            pending_ = last != static_cast<long>(m) - 1;
        }
        if (z) stopped_ = true;
    }
    bool Stopped() const { return stopped_; }
    // Lines so far, counting a last line that has bytes but no break yet.
    size_t Lines() const { return lines_ + (pending_ ? 1 : 0); }

private:
    size_t lines_ = 0;
    bool afterCr_ = false;
    bool pending_ = false;
    bool stopped_ = false;
};

class TFile {
public:
    explicit TFile(const std::string& fileName) : name_(fileName) {
        // A folder, a pipe or a device is no text file: opening a named pipe waits for a
        // writer and reading a device may never end, so the type is checked on a handle
        // that cannot block, and only regular files are read.
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) ThrowFileError(fileName, "開けません", errno);
        struct stat st;
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            int err = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            ::close(fd_);
            ThrowFileError(fileName, "開けません", err);
        }
        size_ = static_cast<size_t>(st.st_size);
    }
    ~TFile() { ::close(fd_); }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    size_t Read(char* buffer, size_t size) {
        for (;;) {
            ssize_t n = ::read(fd_, buffer, size);
            if (n >= 0) return static_cast<size_t>(n);
            if (errno != EINTR) ThrowFileError(name_, "読み込めません", errno);
        }
    }
    // The size when opened; the file may still grow or shrink while it is read.
    size_t Size() const { return size_; }

private:
    std::string name_;
    int fd_ = -1;
    size_t size_ = 0;
};

}  // namespace

// Only a carried segment that holds bytes makes a last line: a file whose final line break
// falls exactly at a block's end gets no extra empty line.
size_t CountFileLines(const std::string& fileName) {
    TFile file(fileName);
    char block[BlockSize];
    TLineCounter counter;
    while (!counter.Stopped()) {
        size_t n = file.Read(block, BlockSize);
        if (n == 0) break;
        counter.Count(block, n);
    }
    return counter.Lines();
}

namespace {

// Cuts loaded lines into rows for word wrap: a line narrower than a row even if each of its
// tabs were as wide as they come is one row, without a look at its bytes; the others are
// cut while their bytes are still in the cache. The work is done in passes with few
// branches that depend on the text, since a branch guessed wrong at every line that may be
// wide costs more than the cut itself: the wide lines are listed, then measured one after
// another (each on its own, so the processor overlaps them), then the rows are written.
class TLoadCutter {
public:
    // Room for the copies of runs of lines, which write whole groups of entries.
    static constexpr size_t Overrun = 16;

    TLoadCutter(int wrapByte, int tabSpaceCount)
        : wrapByte_(wrapByte), tabSpaceCount_(tabSpaceCount), stops_(tabSpaceCount) {}

    // Lines of first[...] ending at ends[0, lines) with tabs[0, lines) tabs before each end
    // (counted from `first`); both arrays readable Overrun entries past `lines`. The last line
    // is of `lastKind`, the others rkBreak. Returns the rows, their ends from `first` and
    // their kinds, valid until the next call.
    size_t Cut(const char* first, const uint32_t* ends, const uint32_t* tabs, size_t lines, int lastKind) {
        // Every line gives at most one row more than it has bytes, and the writers run past
        // the last row.
        const size_t most = lines + ends[lines - 1] + 2 + Overrun;
        if (cutEnds_.size() < most) {
            cutEnds_.resize(most);
            cutKinds_.resize(most);
        }
        if (wideAt_.size() < lines + 1) {
            wideAt_.resize(lines + 1);
            byTabs_.resize(lines);
            twoRows_.resize(lines);
        }
        const uint64_t extra = static_cast<uint64_t>(tabSpaceCount_) - 1;
        const uint64_t wrapByte = static_cast<uint64_t>(wrapByte_);
        size_t wide = 0;
        uint32_t start = 0, tabsBefore = 0;
        for (size_t j = 0; j < lines; ++j) {
            const uint32_t end = ends[j], tabsAt = tabs[j];
            wideAt_[wide] = static_cast<uint32_t>(j);
            wide += end - start + 1 + (tabsAt - tabsBefore) * extra >= wrapByte;
            start = end;
            tabsBefore = tabsAt;
        }
        wideAt_[wide] = static_cast<uint32_t>(lines);
        // The wide lines without tabs first, then those with tabs, so that the cutter's one
        // branch on tabs goes the same way line after line.
        size_t plain = 0, tabbed = wide;
        for (size_t w = 0; w < wide; ++w) {
            const size_t j = wideAt_[w];
            const bool hasTabs = tabs[j] != (j ? tabs[j - 1] : 0);
            byTabs_[plain] = static_cast<uint32_t>(w);
            byTabs_[tabbed - 1] = static_cast<uint32_t>(w);
            plain += !hasTabs;
            tabbed -= hasTabs;
        }
        for (size_t k = 0; k < wide; ++k) {
            const size_t w = byTabs_[k], j = wideAt_[w];
            const uint32_t start = j ? ends[j - 1] : 0, tabsBefore = j ? tabs[j - 1] : 0;
            twoRows_[w] = CutTwoRows(std::string_view(first + start, ends[j] - start), tabs[j] - tabsBefore, wrapByte_,
                                     stops_);
        }
        uint32_t* cutEnd = cutEnds_.data();
        uint8_t* cutKind = cutKinds_.data();
        size_t cuts = 0;
        size_t j = 0;
        for (size_t w = 0;; ++w) {
            // The lines before the next wide one, in groups of 16 (most runs take one).
            const size_t to = wideAt_[w];
            for (size_t k = 0; k < to - j || k == 0; k += Overrun) {
                std::memcpy(cutEnd + cuts + k, ends + j + k, Overrun * sizeof(uint32_t));
                std::memset(cutKind + cuts + k, rkBreak, Overrun);
            }
            cuts += to - j;
            if (to == lines) break;
            const uint32_t start = to ? ends[to - 1] : 0;
            const TTwoRows two = twoRows_[w];
            if (two.known) [[likely]] {
                const bool cut = two.rows == 2;
                cutEnd[cuts] = start + static_cast<uint32_t>(two.firstEnd);
                cutKind[cuts] = static_cast<uint8_t>(cut ? rkWrap : rkBreak);
                cutEnd[cuts + 1] = ends[to];
                cutKind[cuts + 1] = rkBreak;
                cuts += 1 + cut;
            } else {
                cuts = WalkLine(std::string_view(first + start, ends[to] - start), start, cutEnd, cutKind, cuts);
            }
            j = to + 1;
        }
        cutKind[cuts - 1] = static_cast<uint8_t>(lastKind);
        return cuts;
    }
    const uint32_t* Ends() const { return cutEnds_.data(); }
    const uint8_t* Kinds() const { return cutKinds_.data(); }

private:
    [[gnu::noinline]] size_t WalkLine(std::string_view line, uint32_t start, uint32_t* cutEnd, uint8_t* cutKind,
                                      size_t at) const {
        WrapLine(line, wrapByte_, tabSpaceCount_, [&](size_t offset, size_t piece, bool wrapped) {
            cutEnd[at] = start + static_cast<uint32_t>(offset + piece);
            cutKind[at++] = static_cast<uint8_t>(wrapped ? rkWrap : rkBreak);
        });
        return at;
    }

    int wrapByte_;
    int tabSpaceCount_;
    wrap_detail::TTabStops stops_;
    std::vector<uint32_t> cutEnds_;
    std::vector<uint8_t> cutKinds_;
    std::vector<uint32_t> wideAt_;
    std::vector<uint32_t> byTabs_;  // the wide lines, those without tabs first
    std::vector<TTwoRows> twoRows_;
};

}  // namespace

// Bytes already in memory, in the block the rows will keep: "reading" moves the next piece
// down to where the kept bytes end (never past it, since closing up line ends only
// shortens).
class TBlockBytes {
public:
    TBlockBytes(std::shared_ptr<char> block, size_t size) : block_(std::move(block)), size_(size) {}
    size_t Size() const { return size_; }
    std::shared_ptr<char> TakeBlock(size_t) { return block_; }
    size_t Read(char* buffer, size_t size) {
        const size_t n = std::min(size, size_ - at_);
        if (n > 0 && buffer != block_.get() + at_) std::memmove(buffer, block_.get() + at_, n);
        at_ += n;
        return n;
    }

private:
    std::shared_ptr<char> block_;
    size_t size_;
    size_t at_ = 0;
};

class TFileBytes : public TFile {
public:
    using TFile::TFile;
    std::shared_ptr<char> TakeBlock(size_t capacity) { return AllocateBytes(capacity); }
};

class TRowLoader {
public:
    static void Load(TRowStore& store, const std::string& fileName) {
        store.ClearRows();
        TFileBytes file(fileName);
        Load(store, file, fileName);
    }
    static void Load(TRowStore& store, std::shared_ptr<char> block, size_t size) {
        store.ClearRows();
        TBlockBytes bytes(std::move(block), size);
        Load(store, bytes, std::string());
    }

private:
    template <class TSource>
    static void Load(TRowStore& store, TSource& file, const std::string& fileName);
};

template <class TSource>
void TRowLoader::Load(TRowStore& store, TSource& file, const std::string& fileName) {
    TRowList& rows = store.rows_;
    try {
        // Blocks are read straight into the row bytes, where their line ends are closed up,
        // so that the rows lie end to end and need no offsets of their own. One byte more
        // than the size, so that the read that finds the end has room; should the file have
        // grown since, a larger block takes over and the open line moves along.
        size_t capacity = file.Size() + 1;
        std::shared_ptr<char> block = file.TakeBlock(capacity);
        char* out = block.get();  // end of the bytes kept so far
        size_t carried = 0;       // bytes of the open line, just before `out`
        uint32_t carriedTabs = 0;
        const TCompactKernel compact = BestCompactKernel();
        // The line ends, with room for one more line and for the cutter's reads past them.
        std::vector<uint32_t> ends(BlockSize + CompactSlack + 1 + TLoadCutter::Overrun);
        std::vector<uint32_t> tabs;
        const bool wrap = store.WordWrap();
        TLoadCutter cutter(store.WrapByte(), store.TabSpaceCount());
        if (wrap) tabs.resize(ends.size());
        // Hands over the lines ended in the block, ends[0, lines) from `first`; a last line
        // (`lastKind` not -1) ends at `last`.
        auto handOver = [&](const char* first, size_t lines, int lastKind, uint32_t last) {
            if (wrap) {
                if (lastKind >= 0) {
                    ends[lines] = last;
                    tabs[lines] = (lines ? tabs[lines - 1] : 0) + carriedTabs;
                }
                const size_t count = lines + (lastKind >= 0);
                const size_t cuts = cutter.Cut(first, ends.data(), tabs.data(), count, lastKind >= 0 ? lastKind : rkBreak);
                rows.AppendShared(block, capacity, first, cutter.Ends(), cutter.Kinds(), cuts);
                return;
            }
            if (lines > 0) rows.AppendShared(block, capacity, first, ends.data(), nullptr, lines);
            if (lastKind >= 0) {
                const uint32_t start = lines ? ends[lines - 1] : 0;
                rows.AppendShared(block, capacity, first + start, last - start, lastKind);
            }
        };
        TCompactJob job;
        bool stopped = false;
        while (!stopped) {
            size_t room = capacity - static_cast<size_t>(out - block.get());
            if (room == 0) {
                capacity = carried + std::max(capacity / 8, BlockSize) + BlockSize;
                std::shared_ptr<char> larger = AllocateBytes(capacity);
                if (carried > 0) std::memcpy(larger.get(), out - carried, carried);
                block = std::move(larger);
                out = block.get() + carried;
                room = capacity - carried;
            }
            size_t n = file.Read(out, std::min(BlockSize, room));
            if (n == 0) break;
            if (const void* z = std::memchr(out, CtrlZ, n)) {
                n = static_cast<size_t>(static_cast<const char*>(z) - out);
                stopped = true;
            }
            // Row ends count from the open line's first byte and must fit in 32 bits.
            if (carried + n > UINT32_MAX) ThrowFileError(fileName, "読み込めません", EFBIG);
            job.p = out;
            job.n = n;
            job.endBase = static_cast<uint32_t>(carried);
            job.tabBase = carriedTabs;
            job.ends = ends.data();
            job.tabs = wrap ? tabs.data() : nullptr;
            compact(job);
            const char* first = out - carried;
            const uint32_t kept = static_cast<uint32_t>(carried + job.kept);
            carriedTabs = job.tabsSeen;
            if (job.lines > 0) {
                carried = kept - ends[job.lines - 1];
                if (wrap) carriedTabs -= tabs[job.lines - 1];
            } else {
                carried = kept;
            }
            out += job.kept;
            if (job.lines > 0) handOver(first, job.lines, -1, 0);
        }
        if (carried > 0) handOver(out - carried, 0, rkEnd, static_cast<uint32_t>(carried));
    } catch (const std::bad_alloc&) {
        rows.Clear();
        ThrowFileError(fileName, "読み込めません", ENOMEM);
    } catch (...) {
        rows.Clear();
        throw;
    }
    store.Changed();
}

void TRowStore::LoadRowsFromFile(const std::string& fileName) { TRowLoader::Load(*this, fileName); }

void TRowStore::LoadRowsFromBlock(std::shared_ptr<char> block, size_t size) {
    TRowLoader::Load(*this, std::move(block), size);
}

std::shared_ptr<char> ReadFileBlock(const std::string& fileName, size_t& size) {
    TFile file(fileName);
    size_t capacity = file.Size() + 1;
    std::shared_ptr<char> block;
    try {
        block = AllocateBytes(capacity);
        size = 0;
        for (;;) {
            if (size + 1 < capacity) {
                const size_t n = file.Read(block.get() + size, capacity - 1 - size);
                if (n == 0) break;
                size += n;
                continue;
            }
            // Full: the file grew since it was opened, or this is its end.
            char more[BlockSize];
            const size_t n = file.Read(more, sizeof more);
            if (n == 0) break;
            capacity = capacity * 2 + n;
            std::shared_ptr<char> larger = AllocateBytes(capacity);
            std::memcpy(larger.get(), block.get(), size);
            std::memcpy(larger.get() + size, more, n);
            size += n;
            block = std::move(larger);
        }
    } catch (const std::bad_alloc&) {
        ThrowFileError(fileName, "読み込めません", ENOMEM);
    }
    return block;
}
