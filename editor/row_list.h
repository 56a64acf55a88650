#pragma once
// The rows as the row store keeps them: a list of chunks, each a run of whole logical lines
// whose bytes lie end to end in one buffer, with a 4-byte end offset and a kind byte per
// row. A chunk holds at most a few thousand rows and about 128 KB (a single line may
// exceed that), so an edit moves only the bytes and offsets of one chunk, however long the
// text is. A Fenwick tree over the chunks' row and line-end counts finds a row or a line
// in O(log chunks); reading rows in order (painting, saving) stays on a cached chunk.
//
// Loaded text is not copied: chunks point into the block the file was read into, and
// a chunk takes a buffer of its own only when one of its rows changes. A loaded block is
// freed when the last chunk that points into it lets go, so replaced text never needs a
// compaction of the whole text.
//
// Invariants: no chunk is empty; a chunk ends with a row that is not rkWrap, except the
// last chunk (a logical line never spans two chunks).
#include "editor/row_kind.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// One row of a re-cut line: its byte length and kind.
struct TRowCut {
    uint32_t length;
    int kind;
};

class TRowList {
public:
    // How full a chunk is made before a new one begins: a loaded chunk takes this many rows
    // or bytes, whichever comes first; an edited chunk is cut in two past twice that and
    // joins a neighbour below a quarter. So an edit moves at most ~128 KB and a few thousand
    // offsets, and splits come seldom enough that the O(chunks) rebuild of the index they
    // cause is spread over about a thousand edits. Tests use tiny limits to exercise the
    // chunk boundaries.
    struct TLimits {
        int fillRows;
        uint32_t fillBytes;
    };

    TRowList();  // 1024 rows, 64 KB
    explicit TRowList(TLimits limits);
    ~TRowList();
    TRowList(const TRowList&) = delete;
    TRowList& operator=(const TRowList&) = delete;

    int Count() const { return rows_; }
    // Row r (0 <= r < Count) without a copy; valid until the next change.
    std::string_view Text(int r) const;
    int Kind(int r) const;

    int64_t Bytes() const { return bytes_; }
    int Breaks() const { return breaks_; }
    // Rows whose kind is not rkWrap.
    int LineEnds() const { return lineEnds_; }
    // The row of the i-th (counting from 1) row that is not rkWrap; -1 when there are fewer.
    int LineEndRow(int i) const;
    // Rows first..last as one run of bytes; they must lie within one logical line.
    std::string_view LineBytes(int first, int last) const;

    void SetText(int r, std::string_view text);
    void SetKind(int r, int kind);
    // Inserts the block before row r (0 <= r <= Count).
    void Insert(int r, const TRowBlock& block);
    // Removes rows r..r+n-1 (clipped to the list).
    void Erase(int r, int n);
    void Clear();

    // Rows r..r+n-1, the rest of one logical line from r, become rows of the given lengths
    // and kinds over the same bytes.
    void Recut(int r, int n, const std::vector<TRowCut>& cuts);
    // Every logical line cut again at wrapByte columns (joined when wrap is false), each
    // ending rkBreak, the very last row `lastKind`. The bytes stay where they are.
    void RecutAll(bool wrap, int wrapByte, int tabSpaceCount, int lastKind);

    // Appends a row whose `length` bytes lie at `data` inside `block`, which stays alive as
    // long as a chunk points into it. Rows appended in the order of their bytes share a
    // chunk. `capacity` is the block's size, counted by BytesHeld.
    void AppendShared(const std::shared_ptr<char>& block, size_t capacity, const char* data, size_t length, int kind);
    // The same for `count` rows whose bytes follow each other from `data`: row j ends
    // `ends[j]` bytes after `data` (ascending) and has kind `kinds[j]`, or rkBreak when
    // `kinds` is null.
    void AppendShared(const std::shared_ptr<char>& block, size_t capacity, const char* data, const uint32_t* ends,
                      const uint8_t* kinds, size_t count);

    // The rows stored together with row r (0 <= r < Count): whole logical lines, their bytes
    // end to end. Row firstRow + j ends ends[j] bytes after bytes.data() and starts where
    // the row before it ends (row firstRow at 0). Valid until the next change; lets a reader
    // scan many rows with one call instead of one call a row.
    struct TRowSpan {
        int firstRow = 0;
        int rows = 0;
        std::string_view bytes;
        const uint32_t* ends = nullptr;
        const uint8_t* kinds = nullptr;
    };
    TRowSpan SpanAt(int r) const;

    // Bytes held for the text and the row tables.
    size_t BytesHeld() const;
    // Number of chunks, for tests of the balance.
    int ChunkCount() const { return static_cast<int>(chunks_.size()); }

private:
    struct TChunk;
    using TChunks = std::vector<std::unique_ptr<TChunk>>;

    // Chunk and row within it; r == Count gives the last chunk and its row count.
    std::pair<int, int> Locate(int r) const;
    void EnsureTree() const;
    // AppendShared for one row; a chunk begun here reserves `spareRows` rows past its fill.
    void AppendLoaded(const std::shared_ptr<char>& block, size_t capacity, const char* data, size_t length, int kind,
                      int spareRows);
    void TreeAdd(int k, int rows, int lineEnds);
    void Restructured();
    void Account(const TChunk& c, int sign);
    // Changes of the chunk list, keeping counts_ beside it.
    void InsertChunks(int at, TChunks&& fresh);
    void EraseChunks(int from, int to);
    void Recount(int k);

    void InsertIntoChunk(int k, int i, const TRowBlock& block, size_t blockBytes);
    void EraseInChunk(int k, int i, int n);
    // Moves the first n rows of chunk k+1 to the end of chunk k; drops k+1 when emptied.
    void PullFromNext(int k, int n);
    // Restores the invariants around chunk k and keeps the chunks' sizes in bounds.
    void Tidy(int k);
    void FixBoundary(int k);
    void SplitIfLarge(int k);
    void MergeIfSmall(int k);
    static std::unique_ptr<TChunk> SplitTail(TChunk& c);

    TLimits limits_;
    TChunks chunks_;
    int rows_ = 0;
    int64_t bytes_ = 0;
    int breaks_ = 0;
    int lineEnds_ = 0;

    struct TBlock {
        std::weak_ptr<char> block;
        size_t capacity;
    };
    std::vector<TBlock> blocks_;  // loaded blocks, for BytesHeld

    // Each chunk's rows and line ends, side by side in one array, so that rebuilding the
    // index reads a few kilobytes rather than every chunk's scattered header.
    struct TCounts {
        int rows;
        int lineEnds;
    };
    std::vector<TCounts> counts_;

    // Fenwick trees over the chunks (1-based), rebuilt lazily after the chunk list changed.
    mutable std::vector<int> rowTree_;
    mutable std::vector<int> lineTree_;
    mutable int treeTop_ = 0;
    mutable bool treeDirty_ = true;
    // The chunk of the last lookup and its first row, so that rows read in order cost O(1).
    mutable int cacheChunk_ = -1;
    mutable int cacheStart_ = 0;
};
