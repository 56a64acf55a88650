// The floor for start-up: a bare Qt program (an application object and an empty main
// window of Mekuri's size, nothing else linked) that says "first-paint" once painted and
// quits.
#include "window/quit_after_first_paint.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(615, 460);
    TQuitAfterFirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
