#pragma once
// The week calendar's lists before the settings file holds any (CP932 lines).
#include "platform/string_list.h"

// The national holidays by the law and its amendments since 1948, one line per rule; the
// equinox days, substitute holidays and citizens' holidays are computed.
TStringList ShippedHolidayList();
TStringList ShippedSpecialDayList();

// The 13 lines that earlier versions shipped.
TStringList OldShippedHolidayList();
// A holiday list that holds exactly the lines earlier versions shipped (in any order: the
// edit dialog stores them sorted even when nothing was changed) was never edited by its
// user: it becomes today's shipped list. Any other list is the user's own and stays as it
// is. True if replaced.
bool UpgradeShippedHolidayList(TStrings& list);
