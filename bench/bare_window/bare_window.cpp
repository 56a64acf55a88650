// The floor for start-up: a bare Qt program (an application object and an empty main
// window of Mekuri's size, nothing else linked) that says "first-paint" once painted and
// quits, as Mekuri does under MEKURI_QUIT_AFTER_FIRST_PAINT.
#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

namespace {

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            std::fputs("first-paint\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::close);
        }
        return false;
    }

private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(615, 460);
    FirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
