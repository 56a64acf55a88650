#pragma once
// The main window: month calendar, week calendar, date panel and the diary editor, kept
// on one selected day.
#include "window/conflict_window.h"
#include "window/period_choice.h"
#include "diary/print_layout.h"
#include "calendar/julius.h"
#include "platform/font.h"

#include <QMainWindow>
#include <QRect>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QSplitter;
class QStatusBar;
class QTimer;
class TConflictBar;
class TCustomCalendarEx;
class QTimer;
class TDayIndex;
class TDiaryFolderWatch;
class TDiarySession;
class TDayFinder;
class TEditor;
class TFindBar;
class TIniStore;
class TMonthlyCalendar;
class TNumEdit;
class TReadmeDialog;
class TRowStore;
class TSearchWindow;
class TRecoveryKeeper;
struct TFoundCopy;
class TSpeedButton;
class TTabToolBar;
class TStringList;
class TUpDown;
class TWeeklyCalendar;

// The editor's font until the settings file names one.
TFont InitialEditorFont();

class TForm1 : public QMainWindow {
public:
    static constexpr int kMonthlyCalendarHeight = 113;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Components, under the names the rest of the program and the tests use.
    QWidget* CoolBar1 = nullptr;
    TTabToolBar* TabToolBar1 = nullptr;
    // The tool bar's buttons; ToolButton6 is the gap between the two groups, ToolButton7
    // and ToolButton8 stand with the colour and font commands below.
    QAction* ToolButton1 = nullptr;
    QAction* ToolButton2 = nullptr;
    QAction* ToolButton3 = nullptr;
    QAction* ToolButton4 = nullptr;
    QAction* ToolButton5 = nullptr;
    QWidget* Panel1 = nullptr;
    TNumEdit* NumEdit1 = nullptr;
    TNumEdit* NumEdit2 = nullptr;
    TNumEdit* NumEdit3 = nullptr;
    TUpDown* UpDown1 = nullptr;
    TUpDown* UpDown2 = nullptr;
    TUpDown* UpDown3 = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TSpeedButton* SpeedButton4 = nullptr;
    TSpeedButton* SpeedButton5 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TMonthlyCalendar* MonthlyCalendar1 = nullptr;
    TWeeklyCalendar* WeeklyCalendar1 = nullptr;
    QSplitter* Splitter1 = nullptr;
    TEditor* Editor1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    TIniStore* IniStore1 = nullptr;
    TReadmeDialog* Readme();

    QAction* MonthlyCalendarShow = nullptr;
    QAction* WeeklyCalendarShow = nullptr;
    QAction* StatusBarShow = nullptr;
    QAction* RokuyoShow = nullptr;
    QAction* Close1 = nullptr;
    QAction* About1 = nullptr;
    // Edit commands: the menu item and the editor pop-up item of one command share its
    // handler; the tool button runs the menu item.
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* P1 = nullptr;
    QAction* SelAll = nullptr;
    QAction* ReDo = nullptr;
    QAction* Undo1 = nullptr;
    QAction* EditorCut1 = nullptr;
    QAction* EditorCopy1 = nullptr;
    QAction* EditorPaste1 = nullptr;
    // Diary commands: main menu and editor pop-up.
    QAction* Save1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* EditorSave = nullptr;
    QAction* CanEdit = nullptr;
    QAction* EditorFileDalete = nullptr;
    QAction* F1 = nullptr;

