#include "window/conflict_bar.h"

#include "platform/qt_text.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

TConflictBar::TConflictBar(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, QColor(255, 236, 200));
    colors.setColor(QPalette::WindowText, QColor(0, 0, 0));
    setPalette(colors);
    Message = new QLabel(this);
    Message->setWordWrap(true);
    Compare = new QPushButton(U8("比べる(&K)"), this);
    Compare->setToolTip(U8("2 つの版を並べて表示し、どちらを残すか選びます"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 2, 6, 2);
    row->addWidget(Message, 1);
    row->addWidget(Compare);
    connect(Compare, &QPushButton::clicked, this, [this] {
        if (OnCompare) OnCompare();
    });
    hide();
}

void TConflictBar::ShowCopy(const QString& tool, const QString& when, int more) {
    QString text = U8("この日の日記には別の版があります。%1 が残したもので、%2 に書かれています。").arg(tool, when);
    if (more > 0) text += U8("（ほかに %1 件）").arg(more);
    Message->setText(text);
    show();
}
