// The colour and font commands of the main window, their menus, and the two tool bar
// buttons that open the windows of buttons for them.
#include "window/form1.h"

#include "window/form2.h"
#include "window/form3.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

namespace {

// Which part of a calendar a command sets.
constexpr int kBackground = -1;  // colour commands: the calendar's own colour
constexpr int kAllFonts = -1;    // font commands: the six fonts of the day classes

struct Command {
    QAction* TForm1::*Action;  // nullptr: a separator
    const char* Caption;
    const char* Hint;
    int Target;  // a font index, or one of the two above
};

const Command kSeparator{nullptr, nullptr, nullptr, 0};

const Command kMonthlyColors[] = {
    {&TForm1::A1, "背景(&B)", "背景色を設定します", kBackground},
    kSeparator,
    {&TForm1::W1, "日付(&W)", "一般の日の色を設定します", TCalExFonts::Weekday},
    {&TForm1::S3, "土曜(&S)", "土曜日の色を設定します", TCalExFonts::Saturday},
    {&TForm1::U1, "日曜(&U)", "日曜日の色を設定します", TCalExFonts::Sunday},
    kSeparator,
    {&TForm1::H2, "休日(&H)", "休日の色を設定します", TCalExFonts::Holiday},
    {&TForm1::S1, "特別な日(&P)", "特別な日の色を設定します", TCalExFonts::SpecialDay},
};

const Command kWeeklyColors[] = {
    {&TForm1::N17, "背景(&B)", "背景色を設定します", kBackground},
    kSeparator,
    {&TForm1::W2, "日付(&W)", "一般の日の色を設定します", TCalExFonts::Weekday},
    {&TForm1::S4, "土曜(&S)", "土曜日の色を設定します", TCalExFonts::Saturday},
    {&TForm1::U2, "日曜(&U)", "日曜日の色を設定します", TCalExFonts::Sunday},
    kSeparator,
    {&TForm1::H3, "休日(&H)", "休日の色を設定します", TCalExFonts::Holiday},
    {&TForm1::S2, "特別な日(&P)", "特別な日の色を設定します", TCalExFonts::SpecialDay},
};

const Command kMonthlyFonts[] = {
    {&TForm1::MCFontAll, "全体(&A)", "全体のフォントを設定します", kAllFonts},
    kSeparator,
    {&TForm1::MCWeekFont, "曜日(&W)", "曜日のフォントを設定します", TCalExFonts::DayOfWeek},
    {&TForm1::MCSaturdayFont, "土曜(&S)", "土曜日のフォントを設定します", TCalExFonts::Saturday},
    {&TForm1::MCSundayFont, "日曜(&U)", "日曜日のフォントを設定します", TCalExFonts::Sunday},
    kSeparator,
    {&TForm1::MCHolidayFont, "休日(&H)", "休日のフォントを設定します", TCalExFonts::Holiday},
    {&TForm1::MCSpecialdayFont, "特別な日(&P)", "特別な日のフォントを設定します", TCalExFonts::SpecialDay},
};

const Command kWeeklyFonts[] = {
    {&TForm1::WCFontAll, "全体(&A)", "全体のフォントを設定します", kAllFonts},
    kSeparator,
    {&TForm1::WCWeekFont, "曜日(&W)", "曜日のフォントを設定します", TCalExFonts::DayOfWeek},
    {&TForm1::WCSaturdayFont, "土曜(&S)", "土曜日のフォントを設定します", TCalExFonts::Saturday},
    {&TForm1::WCSundayFont, "日曜(&U)", "日曜日のフォントを設定します", TCalExFonts::Sunday},
    kSeparator,
    {&TForm1::WCHolidayFont, "休日(&H)", "休日のフォントを設定します", TCalExFonts::Holiday},
    {&TForm1::WCSpecialdayFont, "特別な日(&P)", "特別な日のフォントを設定します", TCalExFonts::SpecialDay},
};

// The order in which "全体" assigns the six fonts.
const int kAllFontsOrder[] = {TCalExFonts::DayOfWeek, TCalExFonts::Holiday, TCalExFonts::Saturday,
                              TCalExFonts::SpecialDay, TCalExFonts::Sunday, TCalExFonts::Weekday};

template <size_t N>
QMenu* AddSubmenu(TForm1& form, QMenu* parent, const char* caption, const char* hint, const Command (&commands)[N]) {
    QMenu* menu = parent->addMenu(U8(caption));
    if (hint) menu->menuAction()->setStatusTip(U8(hint));
    for (const Command& c : commands) {
        if (!c.Action) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(U8(c.Caption));
        action->setStatusTip(U8(c.Hint));
        form.*c.Action = action;
    }
    return menu;
}

void RunColorCommand(TForm1& form, TCustomCalendarEx& calendar, int target) {
    std::optional<TColor> chosen = Dialogs().ChooseColor(form.ColorDialog1);
    if (!chosen) return;
    form.ColorDialog1 = *chosen;
    if (target == kBackground)
        calendar.SetColor(*chosen);
    else
        calendar.Fonts().Font(target).SetColor(*chosen);
}

bool ChooseFont(TForm1& form) {
    TFontDialogOptions options;
    options.MinSize = 9;
    options.MaxSize = 15;
    options.FixedPitchOnly = true;
    options.Effects = true;
    return Dialogs().ChooseFont(form.FontDialog1, options);
}

void RunFontCommand(TForm1& form, TCustomCalendarEx& calendar, int target) {
    if (!ChooseFont(form)) return;
    if (target != kAllFonts)
        calendar.Fonts().SetFont(target, form.FontDialog1);
    else
        for (int font : kAllFontsOrder) calendar.Fonts().SetFont(font, form.FontDialog1);
    if (&calendar == form.MonthlyCalendar1) form.FitMonthlyCalendar();
}

template <size_t N>
void Connect(TForm1& form, TCustomCalendarEx& calendar, const Command (&commands)[N],
             void (*run)(TForm1&, TCustomCalendarEx&, int)) {
    for (const Command& c : commands) {
        if (!c.Action) continue;
        const int target = c.Target;
        QObject::connect(form.*c.Action, &QAction::triggered, &form,
                         Guarded([&form, &calendar, target, run] { run(form, calendar, target); }));
    }
}

}  // namespace

