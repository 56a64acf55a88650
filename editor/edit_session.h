#pragma once
// The editor's document and everything that edits it, without any window: the rows, the
// Lines view, the undo lists, the caret with its column rule, the selection and every
// command that moves the caret or changes the text. The control turns key, mouse and
// input-method events into calls here and paints what the notices name.
//
// Every change of the text runs inside one TEditTransaction: one row update, one undo
// record, one notice to the view.
#include "editor/edit_view.h"
#include "editor/editor_strings.h"
#include "editor/row_store.h"
#include "editor/selection_range.h"
#include "editor/undo_list.h"
#include "editor/word_bounds.h"
#include "platform/extra_chars.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The switches that shape caret moves and edits; the control's published properties.
struct TEditOptions {
    bool caretAutoIndent = true;
    bool caretFree = true;
    bool caretInTab = false;
    bool caretNextLine = false;
    bool delimDbcs = false;
    bool overWrite = false;
    bool prevSpaceIndent = false;
    bool readOnly = false;
    bool softTab = false;
    bool tabIndent = false;
    bool wantTabs = false;
};

class TEditTransaction;

enum TEditKey { ekPageUp, ekPageDown, ekHome, ekEnd, ekLeft, ekRight, ekUp, ekDown };

class TEditSession : private TRowStoreView {
public:
    TEditSession();
    ~TEditSession() override;
    TEditSession(const TEditSession&) = delete;
    TEditSession& operator=(const TEditSession&) = delete;

    // The control that shows the session; nullptr for none (a headless view). Not owned.
    void SetView(TEditView* view);
    TEditView& View() const { return *view_; }

    TRowStore& Store() { return store_; }
    const TRowStore& Store() const { return store_; }
    TEditorStrings& Lines() { return lines_; }
    const TEditorStrings& Lines() const { return lines_; }
    TEditorUndoObj& UndoObj() { return undo_; }
    const TEditorUndoObj& UndoObj() const { return undo_; }
    TEditOptions& Options() { return options_; }
    const TEditOptions& Options() const { return options_; }
    TDelimiters& Delimiters() { return delimiters_; }
    const TDelimiters& Delimiters() const { return delimiters_; }

    // --- Settings that reach the rows ---------------------------------------------------
    // Either empties the undo lists (their records name rows that are cut anew) and puts
    // the caret at column 0.
    void SetWordWrap(bool on);
    void SetWrapByte(int columns);

    // --- Caret (caret_rule.cpp) --------------------------------------------------------
    int Row() const { return row_; }
    int Col() const { return col_; }
    bool VerticalKeep() const { return verticalKeep_; }
    // Clamped to 0..RowCount (onto an rkEnd last row), then the column rule as a vertical
    // move. Nothing when unchanged.
    void SetRow(int row);
    // Clamped to 0..MaxTopCol+VisibleCols, then the column rule as a horizontal move
    // towards the side the column moved to.
    void SetCol(int col);
    // Both at once, as an edit or a mouse press places the caret: the row clamped as by
    // SetRow, then the column rule as a horizontal move in `direction`.
    void SetCaret(int row, int col, int direction = -1);
    // Caret moves inside a batch re-create the caret once, when the outermost batch ends.
    void BeginBatch() { ++batch_; }
    void EndBatch();

    // --- Keys and words (key_moves.cpp) ---------------------------------------------------
    // A movement key; `repeat` is the key's auto-repeat. Shift selects, Ctrl as the keys
    // say.
    void KeyMove(TEditKey key, bool shift, bool ctrl, bool repeat);
    // Key released: key repeat is over.
    void KeyUp() { keyRepeat_ = false; }
    bool KeyRepeat() const { return keyRepeat_; }
    void WordRight();
    void WordLeft();

    // --- Mouse (key_moves.cpp) -------------------------------------------------------------
    // (row, col) is the cell under the pointer, (x, y) the pointer in pixels.
    void MousePress(int row, int col, int x, int y);
    // `threshold`: how far (pixels) the pointer must move before a drag selects.
    void MouseMove(int row, int col, int x, int y, int threshold);
    void MouseRelease();
    bool MouseSelecting() const { return mouseSelecting_; }

    // --- Selection (selection.cpp) -------------------------------------------------------
    bool Selected() const { return selected_; }
    bool Extending() const { return extending_; }
    const TSelectionRange& DrawnRange() const { return drawn_; }
    const TTextRange& TextRange() const { return text_; }
    // From the mouse press (`mouse`) or the caret; clears an old selection first.
    void StartSelection(bool mouse);
    void UpdateSelection();
    void ClearSelection() override;
    std::string SelText() const;
    int64_t SelStart() const;
    void SetSelStart(int64_t k);
    int64_t SelLength() const;
    void SetSelLength(int64_t k);
    void SelectAll();

    // --- Editing (edit_commands.cpp) -------------------------------------------------------
    // Typed text (one character, or an input-method result as one unit) at the caret,
    // replacing the selection. Text with line breaks goes the SetSelText way.
    void TypeText(std::string_view bytes);
    // A character from the keyboard: printable ASCII and half-width katakana are typed,
    // 8 is Backspace, 9 Tab, 13 Enter; anything else is ignored.
    void KeyChar(unsigned char ch);
    void KeyEnter();
    void KeyBackspace();
    void KeyDelete();
    void KeyTab();
    // Inserts `bytes` at the caret, replacing the selection (paste).
    void SetSelText(std::string_view bytes);
    void DeleteSelection();
    // Lines.Clear.
    void Clear();

