#pragma once
// Text output on a fixed grid: every byte of CP932 text takes one cell, a double-byte
// character two, whatever the glyphs' own advances are. The bytes become Unicode only
// here, at the moment they are drawn.
#include <QFont>
#include <QRawFont>

#include <string_view>

class QPainter;

// The character one cell run shows: one byte, or a lead byte with its trail byte. Bytes
// that form no character show U+FFFD; control bytes show as blanks.
QChar CellChar(std::string_view character);

class TCellText {
public:
    // Draws `bytes` (tabs already expanded) with cell 0 at `x` and the cell tops at `top`,
    // in the painter's pen colour and `font`. Only characters that overlap the columns
    // firstCol..lastCol (inclusive, counted from cell 0) are output, so very long rows
    // cost no more than what shows.
    void Draw(QPainter& painter, const QFont& font, int x, int top, int cellWidth, std::string_view bytes,
              int firstCol = 0, int lastCol = 1 << 30);

    // The ascent used to place glyphs in a cell for `font`.
    int Ascent(const QFont& font);

private:
    void Prepare(const QFont& font);

    QFont font_;
    QRawFont raw_;
    int ascent_ = 0;
    bool prepared_ = false;
};
