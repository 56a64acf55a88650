#pragma once
// A scoped update of Lines, so that the nesting levels come back down even when an
// operation ends by an exception. (Edits run inside TEditTransaction.)
#include "editor/row_store.h"

// An update of Lines: also no repaints until the end, and the view told.
class TLinesUpdate {
public:
    explicit TLinesUpdate(TRowStore& store) : store_(store) { store_.BeginLinesUpdate(); }
    ~TLinesUpdate() { store_.EndLinesUpdate(); }
    TLinesUpdate(const TLinesUpdate&) = delete;
    TLinesUpdate& operator=(const TLinesUpdate&) = delete;

private:
    TRowStore& store_;
};
