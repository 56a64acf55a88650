// Reading a file into rows: a counting pass sizes the row list and the byte store, a
// reading pass fills them. Both read 8192-byte blocks; the counter works on bit masks, the
// reader visits each line, and the tests hold the two to the same answer.
#include "editor/row_loader.h"

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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t BlockSize = 8192;
constexpr char CtrlZ = 26;

#if defined(__SSE2__)
// Bit k is set when p[k] equals `c`, for k < 64.
inline uint64_t Mask64(const char* p, char c) {
    const __m128i needle = _mm_set1_epi8(c);
    uint64_t mask = 0;
    for (int k = 0; k < 4; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
        mask |= static_cast<uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, needle)))) << (16 * k);
    }
    return mask;
}
#endif

inline bool IsTerminator(char c) { return c == '\r' || c == '\n' || c == CtrlZ; }

// Calls f(j) for every j in [0, n) where p[j] is CR, LF or ^Z, in order, until f returns
// false. Sixteen bytes are tested at once, so long lines cost little per byte.
template <typename F>
void ForEachTerminator(const char* p, size_t n, F&& f) {
    size_t i = 0;
#if defined(__SSE2__)
    for (; i + 64 <= n; i += 64) {
        for (uint64_t mask = Mask64(p + i, '\r') | Mask64(p + i, '\n') | Mask64(p + i, CtrlZ); mask != 0; mask &= mask - 1)
            if (!f(i + static_cast<size_t>(__builtin_ctzll(mask)))) return;
    }
#endif
    for (; i < n; ++i)
        if (IsTerminator(p[i]) && !f(i)) return;
}

// Cuts blocks into segments. A segment ended by CR or LF ends a line; the last segment of
// a block (ended = false) is carried into the next block. An LF right after a CR belongs
// to the CR, also across a block boundary. ^Z ends the text.
class TLineScanner {
public:
    template <typename Segment>
    void Scan(const char* p, size_t n, Segment&& segment) {
        size_t start = 0;
        if (n > 0 && afterCr_) {
            if (p[0] == '\n') start = 1;
            afterCr_ = false;
        }
        ForEachTerminator(p, n, [&](size_t j) {
            if (j < start) return true;  // the LF of a CR LF pair
            if (p[j] == CtrlZ) {
                segment(p + start, j - start, false);
                stopped_ = true;
                start = n;
                return false;
            }
            segment(p + start, j - start, true);
            start = j + 1;
            if (p[j] == '\r') {
                if (j + 1 == n) afterCr_ = true;
                else if (p[j + 1] == '\n') start = j + 2;
            }
            return true;
        });
        if (!stopped_) segment(p + start, n - start, false);
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
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) ThrowFileError(fileName, "開けません", errno);
        // A folder, a pipe or a device is no text file: reading one could block or never
        // end, so only regular files are read.
        struct stat st;
        if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
            int err = S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
            ::close(fd_);
            ThrowFileError(fileName, "開けません", err);
        }
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
    void Rewind() {
        if (::lseek(fd_, 0, SEEK_SET) != 0) ThrowFileError(name_, "読み込めません", errno);
    }

private:
    std::string name_;
    int fd_ = -1;
};

// Counting pass. Only a carried segment that holds bytes makes a last line: a file whose
// final line break falls exactly at a block's end gets no extra empty line.
size_t CountLines(TFile& file, size_t& scanned) {
    char block[BlockSize];
    TLineCounter counter;
    scanned = 0;
    while (!counter.Stopped()) {
        size_t n = file.Read(block, BlockSize);
        if (n == 0) break;
        scanned += n;
        counter.Count(block, n);
    }
    return counter.Lines();
}

}  // namespace

size_t CountFileLines(const std::string& fileName) {
    TFile file(fileName);
    size_t scanned = 0;
    return CountLines(file, scanned);
}

class TRowLoader {
public:
    static void Load(TRowStore& store, const std::string& fileName);
};

void TRowLoader::Load(TRowStore& store, const std::string& fileName) {
    using Row = TRowStore::Row;
    store.ClearRows();
    TFile file(fileName);

    size_t scanned = 0;
    const size_t lines = CountLines(file, scanned);

    // Reading pass, straight into the byte store: rows point at their bytes where they
    // landed, so a line that spans blocks needs no joining. Should the file have grown
    // since the count, a fresh store block takes over and the open line moves along.
    file.Rewind();
    std::vector<Row> rows;
    TByteArena& bytes = store.bytes_;
    try {
        rows.reserve(lines);
        // One byte more than counted, so that the read that finds the end has room.
        bytes.Reserve(scanned + 1);
        TLineScanner scanner;
        const char* lineStart = nullptr;
        size_t carried = 0;
        auto addRow = [&](const char* data, size_t length, int kind) {
            if (length > UINT32_MAX) throw EFileError("ファイル \"" + fileName + "\" の 1 行が長すぎます。");
            rows.push_back(Row{data, static_cast<uint32_t>(length), kind});
        };
        while (!scanner.Stopped()) {
            if (bytes.Room() == 0) {
                size_t want = carried + (scanned > BlockSize ? scanned / 8 : BlockSize) + BlockSize;
                const char* old = lineStart;
                bytes.Reserve(bytes.Room() + want);
                if (carried > 0) {
                    char* moved = bytes.Allocate(carried);
                    std::memcpy(moved, old, carried);
                    lineStart = moved;
                }
            }
            char* block = bytes.Cursor();
            size_t n = file.Read(block, std::min(BlockSize, bytes.Room()));
            if (n == 0) break;
            bytes.Commit(n);
            scanner.Scan(block, n, [&](const char* p, size_t length, bool ended) {
                if (carried == 0) lineStart = p;
                carried += length;
                if (ended) {
                    addRow(lineStart, carried, rkBreak);
                    carried = 0;
                }
            });
        }
        if (carried > 0) addRow(lineStart, carried, rkEnd);
    } catch (const std::bad_alloc&) {
        bytes.Clear();
        ThrowFileError(fileName, "読み込めません", ENOMEM);
    } catch (...) {
        bytes.Clear();
        throw;
    }
    store.ReplaceAllRows(std::move(rows));
}

void TRowStore::LoadRowsFromFile(const std::string& fileName) { TRowLoader::Load(*this, fileName); }
