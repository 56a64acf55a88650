#pragma once
// The diary's text editor: CP932 rows from the row store drawn on a fixed grid of
// character cells, with its own caret, margins, marks and drawing hooks for the owner.
// The widget holds the row store, forwards to it and paints it; the text logic lives in
// the store.
#include "editor/editor_canvas.h"
#include "editor/editor_strings.h"
#include "editor/row_store.h"
#include "editor/word_bounds.h"
#include "platform/color.h"
#include "platform/font.h"
#include "platform/string_list.h"

#include <QAbstractScrollArea>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

class QPainter;
class TCellText;

enum TBorderStyle { bsNone, bsSingle };
enum TCaretStyle { csDefault, csBrief };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The columns that show selected on screen: rows startRow..endRow; the first row from
// startCol, the last row up to endCol (exclusive), each cut to its row's width.
struct TSelectionRange {
    int startRow = 0;
    int endRow = 0;
    int startCol = 0;
    int endCol = 0;
    bool operator==(const TSelectionRange&) const = default;
};

class TEditor : public QAbstractScrollArea, private TRowStoreView {
public:
    using TNotifyEvent = std::function<void(TEditor* sender)>;
    // ARect is the row from LeftMargin to the right edge, CharHeight high. It is a QRect,
    // so its bottom() is the row's last pixel line; the first line below the row is
    // ARect.y() + ARect.height().
    using TDrawLineEvent =
        std::function<void(TEditor* sender, const std::string& lineStr, int x, int y, int index, const QRect& aRect)>;
    using TBeforeDrawWordEvent = std::function<void(TEditor* sender, const std::string& wordStr, bool reserved)>;
    // pos is in the text area's coordinates: viewport()->mapToGlobal(pos) for a pop-up.
    using TMouseEvent = std::function<void(TEditor* sender, Qt::MouseButton button, QPoint pos)>;

    explicit TEditor(QWidget* parent = nullptr);
    ~TEditor() override;

    // --- The text -------------------------------------------------------------------
    TEditorStrings& Lines() { return lines_; }
    const TEditorStrings& Lines() const { return lines_; }
    // One rkBreak row per string of `source`; metrics, scroll ranges and the view reset.
    void SetLines(const TStrings& source);
    TRowStore& Store() { return store_; }
    const TRowStore& Store() const { return store_; }
    bool Modified() const { return store_.Modified(); }
    void SetModified(bool modified) { store_.SetModified(modified); }
    // Empties the text (Lines.Clear) and repaints.
    void Clear();

