#include "platform/folder_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int MakeFolders(const std::string& path) {
    if (path.empty()) return ENOENT;
    for (size_t slash = 0; slash != std::string::npos;) {
        slash = path.find('/', slash + 1);
        const std::string part = path.substr(0, slash);
        if (part.empty() || part.back() == '/') continue;
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return errno;
    }
    return 0;
}

int MakePrivateFolder(const std::string& path, bool create) {
    if (create) {
        if (int err = MakeFolders(path)) return err;
    }
    // Only the folder's own name is taken as it stands: a link there could lead to any
    // folder of the user's, which would then be tightened and filled.
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ELOOP;
        return err;
    }
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : 0;
    if (err == 0 && st.st_uid != ::geteuid()) err = EPERM;
    if (err == 0 && (st.st_mode & 077) != 0 && ::fchmod(fd, st.st_mode & 07700) != 0) err = errno;
    ::close(fd);
    return err;
}

mode_t NewFileMode(int dirFd) {
    struct stat st {};
    if (::fstat(dirFd, &st) != 0) return 0600;
    return 0600 | (st.st_mode & 0066);
}

int OpenLockFile(const std::string& folder, const char* name, int& fd) {
    fd = -1;
    const int dirFd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return errno;
    // Non-blocking: a named pipe put there must not hang the open.
    const int file = ::openat(dirFd, name, O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                              NewFileMode(dirFd));
    int err = file < 0 ? errno : 0;
    ::close(dirFd);
    if (err != 0) return err;
    struct stat st {};
    if (::fstat(file, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(file);
        return ENODEV;
    }
    fd = file;
    return 0;
}
