// A reference beside the start-up floor: the bare window with one line of Japanese text.
// Any window that shows text pays for reading the font configuration, filling the font
// database and loading a Japanese face; this program pays that and nothing else.
#include "window/quit_after_first_paint.h"

#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(615, 460);
    window.setCentralWidget(new QLabel(QString::fromUtf8("2026年12月7日（月）　日記"), &window));
    TQuitAfterFirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
