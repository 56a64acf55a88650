// A period of days at once: printed (each day from a new page, the pages counted over the
// whole job) or exported as text, Markdown or PDF. Only days whose file holds text count.
#include "window/form1.h"
#include "window/period_dialog.h"
#include "window/print_pages.h"
#include "window/work_progress.h"
#include "calendar/monthly_calendar.h"
#include "diary/day_index.h"
#include "diary/diary_export.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/file_error.h"
#include "platform/safe_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const char* const kNoEntries = "この期間に日記はありません";

QString U(const char* s) { return QString::fromUtf8(s); }

std::vector<TYMD> DaysWithFiles(const TPeriodChoice& period) {
    TDayIndex index;
    if (index.Scan("") != 0) throw EFileError("日記のフォルダー " + QDir::currentPath().toStdString() + " を読めません");
    return index.Between(period.first, period.last);
}

// Where an export is proposed: the user's documents folder, else the home folder, but
// never the diary folder or a folder inside it, where the file would lie among the days.
QString ExportFolder() {
    const QString diary = QDir::current().canonicalPath();
    const auto inDiary = [&](const QString& folder) {
        const QString f = QDir(folder).canonicalPath();
        return f == diary || f.startsWith(diary + '/');
    };
    for (const auto location : {QStandardPaths::DocumentsLocation, QStandardPaths::HomeLocation}) {
        const QString folder = QStandardPaths::writableLocation(location);
        if (!folder.isEmpty() && QFileInfo(folder).isDir() && !inDiary(folder)) return folder;
    }
    QDir parent(diary);
    return parent.cdUp() ? parent.path() : QDir::homePath();
}

}  // namespace

std::optional<TPeriodChoice> TForm1::RunPeriodDialog(bool forExport) {
    TPeriodChoice initial;
    const std::int32_t y = MonthlyCalendar1->Year();
    const std::uint8_t m = MonthlyCalendar1->Month();
    initial.first = {y, m, 1};
    initial.last = {y, m, DaysInMonth(y, m)};
    initial.format = lastExportFormat_;
    initial.file = (QDir(ExportFolder()).filePath(QString::asprintf("%04d-%02u", y, static_cast<unsigned>(m))) +
                    U(lastExportFormat_ == TPeriodFormat::Pdf        ? ".pdf"
                      : lastExportFormat_ == TPeriodFormat::Markdown ? ".md"
                                                                     : ".txt"))
                       .toStdString();
    if (ChoosePeriod) return ChoosePeriod(initial, forExport);
    TPeriodDialog dialog(this, forExport, initial);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

std::vector<TPrintDay> TForm1::ReadPrintDays(const std::vector<TYMD>& days, bool* stopped,
                                             std::vector<TYMD>* brokenDays) {
    std::vector<TPrintDay> out;
    TWorkProgress progress(this, "日記を読んでいます...");
    size_t done = 0;
    const std::string error = ForEachEntry("", days, [&](const TYMD& day, std::string_view sjis, const TExtraChars& extra) {
        if (!progress(done++, days.size())) return false;
        out.push_back({DayHeader(day), DayTextLines(sjis), extra.Empty() ? nullptr : std::make_shared<TExtraChars>(extra)});
        if (brokenDays && HoldsBrokenSjis(sjis, extra)) brokenDays->push_back(day);
        return true;
    });
    *stopped = progress.Stopped();
    if (!error.empty()) throw EFileError(error);
    return out;
}

void TForm1::PeriodPrintClick() {
    const auto period = RunPeriodDialog(false);
    if (!period) return;
    bool stopped = false;
    const std::vector<TPrintDay> days = ReadPrintDays(DaysWithFiles(*period), &stopped);
    if (stopped) return;
    if (days.empty()) return Dialogs().Error(kNoEntries);
    PrintDays(days);
}

void TForm1::PeriodExportClick() {
    const auto period = RunPeriodDialog(true);
    if (!period) return;
    lastExportFormat_ = period->format;
    const std::vector<TYMD> days = DaysWithFiles(*period);
    if (period->format == TPeriodFormat::Pdf) {
        bool stopped = false;
        std::vector<TYMD> broken;
        const std::vector<TPrintDay> printDays = ReadPrintDays(days, &stopped, &broken);
        if (stopped) return;
        if (printDays.empty()) return Dialogs().Error(kNoEntries);
        TWorkProgress progress(this, "PDF を作っています...");
        const auto pageDone = [&](int page, int pages) {
            return progress(static_cast<size_t>(page), static_cast<size_t>(pages));
        };
        const std::string error = WritePrintPdf(period->file, printDays, PrinterFont(Editor1->Font()), pageDone, &stopped);
        if (!error.empty()) throw EFileError(error);
        if (!stopped) WarnBrokenDays(broken);
        return;
    }
    TWorkProgress progress(this, "書き出しています...");
    const TExportResult result =
        ExportEntries("", days, period->format == TPeriodFormat::Markdown ? TExportFormat::Markdown : TExportFormat::Text,
                      [&](size_t done, size_t total) { return progress(done, total); });
    if (result.cancelled) return;
    if (!result.error.empty()) throw EFileError(result.error);
    if (result.output.empty()) return Dialogs().Error(kNoEntries);
    if (const int err = ReplaceFileContents(period->file, result.output))
        throw EFileError(FileErrorMessage(period->file, "書き込めません", err));
    WarnBrokenDays(result.brokenDays);
}

void TForm1::WarnBrokenDays(const std::vector<TYMD>& days) {
    if (days.empty()) return;
    std::string list;
    for (const TYMD& day : days) list += "\n" + ExportDayHeading(day);
    Dialogs().Warning("書き出しました。ただし、次の日の日記には文字として読めない部分があったため、"
                      "その部分は「\xEF\xBF\xBD」の記号に置き換わっています:" + list);
}
