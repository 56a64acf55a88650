#include "window/form1.h"

#include "diary/day_index.h"
#include "diary/diary_session.h"
#include "window/day_finder.h"
#include "window/search_window.h"
#include "diary/recovery_keeper.h"
#include "window/toolbar_images.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "controls/speed_button.h"
#include "controls/up_down.h"
#include "editor/editor.h"
#include "platform/application.h"
#include "platform/handler_guard.h"
#include "platform/qt_fonts.h"
#include "settings/ini_store.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QMenu>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include <algorithm>
#include <cstdlib>

namespace {

// Holds a calendar's drawing back while many of its properties change, as at start-up
// when the settings are read: it is drawn once, when the holder goes.
class TCalendarUpdate {
public:
    explicit TCalendarUpdate(TCustomCalendarEx* calendar) : calendar_(calendar) { calendar_->BeginUpdate(); }
    ~TCalendarUpdate() {
        try {
            calendar_->EndUpdate();
        } catch (...) {
            TApplication::ReportCurrentException();
        }
    }
    TCalendarUpdate(const TCalendarUpdate&) = delete;
    TCalendarUpdate& operator=(const TCalendarUpdate&) = delete;

private:
    TCustomCalendarEx* calendar_;
};

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    UseWindowFontEverywhere();
    BuildMenus();
    BuildPopupMenus();
    BuildToolBar();
    BuildDatePanel();
    BuildCalendars();
    BuildEditor();
    BuildStatusBar();
    BuildEditCommands();
    BuildIniStore();
    LayOut();
    NameForReaders();
    ConnectListCommands();
    ConnectColorCommands();
    BuildDiaryCommands();
    BuildEntryCommands();
    BuildSearchCommands();
    BuildRecovery();
    FormCreate();
}

TForm1::~TForm1() {
    // The editor goes with the window's children; its hooks must not outlive the session.
    Editor1->OnChange = nullptr;
    delete SearchWindow1;
    delete IniStore1;
}

void TForm1::FormCreate() {
    setWindowTitle(QString::fromUtf8("簡易日記・スケジューラー Mekuri v.1.16"));
    // Every window of the program carries Mekuri's icon.
    QApplication::setWindowIcon(MekuriIcon());
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
    // Once the window is up, before the user starts on the day shown.
    QTimer::singleShot(0, this, Guarded([this] { OfferRecoveryCopies(); }));
}

