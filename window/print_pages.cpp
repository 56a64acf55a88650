#include "window/print_pages.h"

#include "platform/file_error.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "platform/safe_file.h"
#include "platform/unicode_text.h"
#include "window/pdf_text.h"

#include <QBuffer>
#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace {

// The body's face, then faces for what it lacks: the CJK extension planes, then emoji in
// black outlines (a colour emoji face prints as nothing and leaves no text in a PDF).
QFont PaperFont(const QFont& body) {
    QStringList families = body.families();
    if (families.isEmpty()) families << body.family();
    families << QStringLiteral("HanaMinA") << QStringLiteral("HanaMinB") << QStringLiteral("Symbola")
             << QStringLiteral("DejaVu Sans");
    QFont font = body;
    font.setFamilies(families);
    return font;
}

QString PrintedText(const TPrintPage& page, const std::string& text) {
    if (!page.extra) return SjisToQString(text);
    const std::string utf8 = UnicodeFromText(text, *page.extra);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QFont BandFont(const QFont& body) {
    QFont font = body;
    font.setPointSizeF(std::max(6.0, body.pointSizeF() * 0.8));
    return font;
}

}  // namespace

QFont PrinterFont(const TFont& editorFont) {
    QFont font = ToQFont(editorFont);
    if (font.pixelSize() > 0) font.setPointSizeF(font.pixelSize() * 72.0 / 96.0);
    return font;
}

void SetDiaryPageMargins(QPagedPaintDevice& device) {
    QPageLayout layout = device.pageLayout();
    layout.setUnits(QPageLayout::Millimeter);
    const QMarginsF least = layout.minimumMargins();
    layout.setMargins(QMarginsF(std::max(kPageMarginMm, least.left()), std::max(kPageMarginMm, least.top()),
                                std::max(kPageMarginMm, least.right()), std::max(kPageMarginMm, least.bottom())));
    device.setPageLayout(layout);
}

TPrintMetrics PrintMetricsFor(QPagedPaintDevice& device, const QFont& font) {
    const QFontMetrics fm(font, &device);
    const QFontMetrics band(BandFont(font), &device);
    const int resolution = device.logicalDpiX();
    const QRect area = device.pageLayout().paintRectPixels(resolution);
    const QRect full = device.pageLayout().fullRectPixels(resolution);
    TPrintMetrics m;
    m.pageWidth = area.width();
    m.pageHeight = area.height();
    m.lineHeight = fm.height();
    m.averageCharWidth = fm.averageCharWidth();
    m.headerHeight = band.height() + fm.height() / 2;
    m.footerHeight = band.height() + fm.height() / 2;
    m.hangWidth = std::clamp(full.right() - area.right(), 0, 2 * fm.averageCharWidth());
    auto widths = std::make_shared<std::unordered_map<std::string, int>>();
    m.charWidth = [widths, fm](std::string_view ch) {
        auto [it, fresh] = widths->try_emplace(std::string(ch), 0);
        if (fresh) it->second = fm.horizontalAdvance(SjisToQString(ch));
        return it->second;
    };
    const QFontMetrics paper(PaperFont(font), &device);
    m.clusterWidth = [widths, paper](std::string_view cluster) {
        // Kept apart from the CP932 characters' widths by a leading NUL.
        auto [it, fresh] = widths->try_emplace('\0' + std::string(cluster), 0);
        if (fresh) it->second = paper.horizontalAdvance(QString::fromUtf8(cluster.data(), static_cast<qsizetype>(cluster.size())));
        return it->second;
    };
    return m;
}

bool PaintPrintJob(QPagedPaintDevice& device, QPainter& painter, const std::vector<TPrintDay>& days, const QFont& font,
                   const std::function<bool(int page, int pages)>& progress, TPdfText* pdfText) {
    TPdfText own;
    TPdfText& text = pdfText ? *pdfText : own;
    const TPrintMetrics metrics = PrintMetricsFor(device, font);
    const std::vector<TPrintPage> pages = LayOutPrint(days, metrics);
    const QFont bandFont = BandFont(font);
    const QFont paperFont = PaperFont(font);
    painter.setFont(font);
    const QFontMetrics fm = painter.fontMetrics();
    painter.setFont(bandFont);
    const QFontMetrics bfm = painter.fontMetrics();
    const int total = static_cast<int>(pages.size());
    for (int p = 0; p < total; ++p) {
        if (progress && !progress(p, total)) return false;
        if (p > 0 && !device.newPage()) return false;
        const TPrintPage& page = pages[static_cast<size_t>(p)];
        painter.setFont(bandFont);
        const QString header = bfm.elidedText(SjisToQString(page.header), Qt::ElideRight, metrics.pageWidth);
        text.Draw(painter, bandFont, QPointF(0, bfm.ascent()), header);
        const int rule = bfm.height() + (metrics.headerHeight - bfm.height()) / 3;
        painter.drawLine(0, rule, metrics.pageWidth, rule);
        const QString footer = QString::fromStdString(page.footer);
        text.Draw(painter, bandFont,
                  QPointF((metrics.pageWidth - bfm.horizontalAdvance(footer)) / 2, metrics.pageHeight - bfm.height() + bfm.ascent()),
                  footer);
        painter.setFont(paperFont);
        for (const TPrintLine& line : page.lines)
            for (const TPrintRun& run : line.runs)
                text.Draw(painter, paperFont, QPointF(run.x, line.y + fm.ascent()), PrintedText(page, run.text));
    }
    return true;
}

std::string WritePrintPdf(const std::string& path, const std::vector<TPrintDay>& days, const QFont& font,
                          const std::function<bool(int page, int pages)>& progress, bool* stopped) {
    if (stopped) *stopped = false;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    bool painted = false;
    TPdfText text;
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
        SetDiaryPageMargins(writer);
        writer.setCreator(QStringLiteral("Mekuri"));
        QPainter painter;
        if (!painter.begin(&writer)) return "PDF を作れませんでした";
        painted = PaintPrintJob(writer, painter, days, font, progress, &text);
        painter.end();
    }
    if (!painted) {
        if (stopped) *stopped = true;
        return {};
    }
    const QByteArray bytes = text.CompleteTextMaps(buffer.data());
    const int err = ReplaceFileContents(path, std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
    if (err != 0) return FileErrorMessage(path, "書き込めません", err);
    return {};
}