    // --- Unicode at the edges (edit_unicode.cpp) -------------------------------------------
    // The text's extra codes: the clusters CP932 lacks, each carried in the rows as a
    // two-byte code. Emptied with the text (Lines.Clear, SetText, a load), never while it
    // lives, since undo may bring back any code deleted.
    const TExtraChars& Extra() const { return extra_; }
    // A text and the table its codes come from, as a loaded day gives them; the undo lists
    // empty, the caret at the start. A last line without a break stays without one.
    void LoadText(std::string_view text, TExtraChars extra);
    // A UTF-8 day file (with or without the byte-order mark) into the rows, its clusters
    // CP932 lacks into the table, converted where the file's bytes are read to, as a
    // Shift-JIS file loads (Lines.LoadFromFile). Raises EFileError.
    void LoadUnicodeFile(const std::string& fileName);
    // Typed text (a key's character, an input method's result), UTF-8, at the caret as
    // TypeText types it; CP932's look-alikes (〜 for U+301C) are taken as typing always
    // took them. A character that extends the cluster before the caret (a combining mark,
    // a variation selector, a skin tone, ZWJ and what it joins, a flag's second letter)
    // joins that cluster into one character, in the same single undo step. False, with
    // nothing changed, when the table has no code left for a new cluster.
    bool TypeUnicode(std::string_view utf8);
    // Pasted or dropped text, UTF-8, as SetSelText inserts it. False as TypeUnicode.
    bool PasteUnicode(std::string_view utf8);
    // The selection as UTF-8; bytes that form no character show as U+FFFD.
    std::string SelUnicode() const;

    // --- Undo (undo_apply.cpp) -------------------------------------------------------------
    bool CanUndo() const { return undo_.CanUndo(); }
    bool CanRedo() const { return undo_.CanRedo(); }
    void Undo();
    void Redo();

private:
    friend class TEditTransaction;
    friend class TEditorStrings;

    // TRowStoreView: the store's notices, folded into a running transaction.
    void RepaintRows(int a, int b) override;
    void ShiftRows(int row, int count) override;
    void RowsReset() override;
    void RepaintAll() override;
    void RowsChanged() override;
    void LinesUpdateBegin() override;
    void LinesUpdateEnd() override;

    // caret_rule.cpp
    void ApplyColumnRule(bool vertical, int direction);
    void CaretMoved();
    int ClampRow(int row) const;
    int MaxCol() const;

    // key_moves.cpp
    void PageMove(int k);
    void MoveBy(TEditKey key, bool ctrl, bool repeat);

    // edit_unicode.cpp
    // `utf8` as row bytes through the table; nullopt when the codes ran out.
    std::optional<std::string> FromUnicode(std::string_view utf8);
    enum class TJoin { None, Joined, Full };
    TJoin JoinPreviousCluster(std::string_view utf8);

    // selection.cpp
    void SetDrawnRange(const TSelectionRange& range);

    // edit_commands.cpp
    void Type(std::string_view s);
    void Enter();
    int EnterIndent() const;
    void ReplaceSelection(std::string_view s);
    bool Editable() const { return !options_.readOnly; }

    // edit_lines.cpp: the rows of a run of whole or partial logical lines.
    int LineEnd(int r) const;
    int LineStart(int r) const;
    // Where an edit of row r must start re-cutting: a cut row before it may take more or
    // fewer characters once r's first character changes.
    int RunStart(int r) const { return r > 0 && store_.RowKind(r - 1) == rkWrap ? r - 1 : r; }
    // Replaces row r by `rowText` together with the rest of its logical line (and the cut
    // row before it). Returns the run's first row; *headBytes gets the bytes before row r
    // in the run.
    int ReplaceLineAt(TEditTransaction& tx, int r, std::string_view rowText, size_t* headBytes);
    // The caret at byte `offset` of the rows from `first` on (joined as ExtractRows joins
    // them, CR LF after each broken row), on the row where it is drawn: the end of a cut
    // row is the start of the next.
    void SetCaretAtOffset(int first, size_t offset, int direction);
    std::string JoinRows(int first, int last) const;
    // Replaces rows first..last (none when last < first) by `text` cut into rows, its
    // lines split at CR/LF, the last row of kind `lastKind`; an empty last line of kind
    // rkEnd that starts its line is left out. Records the old rows on the transaction's
    // undo record and names the rows in its notice. Returns the number of new rows.
    int ReplaceRows(TEditTransaction& tx, int first, int last, std::string_view text, int lastKind);
    void KeepCaretOnRows();

    TEditView headless_;
    TEditView* view_ = &headless_;
    TRowStore store_;
    TEditorUndoObj undo_;
    TEditorStrings lines_;
    TEditOptions options_;
    TDelimiters delimiters_ = DefaultDelimiters();
    TExtraChars extra_;
    // Whether the codes the rows and undo lists already held are marked taken in extra_:
    // done once, when the first cluster needs a code, so that loading and typing CP932
    // never pay for it.
    bool extraReserved_ = false;

    int row_ = 0;
    int col_ = 0;
    bool verticalKeep_ = false;
    int batch_ = 0;
    bool caretPending_ = false;  // a caret move waits for the batch or transaction end
    bool keyRepeat_ = false;

    bool selected_ = false;
    bool extending_ = false;
    bool mouseSelecting_ = false;
    int anchorRow_ = 0;
    int anchorCol_ = 0;
    int anchorByte_ = 0;
    TTextRange text_;
    TSelectionRange drawn_;

    int pressRow_ = 0;
    int pressCol_ = 0;
    int pressByte_ = 0;
    int pressX_ = 0;
    int pressY_ = 0;

    // The running transactions and what they changed.
    int transactions_ = 0;
    TEditNotice notice_;
};
