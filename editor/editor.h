#pragma once
// The diary's text editor: CP932 rows drawn on a fixed grid of character cells (what CP932
// lacks carried as extra codes of the session's table, two cells each), with its
// own caret, margins, marks and drawing hooks for the owner. The widget holds an editing
// session (the text, caret, selection, undo and every command), turns key, mouse and
// input-method events into its commands, and paints what it reports.
#include "editor/edit_session.h"
#include "editor/editor_canvas.h"
#include "platform/color.h"
#include "platform/font.h"
#include "platform/string_list.h"

#include <QAbstractScrollArea>
#include <QFont>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class TCellText;

enum TBorderStyle { bsNone, bsSingle };
enum TCaretStyle { csDefault, csBrief };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TEditor : public QAbstractScrollArea, private TEditView {
public:
    using TNotifyEvent = std::function<void(TEditor* sender)>;
    // ARect is the row from LeftMargin to the right edge, CharHeight high. It is a QRect,
    // so its bottom() is the row's last pixel line; the first line below the row is
    // ARect.y() + ARect.height(). lineStr is the row as drawn, tabs expanded; a row wider
    // than the view ends a little past the view's right edge unless words are coloured.
    // After an edit only the cells that changed are drawn again (clipped), and rows that only
    // moved are moved as pixels: what the hook draws must follow from the row's text, and
    // right of the text be the same in every row of the text, as the diary's rule is.
    using TDrawLineEvent =
        std::function<void(TEditor* sender, const std::string& lineStr, int x, int y, int index, const QRect& aRect)>;
    using TBeforeDrawWordEvent = std::function<void(TEditor* sender, const std::string& wordStr, bool reserved)>;
    // pos is in the text area's coordinates: viewport()->mapToGlobal(pos) for a pop-up.
    using TMouseEvent = std::function<void(TEditor* sender, Qt::MouseButton button, QPoint pos)>;
    // The owner sees each key first; setting key to 0 cancels it.
    using TKeyEvent = std::function<void(TEditor* sender, int& key, Qt::KeyboardModifiers shift)>;
    // The owner sees each typed character (CP932 byte) first; 0 cancels it.
    using TKeyPressEvent = std::function<void(TEditor* sender, char& key)>;
    // Text was refused whole: the text's table has no code left for a character CP932
    // lacks (some 2,800 different ones in one text). `refused` is the text.
    using TTextRefusedEvent = std::function<void(TEditor* sender, const QString& refused)>;

    explicit TEditor(QWidget* parent = nullptr);
    // Starts with `font` instead of FixedSys, so that a window that sets its own font at
    // once never has the default one looked up and measured.
    TEditor(QWidget* parent, const TFont& font);
    ~TEditor() override;

    // --- The text -------------------------------------------------------------------
    TEditorStrings& Lines() { return session_.Lines(); }
    const TEditorStrings& Lines() const { return session_.Lines(); }
    // One rkBreak row per string of `source`; metrics, scroll ranges and the view reset.
    void SetLines(const TStrings& source);
    const TRowStore& Store() const { return session_.Store(); }
    // The editing commands without the events that usually reach them.
    TEditSession& Session() { return session_; }
    const TEditSession& Session() const { return session_; }
    bool Modified() const { return Store().Modified(); }
    void SetModified(bool modified) { session_.Store().SetModified(modified); }
    // Empties the text (Lines.Clear) and repaints.
    void Clear();

