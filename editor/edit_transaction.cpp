#include "editor/edit_transaction.h"

#include "editor/edit_session.h"

#include <exception>

TEditTransaction::TEditTransaction(TEditSession& session, TRecording recording)
    : session_(session), uncaught_(std::uncaught_exceptions()) {
    if (session_.transactions_++ == 0) {
        session_.notice_ = TEditNotice{};
        session_.view_->EditBegin();
    }
    session_.store_.BeginRowUpdate();
    if (recording == Recorded) record_ = &session_.undo_.NewUndoRecord(session_.row_, session_.col_);
}

TEditTransaction::~TEditTransaction() noexcept(false) {
    std::exception_ptr failure;
    try {
        session_.store_.EndRowUpdate();
    } catch (...) {
        failure = std::current_exception();
    }
    if (--session_.transactions_ == 0) {
        TEditNotice notice = session_.notice_;
        // Inside an update of Lines nothing is repainted until the update ends.
        if (session_.store_.LinesUpdateCount() > 0) {
            notice.firstRow = notice.lastRow = -1;
            notice.all = notice.rowsShifted = false;
        }
        notice.caretMoved = notice.caretMoved || session_.caretPending_;
        notice.caretRow = session_.row_;
        notice.caretCol = session_.col_;
        if (session_.batch_ == 0) session_.caretPending_ = false;
        session_.notice_ = TEditNotice{};
        session_.view_->EditEnd(notice);
    }
    if (failure && std::uncaught_exceptions() == uncaught_) std::rethrow_exception(failure);
}

void TEditTransaction::Touch(int a, int b) { session_.notice_.Touch(a, b); }

void TEditTransaction::Shifted(int row) {
    session_.notice_.Touch(row, row);
    session_.notice_.rowsShifted = true;
}

void TEditTransaction::TouchAll() { session_.notice_.all = true; }

TCaretBatch::TCaretBatch(TEditSession& session) : session_(session) { session_.BeginBatch(); }

TCaretBatch::~TCaretBatch() { session_.EndBatch(); }
