#include "calendar/grid_layout.h"

#include <algorithm>

TJuliusDay MonthFirstDay(const TMonthLayout& layout) {
    const TJuliusDay first = YMDToJulius(layout.Year, layout.Month, 1);
    const int offset = (JuliusDayOfWeek(first) - 1 - layout.FirstDayOfWeek + 7) % 7;  // [0, 6]
    if (offset == 0 && !layout.FirstRowFirstDay) return first - 7;
    return first - offset;
}

int MonthRowCount(const TMonthLayout& layout) {
    if (!layout.AutoResize) return 7;
    const TJuliusDay first = MonthFirstDay(layout);
    const TJuliusDay last = YMDToJulius(layout.Year, layout.Month, DaysInMonth(layout.Year, layout.Month));
    int rows = (last - first) / 7 + 2;
    if (!layout.LastRowLastDay && (last - first + 1) % 7 == 0) ++rows;
    return rows;
}

TJuliusDay MonthCellDay(TJuliusDay firstDay, int row, int column) { return firstDay + (row - 1) * 7 + column; }

int ColumnWeekday(TDayOfWeek firstDayOfWeek, int column) { return (firstDayOfWeek + column) % 7; }

TCellRect GridCellRect(int column, int row, int columns, int rows, int width, int height) {
    return {width * column / columns, height * row / rows, width * (column + 1) / columns, height * (row + 1) / rows};
}

namespace {

// The index i of the band [size*i/count, size*(i+1)/count) that holds p.
int BandAt(int p, int count, int size) {
    if (size <= 0 || p < 0) return 0;
    const long long band = (static_cast<long long>(count) * (p + 1) - 1) / size;
    return static_cast<int>(std::min<long long>(band, count - 1));
}

}  // namespace

TGridCell GridCellFromPoint(int x, int y, int columns, int rows, int width, int height) {
    return {BandAt(y, rows, height), BandAt(x, columns, width)};
}

TJuliusDay WeekFirstDay(TJuliusDay selected, TDayOfWeek firstDayOfWeek) {
    return selected - (JuliusDayOfWeek(selected) - 1 - firstDayOfWeek + 7) % 7;
}
