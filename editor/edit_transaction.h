#pragma once
// One edit of the session's text, from start to end: the row list is inside an update (one
// change notice at the end), one undo record is opened with the caret as it stood before
// the edit, and the view hears once what changed when the outermost transaction ends,
// however it ends.
#include "editor/undo_list.h"

class TEditSession;

class TEditTransaction {
public:
    enum TRecording { Recorded, NotRecorded };

    explicit TEditTransaction(TEditSession& session, TRecording recording = Recorded);
    // Ends the row update, which fires the owner's OnChange; an exception from there is
    // passed on unless another one is already on its way.
    ~TEditTransaction() noexcept(false);
    TEditTransaction(const TEditTransaction&) = delete;
    TEditTransaction& operator=(const TEditTransaction&) = delete;

    // The record opened for this edit; only for a Recorded transaction.
    UndoRecord& Record() { return *record_; }
    bool HasRecord() const { return record_ != nullptr; }

    // Rows a..b show new content (in the rows as they are now).
    void Touch(int a, int b);
    // Rows were inserted or deleted at `row`: everything below it moved.
    void Shifted(int row);
    // Everything may have changed.
    void TouchAll();

private:
    TEditSession& session_;
    UndoRecord* record_ = nullptr;
    int uncaught_;
};

// Caret moves inside it re-create the caret once, at its end, however it ends.
class TCaretBatch {
public:
    explicit TCaretBatch(TEditSession& session);
    ~TCaretBatch();
    TCaretBatch(const TCaretBatch&) = delete;
    TCaretBatch& operator=(const TCaretBatch&) = delete;

private:
    TEditSession& session_;
};