    // --- Published properties --------------------------------------------------------
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style);
    bool CaretAutoIndent() const { return caretAutoIndent_; }
    void SetCaretAutoIndent(bool on) { caretAutoIndent_ = on; }
    bool CaretFree() const { return caretFree_; }
    void SetCaretFree(bool on);
    bool CaretInTab() const { return caretInTab_; }
    void SetCaretInTab(bool on) { caretInTab_ = on; }
    bool CaretNextLine() const { return caretNextLine_; }
    void SetCaretNextLine(bool on) { caretNextLine_ = on; }
    TCaretStyle CaretStyle() const { return caretStyle_; }
    void SetCaretStyle(TCaretStyle style);
    int CharacterMargin() const { return characterMargin_; }
    void SetCharacterMargin(int pixels);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    bool DelimDBCS() const { return delimDbcs_; }
    void SetDelimDBCS(bool on);
    bool DisposeBlank() const { return store_.DisposeBlank(); }
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
    bool PrevSpaceIndent() const { return prevSpaceIndent_; }
    void SetPrevSpaceIndent(bool on) { prevSpaceIndent_ = on; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
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
    bool SoftTab() const { return softTab_; }
    void SetSoftTab(bool on) { softTab_ = on; }
    bool TabIndent() const { return tabIndent_; }
    void SetTabIndent(bool on) { tabIndent_ = on; }
    int TabSpaceCount() const { return store_.TabSpaceCount(); }
    void SetTabSpaceCount(int columns) { store_.SetTabSpaceCount(columns); }
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int pixels);
    bool UnderLine() const { return underLine_; }
    void SetUnderLine(bool on);
    TColor UnderLineColor() const { return underLineColor_; }
    void SetUnderLineColor(TColor color);
    int UndoListMax() const { return store_.UndoObj().Capacity(); }
    void SetUndoListMax(int capacity) { store_.UndoObj().SetCapacity(capacity); }
    bool WantReturns() const { return wantReturns_; }
    void SetWantReturns(bool on) { wantReturns_ = on; }
    bool WantTabs() const { return wantTabs_; }
    void SetWantTabs(bool on) { wantTabs_ = on; }
    bool WordWrap() const { return store_.WordWrap(); }
    void SetWordWrap(bool on);
    int WrapByte() const { return store_.WrapByte(); }
    void SetWrapByte(int columns);

    // --- View state -----------------------------------------------------------------
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int TopCol() const { return topCol_; }
    void SetTopCol(int col);
    int Row() const { return store_.CaretRow(); }
    void SetRow(int row);
    int Col() const { return store_.CaretCol(); }
    void SetCol(int col);
    bool OverWrite() const { return overWrite_; }
    void SetOverWrite(bool on);
    int CharHeight() const { return charHeight_; }
    int CellWidth() const { return cellWidth_; }
    int RowPitch() const { return charHeight_ + (underLine_ ? 1 : 0) + lineMargin_; }
    int VisibleRows() const { return visibleRows_; }
    int VisibleCols() const { return visibleCols_; }
    int MaxTopRow() const { return maxTopRow_; }
    int MaxTopCol() const { return maxTopCol_; }
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
    bool Selected() const { return selected_; }
    const TSelectionRange& SelectionRange() const { return selection_; }
    // Marks the columns as selected and redraws only the cells whose state changed.
    void SetSelectionRange(const TSelectionRange& range);
    void ClearSelection() override;

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
    virtual void CaretHide();
    virtual void CaretShow();
    virtual void UnderLineHide();
    virtual void UnderLineShow();
    virtual void CreateCaretShape();
    // Whether the caret is on screen at this moment (focused, not hidden, blink phase).
    bool CaretShowing() const;

    // --- Later editing commands (declared for the owner's menus) ------------------------
    bool CanUndo() const { return store_.UndoObj().CanUndo(); }
    bool CanRedo() const { return store_.UndoObj().CanRedo(); }
    virtual void Undo();
    virtual void Redo();
    void CutToClipboard();
    void CopyToClipboard();
    void PasteFromClipboard();
    void SelectAll();
    // The selected bytes: the drawn range's columns mapped back to bytes, CR LF after
    // each rkBreak row inside it.
    std::string SelText() const;

    // --- Drawing surface for the hooks -------------------------------------------------
    TEditorCanvas& Canvas() { return canvas_; }
    const TDelimiters& Delimiters() const { return delimiters_; }

    // --- Events -----------------------------------------------------------------------
    TBeforeDrawWordEvent OnBeforeDrawWord;
    TNotifyEvent OnCaretMoved;
    TNotifyEvent OnChange;
    TDrawLineEvent OnDrawLine;
    TNotifyEvent OnTopColChange;
    TNotifyEvent OnTopRowChange;
    TMouseEvent OnMouseDown;

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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    // TRowStoreView
    void RowsReset() override;
    void RepaintAll() override;
    void RowsChanged() override;
    void CaretSet(int row, int col) override;
    void LinesUpdateBegin() override;
    void LinesUpdateEnd() override;

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

    // Caret and view helpers (editor_view.cpp)
    void ApplyColumnRule(bool vertical, int direction);
    void CaretMoved();
    void UpdateCaretArea();
    void RepaintUnderLine();
    void UpdateScrollBars();
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
    bool RowSelected(int r) const;
    // Selected columns of row r as [from, to), to = INT_MAX for "to the right edge".
    std::pair<int, int> SelectedCols(int r) const;

    TRowStore store_;
    TEditorStrings lines_;
    TFont font_;
    TFont reserveWordFont_;
    TStringList reserveWordList_;
    TDelimiters delimiters_{};
    TEditorCanvas canvas_;
    std::unique_ptr<TCellText> cellText_;

    TBorderStyle borderStyle_ = bsSingle;
    bool caretAutoIndent_ = true;
    bool caretFree_ = true;
    bool caretInTab_ = false;
    bool caretNextLine_ = false;
    TCaretStyle caretStyle_ = csBrief;
    int characterMargin_ = 0;
    TColor color_ = clWindow;
    bool defaultDrawing_ = true;
    bool delimDbcs_ = false;
    bool drawAllWords_ = false;
    bool eofMark_ = false;
    TColor eofMarkColor_ = clWindowText;
    int leftMargin_ = 19;
    int lineMargin_ = 0;
    bool prevSpaceIndent_ = false;
    bool readOnly_ = false;
    TColor reserveBkColor_ = clWindow;
    bool reserveWordColor_ = false;
    bool retMark_ = false;
    TColor retMarkColor_ = clWindowText;
    TScrollStyle scrollBars_ = ssNone;
    TColor selectBkColor_ = clHighlight;
    TColor selectFontColor_ = clHighlightText;
    bool softTab_ = false;
    bool tabIndent_ = false;
    int topMargin_ = 2;
    bool underLine_ = false;
    TColor underLineColor_ = clWindowText;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool overWrite_ = false;
    bool italicOverhang_ = false;

    int topRow_ = 0;
    int topCol_ = 0;
    int charHeight_ = 16;
    int cellWidth_ = 8;
    int visibleRows_ = 0;
    int visibleCols_ = 0;
    int maxTopRow_ = 0;
    int maxTopCol_ = 0;
    bool verticalKeep_ = false;

    int caretHideCount_ = 0;
    int underLineHideCount_ = 0;
    bool caretBlinkOn_ = true;
    QRect caretDrawn_;  // where the caret was last painted, empty when not
    QTimer caretTimer_;
    bool syncingScrollBars_ = false;
    int linesUpdating_ = 0;
    int lastCaretRow_ = 0;  // the caret row that the view last showed
    int underLineY_ = -1;  // where the caret-row underline is on screen, -1 for nowhere

    bool selected_ = false;
    TSelectionRange selection_;
};
