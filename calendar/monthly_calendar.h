#pragma once
// Stand-in until the month grid lands: a calendar that shows the selected date only.
#include "calendar/custom_calendar_ex.h"

class TMonthlyCalendar : public TCustomCalendarEx {
public:
    explicit TMonthlyCalendar(QWidget* parent = nullptr);

protected:
    void DrawCalendar() override;
};
