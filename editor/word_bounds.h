#pragma once
// Where words begin in a row of CP932 text. The same list drives drawing of reserved
// words and, later, the word-wise caret moves, so it stays free of any window code.
#include <array>
#include <string_view>
#include <vector>

using TDelimiters = std::array<bool, 256>;

// The default word separators: control bytes, blank, ASCII punctuation (underscore
// included), 0x80, half-width blank and punctuation 0xA0-0xA5, and 0xFD-0xFF.
TDelimiters DefaultDelimiters();

// 1-based start positions of the words of `text`, always beginning with 1 and ending with
// the length + 1. A delimiter byte is a word of its own; a double-byte character is a
// word character. With `delimDbcs`, a change between single- and double-byte characters
// also starts a word.
std::vector<int> WordBounds(std::string_view text, const TDelimiters& delimiters, bool delimDbcs);
