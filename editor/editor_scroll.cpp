// Metrics, scrolling, the caret and the caret-row underline of the editor.
#include "editor/editor.h"

#include "editor/editor_accessible.h"

#include "platform/qt_fonts.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethod>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <climits>

namespace {

// The text is at most this many pixels wide.
constexpr int kMaxTextWidth = 8000;

}  // namespace

// --- Metrics ------------------------------------------------------------------------

int TEditor::ScrollBarExtent() const { return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this); }

void TEditor::UpdateMetrics() {
    QFontMetrics fm(ToQFont(font_));
    charHeight_ = std::max(1, fm.height() + std::max(0, fm.leading()));
    // A cell never shrinks to nothing, however small the font and negative the margin:
    // every column-to-pixel formula divides by it.
    cellWidth_ = std::max(1, fm.averageCharWidth() + characterMargin_);
    const bool hbar = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool vbar = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    visibleRows_ = std::max(0, (height() - topMargin_ - 5 - (hbar ? ScrollBarExtent() : 0)) / RowPitch());
    visibleCols_ =
        std::max(0, (width() - leftMargin_ - cellWidth_ / 2 - (vbar ? ScrollBarExtent() : 0)) / cellWidth_);
}

void TEditor::UpdateScrollRanges() {
    maxTopRow_ = std::max(0, session_.Store().RowCount() + visibleRows_ - 2);
    maxTopCol_ = kMaxTextWidth / cellWidth_;
    if (topRow_ > maxTopRow_ || topCol_ > maxTopCol_) {
        topRow_ = std::min(topRow_, maxTopRow_);
        topCol_ = std::min(topCol_, maxTopCol_);
        Repaint();
    }
    UpdateScrollBars();
}

