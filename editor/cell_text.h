#pragma once
// Text output on a fixed grid: every byte of CP932 text takes one cell, a double-byte
// character two, whatever the glyphs' own advances are. The bytes become Unicode only
// here, at the moment they are drawn.
//
// A character CP932 lacks is an extra code of the text's table: it stands for a whole
// cluster (é, 𠮷, 👨‍👩‍👧) and takes two cells like any double-byte character. Clusters are
// shaped once per font through the fallback faces (colour emoji first for emoji) and drawn
// from that cache, so rows of plain CP932 never pay for them.
#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class QPainter;
class TExtraChars;

// The character one cell run shows: one byte, or a lead byte with its trail byte. Bytes
// that form no character show U+FFFD; control bytes show as blanks.
QChar CellChar(std::string_view character);

class TCellText {
public:
    // Draws `bytes` (tabs already expanded) with cell 0 at `x` and the cell tops at `top`,
    // in the painter's pen colour and `font`. Only characters that overlap the columns
    // firstCol..lastCol (inclusive, counted from cell 0) are output, so very long rows
    // cost no more than what shows.
    // `extra` is the text's table of extra codes; nullptr when it gives none out.
    void Draw(QPainter& painter, const QFont& font, int x, int top, int cellWidth, std::string_view bytes,
              int firstCol = 0, int lastCol = 1 << 30, const TExtraChars* extra = nullptr);

    // The ascent used to place glyphs in a cell for `font`.
    int Ascent(const QFont& font);

private:
    // A cluster shaped once: its glyph runs with the baseline at `ascent`, and its width.
    struct TShaped {
        QList<QGlyphRun> runs;
        qreal ascent = 0;
        qreal width = 0;
    };
    struct TShapeCache {
        QFont font;
        int cellWidth = 0;
        std::unordered_map<std::string, TShaped> clusters;
    };
    void Prepare(const QFont& font);
    const TShaped& Shaped(const QFont& font, int cellWidth, const std::string& utf8);
    void DrawChars(QPainter& painter, const QFont& font, int x, int baseline, int cellWidth, const QString& chars,
                   const std::vector<int>& cols);
    void DrawCluster(QPainter& painter, const QFont& font, int cx, int top, int cellWidth, const std::string& utf8);

    std::vector<TShapeCache> shapes_;  // one per font met lately, newest last
    QFont font_;
    QRawFont raw_;
    int ascent_ = 0;
    bool prepared_ = false;
};
