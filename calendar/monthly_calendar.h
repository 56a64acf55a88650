#pragma once
// The month of the selected day as a grid: a header row of weekday names, then one row
// per week. The selected day is drawn in the inverse colours of its class; days of the
// neighbouring months can be shown tinted and made clickable; the rokuyo can be shown
// under each day number.
#include "calendar/custom_calendar_ex.h"
#include "calendar/grid_layout.h"

class QPainter;
class QRect;

class TMonthlyCalendar : public TCustomCalendarEx {
public:
    explicit TMonthlyCalendar(QWidget* parent = nullptr);

    TDayOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetFirstDayOfWeek(TDayOfWeek day);
    bool ShowNeighbor() const { return showNeighbor_; }
    void SetShowNeighbor(bool on);
    // OR-combined into the text colour of the neighbouring months' days.
    TColor NeighborColor() const { return neighborColor_; }
    void SetNeighborColor(TColor color);
    // Whether a click on a neighbouring month's day selects it (nothing to redraw).
    bool NeighborJump() const { return neighborJump_; }
    void SetNeighborJump(bool on) { neighborJump_ = on; }
    bool AutoResize() const { return autoResize_; }
    void SetAutoResize(bool on);
    bool FirstRowFirstDay() const { return firstRowFirstDay_; }
    void SetFirstRowFirstDay(bool on);
    bool LastRowLastDay() const { return lastRowLastDay_; }
    void SetLastRowLastDay(bool on);
    TColor DayOfWeekBkColor() const { return dayOfWeekBkColor_; }
    void SetDayOfWeekBkColor(TColor color);
    bool ShowRokuyo() const { return showRokuyo_; }
    void SetShowRokuyo(bool on);

    // The day in the first column of the first week row.
    virtual TJuliusDay GetFirstDay();
    // Rows including the header row.
    virtual int GetRowCount();
    // The cell under a point in client coordinates, limited to the grid.
    virtual TGridCell CellFromPoint(int x, int y);

protected:
    void DrawCalendar() override;
    virtual void DrawCell(QPainter& painter, int column, int row, const QRect& rect);
    // The rokuyo index a day shows (0: none); a descendant may carry another table.
    virtual int GetRokuyo(TJuliusDay day);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    void MouseDown(Qt::MouseButton button, QPoint clientPos) override;

private:
    TMonthLayout Layout() const;
    // The selected day's column (0..6).
    int WeekColumn() const;
    void SetAndRedraw(bool& field, bool value);
    void SetAndRedraw(TColor& field, TColor value);
    void DrawHeaderCell(QPainter& painter, int column, const QRect& rect);

    TDayOfWeek firstDayOfWeek_ = dowSun;
    bool showNeighbor_ = false;
    TColor neighborColor_ = clSilver;
    bool neighborJump_ = false;
    bool autoResize_ = true;
    bool firstRowFirstDay_ = false;
    bool lastRowLastDay_ = false;
    TColor dayOfWeekBkColor_ = clNavy;
    bool showRokuyo_ = false;
};
