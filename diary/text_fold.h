#pragma once
// Folding CP932 text for searching, so that 全角/半角, upper/lower case and
// ひらがな/カタカナ do not matter: each character becomes its Unicode NFKC form, case
// folded (simple folding), with katakana ァ..ヶ made hiragana ぁ..ゖ (ー stays). A half-width
// sound mark joins the character before it as NFKC joins them (ｶﾞ → が, ﾊﾟ → ぱ).
//
// The folded text is shaped like CP932 (one or two bytes a character, CP932's lead bytes),
// so the same scanning works on both. Characters the fold gives that CP932 cannot hold
// (ゖ, ヷ, å, combining marks) take two-byte codes CP932 leaves unassigned; every byte
// that forms no character (a lone lead byte, an unassigned pair) takes one reserved code,
// so broken text never matches a query.
//
// The tables are worked out at build time from ICU's normalisation and case data
// (fold_tables.h), so they are exact for every character CP932 holds, and a search pays
// nothing to build them.
#include "platform/extra_chars.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Appends the folded form of `text` to `out`. A code of `extra` folds as its cluster does
// (unicode_fold.h).
void FoldText(std::string_view text, std::string& out, const TExtraChars* extra = nullptr);

// The same, and for each byte appended to `out`, the offset in `text` of the character it
// came from; `from` gets one more entry, text.size(), for the end.
void FoldTextMapped(std::string_view text, std::string& out, std::vector<uint32_t>& from,
                    const TExtraChars* extra = nullptr);

// `text` as the exact search compares it, mapped the same way: CP932 bytes as they are, a
// code of `extra` as its cluster's code points (ExactUnicode).
void ExactTextMapped(std::string_view text, std::string& out, std::vector<uint32_t>& from, const TExtraChars& extra);

// The CP932 characters whose fold holds the folded character `unit` (one or two bytes of
// folded text), those that a following sound mark turns into it included. Wherever a
// folded text holds `unit`, its source holds one of these: a scan for them finds every
// place a folded word can start or pass through.
std::vector<std::string> FoldSources(std::string_view unit);

// Folded text as UTF-8 (reserved and wide codes back to their characters; a broken byte
// as U+FFFD).
std::string FoldedToUtf8(std::string_view folded);

// Whether a CP932 (or folded) character starts at `pos`, found from the run of lead-range
// bytes just before it.
bool StartsCharacter(std::string_view text, size_t pos);
