// Construction of the main window's bands: tool bar, date panel, calendars, editor and
// status bar, and their arrangement in the client area.
#include "window/form1.h"
#include "window/conflict_bar.h"

#include "window/hints.h"
#include "window/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "controls/num_edit.h"
#include "controls/speed_button.h"
#include "controls/up_down.h"
#include "editor/editor.h"
#include "platform/handler_guard.h"
#include "platform/qt_fonts.h"
#include "platform/sjis.h"

#include <QApplication>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

TFont PanelFont(int height) {
    TFont f;
    f.SetName(Sjis("ＭＳ Ｐゴシック"));
    f.SetCharset(SHIFTJIS_CHARSET);
    f.SetHeight(height);
    return f;
}

}  // namespace

TFont InitialEditorFont() {
    TFont f = PanelFont(-15);
    f.SetName(Sjis("@ＭＳ ゴシック"));
    f.SetColor(clWindowText);
    return f;
}

void TForm1::BuildDatePanel() {
    Panel1 = new QWidget(this);
    Panel1->setFixedHeight(26);
    Panel1->setFont(ToQFont(PanelFont(-12)));
    QFont fieldFont = ToQFont(PanelFont(-15));

    const int fieldX[] = {8, 88, 152};
    const int fieldW[] = {49, 33, 33};
    const char* labels[] = {"年", "月", "日"};
    TNumEdit** fields[] = {&NumEdit1, &NumEdit2, &NumEdit3};
    TUpDown** upDowns[] = {&UpDown1, &UpDown2, &UpDown3};
    const int ranges[][2] = {{0, 3000}, {1, 12}, {1, 31}};
    const int initial[] = {0, 1, 1};
    for (int i = 0; i < 3; ++i) {
        TNumEdit* field = new TNumEdit(Panel1);
        field->setGeometry(fieldX[i], 2, fieldW[i], 22);
        field->setFont(fieldFont);
        field->setReadOnly(true);
        field->SetPutAComma(false);
        field->SetValue(initial[i]);
        TUpDown* ud = new TUpDown(Panel1);
        ud->setGeometry(fieldX[i] + fieldW[i], 2, 15, 22);
        ud->SetMin(ranges[i][0]);
        ud->SetMax(ranges[i][1]);
        ud->SetAssociate(field);
        ud->SetPosition(initial[i]);
        QLabel* label = new QLabel(U(labels[i]), Panel1);
        label->setGeometry(fieldX[i] + fieldW[i] + 17, 6, 14, 16);
        *fields[i] = field;
        *upDowns[i] = ud;
    }
    UpDown1->OnClick = Guarded([this](int p) { UpDown1Click(p); });
    UpDown2->OnClick = Guarded([this](int p) { UpDown2Click(p); });
    UpDown3->OnClick = Guarded([this](int p) { UpDown3Click(p); });

    struct Speed {
        const char* caption;
        const char* hint;
    };
    static const Speed speeds[] = {
        {"日毎", "日毎|１日ずつ進めます。右クリックで戻ります"},
        {"週毎", "週毎|１週ずつ進めます。右クリックで戻ります"},
        {"月毎", "月毎|１ヶ月ずつ進めます。右クリックで戻ります"},
        {"年毎", "年毎|１年ずつ進めます。右クリックで戻ります"},
        {"今日", "今日|今日へ戻ります"},
    };
    TSpeedButton** targets[] = {&SpeedButton1, &SpeedButton2, &SpeedButton3, &SpeedButton4, &SpeedButton5};
    // Two 15-pixel characters fill a 31-pixel button to its frame; a size smaller leaves
    // the caption room inside it.
    const QFont captionFont = ToQFont(PanelFont(-13));
    for (int i = 0; i < 5; ++i) {
        TSpeedButton* b = new TSpeedButton(U(speeds[i].caption), Panel1);
        b->setGeometry(248 + 32 * i, 1, i == 4 ? 33 : 31, 23);
        b->setFont(captionFont);
        SetHint(b, speeds[i].hint);
        int index = i + 1;
        connect(b, &QPushButton::clicked, this, Guarded([this, index] { SpeedButtonClick(index); }));
        if (index <= 4)
            b->OnMouseDown = Guarded([this, index](Qt::MouseButton button) { SpeedButtonMouseDown(index, button); });
        *targets[i] = b;
    }

    Edit1 = new QLineEdit(Panel1);
    Edit1->setGeometry(432, 2, 89, 22);
}

void TForm1::BuildCalendars() {
    MonthlyCalendar1 = new TMonthlyCalendar(this);
    WeeklyCalendar1 = new TWeeklyCalendar(this);
    SetInitialCalendarProperties();
    MonthlyCalendar1->OnDayChange = Guarded([this](TCustomCalendarEx* s, std::int32_t y, std::uint8_t m, std::uint8_t d) {
        MonthlyCalendar1DayChange(s, y, m, d);
    });
    WeeklyCalendar1->OnDayChange = Guarded([this](TCustomCalendarEx* s, std::int32_t y, std::uint8_t m, std::uint8_t d) {
        WeeklyCalendar1DayChange(s, y, m, d);
    });
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(MonthlyCalendar1), static_cast<TCustomCalendarEx*>(WeeklyCalendar1)}) {
        c->OnMouseDown = Guarded([this](TCustomCalendarEx* s, Qt::MouseButton b, QPoint p) { CalendarMouseDown(s, b, p); });
        c->OnClick = Guarded([](TCustomCalendarEx* s) { s->setFocus(); });
    }
}

