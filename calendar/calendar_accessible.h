#pragma once
// The month grid and the week list as a screen reader sees them: a table of day cells
// (weeks by weekdays, or seven rows), each named by the date and what the cell shows,
// the selected day the focused, selected cell. The calendar tells of a new day through
// the hook below, which does nothing unless a reader has asked for the calendar.
class QAccessibleInterface;
class QObject;
class QString;
class TCustomCalendarEx;

QAccessibleInterface* CalendarAccessibleFactory(const QString& className, QObject* object);

namespace CalendarAccess {
inline int interfaces = 0;
void DayChangedHeard(TCustomCalendarEx* calendar);
inline void DayChanged(TCustomCalendarEx* calendar) {
    if (interfaces > 0) DayChangedHeard(calendar);
}
}  // namespace CalendarAccess
