#pragma once
// The week calendar's lists before the settings file holds any (CP932 lines).
#include "platform/string_list.h"

TStringList ShippedHolidayList();
TStringList ShippedSpecialDayList();