    // Handlers, callable directly so that every command has one entry point.
    void MonthlyCalendar1DayChange(TCustomCalendarEx* sender, std::int32_t y, std::uint8_t m, std::uint8_t d);
    void WeeklyCalendar1DayChange(TCustomCalendarEx* sender, std::int32_t y, std::uint8_t m, std::uint8_t d);
    void UpDown1Click(int position);
    void UpDown2Click(int position);
    void UpDown3Click(int position);
    void SpeedButtonClick(int index);
    void SpeedButtonMouseDown(int index, Qt::MouseButton button);
    void CalendarMouseDown(TCustomCalendarEx* sender, Qt::MouseButton button, QPoint clientPos);
    void Editor1MouseDown(TEditor* sender, Qt::MouseButton button, QPoint pos);
    void MonthlyCalendarShowClick();
    void WeeklyCalendarShowClick();
    void StatusBarShowClick();
    void RokuyoShowClick();
    // The rokuyo mark, the grid's ShowRokuyo and the grid's height, kept together.
    void SetRokuyoShown(bool on);
    // The grid's height for its fonts and its rokuyo strips.
    void FitMonthlyCalendar();
    void Close1Click();
    void About1Click();
    void Undo1Click();
    void ReDoClick();
    void SelAllClick();
    void Cut1Click();
    void Copy1Click();
    void P1Click();
    void Editor1TextRefused(TEditor* sender, const QString& refused);
    // The selected day's file (form1_diary.cpp, form1_print.cpp).
    void EditorSaveClick();
    void EditorFileDaleteClick();
    void CanEditClick();
    void F1Click();
    void Print1Click();
    // A period at once (form1_period.cpp): printed, or exported as text, Markdown or PDF.
    QAction* PeriodPrint = nullptr;
    QAction* PeriodExport = nullptr;
    void PeriodPrintClick();
    void PeriodExportClick();
    // Stands in for the period dialog when set (tests): given the choice it would open
    // with and whether it is for an export; nothing for a cancel.
    std::function<std::optional<TPeriodChoice>(const TPeriodChoice& initial, bool forExport)> ChoosePeriod;
    // Needs nothing of the window, so the benchmarks draw the diary's rule with it too.
    static void Editor1DrawLine(TEditor* sender, const std::string& lineStr, int x, int y, int index,
                                const QRect& aRect);
    void Editor1TopColChange(TEditor* sender);

    // Holidays and special days: registration through the entry lines, the list dialog
    // and the exports (form1_lists.cpp).
    QAction* WHolDayAdd = nullptr;
    QAction* WHolDayDelete = nullptr;
    QAction* WSpecialDayAdd = nullptr;
    QAction* WSpecialDayDalete = nullptr;
    QAction* H4 = nullptr;
    QAction* S5 = nullptr;
    // The week calendar's list open in the list dialog (not owned).
    TStringList* EditList = nullptr;
    void WHolDayAddClick();
    void WSpecialDayAddClick();
    void WHolDayDeleteClick();
    void WSpecialDayDaleteClick();
    void H4Click();
    void S5Click();
    void WeeklyCalendar1KeyDown(int key);
    void Edit5KeyDown(int key);
    void Edit4KeyDown(int key);

    // Colour and font commands (form1_colors.cpp); TForm2 and TForm3 run these actions.
    QAction* A1 = nullptr;
    QAction* W1 = nullptr;
    QAction* S3 = nullptr;
    QAction* U1 = nullptr;
    QAction* H2 = nullptr;
    QAction* S1 = nullptr;
    QAction* N17 = nullptr;
    QAction* W2 = nullptr;
    QAction* S4 = nullptr;
    QAction* U2 = nullptr;
    QAction* H3 = nullptr;
    QAction* S2 = nullptr;
    QAction* MCFontAll = nullptr;
    QAction* MCWeekFont = nullptr;
    QAction* MCSaturdayFont = nullptr;
    QAction* MCSundayFont = nullptr;
    QAction* MCHolidayFont = nullptr;
    QAction* MCSpecialdayFont = nullptr;
    QAction* WCFontAll = nullptr;
    QAction* WCWeekFont = nullptr;
    QAction* WCSaturdayFont = nullptr;
    QAction* WCSundayFont = nullptr;
    QAction* WCHolidayFont = nullptr;
    QAction* WCSpecialdayFont = nullptr;
    QAction* EditFont = nullptr;
    // 設定 > 新しい日記の文字コード: the two choices.
    QAction* NewDiarySjis = nullptr;
    QAction* NewDiaryUtf8Choice = nullptr;
    QAction* ToolButton7 = nullptr;
    QAction* ToolButton8 = nullptr;
    // The shared colour and font dialogs open on the last choice.
    TColor ColorDialog1 = clBlack;
    TFont FontDialog1;
    void ToolButton7Click();
    void ToolButton8Click();

