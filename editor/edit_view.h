#pragma once
// What the editing session needs of the control that shows it: the size of the view in
// rows and columns, the first visible row, and where to send its notices. The defaults
// describe a view of 25 rows by 80 columns that scrolls without drawing, so a session runs
// without any window (tests, benchmarks).
#include "editor/row_store_view.h"
#include "editor/selection_range.h"

#include <algorithm>

// What one edit did to the screen, sent once when its transaction ends.
struct TEditNotice {
    int firstRow = -1;      // first row whose content changed; -1 for none
    int lastRow = -1;       // last changed row, in the rows as they are now
    bool rowsShifted = false;  // the rows below lastRow moved (rows inserted or deleted)
    bool all = false;       // too much changed: repaint everything
    bool caretMoved = false;
    int caretRow = 0;       // where the caret stands after the edit
    int caretCol = 0;

    void Touch(int a, int b) {
        if (a > b) std::swap(a, b);
        firstRow = firstRow < 0 ? a : std::min(firstRow, a);
        lastRow = std::max(lastRow, b);
    }
};

class TEditView : public TRowStoreView {
public:
    virtual int VisibleRows() const { return 25; }
    virtual int VisibleCols() const { return 80; }
    virtual int MaxTopCol() const { return 1000; }
    virtual int TopRow() const { return topRow_; }
    virtual void SetTopRow(int row) { topRow_ = std::max(0, row); }

    // The caret stands somewhere new: show it there and scroll it into view.
    virtual void CaretPlaced(int row, int col) {
        (void)col;
        FollowCaret(row);
    }
    // The selected cells changed from `before` (`wasSelected`) to the session's range.
    virtual void SelectionChanged(const TSelectionRange& before, bool wasSelected) {
        (void)before, (void)wasSelected;
    }
    // An edit is about to change rows: hide the caret and the caret-row underline.
    virtual void EditBegin() {}
    // The edit is over (also when it ended by an exception): repaint what it names, show
    // the caret and the underline again. Must not throw.
    virtual void EditEnd(const TEditNotice& notice) {
        FollowCaret(notice.caretRow);
    }

private:
    void FollowCaret(int caretRow) {
        const int rows = std::max(1, VisibleRows());
        if (caretRow < TopRow()) SetTopRow(caretRow);
        if (caretRow > TopRow() + rows - 1) SetTopRow(caretRow - rows + 1);
    }
    int topRow_ = 0;
};
