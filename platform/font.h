#pragma once
// A font description as the program stores it: face name (CP932 bytes), character set,
// height in pixels (negative: character height), colour and style bits. Changing any
// attribute raises OnChange, which is how calendars and the editor learn to redraw.
#include "platform/color.h"

#include <cstdint>
#include <functional>
#include <string>

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;

constexpr int DEFAULT_CHARSET = 1;
constexpr int SHIFTJIS_CHARSET = 128;
constexpr int kPixelsPerInch = 96;

class TFont {
public:
    TFont();
    TFont(const TFont& other);
    TFont& operator=(const TFont& other);

    const std::string& Name() const { return name_; }
    void SetName(const std::string& name);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    int Height() const { return height_; }
    void SetHeight(int height);
    // Size in points, derived from the height at 96 pixels per inch (rounded).
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);

    // Copies every attribute of `source` and raises one change notice when any differed.
    void Assign(const TFont& source);

    bool SameAs(const TFont& other) const;

    std::function<void()> OnChange;

private:
    void Changed();

    std::string name_;
    int charset_ = DEFAULT_CHARSET;
    int height_ = -12;
    TColor color_ = clWindowText;
    TFontStyles style_ = 0;
};
