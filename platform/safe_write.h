#pragma once
// Writing a file so that it is never left half-written: the bytes go to a temporary file
// in the same folder, are flushed to the disk, and the temporary file is renamed over the
// target. A failure at any step removes the temporary file, leaves the old file as it was
// and raises EFileError.
#include <string>
#include <string_view>

void WriteFileSafely(const std::string& fileName, std::string_view data);
