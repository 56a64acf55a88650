#pragma once
// Stand-in until the week list lands: a calendar that shows the selected date only.
#include "calendar/custom_calendar_ex.h"

class TWeeklyCalendar : public TCustomCalendarEx {
public:
    explicit TWeeklyCalendar(QWidget* parent = nullptr);

protected:
    void DrawCalendar() override;
};
