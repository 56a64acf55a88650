#include "settings/profile_file.h"

#include "platform/exceptions.h"
#include "platform/file_error.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class TReadResult { kRead, kMissing, kFailed };

TReadResult ReadWholeFile(const std::string& path, std::string& text) {
    text.clear();
    // O_NONBLOCK: a named pipe in the file's place would otherwise block the open for ever;
    // only a regular file is read, so neither a pipe nor an endless device is.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? TReadResult::kMissing : TReadResult::kFailed;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return TReadResult::kFailed;
    }
    char buffer[65536];
    TReadResult result = TReadResult::kRead;
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            result = TReadResult::kFailed;
            break;
        }
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    if (result != TReadResult::kRead) text.clear();
    return result;
}

}  // namespace

TProfileFile::TProfileFile(std::string path) : path_(std::move(path)) {}

std::string TProfileFile::WriteErrorMessage(std::string_view path, int err) {
    const std::string message = std::string(path) + " に書き込めません";
    const std::string full = DiskFullMessage(err);
    return full.empty() ? message : message + "。" + full;
}

void TProfileFile::Fail(int err) const { throw EFileError(WriteErrorMessage(path_, err)); }

void TProfileFile::BeginBatch() {
    TBatch batch;
    batch.readFailed = !path_.empty() && ReadWholeFile(path_, batch.text) == TReadResult::kFailed;
    batch_ = std::move(batch);
}

void TProfileFile::EndBatch() {
    if (!batch_) return;
    TBatch batch = std::move(*batch_);
    batch_.reset();
    if (!batch.changed) return;
    if (int err = ReplaceFileContents(path_, batch.text)) Fail(err);
}

std::shared_ptr<const TProfileText> TProfileFile::Load() const {
    if (batch_) {
        if (!batch_->parsed) batch_->parsed = std::make_shared<const TProfileText>(batch_->text);
        return batch_->parsed;
    }
    std::string text;
    if (path_.empty() || ReadWholeFile(path_, text) != TReadResult::kRead) return std::make_shared<const TProfileText>();
    return std::make_shared<const TProfileText>(text);
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
    return Load()->Read(section, key, def);
}

void TProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    WriteEntries(section, {{std::string(key), std::string(value)}});
}

void TProfileFile::WriteEntries(std::string_view section, const TProfileEntries& entries) {
    if (path_.empty()) Fail();
    for (const auto& [key, value] : entries)
        if (!CanWriteProfileEntry(section, key, value)) Fail();

    // A file that exists but cannot be read must not be replaced by one holding only the
    // new entries: that would lose everything else in it.
    if (batch_) {
        if (batch_->readFailed) Fail();
        std::string updated = ProfileUpdate(batch_->text, section, entries);
        if (updated == batch_->text) return;
        batch_->text = std::move(updated);
        batch_->parsed.reset();
        batch_->changed = true;
        return;
    }
    std::string text;
    if (ReadWholeFile(path_, text) == TReadResult::kFailed) Fail();
    std::string updated = ProfileUpdate(text, section, entries);
    if (updated == text) return;
    if (int err = ReplaceFileContents(path_, updated)) Fail(err);
}
