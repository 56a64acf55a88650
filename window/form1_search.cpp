// Search from the main window: the find bar for the day's text, and the diary search
// window, whose rows lead back to their day.
#include "window/day_finder.h"
#include "window/find_bar.h"
#include "window/form1.h"
#include "window/search_window.h"
#include "calendar/monthly_calendar.h"
#include "diary/diary_session.h"
#include "editor/editor.h"
#include "platform/handler_guard.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSplitter>
#include <QVBoxLayout>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

}  // namespace

void TForm1::BuildSearchCommands() {
    FindBar1 = new TFindBar(centralWidget());
    if (auto* column = qobject_cast<QVBoxLayout*>(centralWidget()->layout()))
        column->insertWidget(column->indexOf(Splitter1) + 1, FindBar1);
    FindBar1->OnFind = Guarded([this](bool backward) { FindInDay(backward); });
    FindBar1->OnClose = Guarded([this] {
        // The bar's notes speak of its words: they go with it.
        if (!findNote_.isEmpty() && StatusPanel0->text() == findNote_) StatusPanel0->clear();
        findNote_.clear();
        Editor1->setFocus(Qt::OtherFocusReason);
    });

    FindNext1 = new QAction(U("次を検索"), this);
    FindNext1->setShortcut(QKeySequence(Qt::Key_F3));
    FindPrevious1 = new QAction(U("前を検索"), this);
    FindPrevious1->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3));
    addAction(FindNext1);
    addAction(FindPrevious1);
    connect(FindNext1, &QAction::triggered, this, Guarded([this] { FindInDay(false); }));
    connect(FindPrevious1, &QAction::triggered, this, Guarded([this] { FindInDay(true); }));
    for (QAction* a : {Find1, DiaryFind1}) a->setEnabled(true);
    connect(Find1, &QAction::triggered, this, Guarded([this] { Find1Click(); }));
    connect(DiaryFind1, &QAction::triggered, this, Guarded([this] { DiaryFind1Click(); }));
}

void TForm1::Find1Click() {
    // A selection on one line is what the user most likely wants to find.
    if (Editor1->Selected()) {
        const std::string sel = Editor1->SelText();
        if (!sel.empty() && sel.size() <= 200 && sel.find_first_of("\r\n") == std::string::npos)
            FindBar1->FindEdit->setText(QString::fromStdString(Editor1->Session().SelUnicode()));
    }
    FindBar1->Open();
}

void TForm1::SelectMatch(int row, int byte, int length) {
    TEditSession& s = Editor1->Session();
    s.BeginBatch();
    s.ClearSelection();
    const std::string_view text = Editor1->Store().RowView(row);
    s.SetCaret(row, ExpandedWidth(text.substr(0, static_cast<size_t>(byte)), Editor1->TabSpaceCount()), 1);
    s.SetSelLength(length);
    s.EndBatch();
    Editor1->ScrollSelectionInView();
}

bool TForm1::FindInDay(bool backward) {
    const QString words = FindBar1->Text();
    if (words.trimmed().isEmpty()) {
        FindBar1->Open();
        return false;
    }
    const bool exact = FindBar1->Exact();
    if (!finder_ || finder_->Query().exact != exact || finderWords_ != words) {
        finder_ = std::make_unique<TDayFinder>(MakeSearchQuery(words.toStdString(), exact));
        finderWords_ = words;
    }
    const TRowStore& rows = Editor1->Store();
    finder_->SetExtraChars(&Editor1->Session().Extra());
    TRowPlace from;
    if (Editor1->Selected()) {
        const TTextRange& t = Editor1->Session().TextRange();
        from = backward ? TRowPlace{t.startRow, t.startByte} : TRowPlace{t.endRow, t.endByte + 1};
    } else {
        from.row = Editor1->Row();
        const std::string_view text = rows.RowView(from.row);
        from.byte = std::min(TRowStore::ByteIndex(rows.ColumnMap(text), Editor1->Col()), static_cast<int>(text.size()));
    }
    const auto m = finder_->Find(rows, from, backward);
    if (!m) {
        // A match of other words left selected would read as this search's.
        Editor1->ClearSelection();
        FindNote(U("「%1」は見つかりません").arg(words));
        return false;
    }
    SelectMatch(m->start.row, m->start.byte, m->length);
    FindNote(!m->wrapped ? QString()
             : backward  ? U("先頭まで検索したので、末尾から続けました")
                         : U("末尾まで検索したので、先頭から続けました"));
    return true;
}

void TForm1::FindNote(const QString& note) {
    findNote_ = note;
    StatusPanel0->setText(note);
}

void TForm1::DiaryFind1Click() {
    if (!SearchWindow1) {
        SearchWindow1 = new TSearchWindow(this);
        SearchWindow1->setFont(font());
        SearchWindow1->OnOpenDay = Guarded([this](const TYMD& day, const QString& words, bool exact) {
            OpenFoundDay(day, words, exact);
        });
    }
    if (Editor1->Selected() && SearchWindow1->WordsEdit->text().isEmpty()) {
        const std::string sel = Editor1->SelText();
        if (!sel.empty() && sel.size() <= 200 && sel.find_first_of("\r\n") == std::string::npos)
            SearchWindow1->WordsEdit->setText(QString::fromStdString(Editor1->Session().SelUnicode()));
    }
    SearchWindow1->show();
    SearchWindow1->raise();
    SearchWindow1->activateWindow();
    SearchWindow1->WordsEdit->setFocus(Qt::ShortcutFocusReason);
    SearchWindow1->WordsEdit->selectAll();
}

void TForm1::OpenFoundDay(const TYMD& day, const QString& words, bool exact) {
    const TJuliusDay target = YMDToJulius(day.Year, day.Month, day.Day);
    if (MonthlyCalendar1->JuliusDay() != target) {
        MonthlyCalendar1->SetJuliusDay(target);
    } else if (!Diary_->Edited()) {
        // Already the selected day, but the editor may not show its file (it starts empty)
        // or may show it as it was before a save elsewhere: shown again from the file.
        ShowDayFile(day.Year, day.Month, day.Day);
    }
    // The user kept the edited text of another day: it stays, and nothing is selected.
    if (!(Diary_->Day() == day)) return;
    FindBar1->FindEdit->setText(words);
    FindBar1->ExactCheck->setChecked(exact);
    FindBar1->show();
    activateWindow();
    raise();
    Editor1->setFocus(Qt::OtherFocusReason);
    Editor1->Session().ClearSelection();
    Editor1->Session().SetCaret(0, 0);
    if (!FindInDay(false)) FindNote(U("「%1」はこの日にはもうありません").arg(words));
}