void TForm1::SetInitialCalendarProperties() {
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(MonthlyCalendar1), static_cast<TCustomCalendarEx*>(WeeklyCalendar1)}) {
        c->SetJuliusDay(2451221);
        c->SetColor(clNone);
        static const TColor colors[TCalExFonts::Count] = {clBlack, clBlue, clRed, clWhite, clRed, clGreen, clBlack};
        for (int i = 0; i < TCalExFonts::Count; ++i) {
            TFont f = PanelFont(i == TCalExFonts::Rokuyo ? -13 : -12);
            f.SetColor(colors[i]);
            c->Fonts().Font(i).Assign(f);
        }
    }
    MonthlyCalendar1->SetFirstDayOfWeek(dowSun);
    MonthlyCalendar1->SetNeighborColor(clFuchsia);
    MonthlyCalendar1->SetDayOfWeekBkColor(clNavy);
    MonthlyCalendar1->SetShowNeighbor(true);
    MonthlyCalendar1->SetNeighborJump(true);
    MonthlyCalendar1->SetAutoResize(true);
    MonthlyCalendar1->SetFirstRowFirstDay(true);
    MonthlyCalendar1->SetLastRowLastDay(true);
    MonthlyCalendar1->SetShowRokuyo(false);
    WeeklyCalendar1->SetFirstDayOfWeek(dowSun);
    WeeklyCalendar1->SetBorderColor(clInfoText);
    WeeklyCalendar1->SetHolidayList(ShippedHolidayList());
    WeeklyCalendar1->SetSpecialDayList(ShippedSpecialDayList());
}

void TForm1::BuildEditor() {
    Editor1 = new TEditor(this, InitialEditorFont());
    SetInitialEditorProperties();
    Editor1->OnMouseDown = Guarded([this](TEditor* sender, Qt::MouseButton button, QPoint pos) {
        Editor1MouseDown(sender, button, pos);
    });
}

void TForm1::SetInitialEditorProperties() {
    Editor1->SetFont(InitialEditorFont());
    Editor1->SetLeftMargin(4);
    Editor1->SetTopMargin(0);
    Editor1->SetLineMargin(0);
    Editor1->SetCharacterMargin(0);
    Editor1->SetCaretAutoIndent(true);
    Editor1->SetCaretFree(true);
    Editor1->SetCaretInTab(false);
    Editor1->SetCaretNextLine(false);
    Editor1->SetCaretStyle(csBrief);
    Editor1->SetDisposeBlank(true);
    Editor1->SetDelimDBCS(false);
    Editor1->SetDrawAllWords(false);
    Editor1->SetEofMark(false);
    Editor1->SetRetMark(false);
    Editor1->SetUnderLine(false);
    Editor1->SetSoftTab(false);
    Editor1->SetTabIndent(false);
    Editor1->SetPrevSpaceIndent(false);
    Editor1->SetReserveWordColor(false);
    Editor1->SetWantTabs(false);
    Editor1->SetWordWrap(false);
    Editor1->SetWantReturns(true);
    Editor1->SetTabSpaceCount(8);
    Editor1->SetWrapByte(80);
    Editor1->SetUndoListMax(64);
    Editor1->SetScrollBars(ssBoth);
    Editor1->SetReadOnly(false);
}

void TForm1::BuildStatusBar() {
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setFixedHeight(25);
    // The panels share whatever width the window has, as 500 : 150 of it; neither makes
    // the window wider, however long its text (a long note is cut at the panel's end).
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel1 = new QLabel(StatusBar1);
    for (QLabel* panel : {StatusPanel0, StatusPanel1}) {
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        panel->setMinimumWidth(0);
    }
    StatusBar1->addWidget(StatusPanel0, 500);
    StatusBar1->addWidget(StatusPanel1, 150);
    setStatusBar(StatusBar1);
}

void TForm1::LayOut() {
    Edit4 = new QLineEdit(this);
    Edit5 = new QLineEdit(this);
    Edit4->hide();
    Edit5->hide();

    MonthlyCalendar1->setFixedHeight(kMonthlyCalendarHeight);
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setHandleWidth(3);
    // The new size of the week calendar applies when the mouse is released.
    Splitter1->setOpaqueResize(false);
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(WeeklyCalendar1);
    // The editor with the bar that tells of another version of the day above it.
    QWidget* editorColumn = new QWidget(Splitter1);
    BuildConflicts(editorColumn);
    QVBoxLayout* editorLayout = new QVBoxLayout(editorColumn);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->setSpacing(0);
    editorLayout->addWidget(ConflictBar1);
    editorLayout->addWidget(Editor1, 1);
    Splitter1->addWidget(editorColumn);
    Splitter1->setStretchFactor(0, 0);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({115, 10000});
    // A few rows of text stay in view however small the window is made.
    Editor1->setMinimumHeight(3 * Editor1->RowPitch() + 4);

    QWidget* client = new QWidget(this);
    QVBoxLayout* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(CoolBar1);
    column->addWidget(Panel1);
    column->addWidget(MonthlyCalendar1);
    column->addWidget(Splitter1, 1);
    column->addWidget(Edit4);
    column->addWidget(Edit5);
    setCentralWidget(client);

    move(192, 107);
    resize(615, 440 + menuBar()->sizeHint().height());
}

void TForm1::UseWindowFontEverywhere() {
    const QFont font = ToQFont(PanelFont(-12));
    QApplication::setFont(font);
    for (const char* cls : {"QMenu", "QMenuBar", "QTipLabel", "QMessageBox", "QStatusBar"})
        QApplication::setFont(font, cls);
    // The window was made before the application font changed, and widgets only follow
    // such a change once the event loop runs: set it here, before any child exists, so
    // that every child starts with it instead of being laid out twice.
    setFont(font);
}