    // --- Published properties --------------------------------------------------------
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool CaretAutoIndent() const { return session_.Options().caretAutoIndent; }
    void SetCaretAutoIndent(bool on) { session_.Options().caretAutoIndent = on; }
    bool CaretFree() const { return session_.Options().caretFree; }
    void SetCaretFree(bool on);
    bool CaretInTab() const { return session_.Options().caretInTab; }
    void SetCaretInTab(bool on) { session_.Options().caretInTab = on; }
    bool CaretNextLine() const { return session_.Options().caretNextLine; }
    void SetCaretNextLine(bool on) { session_.Options().caretNextLine = on; }
    TCaretStyle CaretStyle() const { return caretStyle_; }
    void SetCaretStyle(TCaretStyle style);
    int CharacterMargin() const { return characterMargin_; }
    void SetCharacterMargin(int pixels);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    bool DelimDBCS() const { return session_.Options().delimDbcs; }
    void SetDelimDBCS(bool on);
    bool DisposeBlank() const { return session_.Store().DisposeBlank(); }
    void SetDisposeBlank(bool on);
    bool DrawAllWords() const { return drawAllWords_; }
    void SetDrawAllWords(bool on);
    bool EofMark() const { return eofMark_; }
    void SetEofMark(bool on);
    TColor EofMarkColor() const { return eofMarkColor_; }
    void SetEofMarkColor(TColor color);
    // The font's OnChange belongs to the editor: change it in place or through SetFont.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font) { font_.Assign(font); }
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int pixels);
    int LineMargin() const { return lineMargin_; }
    void SetLineMargin(int pixels);
    bool PrevSpaceIndent() const { return session_.Options().prevSpaceIndent; }
    void SetPrevSpaceIndent(bool on) { session_.Options().prevSpaceIndent = on; }
    bool ReadOnly() const { return session_.Options().readOnly; }
    // A composition showing is committed first: it was typed while the text was open.
    void SetReadOnly(bool on);
    TColor ReserveBkColor() const { return reserveBkColor_; }
    void SetReserveBkColor(TColor color);
    TFont& ReserveWordFont() { return reserveWordFont_; }
    const TFont& ReserveWordFont() const { return reserveWordFont_; }
    // Takes the given font with Font's face and size (italic when Font is).
    void SetReserveWordFont(const TFont& font);
    bool ReserveWordColor() const { return reserveWordColor_; }
    void SetReserveWordColor(bool on);
    // Sorted, letter case ignored, without duplicates.
    const TStringList& ReserveWordList() const { return reserveWordList_; }
    void SetReserveWordList(const TStrings& words);
    bool RetMark() const { return retMark_; }
    void SetRetMark(bool on);
    TColor RetMarkColor() const { return retMarkColor_; }
    void SetRetMarkColor(TColor color);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle style);
    TColor SelectBkColor() const { return selectBkColor_; }
    void SetSelectBkColor(TColor color);
    TColor SelectFontColor() const { return selectFontColor_; }
    void SetSelectFontColor(TColor color);
    bool SoftTab() const { return session_.Options().softTab; }
    void SetSoftTab(bool on) { session_.Options().softTab = on; }
    bool TabIndent() const { return session_.Options().tabIndent; }
    void SetTabIndent(bool on) { session_.Options().tabIndent = on; }
    int TabSpaceCount() const { return session_.Store().TabSpaceCount(); }
    void SetTabSpaceCount(int columns) { session_.Store().SetTabSpaceCount(columns); }
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int pixels);
    bool UnderLine() const { return underLine_; }
    void SetUnderLine(bool on);
    TColor UnderLineColor() const { return underLineColor_; }
    void SetUnderLineColor(TColor color);
    int UndoListMax() const { return session_.UndoObj().Capacity(); }
    void SetUndoListMax(int capacity) { session_.UndoObj().SetCapacity(capacity); }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool on) { wantReturns_ = on; }
    bool WantTabs() const { return session_.Options().wantTabs; }
    void SetWantTabs(bool on) { session_.Options().wantTabs = on; }
    bool WordWrap() const { return session_.Store().WordWrap(); }
    void SetWordWrap(bool on);
    int WrapByte() const { return session_.Store().WrapByte(); }
    void SetWrapByte(int columns);

    // --- View state -----------------------------------------------------------------
    int TopRow() const override { return topRow_; }
    void SetTopRow(int row) override;
    int TopCol() const { return topCol_; }
    void SetTopCol(int col);
    int Row() const { return session_.Row(); }
    void SetRow(int row) { session_.SetRow(row); }
    int Col() const { return session_.Col(); }
    void SetCol(int col) { session_.SetCol(col); }
    bool OverWrite() const { return session_.Options().overWrite; }
    void SetOverWrite(bool on);
    int CharHeight() const { return charHeight_; }
    int CellWidth() const { return cellWidth_; }
    int RowPitch() const { return charHeight_ + (underLine_ ? 1 : 0) + lineMargin_; }
    int VisibleRows() const override { return visibleRows_; }
    int VisibleCols() const override { return visibleCols_; }
    int MaxTopRow() const { return maxTopRow_; }
    int MaxTopCol() const override { return maxTopCol_; }
    int ScrollOffset() const { return topCol_ * cellWidth_; }

    // --- Geometry (viewport pixels) ---------------------------------------------------
    int ColX(int col) const { return leftMargin_ + (col - topCol_) * cellWidth_; }
    int RowY(int row) const { return topMargin_ + (row - topRow_) * RowPitch(); }
    int RowAt(int y) const;
    int ColAt(int x) const;
    QPoint CaretPos() const;
    // The caret's rectangle as it is drawn.
    QRect CaretRect() const;
    // y of the caret-row underline of row r, or -1 when off the view.
    int RowTop(int r) const;

    // --- Selection (drawing side) ------------------------------------------------------
    bool Selected() const { return session_.Selected(); }
    const TSelectionRange& SelectionRange() const { return session_.DrawnRange(); }
    void ClearSelection() override { session_.ClearSelection(); }

    // --- Operations -------------------------------------------------------------------
    void UpdateMetrics();
    void UpdateScrollRanges();
    void RepaintRows(int a, int b) override;
    void ShiftRows(int row, int count) override;
    // Scrolls the area's pixels by (dx, dy) and repaints what the scroll uncovered.
    virtual void ScrollArea(int dx, int dy, const QRect& area);
    // The part of row `row` right of `col` moves sideways by `cells` (after an edit
    // within the row); the result equals repainting the row.
    void ShiftRowCells(int row, int col, int cells);
    void ScrollInView();
    // As ScrollInView, and sideways so that a selection within one row shows whole where
    // it fits beside the caret: a match found must be seen, not only its end.
    void ScrollSelectionInView();
    virtual void CaretHide();
    virtual void CaretShow();
    virtual void UnderLineHide();
    virtual void UnderLineShow();
    virtual void CreateCaretShape();
    // Whether the caret is on screen at this moment (focused, not hidden, blink phase).
    bool CaretShowing() const;

    // --- Editing and the clipboard ------------------------------------------------------
    bool CanUndo() const { return session_.CanUndo(); }
    bool CanRedo() const { return session_.CanRedo(); }
    virtual void Undo();
    virtual void Redo();
    // Copies the selection, then deletes it; only copies while ReadOnly.
    void CutToClipboard();
    // The clipboard gets the selection as Unicode text.
    void CopyToClipboard();
    // Inserts the clipboard's text at the caret, replacing the selection; refused whole
    // (OnTextRefused) only when the text's table has no code left.
    void PasteFromClipboard();
    void SelectAll();
    std::string SelText() const { return session_.SelText(); }
    // Inserts CP932 bytes at the caret, replacing the selection.
    void SetSelText(const std::string& text) { session_.SetSelText(text); }
    int64_t SelStart() const { return session_.SelStart(); }
    void SetSelStart(int64_t k) { session_.SetSelStart(k); }
    int64_t SelLength() const { return session_.SelLength(); }
    void SetSelLength(int64_t k) { session_.SetSelLength(k); }
    // Text from Qt (a commit string, key text), typed as one unit through the session's
    // table; false (with a beep and OnTextRefused) when the table has no code left.
    bool TypeUnicode(const QString& text);
    // What the input method is composing, drawn at the caret; never part of the text.
    const QString& Preedit() const { return preedit_; }
    // Puts a composition showing into the text where it stands, before anything moves or
    // replaces the text under it (a click, another text, a save, the lock, the focus
    // leaving): what the input method commits, as Qt's own text widgets have it. An input
    // method that does not answer, or no longer serves this widget, is told to drop the
    // composition, and the text shown goes in as typed.
    void CommitComposition();

    // --- Drawing surface for the hooks -------------------------------------------------
    TEditorCanvas& Canvas() { return canvas_; }
    const TDelimiters& Delimiters() const { return session_.Delimiters(); }

    // --- Events -----------------------------------------------------------------------
    TBeforeDrawWordEvent OnBeforeDrawWord;
    TNotifyEvent OnCaretMoved;
    TNotifyEvent OnChange;
    TDrawLineEvent OnDrawLine;
    TNotifyEvent OnTopColChange;
    TNotifyEvent OnTopRowChange;
    TMouseEvent OnMouseDown;
    TKeyEvent OnKeyDown;
    TKeyPressEvent OnKeyPress;
    TTextRefusedEvent OnTextRefused;

