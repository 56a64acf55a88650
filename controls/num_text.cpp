#include "controls/num_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

constexpr int kSignificant = 18;

// |x| as kSignificant decimal digits and the number of digits before the point
// (which may be zero or negative for small numbers).
void Digits(TNumber x, std::string& digits, int& pointPos) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, kSignificant - 1);
    std::string s(buf, r.ptr);
    std::size_t e = s.find('e');
    digits.clear();
    for (std::size_t i = 0; i < e; ++i)
        if (s[i] != '.') digits += s[i];
    pointPos = std::stoi(s.substr(e + 1)) + 1;
}

// Adds one unit at the last place of a digit string; returns true when it grew a digit.
bool Increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return false;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
    return true;
}

std::string Group(const std::string& integer) {
    std::string out;
    int n = static_cast<int>(integer.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ',';
        out += integer[i];
    }
    return out;
}

}  // namespace

TNumber Pow10(int k) {
    std::string text = "1.0e" + std::to_string(k);
    TNumber v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

std::string FormatFixed(TNumber x, int decimals, bool grouping) {
    if (decimals < 0) decimals = 0;
    std::string integer = "0";
    std::string fraction(static_cast<std::size_t>(decimals), '0');
    if (std::isfinite(x) && x != 0) {
        std::string digits;
        int pointPos = 0;
        Digits(x, digits, pointPos);
        int keep = pointPos + decimals;  // digits that survive the rounding
        std::string kept;
        if (keep >= 0) {
            bool roundUp = keep < kSignificant && digits[static_cast<std::size_t>(keep)] >= '5';
            kept = digits.substr(0, static_cast<std::size_t>(std::min(keep, kSignificant)));
            kept.append(static_cast<std::size_t>(std::max(0, keep - kSignificant)), '0');
            if (roundUp && Increment(kept)) ++pointPos;
        }
        // `kept` holds the digits from the first significant place down to the last
        // decimal; lay them out around the point.
        int intDigits = pointPos;
        if (intDigits > 0) {
            integer = kept.substr(0, static_cast<std::size_t>(intDigits));
            fraction = kept.substr(static_cast<std::size_t>(intDigits));
        } else {
            fraction = std::string(static_cast<std::size_t>(-intDigits), '0') + kept;
            fraction = fraction.substr(fraction.size() - static_cast<std::size_t>(decimals));
        }
        std::size_t nz = integer.find_first_not_of('0');
        integer = nz == std::string::npos ? "0" : integer.substr(nz);
    }
    bool zero = integer == "0" && fraction.find_first_not_of('0') == std::string::npos;
    std::string out = (x < 0 && !zero) ? "-" : "";
    out += grouping ? Group(integer) : integer;
    if (decimals > 0) out += "." + fraction;
    return out;
}

std::string FormatPlain(TNumber x) {
    std::string s = FormatFixed(std::fabs(x), 14, false);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

bool ReadNumber(std::string_view text, TNumber& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::string body;
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            return false;
        }
        body += c;
    }
    if (digits == 0) return false;
    if (body.front() == '.') body.insert(body.begin(), '0');
    if (body.back() == '.') body.pop_back();
    TNumber v = 0;
    auto r = std::from_chars(body.data(), body.data() + body.size(), v, std::chars_format::fixed);
    if (r.ec != std::errc()) return false;
    value = negative ? -v : v;
    return true;
}

int CountDigits(std::string_view text) {
    int n = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') ++n;
    return n;
}
