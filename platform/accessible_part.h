#pragma once
// A part of a widget that a screen reader sees as an object of its own (a day cell, an
// arrow button) but that is no widget: no children and no QObject of its own, in its
// owner's window. Its owner registers it with QAccessible and deletes it by its id.
#include <QAccessible>

class TAccessiblePart : public QAccessibleInterface {
public:
    explicit TAccessiblePart(QAccessibleInterface* owner) : owner_(owner) {}

    bool isValid() const override { return true; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_->window(); }
    QAccessibleInterface* parent() const override { return owner_; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

private:
    QAccessibleInterface* owner_;
};