protected:
    virtual void InitDelimiters();
    virtual void DoBeforeDrawWord(const std::string& word, bool reserved);
    virtual void DoDrawLine(const std::string& lineStr, int x, int y, int index, const QRect& aRect);
    virtual void DoTopRowChange();
    virtual void DoTopColChange();
    virtual void DrawEofMark(QPainter& p, int x, int y);
    virtual void DrawRetMark(QPainter& p, int x, int y);
    virtual void DrawSelRetMark(QPainter& p, int x, int y);
    virtual void DrawUnderLine(QPainter& p);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void CommitCompositionOnFocusLoss(QFocusEvent* event);
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool event(QEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    // TEditView
    void RowsReset() override;
    void RepaintAll() override;
    void RowsChanged() override;
    void LinesUpdateBegin() override;
    void LinesUpdateEnd() override;
    void CaretPlaced(int row, int col) override;
    void SelectionChanged(const TSelectionRange& before, bool wasSelected) override;
    void EditBegin() override;
    void EditEnd(const TEditNotice& notice) override;

    // Input (editor_input.cpp)
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers, bool repeat);
    void TypeKeyText(const QString& text);
    void DragTo(QPoint pos);
    void DragStep();
    void Refuse(const QString& characters);

    // Painting (editor_paint.cpp)
    void PaintRow(QPainter& p, int r, const QRect& clip);
    void PaintRowDefault(QPainter& p, int r, const std::string& text, int x, int y, const QRect& clip);
    void PaintPlain(QPainter& p, const std::string& text, int x, int y, const QRect& part);
    void PaintWords(QPainter& p, const std::string& text, int x, int y, const QRect& part);
    void PaintSelectedRow(QPainter& p, int r, const std::string& text, int x, int y, const QRect& rowRect);
    void PaintAfterText(QPainter& p, int r, int textWidth, int x, int y, const QRect& part, bool selectedBreak);
    void OutputCells(QPainter& p, const TFont& font, TColor color, int x, int y, const std::string& text,
                     int firstCol, int lastCol, const QRect& clip);
    bool IsReserved(std::string_view word) const;
    QRect RowRect(int r) const;

    // Caret and view helpers (editor_scroll.cpp)
    void CaretMoved();
    void UpdateCaretArea();
    void RepaintUnderLine();
    void UpdateScrollBars();
    int HorizontalExtent() const;
    void ScrollBarAction(Qt::Orientation orientation, int action);
    void BlinkCaret();
    void SetScrollBarPolicies();
    void FontChanged();
    void ReserveFontChanged();
    void TakeFontRules(TFont& target, const TFont& source) const;
    void Repaint();
    int ScrollBarExtent() const;
    QRect TextArea() const;
    void UpdateSelectionCells(const TSelectionRange& before, bool wasSelected);
    void PaintPreedit(QPainter& p);
    bool RowSelected(int r) const;

    // What the screen shows (editor_shown.cpp)
    std::string ShownKey(int r) const;
    void ForgetAllShown();
    void ForgetShown(int a, int b);
    void ForgetShownIn(const QRect& area);
    void MoveShown(int dx, int dy, const QRect& area);
    void PaintedRow(int r, const QRegion& painted);
    void RememberEditStart();
    bool RepaintEdited(const TEditNotice& notice);
    // Selected columns of row r as [from, to), to = INT_MAX for "to the right edge".
    std::pair<int, int> SelectedCols(int r) const;

    TEditSession session_;
    TFont font_;
    TFont reserveWordFont_;
    TStringList reserveWordList_;
    TEditorCanvas canvas_;
    std::unique_ptr<TCellText> cellText_;
    // The Qt font of the font drawn last: building one decodes the face name and looks it
    // up, which would otherwise be done for every run of cells of every paint.
    struct TQtFontCache {
        std::string name;
        int height = 0;
        TFontStyles style{};
        QFont font;
        bool valid = false;
    };
    TQtFontCache qtFont_;
    const QFont& QtFont(const TFont& font);

    TBorderStyle borderStyle_ = bsSingle;
    TCaretStyle caretStyle_ = csBrief;
    int characterMargin_ = 0;
    TColor color_ = clWindow;
    bool defaultDrawing_ = true;
    bool drawAllWords_ = false;
    bool eofMark_ = false;
    TColor eofMarkColor_ = clWindowText;
    int leftMargin_ = 19;
    int lineMargin_ = 0;
    TColor reserveBkColor_ = clWindow;
    bool reserveWordColor_ = false;
    bool retMark_ = false;
    TColor retMarkColor_ = clWindowText;
    TScrollStyle scrollBars_ = ssNone;
    TColor selectBkColor_ = clHighlight;
    TColor selectFontColor_ = clHighlightText;
    int topMargin_ = 2;
    bool underLine_ = false;
    TColor underLineColor_ = clWindowText;
    bool wantReturns_ = true;
    bool italicOverhang_ = false;

    int topRow_ = 0;
    int topCol_ = 0;
    int charHeight_ = 16;
    int cellWidth_ = 8;
    int visibleRows_ = 0;
    int visibleCols_ = 0;
    int maxTopRow_ = 0;
    int maxTopCol_ = 0;

    int caretHideCount_ = 0;
    int underLineHideCount_ = 0;
    bool caretBlinkOn_ = true;
    QRect caretDrawn_;  // where the caret was last painted, empty when not
    QTimer caretTimer_;
    bool syncingScrollBars_ = false;
    int linesUpdating_ = 0;
    int underLineY_ = -1;  // where the caret-row underline is on screen, -1 for nowhere

    // Per screen row, what it shows (ShownKey), empty when unknown.
    std::vector<std::string> shown_;
    int editRowCount_ = 0;     // the row count, the caret and the underline as an edit began
    QRect editCaret_;
    int editUnderLineY_ = -1;

    QString preedit_;      // the input method's composition, drawn at the caret
    QTimer dragTimer_;     // follows a drag that rests outside the window
    QPoint dragPos_;
    bool dragging_ = false;
};
