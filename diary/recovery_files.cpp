#include "diary/recovery_files.h"

#include "diary/day_file_name.h"
#include "platform/folder_files.h"
#include "platform/safe_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::string_view kPrefix = ".Mekuri-";
constexpr std::string_view kSuffix = ".recovery";
constexpr std::string_view kDamagedSuffix = ".damaged";
// A header is far below this; a bigger file is not a copy Mekuri wrote.
constexpr std::int64_t kHeaderRoom = 64 * 1024;

std::string MakeTag() {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::string tag;
    for (int i = 0; i < 6; ++i) tag += kChars[device() % (sizeof kChars - 1)];
    return tag;
}

std::string Absolute(const std::string& folder) {
    char* real = ::realpath(folder.empty() ? "." : folder.c_str(), nullptr);
    if (real == nullptr) return folder;
    std::string out = real;
    std::free(real);
    return out;
}

std::string ReadAll(int fd) {
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
}

std::string SetAside(const std::string& path) {
    const std::string base = path.substr(0, path.size() - kSuffix.size());
    std::string target = base + std::string(kDamagedSuffix);
    struct stat st {};
    for (int i = 2; ::lstat(target.c_str(), &st) == 0 && i < 1000; ++i)
        target = base + "-" + std::to_string(i) + std::string(kDamagedSuffix);
    return ::rename(path.c_str(), target.c_str()) == 0 ? target : std::string();
}

// `onlyFolder`: copies in the shared state folder that belong to another diary are left.
void Scan(const std::string& folder, const std::string& onlyFolder, TRecoveryScan& scan) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsRecoveryCopyName(entry->d_name)) continue;
        const std::string path = folder + "/" + entry->d_name;
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat held {}, now {};
        // Held by a running Mekuri, or replaced by it between the open and the lock.
        if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0 ||
            ::stat(path.c_str(), &now) != 0 || now.st_ino != held.st_ino || now.st_dev != held.st_dev) {
            ::close(fd);
            continue;
        }
        std::string why;
        std::optional<TRecoveryCopy> copy;
        if (held.st_size > kMaxRecoveryCopyBytes + kHeaderRoom)
            why = "大きすぎます";
        else
            copy = DecodeRecoveryCopy(ReadAll(fd), why);
        if (!copy) {
            scan.damaged.push_back({path, SetAside(path), why});
            ::close(fd);
            continue;
        }
        if (!onlyFolder.empty() && copy->folder != onlyFolder) {
            ::close(fd);
            continue;
        }
        TFoundCopy found;
        found.path = path;
        found.copy = std::move(*copy);
        found.fd = fd;
        scan.copies.push_back(std::move(found));
    }
    ::closedir(dir);
}

}  // namespace

std::string RecoveryStateFolder(const char* xdgStateHome, const char* home) {
    // A relative state folder is not to be trusted: it would follow the current folder.
    if (xdgStateHome != nullptr && xdgStateHome[0] == '/') return std::string(xdgStateHome) + "/Mekuri";
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/Mekuri";
    return {};
}

std::string RecoveryStateFolder() { return RecoveryStateFolder(std::getenv("XDG_STATE_HOME"), std::getenv("HOME")); }

bool IsRecoveryCopyName(std::string_view name) {
    return name.size() > kPrefix.size() + kSuffix.size() && name.substr(0, kPrefix.size()) == kPrefix &&
           name.substr(name.size() - kSuffix.size()) == kSuffix;
}

TRecoveryWriter::TRecoveryWriter(std::string diaryFolder, std::string stateFolder)
    : diaryFolder_(std::move(diaryFolder)), stateFolder_(std::move(stateFolder)), tag_(MakeTag()) {}

TRecoveryWriter::~TRecoveryWriter() {
    if (fd_ >= 0) ::close(fd_);
}

int TRecoveryWriter::Write(const TRecoveryCopy& copy) {
    // A copy the next start would refuse to read is not worth the disk.
    if (static_cast<std::int64_t>(copy.text.size()) > kMaxRecoveryCopyBytes) return E2BIG;
    std::string name = DayFileName(copy.day.Year, copy.day.Month, copy.day.Day);
    name = std::string(kPrefix) + name.substr(0, name.size() - 4) + "-" + tag_ + std::string(kSuffix);
    const std::string bytes = EncodeRecoveryCopy(copy);
    int err = ENOENT;
    for (const std::string* folder : {&diaryFolder_, &stateFolder_}) {
        if (folder->empty()) continue;
        if (folder == &stateFolder_ && (err = MakePrivateFolder(*folder, true)) != 0) continue;
        const std::string path = *folder + "/" + name;
        int fd = -1;
        err = ReplacePrivateFile(path, bytes, fd);
        // A link put where the copy was means someone else writes in the folder: the
        // user is told rather than the text quietly moved elsewhere.
        if (err == ELOOP) return err;
        if (err != 0) continue;
        // The new copy is whole and locked before the old one goes.
        if (!path_.empty() && path_ != path) ::unlink(path_.c_str());
        if (fd_ >= 0) ::close(fd_);
        path_ = path;
        fd_ = fd;
        return 0;
    }
    return err;
}

void TRecoveryWriter::Remove() {
    if (path_.empty()) return;
    ::unlink(path_.c_str());
    ::close(fd_);
    fd_ = -1;
    path_.clear();
}

TFoundCopy::TFoundCopy(TFoundCopy&& other) noexcept
    : path(std::move(other.path)), copy(std::move(other.copy)), fd(other.fd) {
    other.fd = -1;
}

TFoundCopy& TFoundCopy::operator=(TFoundCopy&& other) noexcept {
    if (this != &other) {
        if (fd >= 0) ::close(fd);
        path = std::move(other.path);
        copy = std::move(other.copy);
        fd = other.fd;
        other.fd = -1;
    }
    return *this;
}

TFoundCopy::~TFoundCopy() {
    if (fd >= 0) ::close(fd);
}

bool TFoundCopy::Remove() {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return false;
    if (fd >= 0) ::close(fd);
    fd = -1;
    return true;
}

TRecoveryScan FindRecoveryCopies(const std::string& diaryFolder, const std::string& stateFolder) {
    TRecoveryScan scan;
    const std::string diary = Absolute(diaryFolder);
    Scan(diary, {}, scan);
    if (!stateFolder.empty()) {
        const std::string state = Absolute(stateFolder);
        if (state != diary) Scan(state, diary, scan);
    }
    std::stable_sort(scan.copies.begin(), scan.copies.end(), [](const TFoundCopy& a, const TFoundCopy& b) {
        if (a.copy.writtenSec != b.copy.writtenSec) return a.copy.writtenSec > b.copy.writtenSec;
        return a.copy.writtenNsec > b.copy.writtenNsec;
    });
    return scan;
}

std::string DamagedCopiesMessage(const std::vector<TDamagedCopy>& damaged) {
    std::string message = "保存されていない日記の復元用コピーに、読めないものがありました。"
                          "復元はしません。ファイルは消さずに残してあります。";
    for (const TDamagedCopy& d : damaged) {
        message += "\n\n" + d.path + "（" + d.why + "）";
        message += d.setAside.empty() ? "\n名前を変えられなかったため、そのままです。" : "\n→ " + d.setAside;
    }
    return message;
}
