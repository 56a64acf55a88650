#pragma once
// Searching the whole diary folder: every day file (or those of a period) read once, on
// several threads, and matched against the query. Only reads; never writes a file.
#include "calendar/julius.h"
#include "diary/search_query.h"
#include "diary/text_search.h"

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

struct TDaySearchResult {
    TYMD day{0, 1, 1};
    std::string path;
    // When the file could not be read: the errno, and nothing else is set.
    int error = 0;
    TDayMatch match;
    // The first matching line, as the editor holds it (CP932, with the codes of `extra`
    // for a UTF-8 day file); match.match is relative to it. The offsets of `match` are the
    // editor's: the day's text as DayTextFromBytes reads it.
    std::string line;
    std::shared_ptr<const TExtraChars> extra;  // null when the line holds no code
    std::string prepared;  // what TDiarySearchOptions::prepare made of it
};

struct TDiarySearchOptions {
    std::string folder;  // empty: the current folder
    std::optional<TYMD> from, to;
    bool newestFirst = false;
    bool countLines = false;
    // Worker threads; 0 chooses by the processors there are.
    unsigned threads = 0;
    // Run the workers at the lowest priority, so that typing in the window meanwhile is
    // never kept waiting; the caller then only waits for them.
    bool idlePriority = false;
    // When set: the steady-clock time (ms) of the user's last key or input-method event.
    // Workers wait between files until `quietMs` have passed since, so that a search never
    // competes with typing for the processor or its caches.
    const std::atomic<int64_t>* lastInput = nullptr;
    int64_t quietMs = 150;
    // When set: called for each day found, on the thread that found it, before the days are
    // handed over in order. The results reach `onResult` one at a time; what is done here
    // runs on every thread at once.
    std::function<void(TDaySearchResult&)> prepare;
};

// The steady clock in milliseconds, as `lastInput` counts it.
int64_t SearchClockMs();

struct TDiarySearchProgress {
    size_t done = 0;
    size_t total = 0;
};

// Runs the search. `onResult` gets each matching day (and each unreadable file) in the
// order of the days, one call at a time, from whichever thread finished it; `onProgress`
// likewise, now and then. `stop` (may be null) is looked at between files. Returns 0, or
// the errno that kept the folder from being listed.
int SearchDiary(const TSearchQuery& query, const TDiarySearchOptions& options,
                const std::function<void(const TDaySearchResult&)>& onResult,
                const std::function<void(const TDiarySearchProgress&)>& onProgress = {},
                const std::atomic<bool>* stop = nullptr);
