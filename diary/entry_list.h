#pragma once
// Lists of entries as the diary's lists show them: a day, its 文字数 and its first line,
// read from the day files of a folder.
#include "diary/char_count.h"
#include "diary/day_index.h"

#include <functional>
#include <string>
#include <vector>

// For each day in `days`, in order, reads its file in `folder` (empty: the current folder)
// and hands its summary to `entry`; a file that cannot be read goes to `failed` with its
// name and errno instead, and the list goes on.
void ForEachEntrySummary(const std::string& folder, const std::vector<TYMD>& days,
                  const std::function<void(const TYMD& day, const TEntrySummary& summary)>& entry,
                  const std::function<void(const std::string& fileName, int err)>& failed);

// The days of `index` with the month and day of `day` in every other year, newest first.
// Only the very date counts: 29 February finds the 29 Februaries of other leap years, and
// nothing stands in for it in the years without one.
std::vector<TYMD> SameDayInOtherYears(const TDayIndex& index, const TYMD& day);
