#include "window/command_dialog.h"

#include "platform/handler_guard.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

TCommandDialog::TCommandDialog(QWidget* parent, const char* caption, const std::vector<TCommandGroup>& groups,
                               QSize clientSize)
    : QDialog(parent) {
    setWindowTitle(U8(caption));
    // A window does not take its owner's font by itself.
    if (parent) setFont(parent->font());
    auto* layout = new QGridLayout(this);
    // The first two groups stand side by side, any further group below them.
    for (size_t g = 0; g < groups.size(); ++g) {
        auto* box = new QGroupBox(U8(groups[g].Caption), this);
        auto* grid = new QGridLayout(box);
        const std::vector<TCommandButton>& buttons = groups[g].Buttons;
        for (size_t i = 0; i < buttons.size(); ++i) {
            auto* button = new QPushButton(U8(buttons[i].Caption), box);
            button->setAutoDefault(false);
            QAction* command = buttons[i].Command;
            connect(button, &QPushButton::clicked, this, Guarded([command] { command->trigger(); }));
            if (buttons[i].CtrlKey) {
                ctrlCommands_[buttons[i].CtrlKey] = command;
                button->installEventFilter(this);
            }
            grid->addWidget(button, static_cast<int>(i / 2), static_cast<int>(i % 2));
            Buttons << button;
        }
        layout->addWidget(box, static_cast<int>(g / 2), static_cast<int>(g % 2));
    }
    CloseButton = new QPushButton(U8("閉じる(&C)"), this);
    CloseButton->setAutoDefault(false);
    connect(CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(CloseButton, layout->rowCount(), 0, 1, 2);
    clientSize_ = clientSize;
}

void TCommandDialog::showEvent(QShowEvent* event) {
    // Sized here rather than at construction, so that the font the window ends up with
    // decides how much room the captions need.
    setFixedSize(clientSize_.expandedTo(sizeHint()));
    if (QScreen* s = screen()) move(s->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

bool TCommandDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto found = ctrlCommands_.find(key->key());
        if (key->modifiers() == Qt::ControlModifier && found != ctrlCommands_.end()) {
            found->second->trigger();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
