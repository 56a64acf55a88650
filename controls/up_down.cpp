#include "controls/up_down.h"

#include "controls/num_accessible.h"

#include "controls/num_edit.h"
#include "platform/handler_guard.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

TUpDown::TUpDown(QWidget* parent) : QWidget(parent) {
    InstallNumAccessible();
    setFocusPolicy(Qt::NoFocus);
    connect(&repeat_, &QTimer::timeout, this, Guarded([this] {
        repeat_.setInterval(RepeatInterval());
        HeldStep();
    }));
}

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

void TUpDown::SetAssociate(TNumEdit* field) {
    if (associate_) associate_->removeEventFilter(this);
    associate_ = field;
    if (associate_) associate_->installEventFilter(this);
}

void TUpDown::Step(int delta) {
    int from = position_;
    if (associate_) {
        long double shown = associate_->Value();
        if (std::fabs(shown) < 1e9L) from = static_cast<int>(std::lround(static_cast<double>(shown)));
    }
    int next = from + delta;
    if ((delta > 0 && next > max_) || (delta < 0 && next < min_)) return;
    position_ = next;
    ShowPosition();
    if (OnClick) OnClick(position_);
}

void TUpDown::ShowPosition() {
    // Written as the platform's up/down writes it, with separators from 1000 on; the
    // field reads the text back into its number.
    if (associate_) associate_->SetText(QString::fromStdString(FormatFixed(position_, 0, true)));
}

int TUpDown::RepeatDelay() const { return style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatThreshold, nullptr, this); }

int TUpDown::RepeatInterval() const { return style()->styleHint(QStyle::SH_SpinBox_ClickAutoRepeatRate, nullptr, this); }

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
    repeat_.start(RepeatDelay());
    HeldStep();
}

void TUpDown::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) LetGo();
}

void TUpDown::HeldStep() {
    if (pressedHalf_ == 0) return;
    // The error box of a failed step takes the mouse, so the release would never come.
    try {
        Step(pressedHalf_);
    } catch (...) {
        LetGo();
        throw;
    }
    if (HandlerFailed()) LetGo();
}

void TUpDown::LetGo() {
    repeat_.stop();
    pressedHalf_ = 0;
    update();
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    if (watched == associate_ && event->type() == QEvent::KeyPress) {
        int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
