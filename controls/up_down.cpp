#include "controls/up_down.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

void TUpDown::SetMin(int min) {
    min_ = min;
    if (max_ < min_) max_ = min_;
}

void TUpDown::SetMax(int max) {
    max_ = max;
    if (min_ > max_) min_ = max_;
}

void TUpDown::SetPosition(int position) {
    position_ = std::clamp(position, min_, max_);
    ShowPosition();
}

void TUpDown::Step(int delta) {
    int next = std::clamp(position_ + delta, min_, max_);
    if (next == position_) return;
    position_ = next;
    ShowPosition();
    if (OnClick) OnClick(position_);
}

void TUpDown::ShowPosition() {
    if (associate_) associate_->setText(QString::number(position_));
}

QSize TUpDown::sizeHint() const { return {16, 22}; }

void TUpDown::paintEvent(QPaintEvent*) {
    QPainter p(this);
    int half = height() / 2;
    QRect up(0, 0, width(), half);
    QRect down(0, half, width(), height() - half);
    for (int i = 0; i < 2; ++i) {
        QRect r = i == 0 ? up : down;
        QStyleOptionButton button;
        button.initFrom(this);
        button.rect = r;
        bool sunken = (i == 0 && pressedHalf_ == 1) || (i == 1 && pressedHalf_ == -1);
        button.state |= sunken ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &button, &p, this);
        QStyleOption arrow;
        arrow.initFrom(this);
        arrow.rect = r.adjusted(3, 2, -3, -2);
        style()->drawPrimitive(i == 0 ? QStyle::PE_IndicatorArrowUp : QStyle::PE_IndicatorArrowDown, &arrow, &p, this);
    }
}

void TUpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    pressedHalf_ = event->position().y() < height() / 2.0 ? 1 : -1;
    update();
    Step(pressedHalf_);
}

void TUpDown::mouseReleaseEvent(QMouseEvent*) {
    pressedHalf_ = 0;
    update();
}
