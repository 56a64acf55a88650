// Conflict copies in the main window: the bar above the editor on a day for which a
// file-sync tool kept another version, and 比べる, which resolves the copies one by one,
// newest first, through the normal save.
#include "window/form1.h"

#include "window/conflict_bar.h"
#include "calendar/monthly_calendar.h"
#include "calendar/weekly_calendar.h"
#include "diary/conflict_copies.h"
#include "diary/day_file.h"
#include "diary/day_index.h"
#include "diary/diary_session.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/file_error.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QDateTime>
#include <QStringDecoder>

namespace {

bool Ask(const std::string& question) { return Dialogs().Confirm(question); }

// A copy's text as the editor shows a day file's: up to its first ^Z, CP932 unless it
// is UTF-8 (with a byte-order mark, or valid UTF-8 with characters beyond ASCII), with
// CR LF between lines. Nothing when the text cannot be held in CP932.
struct TCopyText {
    QString shown;
    std::optional<std::string> sjis;
};

TCopyText ReadCopyText(std::string bytes) {
    if (const size_t eof = bytes.find('\x1a'); eof != std::string::npos) bytes.resize(eof);
    TCopyText text;
    const bool bom = bytes.starts_with("\xEF\xBB\xBF");
    const bool wide = std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())).sliced(bom ? 3 : 0));
    if (bom || (wide && !utf8.hasError())) {
        decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        decoded.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        text.shown = decoded;
        text.sjis = QStringToSjis(decoded);
    } else {
        text.shown = SjisToQString(bytes);
        text.sjis = bytes;
    }
    return text;
}

QString CopyTime(const TConflictCopy& copy) {
    return QDateTime::fromSecsSinceEpoch(copy.mtimeSec).toString(QStringLiteral("yyyy年M月d日 HH:mm"));
}

QString DayCaption(const TYMD& day) { return U8("%1年%2月%3日").arg(day.Year).arg(day.Month).arg(day.Day); }

}  // namespace

void TForm1::BuildConflicts(QWidget* editorColumn) {
    ConflictBar1 = new TConflictBar(editorColumn);
    ConflictBar1->OnCompare = Guarded([this] { CompareConflictsClick(); });
    for (TCustomCalendarEx* c : {static_cast<TCustomCalendarEx*>(MonthlyCalendar1), static_cast<TCustomCalendarEx*>(WeeklyCalendar1)})
        c->OnHasConflict = [this](std::int32_t y, std::uint8_t m, std::uint8_t d) { return Index_ && Index_->HasConflict({y, m, d}); };
}

void TForm1::SetConflictPatterns(const std::string& setting) {
    conflictPatterns_ = setting;
    Index_->SetConflictPatterns(ParseConflictPatterns(SjisToUtf8(setting)));
    if (FolderWatch_) RescanEntries();
}

void TForm1::UpdateConflictBar() {
    if (!ConflictBar1 || !Index_) return;
    const std::vector<TConflictCopy> copies = Index_->ConflictsOf(Diary_->Day());
    if (copies.empty()) {
        ConflictBar1->hide();
        return;
    }
    ConflictBar1->ShowCopy(QString::fromStdString(copies.front().tool), CopyTime(copies.front()), int(copies.size()) - 1);
}

void TForm1::CompareConflictsClick() {
    EnsureEntryIndex();
    const TYMD day = Diary_->Day();
    // This machine's version is the day file, or the text made from it in the editor; an
    // editor left empty at start-up has not read the file yet.
    if (!Diary_->Loaded() && !Diary_->Edited()) ShowDayFile(day.Year, day.Month, day.Day);
    // Taken now: every choice changes the folder, and the index follows it.
    for (const TConflictCopy& copy : Index_->ConflictsOf(day)) {
        std::string bytes;
        if (const int err = ReadDayFileBytes(copy.fileName, bytes)) {
            Dialogs().Error("別の版 " + copy.fileName + " を読めません。" + FileErrorReason(err) + "。");
            break;
        }
        const TCopyText other = ReadCopyText(std::move(bytes));
        Editor1->CommitComposition();
        const std::string mine = Editor1->Lines().Text();
        const QString otherCaption = U8("もう一方の版（%1、%2）").arg(QString::fromStdString(copy.tool), CopyTime(copy));
        const TConflictChoice choice = ChooseConflict ? ChooseConflict(SjisToQString(mine), other.shown)
                                                      : [&] {
                                                            TConflictWindow window(this, DayCaption(day), SjisToQString(mine),
                                                                                   other.shown, otherCaption);
                                                            window.exec();
                                                            return window.Choice();
                                                        }();
        if (choice == TConflictChoice::Later) break;
        if (choice != TConflictChoice::KeepMine && !other.sjis) {
            Dialogs().Error("別の版 " + copy.fileName +
                            " には Shift-JIS で表せない文字があるため、取り込めません。ファイルはそのまま残します。");
            break;
        }
        std::string chosen = mine;
        if (choice == TConflictChoice::KeepOther) chosen = *other.sjis;
        if (choice == TConflictChoice::KeepBoth)
            chosen = BothVersionsText(mine, *other.sjis,
                                      Utf8ToSjis("――――― 別の版（" + copy.tool + "、" + CopyTime(copy).toStdString() + "） ―――――"));
        // One edit, so that 元に戻す takes the chosen text back.
        if (chosen != mine) {
            Editor1->SetReadOnly(false);
            Editor1->SelectAll();
            Editor1->SetSelText(chosen);
        }
        if (!Diary_->Save(Editor1->Lines().Text(), Editor1->Session().Extra(), Ask)) break;
        if (const int err = MoveConflictCopyAside({}, copy.fileName)) {
            Dialogs().Error("別の版 " + copy.fileName + " を " + kConflictFolderName + " に移せません。" +
                            FileErrorReason(err) + "。");
            break;
        }
    }
    RescanEntries();
    UpdateConflictBar();
}
