#pragma once
// Bytes versus display columns for CP932 text with tabs. A lead byte takes two columns
// together with the byte after it, whatever that byte is, so a broken character at the end
// of a row still counts two columns and every function here agrees on it.
#include <string>
#include <string_view>

// One character per display column: '0' single byte or first column of a tab, '1' and
// '2' the halves of a double-byte character, 't' every further column a tab fills.
std::string ColumnMap(std::string_view text, int tabSpaceCount);

// Byte index of display column `col`: a column inside a tab gives the tab's byte, columns
// past the end map one to one beyond the last byte.
int ByteIndex(std::string_view map, int col);

// The row as drawn: tabs become spaces up to the next stop. A lead byte at the very end
// gets a space as its second column, so the width matches ColumnMap. With `maxColumns`,
// only the characters that begin before that column are expanded.
std::string ExpandTabs(std::string_view text, int tabSpaceCount, size_t maxColumns = std::string::npos);

// Length of ExpandTabs / ColumnMap without building either.
int ExpandedWidth(std::string_view text, int tabSpaceCount);

// Drops trailing bytes 0..32, stopping at a tab (which stays).
std::string_view TrimBlanks(std::string_view text);

// Calls onRow(offset, length, wrapped) for each row that `line` (no CR or LF in it) gives
// when cut at `wrapByte` columns; the last row has wrapped == false. One pass, so lines of
// any length cost linear time.
template <typename Emit>
void WrapLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& onRow);
// The same cuts by a walk from tab to tab, for lines of any length; WrapLine takes it for
// lines longer than it can hold in bit masks.
template <typename Emit>
void WrapLongLine(std::string_view line, int wrapByte, int tabSpaceCount, Emit&& onRow);

#include "editor/column_map_wrap.inl"
