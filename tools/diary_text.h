#pragma once
// A deterministic diary-like CP932 text for benchmarks and large-input tests, so that
// figures are comparable from run to run without anything outside the repository.
//
// Dated day headers, time-stamped entries with tabs, Japanese words (kanji, hiragana,
// katakana, half-width katakana), NEC/IBM extension characters, kanji whose trail byte is
// 0x5C, ASCII words, URLs and paths. Most lines hold 10-120 bytes, about 3 % are blank, and
// about one line in 10,000 is a pasted paragraph of 2,000-20,000 bytes. Every line ends in
// CR LF, the last one too, and no double-byte character is ever cut.
#include <cstddef>
#include <cstdint>
#include <string>

// Exactly `size` bytes in exactly `lines` lines; the same arguments always give the same
// bytes. Throws std::invalid_argument when the lines cannot fill the size within the line
// lengths above.
std::string DiaryText(size_t size, size_t lines, uint64_t seed = 932);
