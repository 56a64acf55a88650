#pragma once
// The seven fonts of a calendar, one per class of day. Any change of one of them asks
// the owning calendar to redraw.
#include "calendar/day_attrs.h"
#include "platform/font.h"

#include <array>
#include <functional>

class TCalExFonts {
public:
    enum Index { Weekday = 0, Saturday, Sunday, DayOfWeek, Holiday, SpecialDay, Rokuyo, Count };

    // `changed` is called after any font changes; the owning calendar redraws there.
    explicit TCalExFonts(std::function<void()> changed);
    TCalExFonts(const TCalExFonts&) = delete;
    TCalExFonts& operator=(const TCalExFonts&) = delete;

    TFont& Font(int index) { return fonts_.at(index); }
    const TFont& Font(int index) const { return fonts_.at(index); }
    // Copies the attributes of `font` into the font at `index`, or into all seven while
    // Synchronize is on.
    void SetFont(int index, const TFont& font);
    // Copies all seven fonts of another set.
    void Assign(const TCalExFonts& source);

    bool Synchronize() const { return synchronize_; }
    void SetSynchronize(bool on) { synchronize_ = on; }

    TFont& WeekdayFont() { return Font(Weekday); }
    TFont& SaturdayFont() { return Font(Saturday); }
    TFont& SundayFont() { return Font(Sunday); }
    TFont& DayOfWeekFont() { return Font(DayOfWeek); }
    TFont& HolidayFont() { return Font(Holiday); }
    TFont& SpecialDayFont() { return Font(SpecialDay); }
    TFont& RokuyoFont() { return Font(Rokuyo); }

private:
    static_assert(int{Weekday} == dcWeekday && int{Saturday} == dcSaturday && int{Sunday} == dcSunday &&
                  int{Holiday} == dcHoliday && int{SpecialDay} == dcSpecialDay);
    std::array<TFont, Count> fonts_;
    bool synchronize_ = false;
};
