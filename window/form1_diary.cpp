// The diary side of the main window: the selected day's file in the editor, its save,
// delete and edit lock, the ruled lines, and the questions that keep unsaved text.
#include "diary/diary_session.h"
#include "window/form1.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTimer>
#include <QUrl>

namespace {

const char* const kEditedQuestion = "エディタの内容が編集されました。保存しますか？";

bool Ask(const std::string& question) { return Dialogs().Confirm(question); }

// 追記 first, the default: a plain Enter must not throw away what the day holds.
TDiarySession::TUnshown AskUnshown(const std::string& question) {
    switch (Dialogs().Choose(question, {"追記(&A)", "上書き(&O)", "キャンセル"})) {
        case 0: return TDiarySession::TUnshown::Append;
        case 1: return TDiarySession::TUnshown::Overwrite;
        default: return TDiarySession::TUnshown::Cancel;
    }
}

bool HasText(const TEditor* editor) { return editor->Store().TextLength() > 0; }

}  // namespace

void TForm1::BuildDiaryCommands() {
    Diary_ = std::make_unique<TDiarySession>();
    auto wire = [this](QAction* action, void (TForm1::*handler)()) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, Guarded([this, handler] { (this->*handler)(); }));
    };
    wire(Save1, &TForm1::EditorSaveClick);
    wire(EditorSave, &TForm1::EditorSaveClick);
    wire(Delete1, &TForm1::EditorFileDaleteClick);
    wire(EditorFileDalete, &TForm1::EditorFileDaleteClick);
    wire(CanEdit, &TForm1::CanEditClick);
    wire(F1, &TForm1::F1Click);
    wire(Print1, &TForm1::Print1Click);
    // Every change counts as the user's; the program's own loads and clears reset the
    // flag afterwards.
    Editor1->OnChange = Guarded([this](TEditor*) {
        Diary_->SetEdited(true);
        // Not restarted by every key: typing on and on still gets its text kept.
        if (RecoveryTimer && !RecoveryTimer->isActive()) RecoveryTimer->start();
    });
    Editor1->OnDrawLine = Guarded([this](TEditor* sender, const std::string& lineStr, int x, int y, int index,
                                         const QRect& aRect) { Editor1DrawLine(sender, lineStr, x, y, index, aRect); });
    Editor1->OnTopColChange = Guarded([this](TEditor* sender) { Editor1TopColChange(sender); });
    Diary_->OnMovedToUtf8 = [this](const TYMD&) { StatusPanel0->setText(U8(TDiarySession::kMovedToUtf8Message)); };
}

void TForm1::ShowDayFile(std::int32_t y, std::uint8_t m, std::uint8_t d) {
    if (returningToText_ || startingUp_) return;
    const std::optional<std::string> file = Diary_->Show({y, m, d});
    try {
        Editor1->Clear();
        if (file) {
            Editor1->SetReadOnly(true);
            LoadDayText(*file);
        }
        // The day's text from its start, whatever the day before was scrolled to.
        Editor1->SetTopCol(0);
    } catch (...) {
        // The file holds what the editor could not show: a save must ask before it goes.
        Diary_->Forget({y, m, d});
        throw;
    }
    Diary_->SetEdited(false);
    RecoverySettled();
    UpdateConflictBar();
    if (!startNote_.isEmpty() && StatusPanel0->text() == startNote_) StatusPanel0->clear();
    startNote_.clear();
}

void TForm1::LoadDayText(const std::string& file) {
    // Shift-JIS, as nearly every day is, goes straight from the file into the rows.
    if (Diary_->Form() == TDayFileForm::Cp932) {
        Editor1->Lines().LoadFromFile(file);
        return;
    }
    Editor1->Session().LoadUnicodeFile(file);
}

bool TForm1::OfferToSaveText(bool atClose) {
    Editor1->CommitComposition();
    if (!Diary_->Edited() || !HasText(Editor1)) return true;
    switch (Dialogs().YesNoCancel(kEditedQuestion)) {
        case TAnswer::No: return true;
        case TAnswer::Cancel: return false;
        case TAnswer::Yes: break;
    }
    try {
        return SaveDayText(atClose);
    } catch (...) {
        TApplication::ReportCurrentException();
        return false;
    }
}

bool TForm1::LeaveDayText(std::int32_t day) {
    // A composition belongs to the text it was typed in, whatever becomes of that text.
    Editor1->CommitComposition();
    const TYMD& textDay = Diary_->Day();
    if (YMDToJulius(textDay.Year, textDay.Month, textDay.Day) == day || OfferToSaveText(false)) return true;
    // The text stays with its own day, so that the user can try again or copy it away.
    QScopedValueRollback<bool> returning(returningToText_, true);
    MonthlyCalendar1->SetJuliusDay(YMDToJulius(textDay.Year, textDay.Month, textDay.Day));
    // A field step or 今日 goes on to move the week calendar once this handler returns;
    // it follows the month calendar back afterwards, and the fields with it.
    QTimer::singleShot(0, this, Guarded([this] { WeeklyCalendar1->SetJuliusDay(MonthlyCalendar1->JuliusDay()); }));
    return false;
}

void TForm1::EditorSaveClick() {
    Editor1->CommitComposition();
    SaveDayText(false);
}

bool TForm1::SaveDayText(bool atClose) {
    bool appended = false;
    const bool saved = Diary_->Save(Editor1->Lines().Text(), Editor1->Session().Extra(), Ask, atClose, [&appended](const std::string& question) {
        const TDiarySession::TUnshown answer = AskUnshown(question);
        appended = answer == TDiarySession::TUnshown::Append;
        return answer;
    });
    if (!saved || !appended) return saved;
    // The editor held only what was typed: the whole day now, still open for writing,
    // with the added paragraph in view.
    const TYMD day = Diary_->Day();
    ShowDayFile(day.Year, day.Month, day.Day);
    Editor1->SetReadOnly(false);
    Editor1->Session().SetCaret(std::max(0, Editor1->Store().RowCount() - 1), 0);
    Editor1->ScrollInView();
    return true;
}

void TForm1::EditorFileDaleteClick() { Diary_->Delete(JuliusToYMD(MonthlyCalendar1->JuliusDay()), Ask); }

bool TForm1::NewDiaryUtf8() const { return Diary_->NewFilesUtf8(); }

void TForm1::SetNewDiaryUtf8(bool on) { Diary_->SetNewFilesUtf8(on); }

void TForm1::CanEditClick() { Editor1->SetReadOnly(false); }

void TForm1::F1Click() { QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::currentPath())); }

void TForm1::Editor1DrawLine(TEditor* sender, const std::string&, int, int, int, const QRect& aRect) {
    QPainter* p = sender->Canvas().Painter;
    if (!p) return;
    // A one-pixel rectangle: the same pixels as the line, at a fraction of the cost of
    // stroking it through a clip of many rectangles (a row is drawn at every keystroke).
    p->fillRect(QRect(aRect.left(), aRect.bottom(), aRect.width(), 1), QColor(192, 192, 192));
}

void TForm1::Editor1TopColChange(TEditor*) {}
