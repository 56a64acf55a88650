#pragma once
// Drawing laid-out pages (diary/print_layout.h) on a printer or a PDF: the body in the
// editor's font, the day's header and the page number in the same face, smaller.
#include "diary/print_layout.h"
#include "platform/font.h"

#include <QFont>

#include <functional>
#include <string>
#include <vector>

class QPagedPaintDevice;
class QPainter;
class TPdfText;

// The editor's font on paper: its pixel height is meant for a 96-dot screen, so the
// printer gets the same size in points.
QFont PrinterFont(const TFont& editorFont);

// The one page set-up of the diary's pages, on a printer or in the exported PDF: margins
// of kPageMarginMm, or the printer's unprintable edge where that is wider. Keeps the
// paper and orientation the device has.
constexpr double kPageMarginMm = 15.0;
void SetDiaryPageMargins(QPagedPaintDevice& device);

// The measures the layout needs for `font` on `device`'s printable area. The character
// widths are asked of Qt once per character and kept.
TPrintMetrics PrintMetricsFor(QPagedPaintDevice& device, const QFont& font);

// Lays out `days` and draws them on `device` through `painter` (begun on it).
// `progress(page, pages)` is told before each page; returning false stops the drawing.
// Returns false when the device refused a new page or the drawing was stopped. The text
// is drawn through `pdfText` when given (for a PDF whose text maps it completes after).
bool PaintPrintJob(QPagedPaintDevice& device, QPainter& painter, const std::vector<TPrintDay>& days, const QFont& font,
                   const std::function<bool(int page, int pages)>& progress = {}, TPdfText* pdfText = nullptr);

// The same pages as a PDF file (A4), written by the safe replacement, so that a failure or
// a stop leaves no partial file. Returns an empty string, or the reason it failed
// (an empty string with `*stopped` set when progress stopped it).
std::string WritePrintPdf(const std::string& path, const std::vector<TPrintDay>& days, const QFont& font,
                          const std::function<bool(int page, int pages)>& progress = {}, bool* stopped = nullptr);
