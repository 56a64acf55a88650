#pragma once
// File errors with the reason in Japanese, for the error box.
#include <string>

// Why a file operation failed, in Japanese ("アクセスが拒否されました"), from its errno.
std::string FileErrorReason(int err);

// "ファイル "name" を<action>。<reason>。", the text ThrowFileError raises, for callers that
// report instead of raising (the command line).
std::string FileErrorMessage(const std::string& fileName, const char* action, int err);

// Raises EFileError: `action` is what failed ("開けません", "書き込めません"), `err` the errno.
[[noreturn]] void ThrowFileError(const std::string& fileName, const char* action, int err);

// No room for the write: "ディスクがいっぱいです" for ENOSPC and EDQUOT; for EFBIG (what a
// write past the process's file-size limit gets once SIGXFSZ is ignored) the limit is
// named, since the disk itself may have room. Else empty.
std::string DiskFullMessage(int err);
