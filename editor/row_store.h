#pragma once
// The editor's text as a list of display rows. With word wrap off a row is a line; with it
// on a long line is cut into rows of at most WrapByte columns. Drawing, caret, selection,
// editing and undo all count in rows; TEditorStrings (the Lines view) turns them back into
// logical lines.
//
// Invariants kept by every operation here (callers of the row primitives keep them too):
// rkEnd stands only on the last row; rkWrap rows exist only while WordWrap is on; a row
// never holds CR or LF. Row numbers outside the list read as an empty rkEnd row.
//
// Bytes of any value are kept as they are, NUL included: a file with NUL bytes loads, shows
// them as blanks and is written back unchanged.
#include "editor/column_map.h"
#include "editor/row_store_view.h"
#include "editor/row_kind.h"
#include "editor/row_list.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TRowStore {
public:
    TRowStore();
    TRowStore(const TRowStore&) = delete;
    TRowStore& operator=(const TRowStore&) = delete;

    // The control that shows the rows; nullptr (the default) for none. Not owned.
    void SetView(TRowStoreView* view);
    TRowStoreView& View() const { return *view_; }

    // --- Properties -------------------------------------------------------------------
    bool WordWrap() const { return wordWrap_; }
    // True turns DisposeBlank off and rewraps; False joins the rows. The editing session
    // empties its undo lists and moves its caret around this.
    void SetWordWrap(bool on);
    int WrapByte() const { return wrapByte_; }
    // Clamped to 20..250; with WordWrap on a change rewraps.
    void SetWrapByte(int columns);
    int TabSpaceCount() const { return tabSpaceCount_; }
    // Clamped to 2..8 and made even (odd values drop by 1); repaints.
    void SetTabSpaceCount(int columns);
    bool DisposeBlank() const { return disposeBlank_; }
    // Stored as False while WordWrap is on. The control also forces it False while
    // CaretFree is off or RetMark or EofMark is on, by passing False.
    void SetDisposeBlank(bool on);
    bool Modified() const { return modified_; }
    void SetModified(bool modified) { modified_ = modified; }
    // Fired after every change of the rows (once at the end of a row update).
    std::function<void()> OnChange;

    // --- Reading rows ------------------------------------------------------------------
    int RowCount() const { return rows_.Count(); }
    std::string RowText(int r) const { return std::string(RowView(r)); }
    // The row's bytes without a copy; valid until the next change of any row.
    std::string_view RowView(int r) const;
    int RowKind(int r) const;
    // The rows stored together with row r, for readers that scan many rows at once.
    TRowList::TRowSpan RowSpan(int r) const { return rows_.SpanAt(r); }
    // The row as drawn; with `maxColumns`, only as far as that column (see ExpandTabs).
    std::string ExpandedRow(int r, size_t maxColumns = std::string::npos) const;
    int RowWidth(int r) const;

    std::string ColumnMap(std::string_view text) const { return ::ColumnMap(text, tabSpaceCount_); }
    static int ByteIndex(std::string_view map, int col) { return ::ByteIndex(map, col); }
    std::string ExpandTabs(std::string_view text) const { return ::ExpandTabs(text, tabSpaceCount_); }
    // `text` without trailing blanks when DisposeBlank is on, else unchanged.
    std::string TrimBlanks(std::string_view text) const;

    // Rows r..r+n-1, or for n = -1 r to the end of its logical line.
    TRowRun ExtractRows(int r, int n) const;
    // Rows for `text` (CR, LF or CR LF end a line; a final break adds no line), cut at
    // WrapByte while WordWrap is on. An empty text gives one empty row. Every row is rkWrap
    // or rkBreak; callers set the last row's kind.
    TRowBlock SplitIntoRows(std::string_view text) const;

    // Sum of row lengths plus 2 for each rkBreak row.
    int64_t TextLength() const;
    // The whole text: rows in order, CR LF after each rkBreak row.
    std::string Text() const;
    // Number of logical lines.
    int LineCount() const;
    // First row of logical line i.
    int LineToRow(int i) const;

    // --- Wrapping ---------------------------------------------------------------------
    // Re-cuts the logical line that starts at row r after an edit inside it; returns its
    // row count (1 when nothing needed cutting). `extra` is 1 after inserting a line break,
    // -1 after removing one, else 0: it only tells the view how far the rows below moved.
    int RewrapLine(int r, int extra);
    void RewrapAll();
    void UnwrapAll();

    // --- Changing rows ------------------------------------------------------------------
    // Plain primitives for the editing code: no undo record, no caret, no repaint; each
    // gives the change notice (or marks it for the end of a row update).
    void SetRowText(int r, std::string_view text);
    void SetRowKind(int r, int kind);
    void InsertRows(int r, const TRowBlock& block);
    void AppendRow(std::string_view text, int kind);
    void DeleteRows(int r, int n);
    // Removes every row; a notice only when there were rows.
    void ClearRows();

    // Changes inside a row update give one notice at its end (always, as the list does).
    void BeginRowUpdate();
    void EndRowUpdate();
    int RowUpdateCount() const { return rowUpdate_; }

    // The Lines view's own update level (see TEditorStrings::BeginUpdate). While above 0,
    // Lines operations skip their repaints.
    void BeginLinesUpdate();
    void EndLinesUpdate();
    int LinesUpdateCount() const { return linesUpdate_; }

    // Replaces the rows (which must be empty) by the lines of `text` (CR, LF, CR LF), all
    // rkBreak, without rewrapping.
    void LoadRowsFromText(std::string_view text);
    // Replaces the rows (which must be empty) by the lines of the file, read in 8192-byte
    // blocks in one pass and cut at WrapByte while WordWrap is on. CR LF, lone CR and lone
    // LF each end a line; ^Z ends the text; a last line without a break ends rkEnd. Raises EFileError (the rows stay empty) when
    // the file cannot be opened or read, or is not a regular file.
    void LoadRowsFromFile(const std::string& fileName);
    // The same from bytes already read into `block` (AllocateBytes, at least size + 1
    // bytes), which the rows then keep; the line ends are closed up in place.
    void LoadRowsFromBlock(std::shared_ptr<char> block, size_t size);

    // --- Undo -------------------------------------------------------------------------
    // The row part of applying a record: deletes rowsToDelete rows at `row`, then (kind
    // != -1) inserts the rows of `text` with `kind` on the last (an empty last row is
    // dropped when kind is rkWrap). Returns the removed run (its text, count and last kind:
    // the inverse record) and stores the number of inserted rows in *inserted.
    TRowRun ReplaceRun(int row, int rowsToDelete, int kind, std::string_view text, int* inserted);

    // Bytes the row store holds (row text storage and the row list), for measurements.
    size_t BytesHeld() const;

private:
    friend class TRowLoader;

    void Changed();
    int LastKindCarried() const;

    TRowList rows_;

    bool wordWrap_ = false;
    int wrapByte_ = 80;
    int tabSpaceCount_ = 8;
    bool disposeBlank_ = true;
    bool modified_ = false;

    int rowUpdate_ = 0;
    int linesUpdate_ = 0;

    TRowStoreView nullView_;
    TRowStoreView* view_ = &nullView_;
};
