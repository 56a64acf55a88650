#include "diary/text_diff.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

namespace {

// Beyond this many cells the table of a longest common subsequence takes too long to
// wait for in a window: 4 million cells is some tens of milliseconds.
constexpr std::int64_t kMaxCells = 4'000'000;

// The pairs (i, j) of a longest common subsequence of a[from..] and b[from..], in order,
// or nothing when the table would be too large.
template <typename T>
bool CommonSubsequence(const std::vector<T>& a, const std::vector<T>& b, std::vector<std::pair<int, int>>& pairs) {
    // Equal starts and ends are matched without the table.
    size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head]) ++head;
    size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail]) ++tail;
    const size_t n = a.size() - head - tail, m = b.size() - head - tail;
    for (size_t i = 0; i < head; ++i) pairs.emplace_back(int(i), int(i));
    bool exact = true;
    if (n > 0 && m > 0) {
        if (static_cast<std::int64_t>(n + 1) * static_cast<std::int64_t>(m + 1) > kMaxCells) {
            exact = false;
        } else {
            // Lengths of the common subsequences of the suffixes, then one walk forward.
            std::vector<std::uint32_t> len((n + 1) * (m + 1), 0);
            const auto at = [&](size_t i, size_t j) -> std::uint32_t& { return len[i * (m + 1) + j]; };
            for (size_t i = n; i-- > 0;)
                for (size_t j = m; j-- > 0;)
                    at(i, j) = a[head + i] == b[head + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
            for (size_t i = 0, j = 0; i < n && j < m;) {
                if (a[head + i] == b[head + j]) {
                    pairs.emplace_back(int(head + i), int(head + j));
                    ++i;
                    ++j;
                } else if (at(i + 1, j) >= at(i, j + 1)) {
                    ++i;
                } else {
                    ++j;
                }
            }
        }
    }
    for (size_t k = 0; k < tail; ++k) pairs.emplace_back(int(a.size() - tail + k), int(b.size() - tail + k));
    return exact;
}

std::vector<TCharSpan> Gaps(const std::vector<int>& kept, int size) {
    std::vector<TCharSpan> spans;
    int next = 0;
    for (int k : kept) {
        if (k > next) spans.push_back({next, k - next});
        next = k + 1;
    }
    if (size > next) spans.push_back({next, size - next});
    return spans;
}

}  // namespace

std::pair<std::vector<TCharSpan>, std::vector<TCharSpan>> DiffChars(const std::u32string& a, const std::u32string& b) {
    const std::vector<char32_t> va(a.begin(), a.end()), vb(b.begin(), b.end());
    std::vector<std::pair<int, int>> pairs;
    CommonSubsequence(va, vb, pairs);
    std::vector<int> keptA, keptB;
    for (const auto& [i, j] : pairs) {
        keptA.push_back(i);
        keptB.push_back(j);
    }
    return {Gaps(keptA, int(a.size())), Gaps(keptB, int(b.size()))};
}

std::vector<TDiffRow> DiffLines(const std::vector<std::u32string>& left, const std::vector<std::u32string>& right) {
    std::vector<std::pair<int, int>> pairs;
    CommonSubsequence(left, right, pairs);
    pairs.emplace_back(int(left.size()), int(right.size()));  // the end, matched by nothing
    std::vector<TDiffRow> rows;
    int i = 0, j = 0;
    for (const auto& [mi, mj] : pairs) {
        // The lines between two matches: paired while both sides have one.
        for (; i < mi && j < mj; ++i, ++j) {
            TDiffRow row{TDiffKind::Changed, i, j, {}, {}};
            std::tie(row.leftSpans, row.rightSpans) = DiffChars(left[i], right[j]);
            rows.push_back(std::move(row));
        }
        for (; i < mi; ++i) rows.push_back({TDiffKind::LeftOnly, i, -1, {}, {}});
        for (; j < mj; ++j) rows.push_back({TDiffKind::RightOnly, -1, j, {}, {}});
        if (mi < int(left.size())) rows.push_back({TDiffKind::Same, i++, j++, {}, {}});
    }
    return rows;
}
