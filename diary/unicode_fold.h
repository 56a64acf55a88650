#pragma once
// The search's fold for any Unicode text: the characters a text carries beyond CP932
// (extra codes) and query words that CP932 cannot hold. It is the fold of text_fold.h,
// applied to code points: a look-alike CP932 takes (U+301C, U+2014, ...) counts as the
// character it is taken for, then NFKC, simple case folding, katakana as hiragana, and
// a base followed by a combining mark composed as NFC composes them (e + U+0301 is é).
//
// The result is in the folded text's own shape, so one scan serves both: a code point
// CP932 holds as its CP932 bytes, one of the fold's reserved characters as its reserved
// code, and any other as three pairs of lead bytes CP932 leaves unassigned (EB, EC, EF,
// each with seven bits of the code point), which no fold of CP932 text ever gives.
#include <string>
#include <string_view>
#include <vector>

// Appends the fold of `utf8` (a byte that forms no character folds to the reserved code
// for broken bytes, so it never matches).
void FoldUnicode(std::string_view utf8, std::string& out);

// Appends `utf8` as the exact search compares it: each code point as CP932 reads it where
// CP932 takes it (a look-alike included, as typed text always was), else as three pairs.
void ExactUnicode(std::string_view utf8, std::string& out);

// Appends the code point `c` in the folded text's shape (see above).
void AppendFoldedCodePoint(char32_t c, std::string& out);
