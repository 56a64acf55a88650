#pragma once
// A diary folder for benchmarks and large-input tests: one day file per day, consecutive
// days from a first one, the texts cut at line ends from the project's diary text (see
// diary_text.h), so that entries differ in length and content as real ones do.
#include "calendar/julius.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes `days` day files into `folder` (which must exist), the first for `first`, about
// `bytesPerDay` bytes each on average; returns the bytes written. The same arguments
// always give the same files. Throws std::runtime_error when a file cannot be written.
size_t WriteDiaryFolder(const std::string& folder, const TYMD& first, size_t days, size_t bytesPerDay,
                        uint64_t seed = 932);

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
