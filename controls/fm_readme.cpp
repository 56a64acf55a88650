#include "controls/fm_readme.h"

#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>

namespace {

QFrame* LoweredPanel(QWidget* parent) {
    QFrame* f = new QFrame(parent);
    f->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    f->setLineWidth(1);
    f->setAutoFillBackground(true);
    return f;
}

}  // namespace

TfmReadme::TfmReadme(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setFixedSize(460, 300);

    // The client-filling panel: a lowered bevel with a 5-pixel border inside it.
    Panel1 = LoweredPanel(this);
    Panel1->setAutoFillBackground(false);
    Panel1->setGeometry(0, 0, 460, 300);

    Title = new QLabel(Panel1);
    Title->move(13, 8);

    pnlRead = LoweredPanel(Panel1);
    pnlRead->setGeometry(8, 45, 442, 216);
    ImgReadme = new QLabel(pnlRead);
    ImgReadme->move(13, 16);
    pnlMemo = new QFrame(pnlRead);
    pnlMemo->setAutoFillBackground(true);
    pnlMemo->setGeometry(442 - 1 - 377, 1, 377, 214);
    Copyright = new QLabel(pnlMemo);
    Copyright->setWordWrap(true);
    Copyright->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Bevel1 = new QFrame(pnlMemo);
    Bevel1->setAutoFillBackground(true);
    QPalette navy = Bevel1->palette();
    navy.setColor(QPalette::Window, QColor(0, 0, 128));
    Bevel1->setPalette(navy);
    MemoReadme = new QPlainTextEdit(pnlMemo);
    MemoReadme->setFrameStyle(QFrame::NoFrame);
    MemoReadme->setReadOnly(true);
    MemoReadme->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    MemoReadme->setFocusPolicy(Qt::ClickFocus);  // no tab stop
    MemoReadme->setTabChangesFocus(true);
    MemoReadme->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoReadme->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    MemoReadme->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    cbShowOnStart = new QCheckBox(Panel1);
    cbShowOnStart->setGeometry(13, 272, 353, 17);
    BtnOK = new QPushButton(Panel1);
    BtnOK->setGeometry(375, 268, 75, 25);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cbShowOnStart, &QCheckBox::clicked, this, [this] { PointAtOK(); });

    Timer1.setInterval(100);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, [this] { PointAtOK(); });
    ArrangeReadPanel();
}

void TfmReadme::ArrangeReadPanel() {
    // The memo panel stacks from its bottom: the text, a navy line, then the notice.
    const int height = pnlMemo->height();
    const int width = pnlMemo->width();
    MemoReadme->setGeometry(0, height - 153, width, 153);
    Bevel1->setGeometry(0, height - 154, width, 1);
    Copyright->setGeometry(0, height - 154 - 44, width, 44);
    ImgReadme->adjustSize();
    Title->adjustSize();
}

void TfmReadme::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QScreen* screen = this->screen()) move(screen->availableGeometry().center() - rect().center());
    Timer1.start();
}

void TfmReadme::PointAtOK() {
    QCursor::setPos(BtnOK->mapToGlobal(QPoint(BtnOK->width() / 2, BtnOK->height() / 2)));
}
