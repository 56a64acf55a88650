#pragma once
// Closing up the line-end bytes of a block of text in place, and noting where each line
// ends. The loader reads each block straight into the row store's memory and runs this over
// it, so that the rows lie end to end and need nothing but their ends.
//
// CR LF, a lone CR and a lone LF each end one line; an LF right after a CR belongs to it,
// also when the CR was the last byte of the block before.
#include <cstddef>
#include <cstdint>

struct TCompactJob {
    // In: the block, with no ^Z in it (the caller stops the text there).
    char* p = nullptr;
    size_t n = 0;
    uint32_t endBase = 0;  // added to every end; the caller keeps endBase + n below 2^32
    uint32_t tabBase = 0;  // added to every tab count
    // Out: per line end, the bytes kept before it; and, unless tabs is null, the tabs kept
    // before it. Each needs room for n + CompactSlack entries: the writers may run a few
    // entries past the last one.
    uint32_t* ends = nullptr;
    uint32_t* tabs = nullptr;
    size_t lines = 0;
    size_t kept = 0;          // p[0, kept) now holds the block without its CR and LF bytes
    uint32_t tabsSeen = 0;    // tabBase + the block's tabs (when counted)
    bool afterCr = false;     // in: the previous block ended with CR; out: this one did
};

inline constexpr size_t CompactSlack = 4;

using TCompactKernel = void (*)(TCompactJob&);

// Runs on any processor.
void CompactLinesPortable(TCompactJob& job);
// Sixty-four bytes per step with byte compression; null where the processor lacks it.
TCompactKernel WideCompactKernel();
// The portable kernel built for processors with population count and bit scan
// instructions; null where the processor lacks them.
TCompactKernel CountedCompactKernel();
// The first of these that runs here: wide, counted, portable.
TCompactKernel BestCompactKernel();
