#pragma once
// Small aids shared by the widget tests.
#include "platform/clock.h"
#include "platform/dialogs.h"

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>

class QWidget;

// Installs a scripted dialogs service and a fixed clock for the life of the object.
class TestEnvironment {
public:
    explicit TestEnvironment(TSystemDate today = {2026, 12, 7});
    ~TestEnvironment();
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    TScriptedDialogs dialogs;
};

// Hands `text` to `widget` as an input method's result, the way Japanese text arrives.
void CommitText(QWidget* widget, const QString& text);

// The colour of one pixel, without alpha.
QColor PixelAt(const QImage& image, QPoint p);

// Counts the pixels of `image` inside `rect` that have exactly `color`.
int CountPixels(const QImage& image, const QRect& rect, const QColor& color);
