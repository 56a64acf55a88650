// What the diary gives back: the index of the days with an entry, their marks in both
// calendars, the steps from entry to entry, the same day in other years, and the 文字数
// of the day's text in the status bar.
#include "window/form1.h"

#include "window/diary_folder_watch.h"
#include "window/same_day_dialog.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "diary/char_count.h"
#include "diary/day_index.h"
#include "diary/diary_session.h"
#include "diary/entry_list.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/file_error.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QAction>
#include <QDir>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace {

// Texts up to this size (about 0.3 ms to count) are counted right after each change; a
// longer one once the typing pauses, so that a huge text never holds a keystroke up.
constexpr std::int64_t kQuickCountBytes = 256 << 10;
constexpr int kLargeCountDelayMs = 300;

// Days whose year the calendars cannot reach by day numbers (a file named for the year
// 20271) are listed, but not stepped to.
bool Reachable(const TYMD& day) { return day.Year >= -4712 && day.Year <= 1000000; }

}  // namespace

void TForm1::BuildEntryMenu(QMenu* view) {
    view->addSeparator();
    EntryMarksShow = view->addAction(U8("日記のある日に印(&E)"));
    EntryMarksShow->setStatusTip(U8("日記のある日にカレンダーで印を付けます"));
    EntryMarksShow->setCheckable(true);
    EntryMarksShow->setChecked(true);
    PrevEntry = view->addAction(U8("前の日記(&B)"));
    PrevEntry->setStatusTip(U8("前の日記のある日へ移動します"));
    PrevEntry->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
    NextEntry = view->addAction(U8("次の日記(&N)"));
    NextEntry->setStatusTip(U8("次の日記のある日へ移動します"));
    NextEntry->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
    SameDayPast = view->addAction(U8("過去の同じ日(&Y)"));
    SameDayPast->setStatusTip(U8("ほかの年の同じ月日の日記を一覧します"));
}

void TForm1::BuildEntryCommands() {
    Index_ = std::make_unique<TDayIndex>();
    connect(EntryMarksShow, &QAction::triggered, this, Guarded([this] { SetEntryMarksShown(EntryMarksShow->isChecked()); }));
    connect(PrevEntry, &QAction::triggered, this, Guarded([this] { PrevEntryClick(); }));
    connect(NextEntry, &QAction::triggered, this, Guarded([this] { NextEntryClick(); }));
    connect(SameDayPast, &QAction::triggered, this, Guarded([this] { SameDayPastClick(); }));
    connect(EntryMarkColor, &QAction::triggered, this, Guarded([this] {
        if (std::optional<TColor> chosen = Dialogs().ChooseColor(ColorDialog1)) {
            ColorDialog1 = *chosen;
            SetEntryMarkColor(*chosen);
        }
    }));
    // Until the index is built (after the first picture) no day answers yes; asking
    // never builds it, so that drawing stays cheap.
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(MonthlyCalendar1), static_cast<TCustomCalendarEx*>(WeeklyCalendar1)})
        c->OnHasEntry = [this](std::int32_t y, std::uint8_t m, std::uint8_t d) { return Index_->Has({y, m, d}); };
    Diary_->OnFileChanged = [this](const TYMD& day, bool hasFile) {
        if (hasFile ? Index_->Add(day) : Index_->Remove(day)) EntriesChanged();
    };

    CountTimer_ = new QTimer(this);
    CountTimer_->setSingleShot(true);
    connect(CountTimer_, &QTimer::timeout, this, Guarded([this] { UpdateCharCount(); }));
    Editor1->OnChange = [this, edited = Editor1->OnChange](TEditor* sender) {
        if (edited) edited(sender);
        charTotal_ = -1;
        ScheduleCharCount();
    };
    // A caret move changes at most the selection's count.
    Editor1->OnCaretMoved = [this](TEditor*) { ScheduleCharCount(); };
    UpdateCharCount();
}

void TForm1::ScheduleCharCount() {
    if (Editor1->Store().TextLength() > kQuickCountBytes)
        CountTimer_->start(kLargeCountDelayMs);
    else if (!CountTimer_->isActive())
        CountTimer_->start(0);
}

