// Unsaved diary text kept in a recovery copy, so that a crash, a kill or a power cut
// loses at most the last seconds of writing, and the copies offered back at start-up.
#include "window/form1.h"
#include "calendar/monthly_calendar.h"
#include "diary/day_file_name.h"
#include "diary/diary_session.h"
#include "diary/recovery_keeper.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/file_error.h"
#include "platform/folder_files.h"
#include "platform/handler_guard.h"
#include "platform/safe_file.h"

#include <QDir>
#include <QGuiApplication>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

std::size_t HashOf(std::string_view text) { return std::hash<std::string_view>{}(text); }

std::string DayCaption(const TYMD& d) {
    return std::to_string(d.Year) + "年" + std::to_string(d.Month) + "月" + std::to_string(d.Day) + "日";
}

// The state folder holds the unsaved text of every diary of the user's: one that others may
// read is tightened when it is the user's, and else left unused, with a word why. A
// missing one is made (0700) when a copy first needs it.
std::string PrivateStateFolder() {
    const std::string folder = RecoveryStateFolder();
    if (folder.empty()) return folder;
    const int err = MakePrivateFolder(folder, false);
    if (err == 0 || err == ENOENT) return folder;
    const std::string why = err == EPERM     ? "ほかのユーザーのフォルダーです"
                            : err == ENOTDIR ? "フォルダーではありません"
                                             : FileErrorReason(err);
    Dialogs().Error("状態フォルダー " + folder + " は使いません（" + why +
                    "）。\n保存されていない日記の復元用コピーは、日記のフォルダーにだけ置きます。");
    return {};
}

}  // namespace

void TForm1::BuildRecovery() {
    const std::string diaryFolder = QDir::currentPath().toStdString();
    stateFolder_ = PrivateStateFolder();
    // Saves of copies cut short in the state folder; the diary folder's are cleared at start.
    if (!stateFolder_.empty()) RemoveStaleReplacements(stateFolder_);
    Recovery_ = std::make_unique<TRecoveryKeeper>(diaryFolder, stateFolder_);
    RecoveryTimer = new QTimer(this);
    RecoveryTimer->setSingleShot(true);
    RecoveryTimer->setInterval(kRecoveryDelayMs);
    connect(RecoveryTimer, &QTimer::timeout, this, Guarded([this] { RecoveryTick(); }));
    Diary_->OnSaved = [this](std::string_view text) {
        settledLength_ = text.size();
        settledHash_ = HashOf(text);
        Recovery_->Discard();
    };
    // The session ending: the window may never be asked to close.
    connect(qApp, &QGuiApplication::commitDataRequest, this, Guarded([this] { KeepStateNow(); }));
    connect(qApp, &QCoreApplication::aboutToQuit, this, Guarded([this] { KeepStateNow(); }));
}

void TForm1::RecoverySettled() {
    const std::string text = Editor1->Lines().Text();
    settledLength_ = text.size();
    settledHash_ = HashOf(text);
    RecoveryTimer->stop();
    Recovery_->Discard();
}

void TForm1::RecoveryTick() {
    if (!Diary_->Edited()) {
        Recovery_->Discard();
        return;
    }
    std::string text = Editor1->Lines().Text();
    if (text.size() == settledLength_ && HashOf(text) == settledHash_) {
        Recovery_->Discard();
        return;
    }
    TRecoveryCopy copy;
    copy.day = Diary_->Day();
    copy.text = std::move(text);
    copy.host = ThisHostName();
    copy.codes = Editor1->Session().Extra().Codes();
    copy.loaded = Diary_->Loaded();
    if (copy.loaded) copy.base = Diary_->LoadedStamp();
    Recovery_->Keep(std::move(copy));
    // A failed write shows on the next tick; told once, so that typing is not held up by
    // a box every two seconds.
    if (int err = Recovery_->LastError(); err != 0 && !recoveryErrorShown_) {
        recoveryErrorShown_ = true;
        // The copy's own limit; the file-size limit is worded as the day file's save words it.
        const std::string why = err == E2BIG ? "文章が大きすぎます" : WriteErrorMessage(err);
        Dialogs().Error("保存されていない日記の復元用コピーを書けません（" + why +
                        "）。\n日記を保存すれば、文章は失われません。");
    }
}

void TForm1::KeepRecoveryNow() {
    if (RecoveryTimer->isActive()) {
        RecoveryTimer->stop();
        RecoveryTick();
    }
    Recovery_->Flush();
}

void TForm1::KeepStateNow() {
    KeepRecoveryNow();
    // A close already wrote the settings as the user left them.
    if (closed_) return;
    try {
        SaveSettings();
    } catch (...) {
        // No box: the program is going and nobody may be there to answer it. The file is
        // replaced whole or not at all, so the old settings stay readable.
    }
}

void TForm1::EndRecovery() {
    RecoveryTimer->stop();
    Recovery_->Discard();
    Recovery_->Freeze();
}

void TForm1::OfferRecoveryCopies() {
    TRecoveryScan scan = FindRecoveryCopies(QDir::currentPath().toStdString(), stateFolder_);
    if (!scan.damaged.empty()) Dialogs().Error(DamagedCopiesMessage(scan.damaged));
    for (TFoundCopy& found : scan.copies) {
        const TRecoveryCopy& c = found.copy;
        const std::string name = DayFileName(c.day.Year, c.day.Month, c.day.Day);
        const TFileStamp now = StampOf(Diary_->PathOf(c.day));
        // Another machine's copy came with the synced folder: that machine may still be
        // running with the text, so it is offered as that machine's, and never deleted here.
        const bool elsewhere = !c.host.empty() && c.host != ThisHostName();
        std::string question = elsewhere ? "別の端末（" + c.host + "）の未保存の内容が見つかりました（" + DayCaption(c.day) +
                                               "）。この端末で復元しますか？"
                                         : "保存されていない日記が見つかりました（" + DayCaption(c.day) + "）。復元しますか？";
        if (c.loaded ? now != c.base : now.exists) {
            question += c.loaded ? "\n\nこの文章を読み込んだ後に、日記ファイル " + name + " が変更されています。"
                                 : "\n\n日記ファイル " + name + " には、この文章にない内容があります。";
            question += "復元しても、保存するまでファイルは書き換えません。";
        }
        const int answer = elsewhere ? (Dialogs().Choose(question, {"はい(&Y)", "後で(&L)"}) == 0 ? 0 : 2)
                                     : Dialogs().Choose(question, {"はい(&Y)", "いいえ(&N)", "後で(&L)"});
        if (answer == 0) {
            // One text at a time in the editor: the other copies wait for the next start.
            RestoreCopy(found);
            return;
        }
        if (answer == 1 && Dialogs().Confirm(DayCaption(c.day) + "の保存されていない日記を削除します。よろしいですか？") &&
            !found.Remove())
            Dialogs().Error("復元用のコピー " + found.path + " を削除できません。" + WriteErrorMessage(errno));
    }
}

void TForm1::RestoreCopy(TFoundCopy& found) {
    const TRecoveryCopy& c = found.copy;
    MonthlyCalendar1->SetJuliusDay(YMDToJulius(c.day.Year, c.day.Month, c.day.Day));
    Editor1->Session().LoadText(c.text, ExtraCharsOf(c));
    Editor1->SetReadOnly(false);
    Editor1->SetModified(true);
    Diary_->Resume(c.day, c.loaded, c.base);
    // The text is this run's to keep now: its own copy first, then the old one can go.
    RecoveryTick();
    Recovery_->Flush();
    if (Recovery_->LastError() == 0) found.Remove();
}
