// Reading a file into rows: a counting pass sizes the row list and the byte store, a
// reading pass fills them. Both read 8192-byte blocks and cut them with the same scanner,
// so they cannot disagree about where lines end.
#include "editor/file_error.h"
#include "editor/row_store.h"
#include "platform/exceptions.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr size_t BlockSize = 8192;
constexpr char CtrlZ = 26;

// The first CR, LF or ^Z in p[i..n), or n.
size_t FindTerminator(const char* p, size_t i, size_t n) {
#if defined(__SSE2__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i eof = _mm_set1_epi8(CtrlZ);
    for (; i + 16 <= n; i += 16) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, eof));
        int mask = _mm_movemask_epi8(hit);
        if (mask) return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    for (; i < n; ++i)
        if (p[i] == '\r' || p[i] == '\n' || p[i] == CtrlZ) return i;
    return n;
}

// Cuts blocks into segments. A segment ended by CR or LF ends a line; the last segment of
// a block (ended = false) is carried into the next block. An LF right after a CR belongs
// to the CR, also across a block boundary. ^Z ends the text.
class TLineScanner {
public:
    template <typename Segment>
    void Scan(const char* p, size_t n, Segment&& segment) {
        size_t i = 0;
        if (n > 0 && afterCr_) {
            if (p[0] == '\n') i = 1;
            afterCr_ = false;
        }
        while (i <= n) {
            size_t j = FindTerminator(p, i, n);
            if (j == n) {
                segment(p + i, n - i, false);
                return;
            }
            if (p[j] == CtrlZ) {
                segment(p + i, j - i, false);
                stopped_ = true;
                return;
            }
            segment(p + i, j - i, true);
            if (p[j] == '\r') {
                if (j + 1 < n) {
                    if (p[j + 1] == '\n') ++j;
                } else {
                    afterCr_ = true;
                }
            }
            i = j + 1;
        }
    }
    bool Stopped() const { return stopped_; }

private:
    bool afterCr_ = false;
    bool stopped_ = false;
};

class TFile {
public:
    explicit TFile(const std::string& fileName) : name_(fileName) {
        fd_ = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0) ThrowFileError(fileName, "開けません", errno);
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

}  // namespace

class TRowLoader {
public:
    static void Load(TRowStore& store, const std::string& fileName);
};

void TRowLoader::Load(TRowStore& store, const std::string& fileName) {
    using Row = TRowStore::Row;
    store.ClearRows();
    TFile file(fileName);

    // Counting pass. Only a carried segment that holds bytes makes a last line: a file
    // whose final line break falls exactly at a block's end gets no extra empty line.
    size_t lines = 0;
    size_t scanned = 0;
    {
        char block[BlockSize];
        TLineScanner scanner;
        size_t carried = 0;
        while (!scanner.Stopped()) {
            size_t n = file.Read(block, BlockSize);
            if (n == 0) break;
            scanned += n;
            scanner.Scan(block, n, [&](const char*, size_t length, bool ended) {
                if (ended) {
                    ++lines;
                    carried = 0;
                } else {
                    carried += length;
                }
            });
        }
        if (carried > 0) ++lines;
    }

    // Reading pass, straight into the byte store: rows point at their bytes where they
    // landed, so a line that spans blocks needs no joining. Should the file have grown
    // since the count, a fresh store block takes over and the open line moves along.
    file.Rewind();
    std::vector<Row> rows;
    rows.reserve(lines);
    TByteArena& bytes = store.bytes_;
    try {
        bytes.Reserve(scanned < BlockSize ? BlockSize : scanned);
        TLineScanner scanner;
        const char* lineStart = nullptr;
        size_t carried = 0;
        auto addRow = [&](const char* data, size_t length, int kind) {
            if (length > UINT32_MAX) throw EFileError("ファイル \"" + fileName + "\" の 1 行が長すぎます。");
            rows.push_back(Row{data, static_cast<uint32_t>(length), kind});
        };
        while (!scanner.Stopped()) {
            if (bytes.Room() < BlockSize) {
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
            size_t n = file.Read(block, BlockSize);
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
    } catch (...) {
        bytes.Clear();
        throw;
    }
    store.ReplaceAllRows(std::move(rows));
}

void TRowStore::LoadRowsFromFile(const std::string& fileName) { TRowLoader::Load(*this, fileName); }
