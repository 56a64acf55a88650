#include "calendar/grid_layout.h"

#include <gtest/gtest.h>

namespace {

TMonthLayout Month(int y, int m, TDayOfWeek first = dowSun) {
    TMonthLayout l;
    l.Year = y;
    l.Month = static_cast<std::uint8_t>(m);
    l.FirstDayOfWeek = first;
    return l;
}

TYMD LastShown(const TMonthLayout& l) {
    return JuliusToYMD(MonthCellDay(MonthFirstDay(l), MonthRowCount(l) - 1, 6));
}

}  // namespace

TEST(MonthGrid, January2000) {
    TMonthLayout l = Month(2000, 1);
    EXPECT_EQ(JuliusToYMD(MonthFirstDay(l)), (TYMD{1999, 12, 26}));
    EXPECT_EQ(MonthRowCount(l), 7);
    EXPECT_EQ(LastShown(l), (TYMD{2000, 2, 5}));
    EXPECT_EQ(JuliusToYMD(MonthCellDay(MonthFirstDay(l), 1, 6)), (TYMD{2000, 1, 1}));
}

TEST(MonthGrid, February2009AndTheRowFlags) {
    TMonthLayout l = Month(2009, 2);
    EXPECT_EQ(JuliusToYMD(MonthFirstDay(l)), (TYMD{2009, 1, 25}));
    EXPECT_EQ(MonthRowCount(l), 7);
    EXPECT_EQ(LastShown(l), (TYMD{2009, 3, 7}));

    l.FirstRowFirstDay = true;
    EXPECT_EQ(JuliusToYMD(MonthFirstDay(l)), (TYMD{2009, 2, 1}));
    EXPECT_EQ(MonthRowCount(l), 6);
    EXPECT_EQ(LastShown(l), (TYMD{2009, 3, 7}));

    l.LastRowLastDay = true;
    EXPECT_EQ(MonthRowCount(l), 5);
    EXPECT_EQ(LastShown(l), (TYMD{2009, 2, 28}));

    l.FirstRowFirstDay = false;  // a whole row of January, the month ends the last row
    EXPECT_EQ(MonthRowCount(l), 6);
    EXPECT_EQ(LastShown(l), (TYMD{2009, 2, 28}));
}

TEST(MonthGrid, FixedSizeAlwaysHasSixWeekRows) {
    for (int m = 1; m <= 12; ++m) {
        TMonthLayout l = Month(2009, m);
        l.AutoResize = false;
        l.FirstRowFirstDay = true;
        l.LastRowLastDay = true;
        EXPECT_EQ(MonthRowCount(l), 7) << m;
    }
    // With AutoResize, every month of a long stretch fits in four to six week rows and
    // shows all of its days.
    for (int y = 1990; y <= 2030; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int flags = 0; flags < 4; ++flags) {
                TMonthLayout l = Month(y, m, static_cast<TDayOfWeek>((y + m) % 7));
                l.FirstRowFirstDay = flags & 1;
                l.LastRowLastDay = flags & 2;
                int rows = MonthRowCount(l);
                ASSERT_GE(rows, 5);
                ASSERT_LE(rows, 7);
                TJuliusDay first = MonthFirstDay(l);
                ASSERT_LE(first, YMDToJulius(y, m, 1));
                ASSERT_GT(first, YMDToJulius(y, m, 1) - 8);
                ASSERT_GE(MonthCellDay(first, rows - 1, 6), YMDToJulius(y, m, DaysInMonth(y, m)));
                ASSERT_EQ(JuliusDayOfWeek(first) - 1, l.FirstDayOfWeek);
            }
}

TEST(MonthGrid, October1582StepsThroughDayNumbers) {
    TMonthLayout l = Month(1582, 10);
    EXPECT_EQ(JuliusToYMD(MonthFirstDay(l)), (TYMD{1582, 9, 30}));
    EXPECT_EQ(MonthRowCount(l), 5);
    const int firstRow[] = {30, 1, 2, 3, 4, 15, 16};
    for (int c = 0; c < 7; ++c) EXPECT_EQ(JuliusToYMD(MonthCellDay(MonthFirstDay(l), 1, c)).Day, firstRow[c]) << c;
    EXPECT_EQ(LastShown(l), (TYMD{1582, 11, 6}));
}

TEST(MonthGrid, MondayFirst) {
    TMonthLayout l = Month(2000, 1, dowMon);
    EXPECT_EQ(JuliusToYMD(MonthFirstDay(l)), (TYMD{1999, 12, 27}));
    EXPECT_EQ(JuliusDayOfWeek(MonthFirstDay(l)), 2);
    EXPECT_EQ(ColumnWeekday(dowMon, 0), 1);
    EXPECT_EQ(ColumnWeekday(dowMon, 6), 0);
    EXPECT_EQ(ColumnWeekday(dowSat, 1), 0);
}

TEST(GridCells, TileTheAreaAndPointsFindTheDrawnCell) {
    for (int width : {7, 50, 300, 301, 306}) {
        for (int rows : {5, 7}) {
            const int height = 123;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    TGridCell cell = GridCellFromPoint(x, y, 7, rows, width, height);
                    TCellRect r = GridCellRect(cell.Column, cell.Row, 7, rows, width, height);
                    ASSERT_TRUE(x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
                        << width << " " << rows << " " << x << "," << y;
                }
            }
            EXPECT_EQ(GridCellRect(6, rows - 1, 7, rows, width, height).Right, width);
            EXPECT_EQ(GridCellRect(6, rows - 1, 7, rows, width, height).Bottom, height);
            EXPECT_EQ(GridCellFromPoint(width - 1, height - 1, 7, rows, width, height), (TGridCell{rows - 1, 6}));
        }
    }
}

TEST(GridCells, PointsOutsideOrDegenerateAreasStayInTheGrid) {
    EXPECT_EQ(GridCellFromPoint(-3, -1, 7, 7, 300, 200), (TGridCell{0, 0}));
    EXPECT_EQ(GridCellFromPoint(301, 250, 7, 7, 300, 200), (TGridCell{6, 6}));
    EXPECT_EQ(GridCellFromPoint(10, 3, 7, 7, 5, 0), (TGridCell{0, 6}));
    EXPECT_EQ(GridCellFromPoint(3, 3, 7, 7, 0, 4), (TGridCell{6, 0}));
}

TEST(WeekList, FirstDay) {
    const TJuliusDay sat = YMDToJulius(2000, 12, 23);
    EXPECT_EQ(JuliusToYMD(WeekFirstDay(sat, dowSun)), (TYMD{2000, 12, 17}));
    EXPECT_EQ(WeekFirstDay(sat + 1, dowSun), sat + 1);
    // Monday first: a Sunday is the bottom row.
    EXPECT_EQ(WeekFirstDay(sat + 1, dowMon), sat + 1 - 6);
    EXPECT_EQ(WeekFirstDay(sat, dowSat), sat);
}
