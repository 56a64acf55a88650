#pragma once
// File errors with the reason in Japanese, for the error box.
#include <string>

// Raises EFileError: `action` is what failed ("開けません", "書き込めません"), `err` the errno.
[[noreturn]] void ThrowFileError(const std::string& fileName, const char* action, int err);

// The reason alone, in Japanese ("アクセスが拒否されました").
std::string FileErrorReason(int err);
