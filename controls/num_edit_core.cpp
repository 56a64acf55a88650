#include "controls/num_edit_core.h"

#include <algorithm>
#include <cmath>

namespace {

// The full-width forms of letters, digits and signs as their one-byte forms; any other
// character outside ASCII leaves 0xFF so that the text is refused.
std::string HalfWidth(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        char32_t cp = len == 1 ? 0xFFFD : c & (0x3F >> (len - 1));
        for (int k = 1; k < len && i + static_cast<std::size_t>(k) < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        i += static_cast<std::size_t>(len);
        if (cp >= 0xFF01 && cp <= 0xFF5E)
            out += static_cast<char>(cp - 0xFEE0);
        else if (cp == 0x3000)
            out += ' ';
        else if (cp == 0xFFE5)
            out += '\\';
        else if (cp == 0x2212)
            out += '-';
        else
            out += '\xFF';
    }
    return out;
}

}  // namespace

TNumEditCore::TNumEditCore() {
    // The state after construction and loading: typing state reset, the value shown.
    AssignValue(0);
    savedValue_ = value_;
}

void TNumEditCore::ShowValue(TNumber x) {
    value_ = x;
    if (minusColor_ != plusColor_) fontColor_ = (x < 0 || negativeSign_) ? minusColor_ : plusColor_;
    std::string t;
    if (x == 0 && !pointEntered_) {
        if (zeroDisplay_) t = "0";
        decimalCount_ = 0;
        digitCount_ = 0;
    } else {
        t = FormatFixed(x, decimalCount_, putAComma_);
        if (pointEntered_ && decimalCount_ == 0 && digitCount_ < maxDigits_) t += '.';
    }
    bool prefixed = leadingChar_ > ' ' && (zeroDisplay_ || x != 0 || negativeSign_ || pointEntered_);
    if (prefixed) t.insert(t.begin(), leadingChar_);
    if (x == 0 && negativeSign_) t.insert(prefixed ? 1 : 0, 1, '-');
    text_ = t;
    ++displays_;
}

void TNumEditCore::AssignValue(TNumber x) {
    if (std::isnan(x)) x = 0;
    // A negative number where none is permitted is made positive before anything else,
    // so that the clamped largest value cannot bring the sign back.
    if (!prmtNegative_) x = std::fabs(x);
    negativeSign_ = x < 0;
    pointEntered_ = false;

    int minDecimalsExp;
    if (fixDecimal_ > 0) {
        decimalCount_ = fixDecimal_;
        pointEntered_ = x != 0;
        minDecimalsExp = fixDecimal_;
    } else {
        decimalCount_ = 0;
        minDecimalsExp = maxDigits_ - 1;
    }
    if (std::fabs(x) < Pow10(-minDecimalsExp)) {
        // A value too small to show is zero; it shows as zero, not as a lone minus.
        negativeSign_ = false;
        pointEntered_ = false;
        ShowValue(0);
        return;
    }
    std::string nines(static_cast<std::size_t>(maxDigits_), '9');
    if (decimalCount_ > 0) nines.insert(nines.size() - static_cast<std::size_t>(decimalCount_), 1, '.');
    TNumber largest = 0;
    ReadNumber(nines, largest);
    if (std::fabs(x) >= largest) {
        digitCount_ = maxDigits_;
        ShowValue(negativeSign_ ? -largest : largest);
        return;
    }

    if (fixDecimal_ < 0) {
        // Free decimals: the significant decimals that fit beside the integer digits,
        // cut (not rounded) at the last digit that fits, trailing zeros dropped.
        std::string s = FormatPlain(x);
        std::size_t p = s.find('.');
        int intDigits = static_cast<int>(p == std::string::npos ? s.size() : p);
        int decimals = 0;
        if (p != std::string::npos && intDigits < maxDigits_) {
            std::string f = s.substr(p + 1, static_cast<std::size_t>(maxDigits_ - intDigits));
            f.erase(f.find_last_not_of('0') + 1);
            decimals = static_cast<int>(f.size());
        }
        // Rounding at the last decimal shown may carry into a new integer digit
        // (99.96 in three digits); a decimal fewer keeps the display within the limit.
        while (decimals > 0 && CountDigits(FormatFixed(x, decimals, false)) > maxDigits_) --decimals;
        decimalCount_ = decimals;
        pointEntered_ = decimals > 0;
    }
    digitCount_ = CountDigits(FormatFixed(x, decimalCount_, false));
    ShowValue(x);
}

