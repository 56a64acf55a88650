#pragma once
// Which days of the diary folder have an entry: a day has one exactly when the folder holds
// a file under the day's own name (an empty file is an empty entry and counts). Built from
// one listing of the folder, without opening any file; kept true by the program's own
// saves and deletes (Add, Remove) and by listing the folder again when it changed.
#include "calendar/julius.h"
#include "diary/conflict_copies.h"

#include <optional>
#include <string>
#include <vector>

// Orders days by date; years may be far outside the range day numbers cover.
constexpr bool DayBefore(const TYMD& a, const TYMD& b) {
    if (a.Year != b.Year) return a.Year < b.Year;
    if (a.Month != b.Month) return a.Month < b.Month;
    return a.Day < b.Day;
}

class TDayIndex {
public:
    // Conflict copies beyond the known tools' (the user's own patterns); the next Scan uses them.
    void SetConflictPatterns(std::vector<TConflictPattern> patterns) { patterns_ = std::move(patterns); }

    // Lists `folder` (empty: the current folder). Returns 0, or the errno that kept the
    // folder from being listed; the index is then empty.
    int Scan(const std::string& folder);

    bool Has(const TYMD& day) const;
    // Whether anything changed.
    bool Add(const TYMD& day);
    bool Remove(const TYMD& day);

    // The nearest day with an entry strictly before or after `day`.
    std::optional<TYMD> Before(const TYMD& day) const;
    std::optional<TYMD> After(const TYMD& day) const;
    // Days with an entry from `first` to `last`, both included, oldest first.
    std::vector<TYMD> Between(const TYMD& first, const TYMD& last) const;

    // Every day with an entry, oldest first.
    const std::vector<TYMD>& Days() const { return days_; }
    size_t Size() const { return days_.size(); }

    // The conflict copies the same listing found, in ConflictCopyBefore's order. They
    // never count as entries.
    const std::vector<TConflictCopy>& Conflicts() const { return conflicts_; }
    bool HasConflict(const TYMD& day) const;
    // The copies of `day`, newest first.
    std::vector<TConflictCopy> ConflictsOf(const TYMD& day) const;

private:
    std::vector<TYMD> days_;  // sorted, no repeats
    std::vector<TConflictPattern> patterns_;
    std::vector<TConflictCopy> conflicts_;
};