std::int64_t TForm1::TextCharCount(const TRowStore& store) {
    std::int64_t chars = 0;
    for (int r = 0; r < store.RowCount(); ++r) chars += CharCount(store.RowView(r));
    return chars;
}

void TForm1::UpdateCharCount() {
    if (charTotal_ < 0) charTotal_ = TextCharCount(Editor1->Store());
    QString text = QString::fromStdString(GroupedCount(charTotal_)) + U8(" 字");
    if (Editor1->Selected()) text = QString::fromStdString(GroupedCount(CharCount(Editor1->SelText()))) + " / " + text;
    StatusPanel1->setText(text);
}

void TForm1::EnsureEntryIndex() {
    if (FolderWatch_) return;
    // Watched before it is listed, so that nothing written in between is missed.
    FolderWatch_ = new TDiaryFolderWatch(QDir::currentPath(), Guarded([this] { RescanEntries(); }), this);
    RescanEntries();
}

void TForm1::RescanEntries() {
    TDayIndex fresh;
    fresh.SetConflictPatterns(ParseConflictPatterns(SjisToUtf8(conflictPatterns_)));
    // A folder that cannot be listed keeps what was known of it.
    if (fresh.Scan({}) != 0 || (fresh.Days() == Index_->Days() && fresh.Conflicts() == Index_->Conflicts())) return;
    *Index_ = std::move(fresh);
    EntriesChanged();
}

const TDayIndex& TForm1::EntryIndex() {
    EnsureEntryIndex();
    return *Index_;
}

void TForm1::EntriesChanged() {
    MonthlyCalendar1->EntriesChanged();
    WeeklyCalendar1->EntriesChanged();
    UpdateConflictBar();
}

void TForm1::SetEntryMarksShown(bool on) {
    EntryMarksShow->setChecked(on);
    MonthlyCalendar1->SetShowMarks(on);
    WeeklyCalendar1->SetShowMarks(on);
}

void TForm1::SetEntryMarkColor(TColor color) {
    MonthlyCalendar1->SetMarkColor(color);
    WeeklyCalendar1->SetMarkColor(color);
}

void TForm1::GoToEntry(bool later) {
    const TDayIndex& index = EntryIndex();
    TYMD day = JuliusToYMD(MonthlyCalendar1->JuliusDay());
    std::optional<TYMD> target;
    do {
        target = later ? index.After(day) : index.Before(day);
        if (target) day = *target;
    } while (target && !Reachable(*target));
    if (!target) {
        Dialogs().Beep();
        return;
    }
    MonthlyCalendar1->SetJuliusDay(YMDToJulius(target->Year, target->Month, target->Day));
}

void TForm1::PrevEntryClick() { GoToEntry(false); }

void TForm1::NextEntryClick() { GoToEntry(true); }

void TForm1::SameDayPastClick() {
    const TYMD selected = JuliusToYMD(MonthlyCalendar1->JuliusDay());
    std::vector<TSameDayRow> rows;
    std::vector<TYMD> days = SameDayInOtherYears(EntryIndex(), selected);
    std::erase_if(days, [](const TYMD& d) { return !Reachable(d); });
    size_t next = 0;  // the rows come in the order of `days`, read or not
    ForEachEntrySummary(
        {}, days,
        [&](const TYMD& day, const TEntrySummary& summary) {
            rows.push_back({day, summary.chars, QString::fromStdString(summary.firstLine)});
            ++next;
        },
        [&](const std::string&, int err) {
            rows.push_back({days[next++], -1, U8("（読めません: %1）").arg(QString::fromStdString(FileErrorReason(err)))});
        });
    TSameDayDialog dialog(this, selected, rows);
    if (dialog.exec() != QDialog::Accepted || !dialog.Chosen()) return;
    const TYMD chosen = *dialog.Chosen();
    MonthlyCalendar1->SetJuliusDay(YMDToJulius(chosen.Year, chosen.Month, chosen.Day));
}
