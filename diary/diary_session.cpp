#include "diary/diary_session.h"

#include "diary/day_file_name.h"
#include "platform/unicode_text.h"
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

struct TScan {
    std::string tail;
    TDayFileForm form = TDayFileForm::Cp932;
};

// The file's form, and its bytes from the first ^Z on: the editor's loader stops there,
// and a save of what it read must not drop them. A ^Z that only ends the file is no more
// than the old end mark and may go. Only a regular file is read (a pipe would block); what
// cannot be read leaves nothing here, and the loader then reports the file as unreadable.
TScan ScanDayFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    TScan scan;
    TDayFileFormGuess guess;
    struct stat st {};
    bool found = false;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        char block[65536];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            guess.Feed(std::string_view(block, static_cast<size_t>(n)));
            const char* from = block;
            if (!found) {
                from = static_cast<const char*>(std::memchr(block, kCtrlZ, static_cast<size_t>(n)));
                if (!from) continue;
                found = true;
            }
            scan.tail.append(from, static_cast<size_t>(block + n - from));
        }
    }
    ::close(fd);
    if (scan.tail.size() == 1) scan.tail.clear();
    scan.form = guess.Form();
    return scan;
}

// Only a file can take text after its own; a folder or a pipe in the day's name cannot.
bool IsPlainFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The file's bytes with `text` (its codes those of `extra`) after the file's text, before
// its first ^Z, on a line of its own. A CP932 file that cannot hold the typed text moves to
// UTF-8 with the mark, as a save of the whole text would.
std::string AppendedBytes(const std::string& path, const std::string& name, std::string_view text,
                          const TExtraChars& extra) {
    std::string bytes;
    if (int err = ReadDayFileBytes(path, bytes)) ThrowFileError(name, "読めません", err);
    const size_t end = std::min(bytes.find(kCtrlZ), bytes.size());
    std::string tail = bytes.substr(end);
    if (tail.size() == 1) tail.clear();
    bytes.resize(end);
    const TDayFileForm form = GuessDayFileForm(bytes);
    if (form == TDayFileForm::Cp932 && !extra.HoldsCode(text)) {
        if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
        return bytes + std::string(text) + tail;
    }
    TDayText day = DayTextFromBytes(bytes);
    if (!day.text.empty() && day.text.back() != '\n' && day.text.back() != '\r') day.text += "\r\n";
    day.text += TextFromUnicode(UnicodeFromText(text, extra, TBrokenBytes::Keep), day.extra);
    const TDayFileForm written = form == TDayFileForm::Cp932 ? TDayFileForm::Utf8WithMark : form;
    return DayFileBytes(day.text, day.extra, written) + tail;
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
    form_ = TDayFileForm::Cp932;
    if (!stamp_.exists) return std::nullopt;
    TScan scan = ScanDayFile(path);
    unread_ = std::move(scan.tail);
    form_ = scan.form;
    return path;
}

void TDiarySession::Forget(const TYMD& day) {
    day_ = day;
    shown_ = false;
    edited_ = false;
    unread_.clear();
    form_ = TDayFileForm::Cp932;
}

void TDiarySession::Resume(const TYMD& day, bool loaded, const TFileStamp& base) {
    day_ = day;
    shown_ = loaded;
    stamp_ = loaded ? base : TFileStamp{};
    edited_ = true;
    // Text that began as the file's keeps the file's unread part and form, as a shown file's does.
    TScan scan = loaded ? ScanDayFile(PathOf(day)) : TScan();
    unread_ = std::move(scan.tail);
    form_ = scan.form;
}

bool TDiarySession::Save(std::string_view text, const TConfirm& confirm, bool atClose, const TAskUnshown& unshown) {
    static const TExtraChars none;
    return Save(text, none, confirm, atClose, shown_ && stamp_.exists && form_ != TDayFileForm::Cp932, unshown);
}

TDayFileForm TDiarySession::FormToWrite(std::string_view text, const TExtraChars& extra) const {
    const bool fitsCp932 = !extra.HoldsCode(text);
    if (shown_ && stamp_.exists) return form_ == TDayFileForm::Cp932 && !fitsCp932 ? TDayFileForm::Utf8WithMark : form_;
    return fitsCp932 && !newFilesUtf8_ ? TDayFileForm::Cp932 : TDayFileForm::Utf8WithMark;
}

bool TDiarySession::Save(std::string_view text, const TExtraChars& extra, const TConfirm& confirm, bool atClose,
                         const TAskUnshown& unshown) {
    return Save(text, extra, confirm, atClose, false, unshown);
}

bool TDiarySession::Save(std::string_view text, const TExtraChars& extra, const TConfirm& confirm, bool atClose,
                         bool asRead, const TAskUnshown& unshown) {
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

    const TDayFileForm form = asRead ? form_ : FormToWrite(text, extra);
    const bool moved = shown_ && stamp_.exists && form_ == TDayFileForm::Cp932 && form != TDayFileForm::Cp932;
    std::string bytes;
    if (append) {
        bytes = AppendedBytes(path, name, text, extra);
    } else {
        bytes = asRead ? std::string(text) : DayFileBytes(text, extra, form);
        bytes += unread_;
    }
    if (int err = ReplaceFileContents(path, bytes)) fail(err);
    if (!append) form_ = form;
    if (moved && OnMovedToUtf8) OnMovedToUtf8(day_);
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
