#pragma once
// Two versions of a text side by side: which lines both have, which only one has, and
// within a line changed between them, which characters differ. Characters are code
// points, so a changed kanji is one character, never three bytes.
#include <string>
#include <utility>
#include <vector>

enum class TDiffKind { Same, Changed, LeftOnly, RightOnly };

// A run of characters [first, first + length) in one line.
struct TCharSpan {
    int first = 0;
    int length = 0;
    bool operator==(const TCharSpan&) const = default;
};

// One row of the side-by-side view: a line of the left text, of the right text, or of
// both (-1 where a side has no line in this row).
struct TDiffRow {
    TDiffKind kind = TDiffKind::Same;
    int left = -1;
    int right = -1;
    // For Changed rows: the characters of each side that the other lacks.
    std::vector<TCharSpan> leftSpans, rightSpans;
};

// Every line of both texts, each once and in order, left lines and right lines kept in
// their own order. Lines both have are matched by a longest common subsequence; between
// two matches, the left's and right's remaining lines are paired as changed rows, the
// rest shown alone. Texts too large for that in reasonable time are matched at their
// common start and end only.
std::vector<TDiffRow> DiffLines(const std::vector<std::u32string>& left, const std::vector<std::u32string>& right);

// The characters of `a` and of `b` outside a longest common subsequence of the two.
std::pair<std::vector<TCharSpan>, std::vector<TCharSpan>> DiffChars(const std::u32string& a, const std::u32string& b);
