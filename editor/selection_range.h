#pragma once
// The two ranges a selection keeps: the bytes it covers and the cells drawn selected.

// The cells drawn selected: rows startRow..endRow, the first row from startCol, the last
// row up to endCol (exclusive), each cut to its row's width.
struct TSelectionRange {
    int startRow = 0;
    int endRow = 0;
    int startCol = 0;
    int endCol = 0;
    bool operator==(const TSelectionRange&) const = default;
};

// The bytes selected: from startByte of startRow through endByte of endRow (inclusive,
// so an empty last part has endByte = startByte - 1 or -1).
struct TTextRange {
    int startRow = 0;
    int endRow = 0;
    int startByte = 0;
    int endByte = -1;
    bool operator==(const TTextRange&) const = default;
};
