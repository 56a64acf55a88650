#include "settings/profile_file.h"

#include "platform/exceptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class TReadResult { kRead, kMissing, kFailed };

TReadResult ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? TReadResult::kMissing : TReadResult::kFailed;
    char buffer[65536];
    TReadResult result = TReadResult::kRead;
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result = TReadResult::kFailed;  // e.g. the path names a folder
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (result != TReadResult::kRead) text.clear();
    return result;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return path.substr(0, slash + 1);
}

// A settings file reached through a symbolic link is replaced at the link's target, so
// the link itself survives the rename.
std::string RealTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

// Writes `text` to a new file beside `target` and renames it over `target`.
bool ReplaceFile(const std::string& target, std::string_view text) {
    struct stat old {};
    bool hadFile = ::stat(target.c_str(), &old) == 0;
    if (hadFile && !S_ISREG(old.st_mode)) return false;

    static std::mt19937 random{std::random_device{}()};
    std::string folder = FolderOf(target);
    std::string base = target.substr(folder.size());
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temp = folder + "." + base + "." + std::to_string(random() % 1000000000u) + ".tmp";
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) return false;
    }
    if (fd < 0) return false;

    bool ok = WriteAll(fd, text);
    // The new file takes the old one's permissions; a new file gets the usual ones.
    if (ok && hadFile) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fdatasync(fd) == 0;
    if (::close(fd) != 0) ok = false;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace

TProfileFile::TProfileFile(std::string path) : path_(std::move(path)) {}

std::string TProfileFile::WriteErrorMessage(std::string_view path) {
    return std::string(path) + " に書き込めません";
}

void TProfileFile::Fail() const { throw EFileError(WriteErrorMessage(path_)); }

TProfileText TProfileFile::Load() const {
    std::string text;
    if (path_.empty() || ReadWholeFile(path_, text) != TReadResult::kRead) return TProfileText();
    return TProfileText(text);
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    return Load().Read(section, key, def);
}

void TProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    WriteEntries(section, {{std::string(key), std::string(value)}});
}

void TProfileFile::WriteEntries(std::string_view section, const TProfileEntries& entries) {
    if (path_.empty()) Fail();
    for (const auto& [key, value] : entries)
        if (!CanWriteProfileEntry(section, key, value)) Fail();

    std::string target = RealTarget(path_);
    std::string text;
    // A file that exists but cannot be read must not be replaced by one holding only the
    // new entries: that would lose everything else in it.
    if (ReadWholeFile(target, text) == TReadResult::kFailed) Fail();
    std::string updated = ProfileUpdate(text, section, entries);
    if (updated == text) return;
    if (!ReplaceFile(target, updated)) Fail();
}
