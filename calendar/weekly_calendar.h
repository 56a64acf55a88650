#pragma once
// The week of the selected day as seven stacked rows: date, weekday and the names the day
// carries, in the font of the day's class. The selected row is filled with its class
// colour; thin lines separate the rows.
#include "calendar/custom_calendar_ex.h"
#include "calendar/grid_layout.h"

#include <QSize>
#include <QString>

class QPainter;
class QRect;

class TWeeklyCalendar : public TCustomCalendarEx {
public:
    explicit TWeeklyCalendar(QWidget* parent = nullptr);
    // Pixels between a row's left edge and its text.
    static constexpr int TextMargin = 3;

    TDayOfWeek FirstDayOfWeek() const { return firstDayOfWeek_; }
    void SetFirstDayOfWeek(TDayOfWeek day);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor color);

    // Seven rows of the tallest day font, so that a squeezed layout never hides a day.
    QSize minimumSizeHint() const override;

    // The day in the top row.
    virtual TJuliusDay GetFirstDay();
    // What row 0..6 reads: month/day(weekday) and the day's names, e.g. "12/23(土) 天皇誕生日".
    QString RowText(int row);

protected:
    void DrawCalendar() override;
    virtual void DrawCell(QPainter& painter, int row, const QRect& rect);
    void KeyDown(int key, Qt::KeyboardModifiers modifiers) override;
    void MouseDown(Qt::MouseButton button, QPoint clientPos) override;
    void FontsChanged() override;
    // The owner's key handler runs before the list moves, unlike in the month grid.
    void keyPressEvent(QKeyEvent* event) override;

private:
    TDayOfWeek firstDayOfWeek_ = dowSun;
    TColor borderColor_ = clInfoText;
    // The rows and the weekday line as the fonts measure them, frame aside: layouts ask many
    // times while a window is built, and measuring takes font lookups. Empty until asked
    // and again after a font changes.
    mutable QSize textSize_;
};