TNumber TNumEditCore::TextToValue(const std::string& text) const {
    if (text.empty()) return 0;
    std::string t = HalfWidth(text);
    if (leadingChar_ != ' ' && !t.empty() && t[0] == leadingChar_)
        t.erase(0, 1);
    else if (leadingChar_ == ' ' && !t.empty() && (t[0] == '$' || t[0] == '\\'))
        t.erase(0, 1);
    std::size_t point = t.find('.');
    if (point == std::string::npos) point = t.size();
    int separators = 0;
    for (std::size_t i = t.size(); i-- > 0;) {
        char c = t[i];
        if (c == ',') {
            if (i >= point || i == 0 || (point - i) % 4 != 0) return 0;
            ++separators;
        } else if (!(c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9'))) {
            return 0;
        }
    }
    if (separators > 0) {
        int n = CountDigits(std::string_view(t).substr(0, point));
        if (separators != (n - 1) / 3) return 0;
        t.erase(std::remove(t.begin(), t.end(), ','), t.end());
    }
    TNumber v = 0;
    return ReadNumber(t, v) ? v : 0;
}

void TNumEditCore::Clear(bool keepSign) {
    value_ = 0;
    decimalCount_ = 0;
    pointEntered_ = false;
    digitCount_ = 0;
    if (!keepSign) negativeSign_ = false;
}

TNumKeyResult TNumEditCore::Char(char32_t c, bool selected) {
    if (c == 3) return TNumKeyResult::PassOn;  // copy
    if (c == 22 || c == 24 || c == 26) return ReadOnly ? TNumKeyResult::Done : TNumKeyResult::PassOn;
    if (ReadOnly) return TNumKeyResult::Done;
    if (c == '-') {
        if (!prmtNegative_) return TNumKeyResult::Beep;
        if (selected) Clear();
        negativeSign_ = !negativeSign_;
        ShowValue(-value_);
        return TNumKeyResult::Done;
    }
    if (c == '.') {
        if (fixDecimal_ == 0) {
            pointEntered_ = false;
            decimalCount_ = 0;
            return TNumKeyResult::Beep;
        }
        if (selected) Clear(true);
        bool refused = false;
        if (digitCount_ >= maxDigits_) {
            refused = true;
        } else {
            if (digitCount_ == 0) digitCount_ = 1;
            if (pointEntered_)
                refused = true;
            else
                pointEntered_ = true;
        }
        ShowValue(value_);
        return refused ? TNumKeyResult::Beep : TNumKeyResult::Done;
    }
    if (c >= '0' && c <= '9') {
        return Digit(static_cast<int>(c - '0'), selected) ? TNumKeyResult::Done : TNumKeyResult::Beep;
    }
    return TNumKeyResult::Done;
}

bool TNumEditCore::Digit(int d, bool selected) {
    if (selected) {
        Clear();
        ShowValue(0);
    }
    bool positive = value_ >= 0 && !negativeSign_;
    int oldDecimals = decimalCount_;
    TNumber c;
    if (!pointEntered_) {
        c = positive ? value_ * 10 + d : value_ * 10 - d;
    } else {
        ++decimalCount_;
        c = d;
        for (int i = 0; i < decimalCount_; ++i) c /= 10;
        c = positive ? value_ + c : value_ - c;
    }
    int oldDigits = digitCount_;
    if (decimalCount_ == 1 && value_ == 0)
        digitCount_ = 2;
    else
        ++digitCount_;
    if (digitCount_ > maxDigits_) {
        digitCount_ = maxDigits_;
        if (pointEntered_) decimalCount_ = oldDecimals;
        return false;
    }
    if (!pointEntered_ && fixDecimal_ >= 0 && digitCount_ > maxDigits_ - fixDecimal_) {
        digitCount_ = maxDigits_ - fixDecimal_;
        return false;
    }
    if (pointEntered_ && fixDecimal_ >= 0 && decimalCount_ > fixDecimal_) {
        decimalCount_ = fixDecimal_;
        digitCount_ = oldDigits;
        return false;
    }
    TNumber rounded = 0;
    ReadNumber(FormatFixed(c, decimalCount_, false), rounded);
    ShowValue(rounded);
    return true;
}

void TNumEditCore::Backspace(bool selected) {
    if (selected) {
        Clear();
        ShowValue(0);
    }
    if (digitCount_ <= 0) {
        Clear();
        ShowValue(0);
        return;
    }
    std::string t = FormatFixed(value_, decimalCount_, false);
    t.pop_back();
    --digitCount_;
    if (decimalCount_ > 0) {
        --decimalCount_;
    } else {
        decimalCount_ = 0;
        pointEntered_ = false;
        negativeSign_ = false;
    }
    TNumber v = 0;
    ReadNumber(t, v);  // "" and "-" leave 0
    ShowValue(v);
}

TNumKeyResult TNumEditCore::KeyDown(TNumKey key, bool selected) {
    switch (key) {
        case TNumKey::Backspace:
            if (!ReadOnly) Backspace(selected);
            return TNumKeyResult::Done;
        case TNumKey::Enter:
            return EnterNext ? TNumKeyResult::FocusNext : TNumKeyResult::PassOn;
        case TNumKey::Escape:
            if (!ReadOnly) AssignValue(savedValue_);
            return TNumKeyResult::Done;
        case TNumKey::Home:
            return TNumKeyResult::SelectAll;
        case TNumKey::Left:
            return TNumKeyResult::Done;
        case TNumKey::Up:
            return ArrowNext ? TNumKeyResult::FocusPrev : TNumKeyResult::PassOn;
        case TNumKey::Down:
            return ArrowNext ? TNumKeyResult::FocusNext : TNumKeyResult::PassOn;
        case TNumKey::Delete:
            if (!ReadOnly && (selected || DelAllClear)) {
                Clear();
                ShowValue(0);
            }
            return TNumKeyResult::Done;
    }
    return TNumKeyResult::PassOn;
}

void TNumEditCore::Paste(const std::optional<std::string>& clipboard) {
    AssignValue(clipboard ? TextToValue(*clipboard) : 0);
}

void TNumEditCore::FocusOut() {
    savedValue_ = value_;
    if (fixDecimal_ > 0 && value_ != 0 && decimalCount_ != fixDecimal_) {
        digitCount_ += fixDecimal_ - decimalCount_;
        decimalCount_ = fixDecimal_;
        pointEntered_ = true;
    }
    ShowValue(value_);
}

void TNumEditCore::SetFontColor(TColor c) {
    fontColor_ = c;
    bool negative = value_ < 0 || negativeSign_;
    if (c == plusColor_ && !negative) return;
    if (plusColor_ == minusColor_) {
        plusColor_ = minusColor_ = c;
    } else if (negative) {
        if (c != minusColor_) {
            fontColor_ = minusColor_;
            plusColor_ = c;
        }
    } else {
        plusColor_ = c;
    }
}

void TNumEditCore::SetMaxDigits(int v) {
    if (v < 1 || v > 15 || v <= fixDecimal_) return;
    std::string n = FormatPlain(value_);
    std::size_t p = n.find('.');
    if (fixDecimal_ > 0) {
        if (p == std::string::npos) {
            n += '.';
            p = n.size() - 1;
        }
        std::size_t decimals = n.size() - p - 1;
        if (decimals < static_cast<std::size_t>(fixDecimal_)) n.append(static_cast<std::size_t>(fixDecimal_) - decimals, '0');
    }
    maxDigits_ = v;
    if (CountDigits(n) > v) AssignValue(value_);
}

void TNumEditCore::SetFixDecimal(int v) {
    v = std::clamp(v, -1, maxDigits_ - 1);
    fixDecimal_ = v;
    if (v < 0) return;
    std::string s = FormatPlain(value_);
    std::size_t p = s.find('.');
    if (p != std::string::npos)
        s = s.substr(0, p + 1 + static_cast<std::size_t>(v));
    else if (v > 0)
        s += "." + std::string(static_cast<std::size_t>(v), '0');
    TNumber x = 0;
    ReadNumber(s, x);
    AssignValue(value_ < 0 ? -x : x);
}

void TNumEditCore::SetPrmtNegative(bool v) {
    prmtNegative_ = v;
    // A lone minus typed before the first digit goes too.
    if (!v && (value_ < 0 || negativeSign_)) AssignValue(std::fabs(value_));
}

void TNumEditCore::SetLeadingChar(char c) {
    if (c == 0) c = ' ';
    std::string t = text_;
    if (leadingChar_ > ' ') {
        std::size_t at = t.find(leadingChar_);
        if (at != std::string::npos) t.erase(at, 1);
    }
    leadingChar_ = c;
    if (c > ' ') t.insert(t.begin(), c);
    TextFromOutside(t);
}

void TNumEditCore::SetZeroDisplay(bool v) {
    zeroDisplay_ = v;
    ShowValue(value_);
}

void TNumEditCore::SetPutAComma(bool v) {
    putAComma_ = v;
    AssignValue(value_);
}
