#pragma once
// Text is antialiased, so thin strokes hold few pixels of the exact text colour. Ink is
// counted instead: pixels on the way from the background to the text colour, at least
// halfway there.
#include <QColor>
#include <QImage>
#include <QRect>

inline int CountInk(const QImage& image, const QRect& rect, const QColor& ink, const QColor& background) {
    const int dr = ink.red() - background.red(), dg = ink.green() - background.green(),
              db = ink.blue() - background.blue();
    const double span = double(dr) * dr + double(dg) * dg + double(db) * db;
    if (span == 0) return 0;
    int n = 0;
    const QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor p(image.pixel(x, y));
            const int pr = p.red() - background.red(), pg = p.green() - background.green(),
                      pb = p.blue() - background.blue();
            const double t = (double(pr) * dr + double(pg) * dg + double(pb) * db) / span;
            const double er = pr - t * dr, eg = pg - t * dg, eb = pb - t * db;
            if (t >= 0.5 && t <= 1.05 && er * er + eg * eg + eb * eb < 30 * 30) ++n;
        }
    }
    return n;
}
