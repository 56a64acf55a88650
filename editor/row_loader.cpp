// Reading a file into rows in one pass of 8192-byte blocks, straight into one block of
// memory sized from the file's size. A line counter of its own, on bit masks, stands beside
// the reader so that the tests can hold the two to the same answer.
#include "editor/row_loader.h"

#include "editor/byte_arena.h"
#include "editor/byte_masks.h"
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

// Copies n bytes to dst <= src, the two ranges possibly overlapping. Lines are short, so
// the common sizes are done with loads that all come before the stores, without a call.
inline void MoveDown(char* dst, const char* src, size_t n) {
    if (dst == src || n == 0) return;
#if defined(__SSE2__)
    if (n >= 16 && n <= 64) {
        auto load = [&](size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + at)); };
        auto store = [&](size_t at, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + at), v); };
        if (n <= 32) {
            const __m128i a = load(0), b = load(n - 16);
            store(0, a);
            store(n - 16, b);
        } else {
            const __m128i a = load(0), b = load(16), c = load(n - 32), d = load(n - 16);
            store(0, a);
            store(16, b);
            store(n - 32, c);
            store(n - 16, d);
        }
        return;
    }
#endif
    std::memmove(dst, src, n);
}

inline bool IsTerminator(char c) { return c == '\r' || c == '\n' || c == CtrlZ; }

// Calls f(j) for every j in [0, n) where p[j] is CR, LF or ^Z, in order, until f returns
// false. Sixteen bytes are tested at once, so long lines cost little per byte.
//
// With CountTabs, f also gets the number of tabs before j, and the result is the number of
// tabs in p[0, n) (word wrap uses them to know most lines fit without a look at them).
template <bool CountTabs, typename F>
size_t ForEachTerminator(const char* p, size_t n, F&& f) {
    size_t i = 0;
    size_t tabs = 0;
#if defined(__SSE2__)
    for (; i + 64 <= n; i += 64) {
        const uint64_t tabMask = CountTabs ? Mask64(p + i, '\t') : 0;
        for (uint64_t mask = Mask64(p + i, '\r') | Mask64(p + i, '\n') | Mask64(p + i, CtrlZ); mask != 0; mask &= mask - 1) {
            const int b = __builtin_ctzll(mask);
            size_t before = tabs;
            // Tabs are sparse: clearing bits one by one beats a library popcount.
            for (uint64_t t = tabMask & ((uint64_t{1} << b) - 1); t != 0; t &= t - 1) ++before;
            if (!f(i + static_cast<size_t>(b), before)) return tabs;
        }
        for (uint64_t t = tabMask; t != 0; t &= t - 1) ++tabs;
    }
#endif
    for (; i < n; ++i) {
        if (IsTerminator(p[i])) {
            if (!f(i, tabs)) return tabs;
        } else if (CountTabs && p[i] == '\t') {
            ++tabs;
        }
    }
    return tabs;
}

// Cuts blocks into segments. A segment ended by CR or LF ends a line; the last segment of
// a block (ended = false) is carried into the next block. An LF right after a CR belongs
// to the CR, also across a block boundary. ^Z ends the text. Each segment comes with the
// number of its tabs when CountTabs is set, else 0.
class TLineScanner {
public:
    template <bool CountTabs, typename Segment>
    void Scan(const char* p, size_t n, Segment&& segment) {
        size_t start = 0;
        size_t tabsAtStart = 0;  // the bytes that end a line are no tabs, so this is exact
        if (n > 0 && afterCr_) {
            if (p[0] == '\n') start = 1;
            afterCr_ = false;
        }
        const size_t tabs = ForEachTerminator<CountTabs>(p, n, [&](size_t j, size_t tabsBefore) {
            if (j < start) return true;  // the LF of a CR LF pair
            if (p[j] == CtrlZ) {
                segment(p + start, j - start, false, tabsBefore - tabsAtStart);
                stopped_ = true;
                start = n;
                return false;
            }
            segment(p + start, j - start, true, tabsBefore - tabsAtStart);
            start = j + 1;
            tabsAtStart = tabsBefore;
            if (p[j] == '\r') {
                if (j + 1 == n) afterCr_ = true;
                else if (p[j + 1] == '\n') start = j + 2;
            }
            return true;
        });
        if (!stopped_) segment(p + start, n - start, false, tabs - tabsAtStart);
    }
    bool Stopped() const { return stopped_; }

private:
    bool afterCr_ = false;
    bool stopped_ = false;
};

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

