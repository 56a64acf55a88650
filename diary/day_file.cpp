#include "diary/day_file.h"

#include "platform/file_error.h"
#include "platform/folder_files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

TFileStamp StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {true,
            static_cast<std::uint64_t>(st.st_dev),
            static_cast<std::uint64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            static_cast<std::int64_t>(st.st_mtim.tv_sec),
            static_cast<std::int64_t>(st.st_mtim.tv_nsec),
            static_cast<std::int64_t>(st.st_ctim.tv_sec),
            static_cast<std::int64_t>(st.st_ctim.tv_nsec)};
}

int ReadDayFileBytes(const std::string& path, std::string& bytes, int dirFd) {
    bytes.clear();
    const int fd = ::openat(dirFd, path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno;
    struct stat st {};
    int err = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EISDIR;
    if (err == 0) {
        // One byte more than the size, so that a file that grew is still read to its end.
        bytes.resize(static_cast<size_t>(st.st_size) + 1);
        size_t got = 0;
        for (;;) {
            if (got == bytes.size()) bytes.resize(bytes.size() * 2);
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) err = errno;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
            // A plain file reads short only at its end: one read is enough when it has not
            // grown since it was measured, which a search of many small files notices.
            if (got == static_cast<size_t>(st.st_size) && got < bytes.size()) break;
        }
        bytes.resize(err ? 0 : got);
    }
    ::close(fd);
    return err;
}

namespace {

// What stands in the file's place, in the words loading uses.
std::string NotAFileMessage(int err) {
    if (err == EISDIR) return "フォルダーです";
    if (err == ENODEV) return "通常のファイルではありません";
    if (err == ELOOP) return "シンボリックリンクです";
    return "";
}

}  // namespace

std::string WriteErrorMessage(int err) {
    if (err == EACCES || err == EPERM || err == EROFS) return "ファイルへのアクセスが拒否されました";
    if (std::string full = DiskFullMessage(err); !full.empty()) return full;
    if (std::string other = NotAFileMessage(err); !other.empty()) return other;
    return "I/O エラー (" + std::to_string(err) + ")";
}

std::string CloseSaveErrorMessage(const std::string& fileName, int err) {
    if (std::string full = DiskFullMessage(err); !full.empty()) return full;
    const std::string message = "ファイル " + fileName + " を作成できません";
    if (std::string other = NotAFileMessage(err); !other.empty()) return message + "。" + other;
    return message;
}

TFolderLock::TFolderLock(std::string folder) : folder_(std::move(folder)) {}

TFolderLock::~TFolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

bool TFolderLock::HeldByAnother() {
    if (fd_ >= 0) return false;
    int fd = -1;
    if (int err = OpenLockFile(folder_, kFileName, fd)) {
        // A link put in the lock's place is never followed; the user hears of it.
        if (err == ELOOP) ThrowFileError(kFileName, "開けません", err);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy;
    }
    fd_ = fd;
    return false;
}
