#pragma once
// Decimal text for the numeric field. Everything is done on decimal digits, not with
// printf, so that rounding goes half away from zero as the field's users expect (0.125
// shows as 0.13 with two decimals) and so that the locale never changes the decimal point.
#include <string>
#include <string_view>

using TNumber = long double;

// 10^k, read from decimal text so that 10^-k is the nearest value to the decimal number.
TNumber Pow10(int k);

// x with exactly `decimals` decimals, rounded half away from zero on its 18 significant
// digits; "-" only when the rounded number is not zero; "," between groups of three
// integer digits when `grouping`.
std::string FormatFixed(TNumber x, int decimals, bool grouping);

// |x| as "0.##############": no grouping, up to 14 decimals, no trailing zeros and no
// trailing point.
std::string FormatPlain(TNumber x);

// Reads an optional sign, digits, an optional point and digits (at least one digit in
// all). Anything else, blanks included, is not a number.
bool ReadNumber(std::string_view text, TNumber& value);

// The number of digit characters in `text`.
int CountDigits(std::string_view text);
