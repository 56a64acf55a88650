#pragma once
// Lines of text in a calendar's fonts. Besides the glyphs, drawing a line needs the Qt
// font, the laid-out text and its size, and a pen; for the seven fonts these are made
// once and kept from picture to picture, since the same numbers and names come back on
// every redraw. Forget drops them when a font changes.
#include "calendar/cal_ex_fonts.h"

#include <QFont>
#include <QPen>
#include <QRectF>
#include <QSizeF>
#include <QStaticText>
#include <QString>

#include <array>
#include <cstddef>
#include <optional>
#include <unordered_map>

class QPainter;
class QRect;
class QColor;

class TCalExText {
public:
    explicit TCalExText(const TCalExFonts& fonts) : fonts_(fonts) {}
    TCalExText(const TCalExText&) = delete;
    TCalExText& operator=(const TCalExText&) = delete;

    void Forget();
    const QFont& QFontOf(const TFont& font);
    // One line of text in `font` and `color`, aligned in `rect` as by `flags` (horizontal
    // left or centre, vertical centre); clipped to `rect` unless Qt::TextDontClip. Returns
    // the box the text was laid out in.
    QRectF DrawLine(QPainter& painter, const QRect& rect, int flags, const QString& text, const TFont& font,
                  const QColor& color);

private:
    struct LaidOut {
        QStaticText Text;
        QSizeF Size;
    };
    // The texts are a few characters long: a plain FNV-1a over the UTF-16 units costs far
    // less per lookup than Qt's seeded string hash.
    struct TextHash {
        std::size_t operator()(const QString& text) const noexcept;
    };

    // Count for a font that is not one of the seven.
    int IndexOf(const TFont& font) const;
    void UseFont(QPainter& painter, int index);
    const LaidOut& LaidOutText(QPainter& painter, int index, const QString& text);

    const TCalExFonts& fonts_;
    std::array<std::optional<QFont>, TCalExFonts::Count> qfonts_;
    std::optional<QFont> otherQFont_;
    std::array<std::unordered_map<QString, LaidOut, TextHash>, TCalExFonts::Count> laidOut_;
    std::array<QPen, TCalExFonts::Count> pens_;
    // The painter's font as it stood after this class last set it: setting a font costs a
    // resolution against the device, so it is skipped while the painter still holds it.
    int painterFontIndex_ = TCalExFonts::Count;
    QFont painterFont_;
};
