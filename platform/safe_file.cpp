#include "platform/safe_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The new file is ".<target name>.mekuri-XXXXXX" beside the target.
constexpr std::string_view kMarker = ".mekuri-";
constexpr size_t kUniqueLength = 6;    // the XXXXXX mkstemp fills in
constexpr size_t kMaxBaseLength = 200;  // keeps the new file's name within NAME_MAX

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

// Follows symbolic links to the path they end at, which need not exist yet.
int ResolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode)) return 0;
        char link[PATH_MAX];
        ssize_t n = ::readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0) return errno;
        std::string next(link, static_cast<size_t>(n));
        if (next.empty()) return ENOENT;
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    return ELOOP;
}

// The new file must sit in the target's folder: rename is atomic only there.
std::string TempTemplate(const std::string& target) {
    size_t slash = target.rfind('/');
    std::string folder = slash == std::string::npos ? "./" : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + base.substr(0, kMaxBaseLength) + std::string(kMarker) + std::string(kUniqueLength, 'X');
}

int CheckWritableInPlace(const std::string& target, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0 ? 0 : EACCES;
    return ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// Without this a save by another user (the superuser, say) would hand the file to that
// user and lock its owner out. Giving a file away needs privileges; keeping at least the
// group is the best an ordinary user can do.
void KeepOwner(int fd, const struct stat& old) {
    if (old.st_uid == ::geteuid() && old.st_gid == ::getegid()) return;
    // When even the group cannot be kept, the file stays the saver's: the save goes on.
    if (::fchown(fd, old.st_uid, old.st_gid) != 0 && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) return;
}

int WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

int SyncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return errno;
    // Some file systems cannot flush a folder at all; that is no failure of the save.
    int err = ::fsync(fd) != 0 && errno != EINVAL ? errno : 0;
    ::close(fd);
    return err;
}

}  // namespace

int ReplacementTarget(const std::string& path, std::string& target) { return ResolveLinks(path, target); }

bool IsReplacementFileName(std::string_view name) {
    if (name.size() < 1 + kMarker.size() + kUniqueLength || name[0] != '.') return false;
    return name.substr(name.size() - kUniqueLength - kMarker.size(), kMarker.size()) == kMarker;
}

namespace {

int Replace(const std::string& path, std::string_view data, int* heldFd) {
    if (path.empty()) return ENOENT;
    std::string target;
    if (int err = ResolveLinks(path, target)) return err;
    struct stat old {};
    const bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (!hadFile && errno != ENOENT) return errno;
    if (hadFile && !S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : ENODEV;
    if (hadFile) {
        if (int err = CheckWritableInPlace(target, old)) return err;
    }
    mode_t mode;
    if (hadFile) {
        mode = old.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    std::string temp = TempTemplate(target);
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return errno;
    // The lock tells a start-up clean-up in another process that this file is in use.
    int err = ::flock(fd, LOCK_EX) != 0 ? errno : 0;
    if (err == 0 && hadFile) KeepOwner(fd, old);
    // After the owner: changing the owner clears the set-user and set-group bits.
    if (err == 0 && ::fchmod(fd, mode) != 0) err = errno;
    if (err == 0) err = WriteAll(fd, data);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), target.c_str()) != 0) err = errno;
    if (err != 0) ::unlink(temp.c_str());
    if (err == 0) err = SyncFolder(FolderOf(target));
    // Closed only now, so the lock covers the new file's name for as long as it exists;
    // fsync has already reported any error the close could bring.
    if (err == 0 && heldFd != nullptr)
        *heldFd = fd;
    else
        ::close(fd);
    return err;
}

}  // namespace

int ReplaceFileContents(const std::string& path, std::string_view data) { return Replace(path, data, nullptr); }

int ReplaceFileContentsHeld(const std::string& path, std::string_view data, int& heldFd) {
    heldFd = -1;
    return Replace(path, data, &heldFd);
}

void RemoveStaleReplacements(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsReplacementFileName(entry->d_name)) continue;
        std::string path = folder + "/" + entry->d_name;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}
