#pragma once
// A whole diary folder for benchmarks and tests: one day file per day from `first` on,
// each a deterministic diary-like text (see diary_text.h) of about `bytesPerDay` bytes,
// with known words planted at known days.
#include "calendar/julius.h"

#include <cstddef>
#include <string>
#include <vector>

struct TPlantedWord {
    std::string utf8;          // as the user would type it to find it
    std::vector<TYMD> days;    // the days that hold it (in one of its written forms)
};

// The words planted, and where; every 365th day from the 100th holds a line with one of
// the forms of 京都 (キョウト, ｷｮｳﾄ, きょうと in turn), and every 1,000th from the 7th the
// Latin word "Mekuri-Plant" in full-width letters.
struct TDiaryFolderPlan {
    std::vector<TPlantedWord> planted;
    size_t files = 0;
    size_t bytes = 0;
};

// Writes the folder (which must exist). Throws std::runtime_error when a file cannot be
// written.
TDiaryFolderPlan MakeDiaryFolder(const std::string& folder, const TYMD& first, size_t days, size_t bytesPerDay,
                                 uint64_t seed = 932);
