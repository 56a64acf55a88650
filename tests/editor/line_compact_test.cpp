// The loader's line-end scan: both kernels against a byte-by-byte reading of the same
// blocks, at every offset around the 64-byte groups and the end of a block.
#include "editor/line_compact.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TResult {
    std::string kept;
    std::vector<uint32_t> ends, tabs;
    uint32_t tabsSeen = 0;
    bool afterCr = false;
    bool operator==(const TResult&) const = default;
};

std::ostream& operator<<(std::ostream& os, const TResult& r) {
    os << "kept " << r.kept.size() << " bytes, ends";
    for (uint32_t e : r.ends) os << ' ' << e;
    os << ", tabs";
    for (uint32_t t : r.tabs) os << ' ' << t;
    return os << ", seen " << r.tabsSeen << ", after CR " << r.afterCr;
}

// CR, LF and CR LF each end a line; an LF whose CR came last in the block before is part of it.
TResult Reference(const std::string& block, bool afterCr, uint32_t endBase, uint32_t tabBase, bool countTabs) {
    TResult r;
    uint32_t tabs = tabBase;
    for (size_t i = 0; i < block.size(); ++i) {
        const char c = block[i];
        const bool prevCr = i > 0 ? block[i - 1] == '\r' : afterCr;
        if (c == '\r' || (c == '\n' && !prevCr)) {
            r.ends.push_back(endBase + static_cast<uint32_t>(r.kept.size()));
            if (countTabs) r.tabs.push_back(tabs);
        }
        if (c == '\r' || c == '\n') continue;
        r.kept += c;
        if (c == '\t') ++tabs;
    }
    r.tabsSeen = countTabs ? tabs : tabBase;
    r.afterCr = block.empty() ? afterCr : block.back() == '\r';
    return r;
}

constexpr char Guard = '\x5a';
constexpr uint32_t GuardEnd = 0xdeadbeef;

// Runs a kernel over the block in a buffer with guard bytes after it, and checks that neither
// the bytes past the block nor the entries past the room the caller leaves are written.
TResult Compact(TCompactKernel kernel, const std::string& block, bool afterCr, uint32_t endBase, uint32_t tabBase,
            bool countTabs) {
    std::vector<char> bytes(block.begin(), block.end());
    bytes.resize(block.size() + 64, Guard);
    const size_t room = block.size() + CompactSlack;
    std::vector<uint32_t> ends(room + 16, GuardEnd), tabs(room + 16, GuardEnd);
    TCompactJob job;
    job.p = bytes.data();
    job.n = block.size();
    job.endBase = endBase;
    job.tabBase = tabBase;
    job.ends = ends.data();
    job.tabs = countTabs ? tabs.data() : nullptr;
    job.afterCr = afterCr;
    kernel(job);
    for (size_t i = block.size(); i < bytes.size(); ++i) EXPECT_EQ(bytes[i], Guard) << "byte " << i << " past the block";
    for (size_t i = room; i < ends.size(); ++i) EXPECT_EQ(ends[i], GuardEnd) << "end " << i << " past the room";
    for (size_t i = room; i < tabs.size(); ++i) EXPECT_EQ(tabs[i], GuardEnd) << "tab count " << i << " past the room";
    TResult r;
    r.kept.assign(bytes.data(), job.kept);
    r.ends.assign(ends.begin(), ends.begin() + static_cast<long>(job.lines));
    if (countTabs) r.tabs.assign(tabs.begin(), tabs.begin() + static_cast<long>(job.lines));
    r.tabsSeen = job.tabsSeen;
    r.afterCr = job.afterCr;
    return r;
}

std::vector<std::pair<const char*, TCompactKernel>> Kernels() {
    std::vector<std::pair<const char*, TCompactKernel>> kernels = {{"portable", &CompactLinesPortable}};
    if (TCompactKernel counted = CountedCompactKernel()) kernels.push_back({"counted", counted});
    if (TCompactKernel wide = WideCompactKernel()) kernels.push_back({"wide", wide});
    return kernels;
}

}  // namespace

TEST(LineCompact, ALineEndAtEveryOffsetOfTheFirstGroupsAndTheBlockEnd) {
    for (auto [name, kernel] : Kernels()) {
        SCOPED_TRACE(name);
        for (size_t n = 0; n <= 200; ++n) {
            for (size_t k = 0; k < n; ++k) {
                for (const char* end : {"\r", "\n", "\r\n", "\t"}) {
                    std::string block(n, 'x');
                    block.replace(k, std::min(std::string(end).size(), n - k), end, std::min(std::string(end).size(), n - k));
                    for (bool afterCr : {false, true}) {
                        const bool tabs = (n + k) % 2 == 0;
                        ASSERT_EQ(Compact(kernel, block, afterCr, 7, 3, tabs), Reference(block, afterCr, 7, 3, tabs))
                            << "length " << n << " at " << k << " after CR " << afterCr;
                    }
                }
            }
        }
    }
}

TEST(LineCompact, RandomBlocksCarriedOneIntoTheNext) {
    // Empty lines, CR LF split over two blocks, lead bytes with a tab as trail, long runs
    // without a line end: a text cut into blocks at random gives, block by block, what the
    // reference gives.
    const std::vector<std::string> pieces = {"a", "\t", "\r", "\n", "\r\n", "\n\r", "\x82\xa0", "\x81\t",
                                             std::string(70, 'y'), "\r\n\r\n\r\n\r\n"};
    std::mt19937 rng(64);
    for (auto [name, kernel] : Kernels()) {
        SCOPED_TRACE(name);
        for (int round = 0; round < 400; ++round) {
            std::string text;
            for (int n = std::uniform_int_distribution<int>(0, 120)(rng); n > 0; --n)
                text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
            bool afterCrKernel = false, afterCrReference = false;
            uint32_t tabsKernel = 0, tabsReference = 0;
            for (size_t at = 0; at <= text.size();) {
                const size_t n = std::min(text.size() - at, std::uniform_int_distribution<size_t>(0, 300)(rng));
                const std::string block = text.substr(at, n);
                const TResult got = Compact(kernel, block, afterCrKernel, 0, tabsKernel, true);
                const TResult want = Reference(block, afterCrReference, 0, tabsReference, true);
                ASSERT_EQ(got, want) << "round " << round << " block at " << at;
                afterCrKernel = got.afterCr;
                afterCrReference = want.afterCr;
                tabsKernel = got.tabsSeen;
                tabsReference = want.tabsSeen;
                at += n;
                if (n == 0) break;
            }
        }
    }
}