    // The days with an entry (form1_entries.cpp): marks in both calendars, steps from
    // entry to entry, the same day in other years, and the 文字数 in the status bar.
    QAction* EntryMarksShow = nullptr;
    QAction* PrevEntry = nullptr;
    QAction* NextEntry = nullptr;
    QAction* SameDayPast = nullptr;
    QAction* EntryMarkColor = nullptr;
    QAction* ToolButtonPrevEntry = nullptr;
    QAction* ToolButtonNextEntry = nullptr;
    void SetEntryMarksShown(bool on);
    void SetEntryMarkColor(TColor color);
    // 新しい日記の文字コード: new day files in UTF-8 even when their text fits Shift-JIS.
    bool NewDiaryUtf8() const;
    void SetNewDiaryUtf8(bool on);
    void PrevEntryClick();
    void NextEntryClick();
    void SameDayPastClick();
    // The index, built (and the folder watched) at the first need; the window builds it
    // right after its first picture.
    const TDayIndex& EntryIndex();
    // Lists the folder again; the marks follow when anything changed.
    void RescanEntries();
    // The status bar's 文字数 now, instead of when the event loop comes to it.
    void UpdateCharCount();
    // 文字数 of the editor's whole text, row by row, without a copy of the text.
    static std::int64_t TextCharCount(const TRowStore& store);
    // Search (form1_search.cpp): the find bar below the editor, and the diary search window.
    QAction* Find1 = nullptr;          // 検索 (Ctrl+F)
    QAction* DiaryFind1 = nullptr;     // 日記全体から検索 (Ctrl+Shift+F)
    QAction* FindNext1 = nullptr;      // F3
    QAction* FindPrevious1 = nullptr;  // Shift+F3
    TFindBar* FindBar1 = nullptr;
    TSearchWindow* SearchWindow1 = nullptr;
    void Find1Click();
    void DiaryFind1Click();
    // Selects the next (or previous) match of the find bar's words in the editor and shows
    // it, going round the ends; false when the text holds none.
    bool FindInDay(bool backward);
    // Goes to `day` through the normal day change (with its question) and selects the
    // first match of the words there.
    void OpenFoundDay(const TYMD& day, const QString& words, bool exact);
    // Recovery copies of text the user has not saved (form1_recovery.cpp). The copy is
    // written this long after the first change not yet kept, so a kill loses at most that.
    static constexpr int kRecoveryDelayMs = 2000;
    QTimer* RecoveryTimer = nullptr;
    // Writes the copy now and waits for the disk: the program is asked to end.
    void KeepRecoveryNow();
    // Asked to end from outside (a signal, the session's end): the recovery copy and the
    // settings, as a close would keep them.
    void KeepStateNow();
    // At start-up: offers back, one by one, the copies a Mekuri left behind.
    void OfferRecoveryCopies();

    // Conflict copies a file-sync tool left beside a day file (form1_conflicts.cpp): the bar
    // above the editor and 比べる, which resolves the selected day's copies one by one.
    TConflictBar* ConflictBar1 = nullptr;
    void CompareConflictsClick();
    void UpdateConflictBar();
    // Stands in for the compare window when set (tests): the choice for one copy, given
    // this machine's text and the other version.
    std::function<TConflictChoice(const QString& mine, const QString& other)> ChooseConflict;
    // The user's own patterns, as "Mekuri.ini" keeps them (CP932).
    void SetConflictPatterns(const std::string& setting);
    const std::string& ConflictPatterns() const { return conflictPatterns_; }

    // Reads every kept setting from the settings file, in the order of the key table.
    void LoadSettings();
    // Writes every kept setting, in the same order.
    void SaveSettings();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    // False when the window must stay open.
    bool FormClose();

