#pragma once
// The three forms a day file is read in, and the editor's text made from and written as
// each. A file that starts with the byte-order mark EF BB BF is UTF-8 with the mark; else a
// file that reads as UTF-8 and holds a byte >= 0x80 is UTF-8 without it, unless every such
// byte is a CP932 half-width katakana (A1-DF: a short kana text can read as UTF-8 by
// chance, while UTF-8 Japanese always holds other bytes); else it is CP932, as Mekuri has
// always written. A file cut short in its last character still reads as UTF-8, the cut
// bytes kept as they are. In every form the text ends at the first ^Z, as it always did.
#include "platform/extra_chars.h"

#include <cstdint>
#include <string>
#include <string_view>

enum class TDayFileForm : uint8_t { Cp932, Utf8WithMark, Utf8 };

inline constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The guess, fed the file in pieces as it is read.
class TDayFileFormGuess {
public:
    void Feed(std::string_view bytes);
    TDayFileForm Form() const;

private:
    std::string start_;  // the first three bytes
    std::string carry_;  // a character cut by the end of a piece
    bool utf8_ = true;
    bool high_ = false;
    bool kanaOnly_ = true;
};

TDayFileForm GuessDayFileForm(std::string_view fileBytes);

// A day file's text as the editor holds it.
struct TDayText {
    TDayFileForm form = TDayFileForm::Cp932;
    std::string text;   // CP932 bytes with extra codes, up to the first ^Z, without the mark
    TExtraChars extra;  // a CP932 file's own user-defined characters reserved
};

TDayText DayTextFromBytes(std::string_view fileBytes);

// The file's bytes for `text` in `form` (what followed the first ^Z not included). The
// bytes that formed no character are written back as they were, in every form.
std::string DayFileBytes(std::string_view text, const TExtraChars& extra, TDayFileForm form);
