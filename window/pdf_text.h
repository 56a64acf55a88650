#pragma once
// Text on printed pages, drawn glyph run by glyph run so that the text a PDF's reader gets
// back is whole. Qt writes each embedded font's text map (ToUnicode) from the font's own
// table of the Basic Multilingual Plane only: a glyph drawn for 😀 or 𠮷 maps to nothing,
// and `pdftotext` leaves it out. Drawing the runs here tells which glyph each face was
// given for which character, in the order the PDF numbers them, and CompleteTextMaps adds
// what the maps lack once the PDF is written.
#include <QByteArray>
#include <QFont>
#include <QPointF>
#include <QString>

#include <map>
#include <unordered_map>
#include <vector>

class QPainter;

class TPdfText {
public:
    // Draws `text` in `font` with its baseline starting at `baseline`.
    void Draw(QPainter& painter, const QFont& font, QPointF baseline, const QString& text);

    // `pdf` as QPdfWriter wrote it from these drawings, with the characters beyond the
    // Basic Multilingual Plane added to its fonts' text maps. Unchanged when none was drawn.
    QByteArray CompleteTextMaps(const QByteArray& pdf) const;

private:
    // One font file's glyphs in the order they were first drawn: the PDF's subset numbers
    // them 1, 2, 3... in that order.
    struct TFace {
        std::unordered_map<quint32, quint32> cidOf;
        std::map<quint32, QString> textOf;  // CIDs whose text the PDF's map lacks
    };
    void Note(const QString& face, const QList<quint32>& glyphs, const QString& cluster);

    std::map<QString, TFace> faces_;  // by PostScript-style name: the family without spaces
};
