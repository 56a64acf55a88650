#pragma once
// The editor's text (CP932 bytes with extra codes, platform/extra_chars.h) to and from
// Unicode, at the edges: load and save, drawing, clipboard, input, search, export.
#include "platform/extra_chars.h"

#include <string>
#include <string_view>

// How a cluster that is one code point with a CP932 form is taken in.
enum class TCp932Fit {
    // Only when it reads back as the same code point, so that a file's bytes come back
    // exactly (U+301C stays U+301C, carried by a code).
    Exact,
    // Also the few CP932 takes as a look-alike (U+301C as 〜 0x8160, U+2014 as 0x815C,
    // ¥ as 0x5C), as typed and pasted text always was, so it stays in a Shift-JIS day.
    LookAlike,
};

// `utf8` as editor text: each cluster that is one code point with a CP932 form becomes
// those bytes, CR LF stays CR LF, and every other cluster (and each byte that forms no
// character) becomes a code of `extra`. Raises EEncodingError when the codes run out.
std::string TextFromUnicode(std::string_view utf8, TExtraChars& extra, TCp932Fit fit = TCp932Fit::Exact);

// The same for a day file's text converted where it lies (CP932 forms exact): the text
// from `in` is written from `out` on (out <= in, in the same buffer). Stops at a piece of
// lines whose bytes that form no character make it outgrow its UTF-8 (a broken byte's
// code takes two): `read` tells how far it came, `written` how much it wrote.
struct TInPlace {
    size_t read = 0;
    size_t written = 0;
};
TInPlace TextFromUnicodeInPlace(char* out, const char* in, size_t size, TExtraChars& extra);

// Whether the bytes that form no character are written as they were, or as U+FFFD.
enum class TBrokenBytes { Replace, Keep };

// Appends `text` as UTF-8: CP932 characters as they read, codes as their clusters. With
// Replace (for showing), a byte that forms no character and a raw-byte code become U+FFFD,
// one for each byte as CP932 reading always gave; with Keep (for a file) both are written
// as they were, a broken pair whole.
void AppendUnicodeFromText(std::string& out, std::string_view text, const TExtraChars& extra,
                           TBrokenBytes broken = TBrokenBytes::Replace);

inline std::string UnicodeFromText(std::string_view text, const TExtraChars& extra,
                                   TBrokenBytes broken = TBrokenBytes::Replace) {
    std::string out;
    AppendUnicodeFromText(out, text, extra, broken);
    return out;
}
