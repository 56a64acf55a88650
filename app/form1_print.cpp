// Printing the editor's text, laid out by LayOutPrint in printer pixels.
#include "app/form1.h"
#include "diary/print_layout.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "platform/exceptions.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <unordered_map>

namespace {

const char* const kPrintError = "印刷できませんでした。プリンターを確認してください";

// The editor's font on paper: its pixel height is meant for a 96-dot screen, so the
// printer gets the same size in points.
QFont PrinterFont(const TFont& editorFont) {
    QFont font = ToQFont(editorFont);
    if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return font;
}

}  // namespace

void TForm1::Print1Click() {
    QPrinter printer(QPrinter::HighResolution);
    if (!Dialogs().PrinterSetup(printer)) return;
    QPainter painter;
    if (!painter.begin(&printer)) throw Exception(kPrintError);
    painter.setFont(PrinterFont(Editor1->Font()));
    const QFontMetrics fm = painter.fontMetrics();
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());

    std::unordered_map<std::string, int> widths;
    TPrintMetrics metrics;
    metrics.pageWidth = area.width();
    metrics.pageHeight = area.height();
    metrics.lineHeight = fm.height();
    metrics.averageCharWidth = fm.averageCharWidth();
    metrics.charWidth = [&](std::string_view ch) {
        auto [it, fresh] = widths.try_emplace(std::string(ch), 0);
        if (fresh) it->second = fm.horizontalAdvance(SjisToQString(ch));
        return it->second;
    };
    std::vector<std::string> lines;
    const TEditorStrings& text = Editor1->Lines();
    lines.reserve(static_cast<size_t>(text.Count()));
    for (int i = 0; i < text.Count(); ++i) lines.push_back(text.Strings(i));

    const std::vector<TPrintPage> pages = LayOutPrint(lines, metrics);
    bool ok = true;
    for (size_t p = 0; p < pages.size() && ok; ++p) {
        if (p > 0) ok = printer.newPage();
        for (const TPrintLine& line : pages[p])
            for (const TPrintRun& run : line.runs)
                painter.drawText(run.x, line.y + fm.ascent(), SjisToQString(run.text));
    }
    if (!painter.end() || !ok || printer.printerState() == QPrinter::Error) throw Exception(kPrintError);
}
