#pragma once
// The text of a sectioned settings file: "[Section]" headers and "Key=Value" entries, one
// per line, in CP932 bytes. Reading and rewriting work on the text alone, so the file layer
// only moves bytes and every rule here can be checked (and fuzzed) without a disk.
//
// Layout of what we write (the readers of the file only need the entry rules):
// - every line we add ends in CR LF, whatever the rest of the file uses;
// - a new section goes at the very end of the file, after any trailing comments, with one
//   blank line before its header unless the file is empty or already ends in a blank line;
// - a new key goes right after the last entry of its section (or right after the header
//   when the section has none), so comments and blank lines that close a section stay
//   with the section header that follows them;
// - a changed key keeps its line: only the text after its first "=" changes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A value longer than this is cut, never inside a double-byte character.
constexpr std::size_t kMaxProfileValue = 2047;

// Section and key names compare without regard to ASCII letter case. The second byte of a
// double-byte character is never folded: many of them fall in the letter range.
std::string FoldName(std::string_view name);

// The value as a reader sees it: blanks trimmed at both ends, one pair of enclosing double
// or single quotes removed, at most kMaxProfileValue bytes.
std::string ProfileValue(std::string_view raw);

// A parsed snapshot of a file's text. When a section or a key appears twice, the first one
// counts, for reading and for writing alike.
class TProfileText {
public:
    explicit TProfileText(std::string_view text = {});

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string Read(std::string_view section, std::string_view key, std::string_view def) const;

    // Folded section name → folded key → value, as Find sees them.
    using TIndex = std::unordered_map<std::string, std::unordered_map<std::string, std::string>>;
    const TIndex& Index() const { return index_; }

private:
    TIndex index_;
};

// Key=value pairs to be set in one section, in the order they are to be added.
using TProfileEntries = std::vector<std::pair<std::string, std::string>>;

// Whether the names and value can be written so that they read back as written: no line
// breaks anywhere, no "]" in a section name, no "=" in a key, no key starting with "[",
// no blanks around the names and no name ending in half a double-byte character.
bool CanWriteProfileEntry(std::string_view section, std::string_view key, std::string_view value);

// `text` with every entry set in `section`; all other lines stay byte for byte. The
// entries must pass CanWriteProfileEntry; a key given twice takes its last value.
std::string ProfileUpdate(std::string_view text, std::string_view section, const TProfileEntries& entries);