void TForm1::FormShow() {
    TCalendarUpdate month(MonthlyCalendar1), week(WeeklyCalendar1);
    LoadSettings();
    {
        QScopedValueRollback<bool> starting(startingUp_, true);
        MonthlyCalendar1->Today();
        WeeklyCalendar1->Today();
    }
    NumEdit1->SetValue(MonthlyCalendar1->Year());
    NumEdit2->SetValue(MonthlyCalendar1->Month());
    NumEdit3->SetValue(MonthlyCalendar1->Day());
    startYear_ = UpDown1->Position();
    startMonth_ = UpDown2->Position();
    startDay_ = UpDown3->Position();
    Edit1->setText(QString("%1/%2/%3").arg(startYear_).arg(startMonth_).arg(startDay_));
    Editor1->Clear();
    Editor1->SetReadOnly(false);
    const TYMD today = JuliusToYMD(MonthlyCalendar1->JuliusDay());
    Diary_->Forget(today);
    RecoverySettled();
    // The editor starts empty for a new entry; today's mark alone would leave the user
    // wondering where the morning's entry went.
    if (StampOf(Diary_->PathOf(today)).exists) {
        startNote_ = QString::fromUtf8("今日の日記があります（カレンダーの今日をクリックすると表示します）");
        StatusPanel0->setText(startNote_);
    }
    Editor1->setFocus();
    MonthlyCalendar1->SetHolidayList(WeeklyCalendar1->HolidayList());
    MonthlyCalendar1->SetSpecialDayList(WeeklyCalendar1->SpecialDayList());
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormClose()) {
        closed_ = true;
        EndRecovery();
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::FormClose() {
    if (!OfferToSaveText(true)) return false;
    // A settings file that cannot be written must not keep the user from leaving: the
    // error is shown and the window closes all the same. The diary text is not at stake
    // here; only this run's colours, fonts, lists and placement are not kept.
    try {
        SaveSettings();
    } catch (...) {
        TApplication::ReportCurrentException();
    }
    return true;
}

bool TForm1::event(QEvent* event) {
    // The first status panel shows the long hint of whatever is under the mouse; Qt's
    // own handling would put it in a temporary message over both panels instead.
    if (event->type() == QEvent::StatusTip) {
        StatusPanel0->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    // The index of the days with an entry is built once the window is on screen, so that
    // a diary of many years does not hold the first picture up.
    if (event->type() == QEvent::Paint && !firstPaint_) {
        firstPaint_ = true;
        QTimer::singleShot(0, this, Guarded([this] { EnsureEntryIndex(); }));
    }
    // Coming back to the window is when the user looks for what a sync tool brought: the
    // folder is listed once more, whatever the watch has told.
    if (event->type() == QEvent::WindowActivate && FolderWatch_) QTimer::singleShot(0, this, Guarded([this] { RescanEntries(); }));
    return QMainWindow::event(event);
}

void TForm1::MonthlyCalendar1DayChange(TCustomCalendarEx*, std::int32_t y, std::uint8_t m, std::uint8_t d) {
    if (!LeaveDayText(MonthlyCalendar1->JuliusDay())) return;
    SetDayBound(m);
    UpDown1->SetPosition(y);
    UpDown2->SetPosition(m);
    UpDown3->SetPosition(d);
    // The year field shows the real year also outside the up/down's range 0..3000.
    NumEdit1->SetValue(y);
    WeeklyCalendar1->SetJuliusDay(MonthlyCalendar1->JuliusDay());
    ShowDayFile(y, m, d);
}

void TForm1::WeeklyCalendar1DayChange(TCustomCalendarEx*, std::int32_t y, std::uint8_t m, std::uint8_t d) {
    SetDayBound(m);
    NumEdit1->SetValue(y);
    NumEdit2->SetValue(m);
    NumEdit3->SetValue(d);
}

void TForm1::UpDown1Click(int position) {
    MonthlyCalendar1->SetYear(position);
    WeeklyCalendar1->SetYear(position);
}

void TForm1::UpDown2Click(int position) {
    MonthlyCalendar1->SetMonth(position);
    WeeklyCalendar1->SetMonth(position);
    SetDayBound(position);
}

void TForm1::SetDayBound(int month) {
    // The day's bound follows whatever month the month field shows, whoever set it, so
    // that the day field and its up/down never disagree about how far the day can go.
    UpDown3->SetMax(month == 2 ? 29 : 31);
}

void TForm1::UpDown3Click(int position) {
    MonthlyCalendar1->SetDay(position);
    WeeklyCalendar1->SetDay(position);
}

void TForm1::SpeedButtonClick(int index) {
    switch (index) {
        case 1: MonthlyCalendar1->NextDay(); break;
        case 2: MonthlyCalendar1->NextWeek(); break;
        case 3: MonthlyCalendar1->NextMonth(); break;
        case 4: MonthlyCalendar1->NextYear(); break;
        case 5:
            MonthlyCalendar1->Today();
            WeeklyCalendar1->Today();
            break;
    }
}

void TForm1::SpeedButtonMouseDown(int index, Qt::MouseButton button) {
    if (button != Qt::RightButton) return;
    switch (index) {
        case 1: MonthlyCalendar1->PrevDay(); break;
        case 2: MonthlyCalendar1->PrevWeek(); break;
        case 3: MonthlyCalendar1->PrevMonth(); break;
        case 4: MonthlyCalendar1->PrevYear(); break;
    }
}

void TForm1::CalendarMouseDown(TCustomCalendarEx* sender, Qt::MouseButton button, QPoint clientPos) {
    // A click on today, still selected since the start, shows the entry the start-up left
    // out, unless the user has begun writing there (the save then offers to append).
    if (button == Qt::LeftButton && !startNote_.isEmpty() && !Diary_->Edited() &&
        sender->JuliusDay() == MonthlyCalendar1->JuliusDay()) {
        const TYMD day = Diary_->Day();
        if (YMDToJulius(day.Year, day.Month, day.Day) == sender->JuliusDay()) ShowDayFile(day.Year, day.Month, day.Day);
        return;
    }
    if (button != Qt::RightButton) return;
    PopupMenu1->popup(sender->mapToGlobal(sender->contentsRect().topLeft() + clientPos));
}

void TForm1::Editor1MouseDown(TEditor* sender, Qt::MouseButton button, QPoint pos) {
    if (button != Qt::RightButton) return;
    PopupMenu2->popup(sender->viewport()->mapToGlobal(pos));
}

void TForm1::MonthlyCalendarShowClick() { MonthlyCalendar1->setVisible(MonthlyCalendarShow->isChecked()); }

void TForm1::WeeklyCalendarShowClick() { WeeklyCalendar1->setVisible(WeeklyCalendarShow->isChecked()); }

void TForm1::StatusBarShowClick() { StatusBar1->setVisible(StatusBarShow->isChecked()); }

// The window grows by what the grid grows, so the week calendar and the editor keep
// their room. Only the command does this: at start the kept placement already holds it.
void TForm1::RokuyoShowClick() {
    const int before = MonthlyCalendar1->height();
    SetRokuyoShown(RokuyoShow->isChecked());
    if (isMaximized() || isFullScreen()) return;
    // The window's smallest size must follow the grid's new height before the resize.
    layout()->activate();
    resize(width(), height() + MonthlyCalendar1->height() - before);
}

// Each week row then holds a rokuyo strip below the day number: the grid grows by one
// strip per row, so that the numbers stay readable.
void TForm1::SetRokuyoShown(bool on) {
    RokuyoShow->setChecked(on);
    MonthlyCalendar1->SetShowRokuyo(on);
    FitMonthlyCalendar();
}

// Seven rows (the weekday names and up to six weeks) in the grid's largest font, so that a
// large font choice is not cut off; never lower than the grid's usual height.
void TForm1::FitMonthlyCalendar() {
    const TCalExFonts& fonts = MonthlyCalendar1->Fonts();
    int line = 0;
    for (int i = 0; i < TCalExFonts::Count; ++i)
        if (i != TCalExFonts::Rokuyo) line = std::max(line, QFontMetrics(ToQFont(fonts.Font(i))).height());
    const int height = std::max(kMonthlyCalendarHeight, 7 * line + 2 * MonthlyCalendar1->frameWidth());
    const int strip = std::abs(fonts.Font(TCalExFonts::Rokuyo).Height());
    MonthlyCalendar1->setFixedHeight(height + (MonthlyCalendar1->ShowRokuyo() ? 7 * strip : 0));
}

void TForm1::Close1Click() { close(); }
