// Printing: the editor's text as the selected day's pages, and a period of days at once
// (form1_period.cpp), laid out by LayOutPrint in printer pixels.
#include "window/form1.h"
#include "window/print_pages.h"
#include "window/work_progress.h"
#include "diary/diary_session.h"
#include "calendar/weekly_calendar.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"

#include <QPainter>
#include <QPrinter>

namespace {

const char* const kPrintError = "印刷できませんでした。プリンターを確認してください";

}  // namespace

std::string TForm1::DayHeader(const TYMD& day) {
    return PrintDayHeader(day, WeeklyCalendar1->GetHolidayNames(day.Year, day.Month, day.Day));
}

bool TForm1::PrintDays(const std::vector<TPrintDay>& days) {
    QPrinter printer(QPrinter::HighResolution);
    if (!Dialogs().PrinterSetup(printer)) return false;
    // After the set-up: the margins follow the printer and paper chosen there.
    SetDiaryPageMargins(printer);
    QPainter painter;
    if (!painter.begin(&printer)) throw Exception(kPrintError);
    TWorkProgress progress(this, "印刷しています...");
    const bool done = PaintPrintJob(printer, painter, days, PrinterFont(Editor1->Font()), [&](int page, int pages) {
        return progress(static_cast<size_t>(page), static_cast<size_t>(pages));
    });
    if (!done && progress.Stopped()) {
        printer.abort();
        painter.end();
        return false;
    }
    if (!painter.end() || !done || printer.printerState() == QPrinter::Error) throw Exception(kPrintError);
    return true;
}

void TForm1::Print1Click() {
    std::vector<std::string> lines;
    const TEditorStrings& text = Editor1->Lines();
    lines.reserve(static_cast<size_t>(text.Count()));
    for (int i = 0; i < text.Count(); ++i) lines.push_back(text.Strings(i));
    // The day the text belongs to, which the calendar shows too.
    PrintDays({{DayHeader(Diary_->Day()), std::move(lines), std::make_shared<TExtraChars>(Editor1->Session().Extra())}});
}
