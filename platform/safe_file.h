#pragma once
// Replacing a file so that it is never left half-written: the bytes go to a new file in
// the same folder, are flushed to the disk, and that file is renamed over the target. A
// failure at any step removes the new file and leaves the old one as it was.
#include <string>
#include <string_view>

// Returns 0 on success, else the errno of the step that failed. A target reached through
// a symbolic link is replaced at the link's end, so the link survives; the replacement
// keeps the old file's permissions; a target that is not a regular file is refused.
int ReplaceFileContents(const std::string& target, std::string_view data);
