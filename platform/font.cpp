#include "platform/font.h"

#include "platform/sjis.h"

#include <algorithm>
#include <climits>

namespace {

// Rounds a * b / c half away from zero, as the window system's MulDiv does. The result
// saturates at ±INT_MAX, so the callers can negate it whatever a damaged file held.
int MulDiv(int a, int b, int c) {
    long long p = static_cast<long long>(a) * b;
    long long half = c / 2;
    long long q = p >= 0 ? (p + half) / c : (p - half) / c;
    return static_cast<int>(std::clamp<long long>(q, -INT_MAX, INT_MAX));
}

}  // namespace

TFont::TFont() : name_(Sjis("ＭＳ Ｐゴシック")), charset_(SHIFTJIS_CHARSET) {}

TFont::TFont(const TFont& other)
    : name_(other.name_), charset_(other.charset_), height_(other.height_), color_(other.color_),
      style_(other.style_) {}

TFont& TFont::operator=(const TFont& other) {
    Assign(other);
    return *this;
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

int TFont::Size() const { return -MulDiv(height_, 72, kPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, kPixelsPerInch, 72)); }

void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this || SameAs(source)) return;
    name_ = source.name_;
    charset_ = source.charset_;
    height_ = source.height_;
    color_ = source.color_;
    style_ = source.style_;
    Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && charset_ == other.charset_ && height_ == other.height_ &&
           color_ == other.color_ && style_ == other.style_;
}

void TFont::Changed() {
    if (OnChange) OnChange();
}