void TForm1::BuildOptionsMenu(QMenu* options) {
    QMenu* colors = options->addMenu(U8("色の設定(&C)"));
    colors->menuAction()->setStatusTip(U8("各部の色を設定します"));
    AddSubmenu(*this, colors, "MonthlyCalendar(&M)", nullptr, kMonthlyColors);
    AddSubmenu(*this, colors, "WeeklyCalendar(&W)", nullptr, kWeeklyColors);
    colors->addSeparator();
    EntryMarkColor = colors->addAction(U8("日記の印(&E)"));
    EntryMarkColor->setStatusTip(U8("日記のある日の印の色を設定します"));

    QMenu* fonts = options->addMenu(U8("フォント(&F)"));
    fonts->menuAction()->setStatusTip(U8("各部のフォントを設定します"));
    AddSubmenu(*this, fonts, "MonthlyCalendar(&M)", "MonthlyCalendar のフォントを設定します", kMonthlyFonts);
    AddSubmenu(*this, fonts, "WeeklyCalendar(&W)", "WeeklyCalendar のフォントを設定します", kWeeklyFonts);
    EditFont = fonts->addAction(U8("エディタ(&E)"));
    EditFont->setStatusTip(U8("エディタのフォントを設定します"));

    QMenu* form = options->addMenu(U8("新しい日記の文字コード(&N)"));
    form->menuAction()->setStatusTip(U8("新しく作る日記のファイルの文字コードを設定します"));
    auto* choices = new QActionGroup(form);
    NewDiarySjis = choices->addAction(U8("Shift-JIS（入らない文字があるときは UTF-8）"));
    NewDiaryUtf8Choice = choices->addAction(U8("UTF-8"));
    for (QAction* choice : choices->actions()) {
        choice->setCheckable(true);
        form->addAction(choice);
    }
    // The setting is read after the menus are built: the marks follow it when shown.
    connect(form, &QMenu::aboutToShow, this, [this] { (NewDiaryUtf8() ? NewDiaryUtf8Choice : NewDiarySjis)->setChecked(true); });
    connect(NewDiarySjis, &QAction::triggered, this, Guarded([this] { SetNewDiaryUtf8(false); }));
    connect(NewDiaryUtf8Choice, &QAction::triggered, this, Guarded([this] { SetNewDiaryUtf8(true); }));
}

void TForm1::ConnectColorCommands() {
    Connect(*this, *MonthlyCalendar1, kMonthlyColors, RunColorCommand);
    Connect(*this, *WeeklyCalendar1, kWeeklyColors, RunColorCommand);
    Connect(*this, *MonthlyCalendar1, kMonthlyFonts, RunFontCommand);
    Connect(*this, *WeeklyCalendar1, kWeeklyFonts, RunFontCommand);
    connect(EditFont, &QAction::triggered, this, Guarded([this] {
        if (ChooseFont(*this)) Editor1->SetFont(FontDialog1);
    }));
    for (QAction* button : {ToolButton7, ToolButton8}) button->setEnabled(true);
    connect(ToolButton7, &QAction::triggered, this, Guarded([this] { ToolButton7Click(); }));
    connect(ToolButton8, &QAction::triggered, this, Guarded([this] { ToolButton8Click(); }));
}

void TForm1::ToolButton7Click() {
    TForm2 form(this);
    form.exec();
}

void TForm1::ToolButton8Click() {
    TForm3 form(this);
    form.exec();
}
