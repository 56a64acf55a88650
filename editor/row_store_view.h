#pragma once
// What the row store asks of whoever shows it. The store calls these after it has changed
// its rows; the control repaints and scrolls. Every method has
// an empty default so the store runs headless (tests, a first build of the control).
class TRowStoreView {
public:
    virtual ~TRowStoreView() = default;

    // Rows min(a,b)..max(a,b) show new content.
    virtual void RepaintRows(int a, int b) { (void)a, (void)b; }
    // The rows from `row` down to the bottom moved by `count` rows (negative: up).
    virtual void ShiftRows(int row, int count) { (void)row, (void)count; }
    // Everything may have changed: recompute metrics and scroll ranges, repaint all.
    virtual void RowsReset() {}
    // A display setting (tab width) changed: repaint all.
    virtual void RepaintAll() {}
    // The row list changed (after each change, or once at the end of a row update):
    // recompute scroll ranges. Modified and OnChange are handled by the store itself.
    virtual void RowsChanged() {}
    // Rows are about to be rewrapped or joined: an active selection must go.
    virtual void ClearSelection() {}
    // Lines.BeginUpdate / EndUpdate, called on every nesting level: suspend the caret-row
    // underline, hide the caret, stop redrawing; at the end undo these and repaint.
    virtual void LinesUpdateBegin() {}
    virtual void LinesUpdateEnd() {}
};
