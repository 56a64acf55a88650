// The drawing of the tab tool bar's frame: edges, the tab, its triangle and grip.
#include "controls/tab_tool_bar.h"

#include "platform/qt_colors.h"

#include <QPainter>
#include <QPolygon>

#include <algorithm>

namespace {

// A rectangle as edges, right and bottom exclusive: the tab's geometry is stated in
// edge moves, which read more plainly this way than with QRect's inclusive corners.
struct Box {
    int l, t, r, b;
    int W() const { return r - l; }
    int H() const { return b - t; }
    QRect Q() const { return QRect(l, t, W(), H()); }
};

void Line(QPainter& p, int x, int y, int w, int h, const QColor& c) {
    if (w > 0 && h > 0) p.fillRect(x, y, w, h, c);
}

enum class Points { Down, Right };

// A filled triangle of `n` lines (lengths 2n-1, 2n-3, ... 1), set pixel line by line.
void Triangle(QPainter& p, int x, int y, int n, Points dir, const QColor& c) {
    int len = 2 * n - 1;
    for (int i = 0; i < n; ++i) {
        if (dir == Points::Down)
            Line(p, x + i, y + i, len - 2 * i, 1, c);
        else
            Line(p, x + i, y + i, 1, len - 2 * i, c);
    }
}

// The number of lines of a triangle of the given size whose base fits into `room`.
int TriangleLines(int size, int room) {
    int n = size % 2 == 0 ? size - 1 : size;
    while (n > 1 && 2 * n - 1 > room) --n;
    return std::max(n, 1);
}

}  // namespace

void TTabToolBar::PaintEdges(QPainter& p) const {
    // Each edge is etched: a shadow line outside, a light line inside.
    QColor shadow = ToQColor(clBtnShadow), light = ToQColor(clWhite);
    int w = width(), h = height();
    if (edgeBorders_ & ebTop) {
        Line(p, 0, 0, w, 1, shadow);
        Line(p, 0, 1, w, 1, light);
    }
    if (edgeBorders_ & ebBottom) {
        Line(p, 0, h - 2, w, 1, shadow);
        Line(p, 0, h - 1, w, 1, light);
    }
    if (edgeBorders_ & ebLeft) {
        Line(p, 0, 0, 1, h, shadow);
        Line(p, 1, 0, 1, h, light);
    }
    if (edgeBorders_ & ebRight) {
        Line(p, w - 2, 0, 1, h, shadow);
        Line(p, w - 1, 0, 1, h, light);
    }
}

void TTabToolBar::PaintTab(QPainter& p) const {
    QRect tab = TabRect();
    Box r{tab.left(), tab.top(), tab.left() + tab.width(), tab.top() + tab.height()};
    bool vertical = IsVertical();
    QColor fill = ToQColor(tabHot_ ? tabHighlightColor_ : tabColor_);
    QColor shadow = ToQColor(clBtnShadow);
    QColor arrow = ToQColor(arrowColor_);

    if (maximized_) {
        r.r -= 1;
        r.b -= 1;
        r.l -= 1;
        p.fillRect(r.Q(), fill);
        Line(p, r.r, r.t, 1, r.H() + 1, shadow);
        Line(p, r.l, r.b, r.W() + 1, 1, shadow);
        int size = (tabSizeMaximized_ - 2) / 2;
        if (vertical) {
            int n = TriangleLines(size, r.H() - 2);
            Triangle(p, r.l + 2, r.t + (r.H() - (2 * n - 1)) / 2, n, Points::Right, arrow);
            r.l += 2 + n;
        } else {
            int n = TriangleLines(size, r.W() - 2);
            Triangle(p, r.l + (r.W() - (2 * n - 1)) / 2 + 1, r.t + 2, n, Points::Down, arrow);
            r.t += 2 + n;
        }
        r = {r.l + 2, r.t + 2, r.r - 2, r.b - 2};
    } else {
        r.r -= 1;
        r.b -= 1;
        // A strip with its trailing end cut at 45 degrees.
        int cut = vertical ? r.W() : r.H();
        QPolygon shape;
        if (vertical)
            shape << QPoint(r.l, r.t) << QPoint(r.r, r.t) << QPoint(r.r, r.b - cut) << QPoint(r.l, r.b);
        else
            shape << QPoint(r.l, r.t) << QPoint(r.r, r.t) << QPoint(r.r - cut, r.b) << QPoint(r.l, r.b);
        p.setPen(ToQColor(cl3DDkShadow));
        p.setBrush(fill);
        p.drawPolygon(shape);
        r = {r.l + 1, r.t + 1, r.r - 1, r.b - 1};
        if (vertical)
            r.b -= 1;
        else
            r.r -= 1;
        QColor white(255, 255, 255);
        Line(p, r.l, r.t, 1, r.H(), white);
        Line(p, r.l, r.t, r.W(), 1, white);
        p.setPen(shadow);
        int inner = vertical ? r.W() : r.H();
        if (vertical) {
            p.drawLine(r.l, r.b, r.r, r.b - inner);
            Line(p, r.r, r.t, 1, r.H() - inner + 1, shadow);
        } else {
            p.drawLine(r.r, r.t, r.r - inner, r.b);
            Line(p, r.l, r.b, r.W() - inner + 1, 1, shadow);
        }
        int size = (vertical ? tab.width() : tab.height()) / 2;
        if (vertical) {
            int n = TriangleLines(size, r.W());
            Triangle(p, r.l + (r.W() - (2 * n - 1) + 1) / 2, r.t + 2, n, Points::Down, arrow);
            r = {r.l + 2, r.t + 2 + n + 2, r.r - 2, r.b - cut};
        } else {
            int n = TriangleLines(size, r.H());
            Triangle(p, r.l + 2, r.t + (r.H() - (2 * n - 1) + 1) / 2, n, Points::Right, arrow);
            r = {r.l + 2 + n + 2, r.t + 2, r.r - cut, r.b - 2};
        }
    }

    // The grip: 3x3 cells, a light dot at (1, 1) and a dark one at (2, 2) of each.
    if (r.W() > 2 && r.H() > 2) {
        QColor light = ToQColor(textureColor1_), dark = ToQColor(textureColor2_);
        p.fillRect(r.Q(), fill);
        for (int y = r.t; y < r.b; y += 3) {
            for (int x = r.l; x < r.r; x += 3) {
                if (x + 1 < r.r && y + 1 < r.b) Line(p, x + 1, y + 1, 1, 1, light);
                if (x + 2 < r.r && y + 2 < r.b) Line(p, x + 2, y + 2, 1, 1, dark);
            }
        }
    }
}
