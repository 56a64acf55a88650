#pragma once
// The current local date. Tests fix it so that "today" is the same on every run.

struct TSystemDate {
    int Year;
    int Month;
    int Day;
};

TSystemDate CurrentDate();

// Fixes the date that CurrentDate returns; ResetClock returns to the system clock.
void SetClock(const TSystemDate& date);
void ResetClock();
