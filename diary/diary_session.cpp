#include "diary/diary_session.h"

#include "diary/day_file_name.h"
#include "platform/exceptions.h"
#include "platform/file_error.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kCtrlZ = 0x1A;

// The bytes of the file from its first ^Z on: the editor's loader stops there, and a save
// of what it read must not drop them. A ^Z that only ends the file is no more than the
// old end mark and may go. Only a regular file is read (a pipe would block); what cannot
// be read leaves nothing here, and the loader then reports the file as unreadable.
std::string UnreadTail(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    std::string tail;
    struct stat st {};
    bool found = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char block[65536];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            const char* from = block;
            if (!found) {
                from = static_cast<const char*>(std::memchr(block, kCtrlZ, static_cast<size_t>(n)));
                if (!from) continue;
                found = true;
            }
            tail.append(from, static_cast<size_t>(block + n - from));
        }
    }
    ::close(fd);
    if (tail.size() == 1) tail.clear();
    return tail;
}

// Only a file can take text after its own; a folder or a pipe in the day's name cannot.
bool IsPlainFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The file's bytes with `text` after its text (before its first ^Z), on a line of its own.
std::string AppendedBytes(const std::string& path, const std::string& name, std::string_view text) {
    std::string bytes;
    if (int err = ReadDayFileBytes(path, bytes)) ThrowFileError(name, "読めません", err);
    const size_t end = std::min(bytes.find(kCtrlZ), bytes.size());
    std::string tail = bytes.substr(end);
    if (tail.size() == 1) tail.clear();
    bytes.resize(end);
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
    bytes += text;
    return bytes + tail;
}

}  // namespace

TDiarySession::TDiarySession(std::string folder) : folder_(std::move(folder)), lock_(folder_) {}

std::string TDiarySession::PathOf(const TYMD& day) const {
    std::string name = DayFileName(day.Year, day.Month, day.Day);
    return folder_.empty() ? name : folder_ + "/" + name;
}

std::optional<std::string> TDiarySession::Show(const TYMD& day) {
    day_ = day;
    shown_ = true;
    edited_ = false;
    std::string path = PathOf(day);
    stamp_ = StampOf(path);
    unread_.clear();
    if (!stamp_.exists) return std::nullopt;
    unread_ = UnreadTail(path);
    return path;
}

void TDiarySession::Forget(const TYMD& day) {
    day_ = day;
    shown_ = false;
    edited_ = false;
    unread_.clear();
}

void TDiarySession::Resume(const TYMD& day, bool loaded, const TFileStamp& base) {
    day_ = day;
    shown_ = loaded;
    stamp_ = loaded ? base : TFileStamp{};
    edited_ = true;
    // Text that began as the file's keeps the file's unread part, as a shown file's does.
    unread_ = loaded ? UnreadTail(PathOf(day)) : std::string();
}

bool TDiarySession::Save(std::string_view text, const TConfirm& confirm, bool atClose, const TAskUnshown& unshown) {
    const std::string path = PathOf(day_);
    const std::string name = DayFileName(day_.Year, day_.Month, day_.Day);
    const auto fail = [&](int err) {
        throw EFileError(atClose ? CloseSaveErrorMessage(name, err) : WriteErrorMessage(err));
    };
    // What stands in the file's place and cannot be replaced is said at once: a question
    // whether to overwrite it would offer what cannot be done.
    if (int err = ReplaceRefusal(path)) fail(err);
    const TFileStamp now = StampOf(path);
    std::string question;
    bool append = false;
    if (lock_.HeldByAnother()) {
        question = "別の Mekuri が同じフォルダーの日記を開いています。ファイル " + name + " を上書きしますか？";
    } else if (shown_ && now.exists && now != stamp_) {
        question = "ファイル " + name + " は、読み込んだ後にほかのプログラムで変更されました。上書きしますか？";
    } else if (!shown_ && now.exists && unshown && IsPlainFile(path)) {
        const TUnshown answer = unshown("ファイル " + name +
                                        " には、エディタに表示されていない内容があります。\n"
                                        "追記: 書いた文章をその内容の後に加えます。\n"
                                        "上書き: その内容を消して、書いた文章に置き換えます。");
        if (answer == TUnshown::Cancel) return false;
        append = answer == TUnshown::Append;
    } else if (!shown_ && now.exists) {
        question = "ファイル " + name + " には、エディタに表示されていない内容があります。上書きしますか？";
    }
    if (!question.empty() && !confirm(question)) return false;

    const std::string bytes = append ? AppendedBytes(path, name, text) : std::string(text) + unread_;
    if (int err = ReplaceFileContents(path, bytes)) fail(err);
    stamp_ = StampOf(path);
    shown_ = !append;
    edited_ = false;
    if (OnFileChanged) OnFileChanged(day_, true);
    if (OnSaved) OnSaved(text);
    return true;
}

bool TDiarySession::Delete(const TYMD& day, const TConfirm& confirm) {
    const std::string path = PathOf(day);
    const std::string name = DayFileName(day.Year, day.Month, day.Day);
    if (!StampOf(path).exists) return false;
    if (!confirm(name + "を削除します")) return false;
    if (::unlink(path.c_str()) != 0) {
        const int err = errno;
        if (err != ENOENT) throw EFileError("ファイル " + name + " を削除できません。" + WriteErrorMessage(err));
    }
    if (day == day_) {
        stamp_ = {};
        unread_.clear();
    }
    if (OnFileChanged) OnFileChanged(day, false);
    return true;
}
