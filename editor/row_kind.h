#pragma once
// The kinds of display row and the plain value types that carry runs of rows between the
// row store, the line view and the undo records.
#include <string>
#include <vector>

// What follows a row in the text: CR LF, nothing (cut by word wrap, the line goes on), or
// nothing because the text ends without a line break. Stored as int so that -1 can say
// "no row" where a run is empty.
enum TRowKind : int { rkBreak = 0, rkWrap = 1, rkEnd = 2 };

// One row on its own: bytes (never CR or LF) and kind.
struct TRowData {
    std::string text;
    int kind = rkBreak;
};
using TRowBlock = std::vector<TRowData>;

// A run of rows as ExtractRows gives it: the rows joined, CR LF after each rkBreak row; the
// number of rows and the kind of the last one (-1 for an empty run).
struct TRowRun {
    std::string text;
    int rowCount = 0;
    int lastKind = -1;
};
