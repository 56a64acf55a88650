// The peer for start-up: a stock Qt window with Mekuri's widget census (a menu bar and its
// menus, a tool bar, six line edits, up/down buttons, five push buttons, two painted grids
// of Japanese text, a text edit and a status bar), built from stock widgets only, linking
// nothing of ours but the first-paint marker.
#include "window/quit_after_first_paint.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>
#include <cstdlib>

namespace {

// A grid of day cells painted with text, as a month calendar or a week list draws itself.
class TGrid : public QWidget {
public:
    TGrid(int rows, QWidget* parent) : QWidget(parent), rows_(rows) { setMinimumHeight(113); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        static const char* const kWeek[] = {"日", "月", "火", "水", "木", "金", "土"};
        const int w = width() / 7, h = height() / (rows_ + 1);
        for (int c = 0; c < 7; ++c) p.drawText(QRect(c * w, 0, w, h), Qt::AlignCenter, QString::fromUtf8(kWeek[c]));
        for (int r = 0; r < rows_; ++r)
            for (int c = 0; c < 7; ++c) {
                const QRect cell(c * w, (r + 1) * h, w, h);
                p.drawRect(cell.adjusted(0, 0, -1, -1));
                p.drawText(cell, Qt::AlignCenter, QString::number(r * 7 + c + 1));
            }
    }

private:
    int rows_;
};

QWidget* UpDown(QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
        auto* button = new QToolButton(box);
        button->setArrowType(arrow);
        layout->addWidget(button);
    }
    return box;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(615, 460);

    const char* const menus[][5] = {
        {"ファイル(&F)", "印刷(&P)", "プリンタの設定(&R)", "終了(&X)", nullptr},
        {"編集(&E)", "切り取り(&T)", "コピー(&C)", "貼り付け(&P)", "すべて選択(&A)"},
        {"表示(&V)", "月カレンダー(&M)", "週カレンダー(&W)", "ステータスバー(&S)", "六曜(&R)"},
        {"登録/削除(&R)", "保存(&S)", "削除(&D)", "祝日(&H)", "記念日(&A)"},
        {"設定(&S)", "色(&C)", "フォント(&F)", nullptr, nullptr},
        {"ヘルプ(&H)", "お読みください(&R)", "バージョン情報(&A)", nullptr, nullptr},
    };
    for (const auto& m : menus) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(m[0]));
        for (int i = 1; i < 5 && m[i]; ++i) menu->addAction(QString::fromUtf8(m[i]));
    }
    QToolBar* tools = window.addToolBar(QString::fromUtf8("ツールバー"));
    for (const char* name : {"コピー", "保存", "切り取り", "貼り付け", "印刷", "フォント", "色", "終了"})
        tools->addAction(QString::fromUtf8(name));

    auto* central = new QWidget(&window);
    auto* column = new QVBoxLayout(central);
    auto* panel = new QWidget(central);
    auto* row = new QHBoxLayout(panel);
    const char* const field[][2] = {{"2026", "年"}, {"12", "月"}, {"7", "日"}};
    for (const auto& f : field) {
        row->addWidget(new QLineEdit(QString::fromUtf8(f[0]), panel));
        row->addWidget(UpDown(panel));
        row->addWidget(new QLabel(QString::fromUtf8(f[1]), panel));
    }
    for (const char* name : {"今日", "前月", "翌月", "前年", "翌年"}) row->addWidget(new QPushButton(QString::fromUtf8(name), panel));
    row->addWidget(new QLineEdit(QString::fromUtf8("2026/12/7"), panel));
    column->addWidget(panel);
    auto* splitter = new QSplitter(Qt::Vertical, central);
    splitter->addWidget(new TGrid(6, splitter));
    splitter->addWidget(new TGrid(1, splitter));
    auto* editor = new QPlainTextEdit(splitter);
    editor->setPlainText(QString::fromUtf8("今日の日記\n晴れ。"));
    splitter->addWidget(editor);
    column->addWidget(splitter);
    auto* fields = new QWidget(central);
    auto* fieldRow = new QHBoxLayout(fields);
    for (const char* name : {"祝日", "記念日"}) {
        fieldRow->addWidget(new QLabel(QString::fromUtf8(name), fields));
        fieldRow->addWidget(new QLineEdit(fields));
    }
    auto* rule = new QFrame(central);
    rule->setFrameShape(QFrame::HLine);
    column->addWidget(rule);
    column->addWidget(fields);
    window.setCentralWidget(central);
    window.statusBar()->addWidget(new QLabel(QString::fromUtf8("2026年12月7日（月）"), &window));
    window.statusBar()->addWidget(new QLabel(QString::fromUtf8("大安"), &window));

    if (std::getenv("CENSUS_PRINT_WIDGETS"))
        std::fprintf(stderr, "%lld widgets\n", static_cast<long long>(window.findChildren<QWidget*>().size()) + 1);
    TQuitAfterFirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
