#pragma once
// The numeric field of the date panel: a one-line box that shows a number.
#include <QLineEdit>

class TNumEdit : public QLineEdit {
public:
    explicit TNumEdit(QWidget* parent = nullptr);

    double Value() const;
    void SetValue(double value);
};
