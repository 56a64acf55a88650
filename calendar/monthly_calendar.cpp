#include "calendar/monthly_calendar.h"

#include "platform/qt_fonts.h"

#include <QPainter>

TMonthlyCalendar::TMonthlyCalendar(QWidget* parent) : TCustomCalendarEx(parent) {}

void TMonthlyCalendar::DrawCalendar() {
    TCustomCalendarEx::DrawCalendar();
    if (!HasCanvas()) return;
    QPainter p(&Canvas());
    p.setFont(ToQFont(Fonts().WeekdayFont()));
    p.drawText(Canvas().rect(), Qt::AlignCenter, QString("%1/%2/%3").arg(Year()).arg(Month()).arg(Day()));
}
