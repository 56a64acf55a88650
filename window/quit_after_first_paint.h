#pragma once
// For measuring start-up and for install checks: says "first-paint" on the standard output
// once the watched window's whole first picture is painted, with the CPU time the whole
// process (every thread) has used until then, in nanoseconds; then closes the window through
// its normal close sequence (so Mekuri writes its settings). Qt only and header-only, so
// that the start-up floors in bench/ stop their clocks the same way without linking Mekuri.
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

class TQuitAfterFirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            // The window's own paint event comes before its children's; the whole first
            // picture is on screen once control is back in the event loop.
            QWidget* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window] {
                timespec cpu{};
                clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
                std::printf("first-paint %lld\n", static_cast<long long>(cpu.tv_sec) * 1000000000LL + cpu.tv_nsec);
                std::fflush(stdout);
                window->close();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};
