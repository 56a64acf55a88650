#pragma once
// The one place where text changes encoding. Stored and compared text is CP932 bytes;
// UTF-8 appears only in source literals and messages.
#include <string>
#include <string_view>

// A byte that starts a two-byte character in CP932.
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Converts UTF-8 to CP932. Raises EEncodingError when a character has no CP932 form,
// so that nothing is silently replaced by '?'.
std::string Utf8ToSjis(std::string_view utf8);

// Converts CP932 to UTF-8. Bytes that form no character (a lone lead byte, an unmapped
// pair) each become U+FFFD, so broken text still shows where it is broken.
std::string SjisToUtf8(std::string_view sjis);

// Shorthand for the program's own literals that are also stored as bytes.
inline std::string Sjis(std::string_view utf8) { return Utf8ToSjis(utf8); }
