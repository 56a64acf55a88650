#include "settings/window_position.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The available area of the screen that shows most of `rect`, or the primary screen's
// when none shows any of it.
QRect BestScreenArea(const QRect& rect) {
    QRect best;
    long long bestArea = 0;
    for (const QScreen* s : QGuiApplication::screens()) {
        const QRect common = s->availableGeometry().intersected(rect);
        const long long area = static_cast<long long>(common.width()) * common.height();
        if (area > bestArea) {
            bestArea = area;
            best = s->availableGeometry();
        }
    }
    if (best.isEmpty())
        if (const QScreen* primary = QGuiApplication::primaryScreen()) best = primary->availableGeometry();
    return best;
}

// A placement saved on another screen layout or at another scale can lie partly or wholly
// off the screens of today: the window is made to fit the screen that shows most of it,
// size first, then position.
QRect FitOnScreen(QRect target) {
    const QRect area = BestScreenArea(target);
    if (area.isEmpty()) return target;
    target.setWidth(std::min(target.width(), area.width()));
    target.setHeight(std::min(target.height(), area.height()));
    target.moveLeft(std::clamp(target.left(), area.left(), area.left() + area.width() - target.width()));
    target.moveTop(std::clamp(target.top(), area.top(), area.top() + area.height() - target.height()));
    return target;
}

// Window systems carry coordinates in 16 bits; a corner beyond is a damaged file. Held
// within this range, and with sizes within QWIDGETSIZE_MAX, no edge Qt computes from a
// corner and a size can overflow.
constexpr int kMaxCoordinate = 32767;

int ClampedCoordinate(int v) { return std::clamp(v, -kMaxCoordinate, kMaxCoordinate); }

// A stored extent, or -1 when the edges give no usable size (reversed, empty or beyond
// anything a window can be).
int Extent(int from, int to) {
    long long extent = static_cast<long long>(to) - from;
    return extent > 0 && extent <= QWIDGETSIZE_MAX ? static_cast<int>(extent) : -1;
}

}  // namespace

TWindowPlacement GetWindowPlacement(const QWidget& window) {
    TWindowPlacement p;
    QRect normal = window.normalGeometry();
    if (normal.isEmpty()) normal = window.geometry();  // never shown: no separate normal geometry yet
    p.NormalPosition = {normal.left(), normal.top(), normal.left() + normal.width(), normal.top() + normal.height()};

    Qt::WindowStates state = window.windowState();
    bool maximized = state.testFlag(Qt::WindowMaximized);
    if (state.testFlag(Qt::WindowMinimized)) {
        p.ShowCmd = kShowMinimized;
        if (maximized) p.Flags |= kPlacementRestoreToMaximized;
    } else if (maximized) {
        p.ShowCmd = kShowMaximized;
    }
    if (maximized) p.MaxPosition = {window.geometry().left(), window.geometry().top()};
    return p;
}

void SetWindowPlacement(QWidget& window, const TWindowPlacement& placement) {
    const TPlacementRect& r = placement.NormalPosition;
    int width = Extent(r.Left, r.Right);
    int height = Extent(r.Top, r.Bottom);
    QRect normal = window.normalGeometry().isEmpty() ? window.geometry() : window.normalGeometry();
    QRect target(ClampedCoordinate(r.Left), ClampedCoordinate(r.Top), width > 0 ? width : normal.width(),
                 height > 0 ? height : normal.height());
    target = FitOnScreen(target);

    Qt::WindowStates state = Qt::WindowNoState;
    switch (placement.ShowCmd) {
        case kShowMinimized:
        case 6:  // minimise
        case 7:  // show minimised without activating
            state = Qt::WindowMinimized;
            if (placement.Flags & kPlacementRestoreToMaximized) state |= Qt::WindowMaximized;
            break;
        case kShowMaximized: state = Qt::WindowMaximized; break;
        default: break;  // normal, and hidden taken as normal: visibility stays the owner's
    }

    // The normal geometry can only be set while the window is in the normal state.
    window.setWindowState(Qt::WindowNoState);
    window.setGeometry(target);
    window.setWindowState(state);
}

void ReadWindowPosition(const TIniStore& store, const std::string& section, const std::string& name, QWidget& window) {
    TWindowPlacement placement = GetWindowPlacement(window);
    store.ReadPosition(section, name, placement);
    SetWindowPlacement(window, placement);
}

void WriteWindowPosition(TIniStore& store, const std::string& section, const std::string& name, const QWidget& window) {
    store.WritePosition(section, name, GetWindowPlacement(window));
}
