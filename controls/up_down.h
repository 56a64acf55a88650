#pragma once
// An up/down button pair bound to the numeric field on its left: it keeps a position
// within a range (no wrap-around), writes the position into the field, steps from the
// number the field shows, repeats while an arrow is held, takes the Up and Down keys of
// the field, and reports each step.
#include <QTimer>
#include <QWidget>

#include <functional>

class TNumEdit;

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
    void SetAssociate(TNumEdit* field);
    TNumEdit* Associate() const { return associate_; }

    // Steps by +1 (up) or -1 (down), as a click on the arrow does. The step starts from
    // the number in the field, so that one step always changes that number by one; a
    // step past the bound in its own direction does nothing.
    void Step(int delta);

    // +1 while the upper arrow is held down, -1 for the lower one, 0 otherwise.
    int PressedArrow() const { return pressedHalf_; }
    // The held arrow's first repeat comes after RepeatDelay ms, the next ones every
    // RepeatInterval ms.
    int RepeatDelay() const;
    int RepeatInterval() const;

    // Raised after a step that changed the position, with the new position.
    std::function<void(int position)> OnClick;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowPosition();
    // A step made while an arrow is held; when it fails (the date error's box takes the
    // mouse and the release never arrives) the arrow is let go first.
    void HeldStep();
    void LetGo();

    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
    int pressedHalf_ = 0;
    TNumEdit* associate_ = nullptr;
    QTimer repeat_;
};
