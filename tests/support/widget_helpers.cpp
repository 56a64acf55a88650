#include "support/widget_helpers.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QRect>
#include <QWidget>

TestEnvironment::TestEnvironment(TSystemDate today) {
    SetClock(today);
    TDialogs::Install(&dialogs);
}

TestEnvironment::~TestEnvironment() {
    TDialogs::Install(nullptr);
    ResetClock();
}

void CommitText(QWidget* widget, const QString& text) {
    QInputMethodEvent event;
    event.setCommitString(text);
    QCoreApplication::sendEvent(widget, &event);
}

QColor PixelAt(const QImage& image, QPoint p) { return QColor(image.pixel(p)).toRgb(); }

int CountPixels(const QImage& image, const QRect& rect, const QColor& color) {
    int n = 0;
    QRect r = rect.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (QColor(image.pixel(x, y)).rgb() == color.rgb()) ++n;
    return n;
}
