#pragma once
// A diary folder for benchmarks and large-input tests: one day file per day, consecutive
// days from a first one, the texts cut at line ends from the project's diary text (see
// diary_text.h), so that entries differ in length and content as real ones do.
#include "calendar/julius.h"

#include <cstddef>
#include <cstdint>
#include <string>

// Writes `days` day files into `folder` (which must exist), the first for `first`, about
// `bytesPerDay` bytes each on average; returns the bytes written. The same arguments
// always give the same files. Throws std::runtime_error when a file cannot be written.
size_t WriteDiaryFolder(const std::string& folder, const TYMD& first, size_t days, size_t bytesPerDay,
                        uint64_t seed = 932);
