// Holidays and special days: registering the week calendar's day through an entry line,
// editing a list in the list dialog, and exporting a list as a text file.
#include "window/form1.h"

#include "window/form4.h"
#include "calendar/weekly_calendar.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"
#include "platform/safe_write.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QValidator>

#include <functional>
#include <optional>
#include <string>

namespace {

// Hands the keys of a widget to a handler before the widget sees them; the handler says
// whether it took the key.
class TKeyFilter : public QObject {
public:
    TKeyFilter(QObject* parent, std::function<bool(int key)> onKey) : QObject(parent), onKey_(std::move(onKey)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress && onKey_(static_cast<QKeyEvent*>(event)->key())) return true;
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(int key)> onKey_;
};

// The lists are stored as CP932 bytes: a character without a CP932 form is refused as it
// is typed, with a beep, rather than lost when the line is added.
class TSjisValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        if (QStringToSjis(input)) return Acceptable;
        Dialogs().Beep();
        return Invalid;
    }
};

bool IsEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

void OpenEntryLine(QLineEdit* line, int month, int day) {
    line->show();
    line->setText(QString("%1,%2,").arg(month).arg(day));
    line->deselect();
    line->end(false);
    line->setFocus();
}

// Enter adds the line as typed, Escape drops it; the month calendar keeps the lists it
// took at start-up, so only the week calendar shows the new day during this run.
void EntryLineKeyDown(QLineEdit* line, TStringList& list, int key) {
    if (IsEnter(key)) {
        std::optional<std::string> text = QStringToSjis(line->text());
        if (!text) {
            Dialogs().Beep();
            return;
        }
        list.Add(*text);
        line->hide();
    } else if (key == Qt::Key_Escape) {
        line->hide();
    }
}

// Each line with CR LF, then one more CR LF: the file always ends with an empty line.
void ExportList(const TStringList& list, const char* fileName) { WriteFileSafely(fileName, list.Text() + "\r\n"); }

}  // namespace

void TForm1::ConnectListCommands() {
    const std::pair<QAction*, void (TForm1::*)()> commands[] = {
        {WHolDayAdd, &TForm1::WHolDayAddClick},       {WHolDayDelete, &TForm1::WHolDayDeleteClick},
        {WSpecialDayAdd, &TForm1::WSpecialDayAddClick}, {WSpecialDayDalete, &TForm1::WSpecialDayDaleteClick},
        {H4, &TForm1::H4Click},                       {S5, &TForm1::S5Click},
    };
    for (const auto& [action, handler] : commands) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    }
    // The calendars' pop-up menu, item by item: register and edit holidays, register and
    // edit special days, a separator, export holidays and special days.
    const QList<QAction*> popup = PopupMenu1->actions();
    const int popupIndex[] = {0, 1, 2, 3, 5, 6};
    for (int i = 0; i < 6; ++i) {
        popup.at(popupIndex[i])->setEnabled(true);
        connect(popup.at(popupIndex[i]), &QAction::triggered, this,
                Guarded([this, handler = commands[i].second] { (this->*handler)(); }));
    }

    for (QLineEdit* line : {Edit4, Edit5}) line->setValidator(new TSjisValidator(line));
    Edit5->installEventFilter(new TKeyFilter(Edit5, Guarded([this](int key) {
        Edit5KeyDown(key);
        return IsEnter(key) || key == Qt::Key_Escape;
    })));
    Edit4->installEventFilter(new TKeyFilter(Edit4, Guarded([this](int key) {
        Edit4KeyDown(key);
        return IsEnter(key) || key == Qt::Key_Escape;
    })));
    WeeklyCalendar1->OnKeyDown = Guarded([this](TCustomCalendarEx*, int key, Qt::KeyboardModifiers) {
        WeeklyCalendar1KeyDown(key);
    });
}

void TForm1::WHolDayAddClick() { OpenEntryLine(Edit5, WeeklyCalendar1->Month(), WeeklyCalendar1->Day()); }

void TForm1::WSpecialDayAddClick() { OpenEntryLine(Edit4, WeeklyCalendar1->Month(), WeeklyCalendar1->Day()); }

void TForm1::WeeklyCalendar1KeyDown(int key) {
    if (key == Qt::Key_Insert) WSpecialDayAddClick();
}

void TForm1::Edit5KeyDown(int key) { EntryLineKeyDown(Edit5, WeeklyCalendar1->HolidayList(), key); }

void TForm1::Edit4KeyDown(int key) { EntryLineKeyDown(Edit4, WeeklyCalendar1->SpecialDayList(), key); }

void TForm1::WHolDayDeleteClick() {
    EditList = &WeeklyCalendar1->HolidayList();
    TForm4 form(this, "休日の編集", *EditList);
    form.exec();
}

void TForm1::WSpecialDayDaleteClick() {
    EditList = &WeeklyCalendar1->SpecialDayList();
    TForm4 form(this, "特別な日の編集", *EditList);
    form.exec();
}

void TForm1::H4Click() { ExportList(WeeklyCalendar1->HolidayList(), "Holday.txt"); }

void TForm1::S5Click() { ExportList(WeeklyCalendar1->SpecialDayList(), "Spday.txt"); }
