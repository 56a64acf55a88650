#pragma once
// What a character means for breaking a printed line, by the basic rules of Japanese
// typesetting: closing brackets, punctuation, iteration marks and small kana never start a
// line, opening brackets never end one, and a word of Latin letters and digits stays whole.
#include <string_view>

enum class TBreakClass {
    Other,
    Closing,  // never starts a line
    Hanging,  // a closing mark (、。) that may stand in the margin instead of moving down
    Opening,  // never ends a line
    Latin,    // a letter or digit of a Latin word
    Tab,
};

// `character` is one CP932 character: one byte, or a lead byte and its trail byte.
TBreakClass BreakClassOf(std::string_view character);

// The length in bytes of the CP932 character at `i` (a lead byte at the very end counts
// as a character of its own).
inline size_t CharLengthAt(std::string_view text, size_t i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    return ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) && i + 1 < text.size() ? 2 : 1;
}
