// Names for the parts of the window that show no text of their own to say what they are
// for, so that a screen reader can tell the user where the focus is; and the pop-up menus
// that only a right press opened, for the keyboard too.
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "controls/tab_tool_bar.h"
#include "controls/up_down.h"
#include "editor/editor.h"
#include "window/form1.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include <functional>

namespace {

// The Menu key (or Shift+F10) on a widget whose pop-up menu the mouse opens with a right
// press: the same menu, at the place the keyboard works on.
class TKeyboardMenu : public QObject {
public:
    TKeyboardMenu(QWidget* target, QMenu* menu, std::function<QPoint()> at)
        : QObject(target), menu_(menu), at_(std::move(at)) {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu ||
            static_cast<QContextMenuEvent*>(event)->reason() != QContextMenuEvent::Keyboard)
            return false;
        menu_->popup(at_());
        return true;
    }

private:
    QMenu* menu_;
    std::function<QPoint()> at_;
};

}  // namespace

void TForm1::NameForReaders() {
    Editor1->setAccessibleName(QStringLiteral("日記"));
    Editor1->setAccessibleDescription(QStringLiteral("選んだ日の日記の本文"));
    MonthlyCalendar1->setAccessibleName(QStringLiteral("月のカレンダー"));
    WeeklyCalendar1->setAccessibleName(QStringLiteral("週の一覧"));

    // The labels beside the date fields say what each field holds.
    TNumEdit* fields[] = {NumEdit1, NumEdit2, NumEdit3};
    TUpDown* upDowns[] = {UpDown1, UpDown2, UpDown3};
    for (int i = 0; i < 3; ++i) {
        TNumEdit* field = fields[i];
        const QString unit = i == 0 ? QStringLiteral("年") : i == 1 ? QStringLiteral("月") : QStringLiteral("日");
        field->setAccessibleName(unit);
        upDowns[i]->setAccessibleName(unit + QStringLiteral("の増減"));
        for (QLabel* label : Panel1->findChildren<QLabel*>())
            if (label->text() == unit) label->setBuddy(field);
    }
    Edit1->setAccessibleName(QStringLiteral("起動した日"));

    // A button of the tool bar shows only its picture: its hint is its name.
    TabToolBar1->setAccessibleName(QStringLiteral("ツールバー"));
    for (QAction* a : TabToolBar1->actions()) {
        if (QWidget* button = TabToolBar1->widgetForAction(a); button && !a->toolTip().isEmpty()) {
            button->setAccessibleName(a->toolTip());
            button->setAccessibleDescription(a->statusTip());
            // Reached with Tab like every other control, pressed with Space.
            button->setFocusPolicy(Qt::TabFocus);
        }
    }

    new TKeyboardMenu(Editor1, PopupMenu2,
                      [this] { return Editor1->viewport()->mapToGlobal(Editor1->CaretRect().bottomLeft()); });
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(MonthlyCalendar1),
                                 static_cast<TCustomCalendarEx*>(WeeklyCalendar1)})
        new TKeyboardMenu(c, PopupMenu1, [c] { return c->mapToGlobal(c->rect().center()); });

    // The panels are read by what they show; what each is for is their description.
    StatusBar1->setAccessibleName(QStringLiteral("ステータスバー"));
    StatusPanel0->setAccessibleDescription(QStringLiteral("ヒント"));
    StatusPanel1->setAccessibleDescription(QStringLiteral("文字数"));
}