void TEditor::SetScrollBarPolicies() {
    const bool hbar = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool vbar = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    // A bar shows only while its page does not cover its whole range.
    setHorizontalScrollBarPolicy(hbar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(vbar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TEditor::UpdateScrollBars() {
    // Qt's bars count positions, not a range plus a page: the last position of a range
    // 0..n with page p is n - p + 1.
    auto set = [](QScrollBar* bar, int rangeMax, int page, int pos) {
        bar->setRange(0, std::max(0, rangeMax - std::max(0, page - 1)));
        bar->setPageStep(std::max(1, page));
        bar->setSingleStep(1);
        bar->setValue(pos);
    };
    syncingScrollBars_ = true;
    set(verticalScrollBar(), std::max(visibleRows_, maxTopRow_), visibleRows_, topRow_);
    set(horizontalScrollBar(), HorizontalExtent(), visibleCols_, topCol_);
    syncingScrollBars_ = false;
}

// The text may be MaxTopCol columns wide, but a bar over thousands of empty columns only
// invites scrolling into nothing: the bar spans the widest row in view, the caret and the
// view's own position, so an empty or narrow text shows no horizontal bar at all.
int TEditor::HorizontalExtent() const {
    int widest = std::max(Col() + 1, topCol_ > 0 ? topCol_ + visibleCols_ : 0);
    const int last = std::min(topRow_ + visibleRows_, session_.Store().RowCount() - 1);
    for (int r = topRow_; r <= last; ++r) widest = std::max(widest, session_.Store().RowWidth(r) + 1);
    return std::min(widest, maxTopCol_);
}

void TEditor::scrollContentsBy(int, int) {
    if (syncingScrollBars_) return;
    SetTopRow(std::min(verticalScrollBar()->value(), maxTopRow_));
    SetTopCol(std::min(horizontalScrollBar()->value(), maxTopCol_));
}

void TEditor::ScrollBarAction(Qt::Orientation orientation, int action) {
    // "Bottom" goes to the largest first row, past what the bar's own positions reach.
    if (action != QAbstractSlider::SliderToMaximum) return;
    if (orientation == Qt::Vertical)
        SetTopRow(maxTopRow_);
    else
        SetTopCol(maxTopCol_);
}

void TEditor::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
}

// --- Geometry -------------------------------------------------------------------------

// Division towards zero, as the window system's integer division: a point in a margin
// belongs to the first visible row or column, not to the one before it.
int TEditor::RowAt(int y) const { return (y - topMargin_) / RowPitch() + topRow_; }

int TEditor::ColAt(int x) const { return (x - leftMargin_) / cellWidth_ + topCol_; }

QPoint TEditor::CaretPos() const {
    int y = RowY(Row());
    if (caretStyle_ == csBrief && !OverWrite()) y += charHeight_ - 2;
    return QPoint(ColX(Col()), y);
}

QRect TEditor::CaretRect() const {
    int w = cellWidth_ - characterMargin_;
    const std::string map = session_.Store().ColumnMap(session_.Store().RowView(Row()));
    if (Col() < static_cast<int>(map.size()) && map[static_cast<size_t>(Col())] == '1') w *= 2;
    w = std::max(1, w);
    const QPoint at = CaretPos();
    if (OverWrite()) return QRect(at.x(), at.y(), w, charHeight_);
    if (caretStyle_ == csBrief) return QRect(at.x(), at.y(), w, 2);
    return QRect(at.x(), at.y(), 2, charHeight_);
}

int TEditor::RowTop(int r) const {
    const int y = RowY(r) + charHeight_;
    if (y <= topMargin_ || y >= viewport()->height()) return -1;
    return y;
}

QRect TEditor::TextArea() const {
    const QRect all = viewport()->rect();
    return QRect(QPoint(leftMargin_, topMargin_), all.bottomRight());
}

QRect TEditor::RowRect(int r) const {
    return QRect(leftMargin_, RowY(r), std::max(0, viewport()->width() - leftMargin_), charHeight_);
}

// --- Repainting -------------------------------------------------------------------------

void TEditor::Repaint() {
    ForgetAllShown();
    if (linesUpdating_ > 0) return;
    viewport()->update();
    // The whole surface is drawn afresh, caret and underline wherever they now belong.
    caretDrawn_ = CaretShowing() ? CaretRect() : QRect();
    underLineY_ = (underLine_ && underLineHideCount_ == 0 && !Selected()) ? RowTop(Row()) : -1;
}

void TEditor::RepaintRows(int a, int b) {
    ForgetShown(a, b);
    if (linesUpdating_ > 0) return;
    const int first = std::max(std::min(a, b), topRow_);
    const int last = std::min(std::max(a, b), topRow_ + visibleRows_);
    if (first > last) return;
    const int top = RowY(first);
    const int bottom = RowY(last) + RowPitch();
    viewport()->update(QRect(leftMargin_, top, std::max(0, viewport()->width() - leftMargin_), bottom - top));
}

void TEditor::ShiftRows(int row, int count) {
    if (linesUpdating_ > 0 || count == 0) return;
    count = std::clamp(count, -(visibleRows_ + 1), visibleRows_ + 1);
    const int first = std::max(row, topRow_);
    if (first > topRow_ + visibleRows_) return;
    const QRect all = viewport()->rect();
    const QRect area(QPoint(0, RowY(first)), all.bottomRight());
    CaretHide();
    UnderLineHide();
    ScrollArea(0, count * RowPitch(), area);
    UnderLineShow();
    CaretShow();
}

void TEditor::ScrollArea(int dx, int dy, const QRect& area) {
    MoveShown(dx, dy, area);
    UnderLineHide();
    viewport()->scroll(dx, dy, area);
    // The caret and underline are painted over the text; their pixels moved with it.
    if (!caretDrawn_.isEmpty()) viewport()->update(caretDrawn_.translated(dx, dy).intersected(area));
    if (underLineY_ >= 0) viewport()->update(QRect(0, underLineY_ + dy, viewport()->width(), 1).intersected(area));
    UnderLineShow();
    UpdateCaretArea();
}

void TEditor::ShiftRowCells(int row, int col, int cells) {
    ForgetShown(row, row);
    if (linesUpdating_ > 0 || row < topRow_ || row > topRow_ + visibleRows_) return;
    cells = std::clamp(cells, -(visibleCols_ + 1), visibleCols_ + 1);
    const int x = std::max(leftMargin_, ColX(col));
    const QRect area(x, RowY(row), std::max(0, viewport()->width() - x), charHeight_);
    if (area.isEmpty()) return;
    if (cells != 0) ScrollArea(cells * cellWidth_, 0, area);
    if (!(reserveWordColor_ || OnBeforeDrawWord)) return;
    // Colours depend on whole words: the word at the edit point and the one after it.
    const std::string text = session_.Store().ExpandedRow(row);
    const std::vector<int> bounds = WordBounds(text, session_.Delimiters(), DelimDBCS());
    int from = 0;
    for (size_t k = 0; k + 1 < bounds.size() && bounds[k] - 1 <= col; ++k) from = bounds[k] - 1;
    size_t next = 0;
    while (next < bounds.size() && bounds[next] - 1 <= col) ++next;
    // Past delimiters to the following word's end.
    while (next + 1 < bounds.size() && bounds[next] - 1 < static_cast<int>(text.size()) &&
           session_.Delimiters()[static_cast<unsigned char>(text[static_cast<size_t>(bounds[next] - 1)])])
        ++next;
    const int to = next + 1 < bounds.size() ? bounds[next + 1] - 1 : INT_MAX / 2;
    const int left = std::max(leftMargin_, ColX(from));
    const int right = to >= INT_MAX / 2 ? viewport()->width() : std::min(viewport()->width(), ColX(to));
    if (right > left) viewport()->update(QRect(left, RowY(row), right - left, charHeight_));
}

// --- What the row store reports -------------------------------------------------------

void TEditor::RowsReset() {
    EditorAccess::RowsChanged(this);
    UpdateMetrics();
    UpdateScrollRanges();
    Repaint();
}

void TEditor::RepaintAll() { Repaint(); }

void TEditor::RowsChanged() {
    if (session_.Store().RowCount() == 0) ClearSelection();
    UpdateScrollRanges();
    EditorAccess::RowsChanged(this);
}

void TEditor::LinesUpdateBegin() {
    UnderLineHide();
    CaretHide();
    ++linesUpdating_;
}

void TEditor::LinesUpdateEnd() {
    if (linesUpdating_ > 0) --linesUpdating_;
    CaretShow();
    UnderLineShow();
    Repaint();
}

void TEditor::CaretPlaced(int, int) { CaretMoved(); }

void TEditor::SelectionChanged(const TSelectionRange& before, bool wasSelected) {
    if (Selected())
        UpdateSelectionCells(before, wasSelected);
    else if (wasSelected)
        RepaintRows(before.startRow - 1, before.endRow);
    RepaintUnderLine();
    EditorAccess::SelectionChanged(this);
}

void TEditor::EditBegin() {
    EditorAccess::EditBegin(this);
    RememberEditStart();
    CaretHide();
    UnderLineHide();
}

void TEditor::EditEnd(const TEditNotice& notice) {
    if (notice.all) {
        UpdateMetrics();
        UpdateScrollRanges();
        Repaint();
    } else if (notice.firstRow >= 0 && !RepaintEdited(notice)) {
        RepaintRows(notice.firstRow, notice.rowsShifted ? topRow_ + visibleRows_ : notice.lastRow);
    }
    UnderLineShow();
    CaretShow();
    if (notice.caretMoved) CaretMoved();
    EditorAccess::EditEnd(this, notice);
}

// --- Scrolling ----------------------------------------------------------------------------

void TEditor::SetTopRow(int row) {
    row = std::clamp(row, 0, session_.Store().RowCount());
    if (row == topRow_) return;
    const int rows = std::clamp(topRow_ - row, -(visibleRows_ + 1), visibleRows_ + 1);
    topRow_ = row;
    ScrollArea(0, rows * RowPitch(), TextArea());
    syncingScrollBars_ = true;
    verticalScrollBar()->setValue(topRow_);
    syncingScrollBars_ = false;
    UpdateScrollBars();  // other rows in view may be wider or narrower
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    DoTopRowChange();
}

void TEditor::SetTopCol(int col) {
    col = std::clamp(col, 0, maxTopCol_);
    if (col == topCol_) return;
    const int cols = std::clamp(topCol_ - col, -(visibleCols_ + 1), visibleCols_ + 1);
    topCol_ = col;
    ScrollArea(cols * cellWidth_, 0, TextArea());
    syncingScrollBars_ = true;
    horizontalScrollBar()->setValue(topCol_);
    syncingScrollBars_ = false;
    if (hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    DoTopColChange();
}

void TEditor::ScrollInView() {
    const int rows = std::max(1, visibleRows_);
    const int cols = std::max(1, visibleCols_);
    if (Row() < topRow_) SetTopRow(Row());
    if (Row() > topRow_ + rows - 1) SetTopRow(Row() - rows + 1);
    if (Col() < topCol_) SetTopCol(std::max(0, std::min(Col(), topCol_ - cols / 4)));
    if (Col() > topCol_ + cols - 1) SetTopCol(std::max(Col() - cols + 1, topCol_ + cols / 4));
    UpdateCaretArea();
    UpdateScrollBars();
    // While a key repeats, the candidate window moves once, when the key is let go.
    if (hasFocus() && !session_.KeyRepeat()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    if (OnCaretMoved) OnCaretMoved(this);
}

void TEditor::ScrollSelectionInView() {
    ScrollInView();
    if (!Selected()) return;
    const TSelectionRange& s = SelectionRange();
    if (s.startRow != s.endRow || s.startRow != Row()) return;
    const int cols = std::max(1, visibleCols_);
    // The caret stands at one end of the selection; both stay in view.
    const int left = std::min(s.startCol, Col());
    const int right = std::max(s.endCol, Col() + 1);  // exclusive
    if (right - left > cols) return;
    if (left < topCol_)
        SetTopCol(left);
    else if (right > topCol_ + cols)
        SetTopCol(right - cols);
    else
        return;
    UpdateCaretArea();
    UpdateScrollBars();
}

// --- Caret ----------------------------------------------------------------------------------

bool TEditor::CaretShowing() const {
    return hasFocus() && caretHideCount_ == 0 && caretBlinkOn_ && linesUpdating_ == 0;
}

void TEditor::UpdateCaretArea() {
    const QRect now = CaretShowing() ? CaretRect() : QRect();
    if (now == caretDrawn_) return;
    if (!caretDrawn_.isEmpty()) viewport()->update(caretDrawn_);
    if (!now.isEmpty()) viewport()->update(now);
    caretDrawn_ = now;
}

void TEditor::BlinkCaret() {
    caretBlinkOn_ = !caretBlinkOn_;
    UpdateCaretArea();
}

void TEditor::CreateCaretShape() {
    if (!hasFocus()) return;
    // A new caret starts visible, as a freshly created system caret does.
    caretBlinkOn_ = true;
    caretTimer_.start();
    ScrollInView();
}

void TEditor::CaretHide() {
    if (++caretHideCount_ == 1) UpdateCaretArea();
}

void TEditor::CaretShow() {
    if (caretHideCount_ == 0) return;
    if (--caretHideCount_ == 0) UpdateCaretArea();
}

void TEditor::RepaintUnderLine() {
    const int now = (underLine_ && underLineHideCount_ == 0 && !Selected()) ? RowTop(Row()) : -1;
    if (now == underLineY_) return;
    const int w = viewport()->width();
    if (underLineY_ >= 0) viewport()->update(QRect(0, underLineY_, w, 1));
    if (now >= 0) viewport()->update(QRect(0, now, w, 1));
    underLineY_ = now;
}

void TEditor::UnderLineHide() {
    if (++underLineHideCount_ == 1) RepaintUnderLine();
}

void TEditor::UnderLineShow() {
    if (underLineHideCount_ == 0) return;
    if (--underLineHideCount_ == 0) RepaintUnderLine();
}

void TEditor::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    CreateCaretShape();
}

void TEditor::focusOutEvent(QFocusEvent* event) {
    CommitCompositionOnFocusLoss(event);
    QAbstractScrollArea::focusOutEvent(event);
    caretTimer_.stop();
    UpdateCaretArea();
}

void TEditor::CommitCompositionOnFocusLoss(QFocusEvent* event) {
    // Focus going to another widget ends the composition. A pop-up menu leaves it for its
    // commands to settle; another window going active leaves it to the input method, which
    // keeps composing when the window comes back.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        CommitComposition();
}

void TEditor::CaretMoved() {
    EditorAccess::CaretMoved(this);
    RepaintUnderLine();
    if (hasFocus())
        CreateCaretShape();
    else
        UpdateCaretArea();
}

