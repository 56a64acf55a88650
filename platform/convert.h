#pragma once
// Number conversions with the program's rules: optional leading blanks, an optional sign,
// decimal digits or '$' followed by up to eight hexadecimal digits (taken as the 32 bits
// of the result), nothing after the number.
#include <optional>
#include <string>
#include <string_view>

std::optional<int> TryStrToInt(std::string_view text);

// Raises EConvertError "'%s' は整数ではありません" with the text (CP932) in the message.
int StrToInt(std::string_view text);

// The message of the conversion error for `text` (CP932 bytes), as UTF-8.
std::string NotAnIntegerMessage(std::string_view text);

std::string IntToStr(int value);
