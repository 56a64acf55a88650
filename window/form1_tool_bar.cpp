// The main window's tool bar: a collapsible bar in the band of the cool bar, with the
// save, clipboard, print, font and colour buttons.
#include "window/form1.h"

#include "window/hints.h"
#include "window/toolbar_images.h"
#include "controls/tab_tool_bar.h"
#include "platform/handler_guard.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

namespace {

// The menu command with this caption, searched through every menu of the bar.
QAction* MenuCommand(const QList<QAction*>& actions, const QString& caption) {
    for (QAction* a : actions) {
        if (a->text() == caption) return a;
        if (QMenu* sub = a->menu())
            if (QAction* found = MenuCommand(sub->actions(), caption)) return found;
    }
    return nullptr;
}

}  // namespace

void TForm1::BuildToolBar() {
    // The cool bar sizes itself to its one band, so a collapsed tool bar gives its room
    // to the calendars below.
    CoolBar1 = new QWidget(this);
    CoolBar1->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    QVBoxLayout* band = new QVBoxLayout(CoolBar1);
    band->setContentsMargins(2, 2, 2, 2);
    TabToolBar1 = new TTabToolBar(CoolBar1);
    TabToolBar1->setIconSize(QSize(16, 16));
    TabToolBar1->SetEdgeBorders(ebTop);
    TabToolBar1->SetTabSizeMinimized(35);
    band->addWidget(TabToolBar1);

    struct Button {
        QAction** target;
        int image;
        const char* hint;
        const char* menuCaption;  // the menu command the button runs, if any
    };
    const Button buttons[] = {
        {&ToolButton1, 1, "保存|エディタの内容を保存します", "保存(&S)"},
        {&ToolButton2, 2, "切り取り|エディタのテキスト選択部分を切り取ります", "切り取り(&T)"},
        {&ToolButton3, 0, "コピー|エディタのテキスト選択部分をコピーします", "コピー(&C)"},
        {&ToolButton4, 3, "張り付け|クリップボードの内容をエディタへ張り付けます", "貼り付け(&P)"},
        {&ToolButton5, 4, "印刷|エディタの内容を印刷します", "印刷(&P)"},
        {nullptr, -1, nullptr, nullptr},
        {&ToolButton7, 5, "フォント|カレンダー・エディタのフォントを設定します", nullptr},
        {&ToolButton8, 6, "カラー|カレンダーの色を設定します", nullptr},
        {nullptr, -1, nullptr, nullptr},
        {&ToolButtonPrevEntry, 7, "前の日記|前の日記のある日へ移動します", "前の日記(&B)"},
        {&ToolButtonNextEntry, 8, "次の日記|次の日記のある日へ移動します", "次の日記(&N)"},
    };
    for (const Button& b : buttons) {
        if (!b.target) {
            QWidget* gap = new QWidget(TabToolBar1);
            gap->setFixedWidth(8);
            TabToolBar1->addWidget(gap);
            continue;
        }
        QAction* a = TabToolBar1->addAction(ToolbarImage(b.image), QString());
        SetHint(a, b.hint);
        *b.target = a;
        QAction* command = b.menuCaption ? MenuCommand(menuBar()->actions(), QString::fromUtf8(b.menuCaption)) : nullptr;
        if (!command) continue;  // the font and colour buttons have handlers of their own
        // The button runs the menu's command and is usable exactly when the menu item is.
        connect(a, &QAction::triggered, command, &QAction::trigger);
        a->setEnabled(command->isEnabled());
        connect(command, &QAction::changed, a, Guarded([a, command] { a->setEnabled(command->isEnabled()); }));
    }
    TabToolBar1->SetAutoSize(true);
}
