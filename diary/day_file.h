#pragma once
// What the diary needs of the file system beside reading and writing: a file's identity
// and age, the folder lock a running copy holds, and the Japanese error texts.
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <string>

// A file as it was seen at one moment. Two stamps differ when the file was created,
// removed, rewritten or replaced in between.
struct TFileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeSec = 0;
    std::int64_t mtimeNsec = 0;
    // The status-change time: a program may set the modification time back after
    // rewriting the file in place, but not this one.
    std::int64_t ctimeSec = 0;
    std::int64_t ctimeNsec = 0;
    bool operator==(const TFileStamp&) const = default;
};

TFileStamp StampOf(const std::string& path);

// Reads the whole file at `path` (relative to the folder `dirFd` when it is not absolute)
// into `bytes`; 0, or the errno of the failure (EISDIR for anything that is not a plain
// file). Never blocks on a pipe given a day's name.
int ReadDayFileBytes(const std::string& path, std::string& bytes, int dirFd = AT_FDCWD);

// The error text for a failed write: access denied, disk full, a folder or something
// else than a file in the way (worded as loading words them), else "I/O エラー (n)".
std::string WriteErrorMessage(int err);
// The same for the save asked for at close, where a file that cannot be made is named.
std::string CloseSaveErrorMessage(const std::string& fileName, int err);

// A lock file in the diary folder, taken at the first save and held until the object
// goes. While another running copy holds it, HeldByAnother says so; it tries again at
// every call, since the other copy may have ended. A folder where the lock file cannot be
// made (read-only) counts as not held by another: a save there fails on its own. A
// symbolic link in the lock's place raises EFileError: it is never followed.
class TFolderLock {
public:
    explicit TFolderLock(std::string folder);
    ~TFolderLock();
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    bool HeldByAnother();

    static constexpr const char* kFileName = ".Mekuri.lock";

private:
    std::string folder_;
    int fd_ = -1;
};
