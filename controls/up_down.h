#pragma once
// An up/down button pair bound to the field on its left: it keeps a position within a
// range (no wrap-around), writes the position into the field and reports each step.
#include <QWidget>

#include <functional>

class QLineEdit;

class TUpDown : public QWidget {
public:
    explicit TUpDown(QWidget* parent = nullptr);

    int Min() const { return min_; }
    int Max() const { return max_; }
    void SetMin(int min);
    void SetMax(int max);
    int Position() const { return position_; }
    // Stores the position (clamped to the range) and shows it in the field.
    void SetPosition(int position);

    // The field that shows the position; not owned.
    void SetAssociate(QLineEdit* field) { associate_ = field; }
    QLineEdit* Associate() const { return associate_; }

    // Steps by +1 (up) or -1 (down), as a click on the arrow does.
    void Step(int delta);

    // Raised after a step that changed the position, with the new position.
    std::function<void(int position)> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowPosition();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int pressedHalf_ = 0;  // +1 upper arrow held, -1 lower arrow held
    QLineEdit* associate_ = nullptr;
};
