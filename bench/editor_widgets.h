#pragma once
// The editors the benchmarks compare, set up alike: Mekuri's TEditor as the main window sets
// it up, and Qt's QPlainTextEdit in the same font and size. A paint counter on a viewport
// proves that a timed paint really happened.
#include "window/form1.h"
#include "bench/bench_app.h"
#include "editor/editor.h"
#include "platform/qt_fonts.h"
#include "platform/sjis.h"

#include <QApplication>
#include <QEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <memory>

constexpr int kBenchWidth = 1920;  // a maximised editor
constexpr int kBenchHeight = 1080;

// The main window's editor font.
inline TFont DiaryFont() {
    TFont f;
    f.SetName(Sjis("@ＭＳ ゴシック"));
    f.SetHeight(-15);
    return f;
}

// Not shown and without text: the caller loads and shows it.
inline std::unique_ptr<TEditor> MakeDiaryEditor(bool ruled) {
    auto ed = std::make_unique<TEditor>();
    ed->SetFont(DiaryFont());
    ed->SetLeftMargin(4);
    ed->SetTopMargin(0);
    ed->SetLineMargin(0);
    ed->SetCharacterMargin(0);
    ed->SetDisposeBlank(true);
    ed->SetTabSpaceCount(8);
    ed->SetScrollBars(ssBoth);
    if (ruled) ed->OnDrawLine = &TForm1::Editor1DrawLine;
    ed->resize(kBenchWidth, kBenchHeight);
    return ed;
}

// QPlainTextEdit with the diary's rule: after the base paint, one silver line under each
// visible line, where the diary draws it under each row.
class TRuledPlainTextEdit : public QPlainTextEdit {
public:
    bool ruled = false;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPlainTextEdit::paintEvent(event);
        if (!ruled) return;
        QPainter p(viewport());
        const QColor silver(192, 192, 192);
        const QPointF offset = contentOffset();
        const int bottom = viewport()->height();
        for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
            const QRectF box = blockBoundingGeometry(block).translated(offset);
            if (box.top() >= bottom) break;
            const QTextLayout* layout = block.layout();
            for (int i = 0; i < layout->lineCount(); ++i) {
                const int y = static_cast<int>(box.top() + layout->lineAt(i).rect().bottom()) - 1;
                p.fillRect(QRect(0, y, viewport()->width(), 1), silver);  // as the diary draws its rule
            }
        }
    }
};

// Not shown and without text, in the diary's font, wrap off like the diary's editor.
inline std::unique_ptr<TRuledPlainTextEdit> MakePlainTextEdit(bool ruled) {
    auto edit = std::make_unique<TRuledPlainTextEdit>();
    edit->ruled = ruled;
    edit->setFont(ToQFont(DiaryFont()));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->resize(kBenchWidth, kBenchHeight);
    return edit;
}

// Counts the paint events a widget receives.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }
    ~TPaintCounter() override { watched_->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }

private:
    QWidget* watched_;
};

// Shows `widget` and lets it lay out and paint once; false when its viewport got no paint.
inline bool ShowAndPaint(QWidget& widget, QWidget* viewport) {
    TPaintCounter painted(viewport);
    widget.show();
    QApplication::processEvents();
    if (painted.count == 0) viewport->repaint();
    return painted.count > 0;
}
