#pragma once
// A small modal window of buttons in captioned groups, each button running one command
// of the main window. The colour and font settings windows are two such windows; the
// commands themselves stay in the main window, so a button and its menu item can never
// act differently.
#include <QDialog>
#include <QList>
#include <QSize>

#include <map>
#include <vector>

class QAction;
class QPushButton;

struct TCommandButton {
    const char* Caption;
    QAction* Command;
    // With Ctrl, this key runs the command while the focus is on any button that has a
    // key of its own; 0 for none.
    int CtrlKey = 0;
};

struct TCommandGroup {
    const char* Caption;
    std::vector<TCommandButton> Buttons;
};

class TCommandDialog : public QDialog {
public:
    // `clientSize` is the intended size; it grows where the captions need more room.
    TCommandDialog(QWidget* parent, const char* caption, const std::vector<TCommandGroup>& groups, QSize clientSize);

    // Every command button in tab order, then the close button.
    QList<QPushButton*> Buttons;
    QPushButton* CloseButton = nullptr;

protected:
    // Sees the keys of the buttons before they do.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QSize clientSize_;
    std::map<int, QAction*> ctrlCommands_;
};
