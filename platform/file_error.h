#pragma once
// File errors with the reason in Japanese, for the error box.
#include <string>

// "ファイル "name" を<action>。<reason>。", the text ThrowFileError raises, for callers that
// report instead of raising (the command line).
std::string FileErrorMessage(const std::string& fileName, const char* action, int err);

// Raises EFileError: `action` is what failed ("開けません", "書き込めません"), `err` the errno.
[[noreturn]] void ThrowFileError(const std::string& fileName, const char* action, int err);

// The disk, the user's quota or the file-size limit is full: "ディスクがいっぱいです" for
// ENOSPC, EDQUOT and EFBIG (what a write past the size limit gets once SIGXFSZ is
// ignored), else empty.
std::string DiskFullMessage(int err);
