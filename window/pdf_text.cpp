#include "window/pdf_text.h"

#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace {

bool HasSurrogate(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSurrogate(); });
}

// The name the PDF gives a face (its PostScript name, which for the faces used here is the
// family without spaces).
QString FaceName(const QGlyphRun& run) { return run.rawFont().familyName().remove(QLatin1Char(' ')); }

QByteArray Hex4(quint32 v) { return QByteArray::number(v, 16).toUpper().rightJustified(4, '0'); }

// The number after `key` at or after `from` in `pdf`; -1 when missing.
qsizetype NumberAfter(const QByteArray& pdf, const QByteArray& key, qsizetype from, qsizetype* end = nullptr) {
    qsizetype at = pdf.indexOf(key, from);
    if (at < 0) return -1;
    at += key.size();
    qsizetype stop = at;
    while (stop < pdf.size() && pdf[stop] >= '0' && pdf[stop] <= '9') ++stop;
    if (stop == at) return -1;
    if (end) *end = stop;
    return pdf.mid(at, stop - at).toLongLong();
}

// The cross-reference table rebuilt for objects that moved: each object's offset found
// anew, the trailer kept.
QByteArray WithNewXref(const QByteArray& pdf) {
    const qsizetype xref = pdf.lastIndexOf("\nxref\n");
    const qsizetype trailer = pdf.indexOf("trailer", xref);
    const qsizetype startxref = pdf.indexOf("startxref", trailer);
    const qsizetype count = NumberAfter(pdf, "\nxref\n0 ", xref);
    if (xref < 0 || trailer < 0 || startxref < 0 || count <= 0) return {};
    QByteArray out = pdf.left(xref + 1);
    out += "xref\n0 " + QByteArray::number(count) + "\n0000000000 65535 f \n";
    for (qsizetype i = 1; i < count; ++i) {
        const qsizetype at = pdf.indexOf("\n" + QByteArray::number(i) + " 0 obj", 0);
        if (at < 0 || at > xref) return {};
        out += QByteArray::number(at + 1).rightJustified(10, '0') + " 00000 n \n";
    }
    out += pdf.mid(trailer, startxref - trailer);
    out += "startxref\n" + QByteArray::number(xref + 1) + "\n%%EOF\n";
    return out;
}

}  // namespace

void TPdfText::Note(const QString& face, const QList<quint32>& glyphs, const QString& cluster) {
    TFace& f = faces_[face];
    bool first = true;
    for (quint32 g : glyphs) {
        if (g == 0) continue;  // .notdef is the subset's glyph 0 already
        const quint32 cid = f.cidOf.try_emplace(g, static_cast<quint32>(f.cidOf.size() + 1)).first->second;
        // The cluster's first glyph reads as the whole cluster (a ZWJ family drawn as three
        // faces gives its text once).
        if (!cluster.isEmpty() && first) f.textOf.try_emplace(cid, cluster);
        first = false;
    }
}

void TPdfText::Draw(QPainter& painter, const QFont& font, QPointF baseline, const QString& text) {
    if (text.isEmpty()) return;
    QTextLayout layout(text, font, painter.device());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    const QPointF origin(baseline.x(), baseline.y() - line.ascent());
    if (!HasSurrogate(text)) {
        for (const QGlyphRun& run : layout.glyphRuns()) {
            painter.drawGlyphRun(origin, run);
            Note(FaceName(run), run.glyphIndexes(), {});
        }
        return;
    }
    // Cluster by cluster, so that each glyph is known to belong to its characters.
    QTextBoundaryFinder bounds(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype from = 0; from < text.size();) {
        qsizetype to = bounds.toNextBoundary();
        if (to <= from) to = text.size();
        const QString cluster = text.mid(from, to - from);
        QString known = HasSurrogate(cluster) ? cluster : QString();
        for (const QGlyphRun& run : layout.glyphRuns(static_cast<int>(from), static_cast<int>(to - from))) {
            painter.drawGlyphRun(origin, run);
            Note(FaceName(run), run.glyphIndexes(), known);
            // A cluster drawn from two faces (👍 and its skin tone) reads once.
            if (!run.glyphIndexes().isEmpty()) known.clear();
        }
        from = to;
    }
}

QByteArray TPdfText::CompleteTextMaps(const QByteArray& pdf) const {
    QByteArray out = pdf;
    bool changed = false;
    for (const auto& [name, face] : faces_) {
        if (face.textOf.empty()) continue;
        const qsizetype font = out.indexOf("/Subtype /Type0\n/BaseFont /" + name.toLatin1() + "\n");
        if (font < 0) continue;
        const qsizetype map = NumberAfter(out, "/ToUnicode ", font);
        if (map < 0) continue;
        const QByteArray head = "\n" + QByteArray::number(map) + " 0 obj\n<< /Length ";
        const qsizetype object = out.indexOf(head);
        qsizetype lengthEnd = 0;
        const qsizetype length = NumberAfter(out, head, object, &lengthEnd);
        const qsizetype stream = out.indexOf("stream\n", lengthEnd);
        if (object < 0 || length < 0 || stream < 0) continue;
        const qsizetype body = stream + 7;
        QByteArray cmap = out.mid(body, length);
        const qsizetype end = cmap.indexOf("endcmap");
        if (end < 0) continue;
        std::vector<QByteArray> lines;
        for (const auto& [cid, text] : face.textOf) {
            QByteArray line = "<" + Hex4(cid) + "> <";
            for (QChar c : text) line += Hex4(c.unicode());
            lines.push_back(line + ">\n");
        }
        // The PDF allows at most 100 entries a block.
        QByteArray entries;
        for (size_t k = 0; k < lines.size(); k += 100) {
            const size_t n = std::min<size_t>(100, lines.size() - k);
            entries += QByteArray::number(static_cast<qulonglong>(n)) + " beginbfchar\n";
            for (size_t i = k; i < k + n; ++i) entries += lines[i];
            entries += "endbfchar\n";
        }
        cmap.insert(end, entries);
        out.replace(object + 1, body + length - (object + 1),
                    QByteArray::number(map) + " 0 obj\n<< /Length " + QByteArray::number(cmap.size()) + " >>\nstream\n" + cmap);
        changed = true;
    }
    if (!changed) return pdf;
    const QByteArray rebuilt = WithNewXref(out);
    return rebuilt.isEmpty() ? pdf : rebuilt;
}
