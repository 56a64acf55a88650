#include "controls/speed_button.h"

#include <QMouseEvent>

TSpeedButton::TSpeedButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFocusPolicy(Qt::NoFocus);
}

void TSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown) OnMouseDown(event->button());
    QPushButton::mousePressEvent(event);
}
