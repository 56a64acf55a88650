#include "diary/diary_session.h"

#include "diary/day_file_name.h"
#include "platform/exceptions.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <unistd.h>

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
    if (!stamp_.exists) return std::nullopt;
    return path;
}

void TDiarySession::Forget(const TYMD& day) {
    day_ = day;
    shown_ = false;
    edited_ = false;
}

void TDiarySession::Resume(const TYMD& day, bool loaded, const TFileStamp& base) {
    day_ = day;
    shown_ = loaded;
    stamp_ = loaded ? base : TFileStamp{};
    edited_ = true;
}

bool TDiarySession::Save(std::string_view text, const TConfirm& confirm, bool atClose) {
    const std::string path = PathOf(day_);
    const std::string name = DayFileName(day_.Year, day_.Month, day_.Day);
    const TFileStamp now = StampOf(path);
    std::string question;
    if (lock_.HeldByAnother())
        question = "別の Mekuri が同じフォルダーの日記を開いています。ファイル " + name + " を上書きしますか？";
    else if (shown_ && now.exists && now != stamp_)
        question = "ファイル " + name + " は、読み込んだ後にほかのプログラムで変更されました。上書きしますか？";
    else if (!shown_ && now.exists)
        question = "ファイル " + name + " には、エディタに表示されていない内容があります。上書きしますか？";
    if (!question.empty() && !confirm(question)) return false;

    if (int err = ReplaceFileContents(path, text))
        throw EFileError(atClose ? CloseSaveErrorMessage(name, err) : WriteErrorMessage(err));
    stamp_ = StampOf(path);
    shown_ = true;
    edited_ = false;
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
    if (day == day_) stamp_ = {};
    return true;
}