    // Menus, tooltips and message boxes are windows of their own: they take the main
    // window's font, or they fall back to whatever face the locale's default is.
    void UseWindowFontEverywhere();
    // Builders of the window, one per band of the layout.
    void BuildMenus();
    void BuildPopupMenus();
    void BuildToolBar();
    void BuildDatePanel();
    void BuildCalendars();
    void BuildEditor();
    void BuildStatusBar();
    void BuildEditCommands();
    void LayOut();
    // What a screen reader calls each part of the window (form1_accessible.cpp).
    void NameForReaders();
    void SetInitialCalendarProperties();
    void SetInitialEditorProperties();
    void BuildIniStore();
    TReadmeDialog* ReadmeDialog1 = nullptr;
    void SetDayBound(int month);
    void BuildOptionsMenu(QMenu* options);
    void ConnectListCommands();
    void ConnectColorCommands();
    void BuildDiaryCommands();
    void BuildEntryMenu(QMenu* view);
    void BuildEntryCommands();
    void EnsureEntryIndex();
    void EntriesChanged();
    void GoToEntry(bool later);
    void ScheduleCharCount();
    void BuildSearchCommands();
    void BuildConflicts(QWidget* editorColumn);
    std::string conflictPatterns_;
    void SelectMatch(int row, int byte, int length);
    // A note of the find bar in the status bar, cleared when the bar closes.
    void FindNote(const QString& note);
    QString findNote_;

    // The day's file into the editor, unless the text kept there belongs to that day.
    void ShowDayFile(std::int32_t y, std::uint8_t m, std::uint8_t d);
    // The one question for text the user changed, before it leaves the editor (another
    // day, the close): はい saves, いいえ lets it go, キャンセル keeps it. True when the text
    // may go: nothing to save, saved, or いいえ; false when it stays (キャンセル, a refused
    // replacement, a failed save, whose error is shown). `atClose` words the error as the
    // save at close does.
    // The day file's text into the editor, in the form Diary_ found the file in.
    void LoadDayText(const std::string& file);
    bool OfferToSaveText(bool atClose);
    // Saves the editor's text with its extra codes as its day's, asking what a save may replace; after an
    // append the editor shows the whole day. False when the user kept the file as it was.
    bool SaveDayText(bool atClose);
    // Before the selected day changes to `day`: offers to save text the user changed.
    // False when that text stays: the calendar is back on its day.
    bool LeaveDayText(std::int32_t day);

    void BuildRecovery();
    void RecoveryTick();
    // The editor holds what the day's file holds (loaded, saved, or the empty start).
    void RecoverySettled();
    // The window closes with the user's answer to the close question: no copy is kept.
    void EndRecovery();
    void RestoreCopy(TFoundCopy& found);

    // Printing and the period commands (form1_print.cpp, form1_period.cpp).
    std::string DayHeader(const TYMD& day);
    // False when the user cancelled the printer set-up or stopped the printing.
    bool PrintDays(const std::vector<TPrintDay>& days);
    std::optional<TPeriodChoice> RunPeriodDialog(bool forExport);
    // The pages' days; `brokenDays`, when given, receives those whose text held bytes
    // that are not CP932.
    std::vector<TPrintDay> ReadPrintDays(const std::vector<TYMD>& days, bool* stopped,
                                         std::vector<TYMD>* brokenDays = nullptr);
    // Names the days an export turned bytes that are not CP932 into U+FFFD.
    void WarnBrokenDays(const std::vector<TYMD>& days);
    TPeriodFormat lastExportFormat_ = TPeriodFormat::Text;

    std::unique_ptr<TDiarySession> Diary_;
    std::unique_ptr<TDayFinder> finder_;
    QString finderWords_;
    std::unique_ptr<TRecoveryKeeper> Recovery_;
    // Where copies go when the diary folder cannot take them; empty when there is no
    // state folder or it is not the user's alone.
    std::string stateFolder_;
    // The settled text, as its length and hash, to notice the text returning to it.
    std::size_t settledLength_ = 0;
    std::size_t settledHash_ = 0;
    bool recoveryErrorShown_ = false;
    bool returningToText_ = false;
    // Set while the window first selects today: the editor starts empty, so the day's
    // file is not read at all.
    bool startingUp_ = false;
    // The start-up's word that today has an entry the empty editor does not show; empty
    // once any day's file is shown.
    QString startNote_;

    std::unique_ptr<TDayIndex> Index_;
    TDiaryFolderWatch* FolderWatch_ = nullptr;
    QTimer* CountTimer_ = nullptr;
    std::int64_t charTotal_ = -1;  // the whole text's 文字数; -1 until counted again
    bool firstPaint_ = false;

    bool shown_ = false;
    // The window was closed by the user, its settings written.
    bool closed_ = false;
    int startYear_ = 0;
    int startMonth_ = 0;
    int startDay_ = 0;
};
