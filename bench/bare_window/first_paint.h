#pragma once
// Shared by the start-up floors: says "first-paint" on the standard output once the
// watched window's whole first picture is painted, then closes it, as Mekuri does under
// MEKURI_QUIT_AFTER_FIRST_PAINT.
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // The window's own paint event comes before its children's; the whole first
            // picture is on screen once control is back in the event loop.
            QWidget* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] {
                std::fputs("first-paint\n", stdout);
                std::fflush(stdout);
                window->close();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};
