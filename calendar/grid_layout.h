#pragma once
// Where days stand in the two calendar views, and which day lies under a point. The
// views only paint what these functions place, so the mapping is tested without a window.
#include "calendar/day_attrs.h"
#include "calendar/julius.h"

#include <cstdint>

struct TGridCell {
    int Row;     // 0 is the header row of the month grid
    int Column;  // 0..6
    bool operator==(const TGridCell&) const = default;
};

// Left/top inclusive, right/bottom exclusive; neighbouring cells share their edge.
struct TCellRect {
    int Left;
    int Top;
    int Right;
    int Bottom;
    bool operator==(const TCellRect&) const = default;
};

struct TMonthLayout {
    std::int32_t Year = 2000;
    std::uint8_t Month = 1;
    TDayOfWeek FirstDayOfWeek = dowSun;
    bool AutoResize = true;
    // Off: a month that starts in the first column gets a whole row of the month before.
    bool FirstRowFirstDay = false;
    // Off: a month that ends in the last column gets a whole row of the month after.
    bool LastRowLastDay = false;
};

// The day in the first column of the first week row.
TJuliusDay MonthFirstDay(const TMonthLayout& layout);
// Rows including the header: 7 without AutoResize, otherwise 5 to 7.
int MonthRowCount(const TMonthLayout& layout);
// The day of a week row (row >= 1) and column.
TJuliusDay MonthCellDay(TJuliusDay firstDay, int row, int column);
// The weekday (0 = Sunday) shown in a column.
int ColumnWeekday(TDayOfWeek firstDayOfWeek, int column);

// Cells of `columns` x `rows` that tile a width x height area exactly; sizes differ by
// at most one pixel.
TCellRect GridCellRect(int column, int row, int columns, int rows, int width, int height);
// The cell that GridCellRect draws under the point. Points beyond an edge (the frame
// around the client area) count as the nearest cell.
TGridCell GridCellFromPoint(int x, int y, int columns, int rows, int width, int height);

// The top row of the week list: the latest day not after `selected` that falls on
// `firstDayOfWeek`.
TJuliusDay WeekFirstDay(TJuliusDay selected, TDayOfWeek firstDayOfWeek);
