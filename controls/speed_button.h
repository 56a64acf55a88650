#pragma once
// A push button that never takes the keyboard focus and reports every mouse press, so
// that a right press can act differently from a left click.
#include <QPushButton>

#include <functional>

class TSpeedButton : public QPushButton {
public:
    explicit TSpeedButton(const QString& caption, QWidget* parent = nullptr);

    std::function<void(Qt::MouseButton button)> OnMouseDown;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
