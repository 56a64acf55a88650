#include "platform/safe_write.h"

#include "platform/file_error.h"
#include "platform/safe_file.h"

#include <cerrno>

void WriteFileSafely(const std::string& fileName, std::string_view data) {
    if (int err = ReplaceFileContents(fileName, data)) ThrowFileError(fileName, "保存できません", err);
}
