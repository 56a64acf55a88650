#pragma once
// The records of edits, kept so that each can be turned back. Applying them (Undo, Redo)
// belongs to the control; this is the bookkeeping: an undo list of bounded length and a
// redo list.
#include <cstdint>
#include <deque>
#include <string>

struct UndoRecord {
    int32_t caretRow = 0;      // caret to restore
    int32_t caretCol = 0;
    int32_t row = -1;          // first row of the run the step replaces
    int32_t rowsToDelete = 0;  // rows from `row` that undoing removes
    int32_t kind = -1;         // kind of the last restored row; -1: nothing restored
    std::string text;          // the old rows as ExtractRows gives them
};

// Owns its records; a deque so that the oldest can fall out cheaply.
using TUndoDataList = std::deque<UndoRecord>;

class TEditorUndoObj {
public:
    static constexpr int DefaultCapacity = 64;

    int Capacity() const { return capacity_; }
    // Values below 64 are raised to 64. A lower capacity shortens the list only as new
    // records arrive, one per record.
    void SetCapacity(int capacity);

    // Appends a fresh record with the given caret; drops the oldest past the capacity;
    // empties the redo list unless a redo is recording its inverse. The reference stays
    // valid until the next change of the lists.
    UndoRecord& NewUndoRecord(int caretRow, int caretCol);
    // Appends to the redo list a record with R's run and the given caret.
    void PushRedo(const UndoRecord& r, int caretRow, int caretCol);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    void ClearUndo();

    bool InRedo() const { return inRedo_; }
    void SetInRedo(bool inRedo) { inRedo_ = inRedo; }

    TUndoDataList& UndoList() { return undo_; }
    TUndoDataList& RedoList() { return redo_; }
    const TUndoDataList& UndoList() const { return undo_; }
    const TUndoDataList& RedoList() const { return redo_; }

private:
    int capacity_ = DefaultCapacity;
    bool inRedo_ = false;
    TUndoDataList redo_;
    TUndoDataList undo_;
};
