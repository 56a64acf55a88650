#pragma once
// The bar above the editor on a day for which a file-sync tool kept another version: what
// it is, which tool kept it and when it was written, and 比べる.
#include <QFrame>

#include <functional>

class QLabel;
class QPushButton;

class TConflictBar : public QFrame {
public:
    explicit TConflictBar(QWidget* parent);

    // Shown with the newest copy's tool and time, and how many more wait after it.
    void ShowCopy(const QString& tool, const QString& when, int more);

    QLabel* Message = nullptr;
    QPushButton* Compare = nullptr;
    std::function<void()> OnCompare;
};