class TRowLoader {
public:
    static void Load(TRowStore& store, const std::string& fileName);
};

void TRowLoader::Load(TRowStore& store, const std::string& fileName) {
    store.ClearRows();
    TFile file(fileName);
    TRowList& rows = store.rows_;
    try {
        // Blocks are read straight into the row bytes, and each line is moved down over the
        // line ends before it, so that the rows lie end to end and need no offsets of their
        // own. One byte more than the size, so that the read that finds the end has room;
        // should the file have grown since, a larger block takes over and the open line
        // moves along.
        size_t capacity = file.Size() + 1;
        std::shared_ptr<char> block = AllocateBytes(capacity);
        char* out = block.get();  // end of the bytes kept so far
        size_t carried = 0;       // bytes of the open line, just before `out`
        // The rows of the lines ended since the last hand-over to the row list, which begin
        // at `first`; handed over once per block. With word wrap on, lines are cut as they
        // are read, while their bytes are still in the cache.
        std::vector<TRowCut> cuts;
        cuts.reserve(BlockSize);
        const char* first = out;
        auto handOver = [&] {
            rows.AppendShared(block, capacity, first, cuts.data(), cuts.size());
            cuts.clear();
            first = out - carried;
        };
        const bool wrap = store.WordWrap();
        const size_t wrapByte = static_cast<size_t>(store.WrapByte());
        const size_t tabWidth = static_cast<size_t>(store.TabSpaceCount());
        // Tabs of the open line: a line narrower than a row even if each of its tabs were as
        // wide as they come is one row, without a look at its bytes.
        size_t lineTabs = 0;
        auto cutLine = [&](const char* line, size_t length, int kind) {
            if (length > UINT32_MAX) ThrowFileError(fileName, "読み込めません", EFBIG);
            if (!wrap || length + 1 + lineTabs * (tabWidth - 1) < wrapByte) {
                cuts.push_back({static_cast<uint32_t>(length), kind});
                return;
            }
            WrapLine(std::string_view(line, length), store.WrapByte(), store.TabSpaceCount(),
                     [&](size_t, size_t piece, bool wrapped) { cuts.push_back({static_cast<uint32_t>(piece), wrapped ? rkWrap : kind}); });
        };
        TLineScanner scanner;
        while (!scanner.Stopped()) {
            size_t room = capacity - static_cast<size_t>(out - block.get());
            if (room == 0) {
                handOver();
                capacity = carried + std::max(capacity / 8, BlockSize) + BlockSize;
                std::shared_ptr<char> larger = AllocateBytes(capacity);
                if (carried > 0) std::memcpy(larger.get(), out - carried, carried);
                block = std::move(larger);
                out = block.get() + carried;
                first = block.get();
                room = capacity - carried;
            }
            const size_t n = file.Read(out, std::min(BlockSize, room));
            if (n == 0) break;
            auto segment = [&](const char* p, size_t length, bool ended, size_t tabs) {
                lineTabs += tabs;
                MoveDown(out, p, length);
                out += length;
                carried += length;
                if (ended) {
                    cutLine(out - carried, carried, rkBreak);
                    carried = 0;
                    lineTabs = 0;
                }
            };
            if (wrap) scanner.Scan<true>(out, n, segment);
            else scanner.Scan<false>(out, n, segment);
            handOver();
        }
        if (carried > 0) {
            cutLine(out - carried, carried, rkEnd);
            carried = 0;
            handOver();
        }
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
