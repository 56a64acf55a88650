#include "editor/safe_write.h"

#include "editor/file_error.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file must sit in the target's folder: rename is atomic only there.
std::string TempTemplate(const std::string& fileName) {
    size_t slash = fileName.rfind('/');
    if (slash == std::string::npos) return "./." + fileName + ".XXXXXX";
    std::string temp(fileName, 0, slash + 1);
    temp += '.';
    temp.append(fileName, slash + 1);
    temp += ".XXXXXX";
    return temp;
}

mode_t NewFileMode(const std::string& fileName) {
    struct stat st;
    if (::stat(fileName.c_str(), &st) == 0) return st.st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void WriteFileSafely(const std::string& fileName, std::string_view data) {
    if (fileName.empty()) ThrowFileError(fileName, "保存できません", ENOENT);
    std::string temp = TempTemplate(fileName);
    int fd = ::mkstemp(temp.data());
    if (fd < 0) ThrowFileError(fileName, "保存できません", errno);

    int err = 0;
    if (::fchmod(fd, NewFileMode(fileName)) != 0) err = errno;
    size_t done = 0;
    while (err == 0 && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
        } else {
            done += static_cast<size_t>(n);
        }
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), fileName.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        ThrowFileError(fileName, "保存できません", err);
    }
}
