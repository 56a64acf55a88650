#include "editor/undo_list.h"

void TEditorUndoObj::SetCapacity(int capacity) { capacity_ = capacity < DefaultCapacity ? DefaultCapacity : capacity; }

UndoRecord& TEditorUndoObj::NewUndoRecord(int caretRow, int caretCol) {
    UndoRecord& r = undo_.emplace_back();
    r.caretRow = caretRow;
    r.caretCol = caretCol;
    if (static_cast<int>(undo_.size()) > capacity_) undo_.pop_front();
    if (!inRedo_) redo_.clear();
    return undo_.back();
}

void TEditorUndoObj::PushRedo(const UndoRecord& r, int caretRow, int caretCol) {
    UndoRecord& n = redo_.emplace_back(r);
    n.caretRow = caretRow;
    n.caretCol = caretCol;
}

void TEditorUndoObj::ClearUndo() {
    undo_.clear();
    redo_.clear();
}
