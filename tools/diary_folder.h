#pragma once
// A diary folder as years of use leave it: one day file for every day of `years` years
// from 1 January of `firstYear`, each a short generated entry (about 200 to 1,200 bytes,
// see diary_text.h) under the day's own name, so both forms of the clashing names occur.
// The same arguments always give the same files. Returns the number of files written;
// throws std::runtime_error when one cannot be written.
#include <cstddef>
#include <string>

std::size_t WriteDiaryFolder(const std::string& folder, int firstYear, int years);
