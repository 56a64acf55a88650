#pragma once
// The find bar below the editor: the words to find, exact matching, next and previous.
// Not a dialog: the text stays reachable while it is open. The owner does the finding.
#include <QWidget>

#include <functional>

class QCheckBox;
class QLineEdit;
class QToolButton;

class TFindBar : public QWidget {
public:
    explicit TFindBar(QWidget* parent = nullptr);

    QLineEdit* FindEdit = nullptr;
    QCheckBox* ExactCheck = nullptr;
    QToolButton* NextButton = nullptr;
    QToolButton* PreviousButton = nullptr;
    QToolButton* CloseButton = nullptr;

    QString Text() const;
    bool Exact() const;
    // Shows the bar with the words selected, ready to be typed over.
    void Open();

    // Enter (next), Shift+Enter (previous) and the buttons; `backward` for previous.
    std::function<void(bool backward)> OnFind;
    // Escape or the close button: the bar is hidden, the owner gives the focus back.
    std::function<void()> OnClose;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
