#include "calendar/weekly_calendar.h"

#include "platform/qt_fonts.h"

#include <QPainter>

TWeeklyCalendar::TWeeklyCalendar(QWidget* parent) : TCustomCalendarEx(parent) {}

void TWeeklyCalendar::DrawCalendar() {
    TCustomCalendarEx::DrawCalendar();
    if (!HasCanvas()) return;
    QPainter p(&Canvas());
    p.setFont(ToQFont(Fonts().WeekdayFont()));
    p.drawText(Canvas().rect(), Qt::AlignCenter, QString("%1/%2/%3").arg(Year()).arg(Month()).arg(Day()));
}
