#include "platform/safe_file.h"

#include "platform/folder_files.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The new file is ".<target name>.mekuri-XXXXXX" beside the target.
constexpr std::string_view kMarker = ".mekuri-";
constexpr size_t kUniqueLength = 6;
constexpr size_t kMaxBaseLength = 200;  // keeps the new file's name within NAME_MAX

std::atomic<TUniquePartSource> uniquePartSource{nullptr};

std::string RandomUniquePart() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[kUniqueLength] = {};
    for (size_t got = 0; got < sizeof random;) {
        const ssize_t n = ::getrandom(random + got, sizeof random - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;  // never on Linux since 3.17; the bytes left stay 0
        got += static_cast<size_t>(n);
    }
    std::string part;
    for (unsigned char r : random) part += kChars[r % (sizeof kChars - 1)];
    return part;
}

std::string UniquePart() {
    const TUniquePartSource source = uniquePartSource.load();
    return source != nullptr ? source() : RandomUniquePart();
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
}

std::string NameOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the path they end at, which need not exist yet. Only the
// user's own links are followed: one another user put in a folder both may write to
// would let that user choose where the user's text goes.
int ResolveLinks(const std::string& path, std::string& target) {
    target = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
        if (!S_ISLNK(st.st_mode)) return 0;
        if (st.st_uid != ::geteuid()) return ELOOP;
        char link[PATH_MAX];
        ssize_t n = ::readlink(target.c_str(), link, sizeof link - 1);
        if (n < 0) return errno;
        std::string next(link, static_cast<size_t>(n));
        if (next.empty()) return ENOENT;
        target = next[0] == '/' ? next : FolderOf(target) + "/" + next;
    }
    return ELOOP;
}

int CheckWritableInPlace(int dirFd, const std::string& name, const struct stat& st) {
    if (::geteuid() == 0) return (st.st_mode & 0222) != 0 ? 0 : EACCES;
    return ::faccessat(dirFd, name.c_str(), W_OK, AT_EACCESS) == 0 ? 0 : errno;
}

// What stands at `name` now (`old`, when `hadFile`), and why it may not be replaced.
int Refusal(int dirFd, const std::string& name, struct stat& old, bool& hadFile) {
    hadFile = false;
    if (name.empty()) return EISDIR;
    if (::fstatat(dirFd, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? 0 : errno;
    hadFile = true;
    if (S_ISLNK(old.st_mode)) return ELOOP;
    if (!S_ISREG(old.st_mode)) return S_ISDIR(old.st_mode) ? EISDIR : ENODEV;
    return CheckWritableInPlace(dirFd, name, old);
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

// A fresh name beside `name`: O_EXCL never opens what is there already, a link included.
int CreateNewFile(int dirFd, const std::string& name, mode_t mode, std::string& temp) {
    const std::string base = "." + name.substr(0, kMaxBaseLength) + std::string(kMarker);
    for (int tries = 0; tries < 100; ++tries) {
        temp = base + UniquePart();
        const int fd = ::openat(dirFd, temp.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Replaces `name` in the folder `dirFd`. `isPrivate`: 0600 and the saver's, whatever was there.
int ReplaceIn(int dirFd, const std::string& name, std::string_view data, bool isPrivate, int* heldFd) {
    struct stat old {};
    bool hadFile = false;
    if (int err = Refusal(dirFd, name, old, hadFile)) return err;
    const bool keepOld = hadFile && !isPrivate;
    // Written unreadable to others, then given the old file's mode; a new file is made with
    // its mode at once (the umask applies) unless it is private.
    std::string temp;
    const int fd = CreateNewFile(dirFd, name, keepOld || isPrivate ? 0600 : NewFileMode(dirFd), temp);
    if (fd < 0) return errno;
    // The lock tells a start-up clean-up in another process that this file is in use.
    int err = ::flock(fd, LOCK_EX) != 0 ? errno : 0;
    if (err == 0 && keepOld) KeepOwner(fd, old);
    // After the owner: changing the owner clears the set-user and set-group bits.
    if (err == 0 && (keepOld || isPrivate) && ::fchmod(fd, keepOld ? old.st_mode & 07777 : 0600) != 0) err = errno;
    if (err == 0) err = WriteAll(fd, data);
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (err == 0 && ::renameat(dirFd, temp.c_str(), dirFd, name.c_str()) != 0) err = errno;
    if (err != 0) ::unlinkat(dirFd, temp.c_str(), 0);
    // Some file systems cannot flush a folder at all; that is no failure of the save.
    if (err == 0 && ::fsync(dirFd) != 0 && errno != EINVAL) err = errno;
    // Closed only now, so the lock covers the new file's name for as long as it exists;
    // fsync has already reported any error the close could bring.
    if (err == 0 && heldFd != nullptr)
        *heldFd = fd;
    else
        ::close(fd);
    return err;
}

int OpenFolderOf(const std::string& target) {
    return ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int Replace(const std::string& path, std::string_view data, bool isPrivate, int* heldFd) {
    if (path.empty()) return ENOENT;
    std::string target = path;
    if (!isPrivate) {
        if (int err = ResolveLinks(path, target)) return err;
    }
    const int dirFd = OpenFolderOf(target);
    if (dirFd < 0) return errno;
    const int err = ReplaceIn(dirFd, NameOf(target), data, isPrivate, heldFd);
    ::close(dirFd);
    return err;
}

}  // namespace

int ReplacementTarget(const std::string& path, std::string& target) { return ResolveLinks(path, target); }

bool IsReplacementFileName(std::string_view name) {
    if (name.size() < 1 + kMarker.size() + kUniqueLength || name[0] != '.') return false;
    return name.substr(name.size() - kUniqueLength - kMarker.size(), kMarker.size()) == kMarker;
}

void SetUniquePartSource(TUniquePartSource source) { uniquePartSource.store(source); }

int ReplaceFileContents(const std::string& path, std::string_view data) { return Replace(path, data, false, nullptr); }

int ReplacePrivateFile(const std::string& path, std::string_view data, int& heldFd) {
    heldFd = -1;
    return Replace(path, data, true, &heldFd);
}

int ReplaceRefusal(const std::string& path) {
    if (path.empty()) return ENOENT;
    std::string target;
    if (int err = ResolveLinks(path, target)) return err;
    const int dirFd = OpenFolderOf(target);
    if (dirFd < 0) return errno;
    struct stat old {};
    bool hadFile = false;
    const int err = Refusal(dirFd, NameOf(target), old, hadFile);
    ::close(dirFd);
    return err;
}

void RemoveStaleReplacements(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsReplacementFileName(entry->d_name)) continue;
        int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}
