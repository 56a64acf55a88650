#pragma once
// Scoped updates of the row store, so that the nesting levels come back down even when an
// operation ends by an exception.
#include "editor/row_store.h"

// An update of the row list: one change notice at the end.
class TRowUpdate {
public:
    explicit TRowUpdate(TRowStore& store) : store_(store) { store_.BeginRowUpdate(); }
    ~TRowUpdate() { store_.EndRowUpdate(); }
    TRowUpdate(const TRowUpdate&) = delete;
    TRowUpdate& operator=(const TRowUpdate&) = delete;

private:
    TRowStore& store_;
};

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
