// Feeds arbitrary bytes as a day's text to the print layout and to the export.
//
// Input: one byte for the page width (40 to 295 pixels), one for the page height (in lines)
// and bits for the bands and the margin, then the day file's bytes. Checks that every byte
// but the tabs is printed once and in order, that no line reaches into the footer band
// unless it is alone on its page, that a line's ink stays inside the page but for a hanging
// 、 or 。, and that the exported text is valid UTF-8 ending in an empty line.
#include "diary/diary_export.h"
#include "diary/line_breaking.h"
#include "diary/print_layout.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

bool ValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    TPrintMetrics m;
    m.pageWidth = 40 + data[0];
    m.lineHeight = 30;
    m.pageHeight = 30 * (1 + (data[1] & 0x1F));
    m.headerHeight = data[1] & 0x20 ? 20 : 0;
    m.footerHeight = data[1] & 0x40 ? 20 : 0;
    m.hangWidth = data[1] & 0x80 ? 20 : 0;
    m.averageCharWidth = 10;
    m.charWidth = [](std::string_view ch) { return ch.size() == 2 ? 20 : 10; };
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    const std::vector<std::string> lines = DayTextLines(text);
    std::string expected;
    // A lead byte takes the byte after it whatever it is, a tab too, as the editor does.
    for (const std::string& line : lines)
        for (size_t i = 0; i < line.size(); i += CharLengthAt(line, i))
            if (line[i] != '\t') expected.append(line, i, CharLengthAt(line, i));
    const std::vector<TPrintPage> pages = LayOutPrint({{"h", lines}}, m);
    std::string printed;
    for (const TPrintPage& page : pages) {
        for (size_t l = 0; l < page.lines.size(); ++l) {
            const TPrintLine& line = page.lines[l];
            Check(line.y >= m.headerHeight);
            Check(l == 0 || line.y + m.lineHeight <= m.pageHeight - m.footerHeight);
            for (const TPrintRun& run : line.runs) {
                printed += run.text;
                int x = run.x, before = run.x;
                size_t chars = 0, last = 0;
                const std::string_view ink = std::string_view(run.text).substr(0, run.text.find_last_not_of(' ') + 1);
                for (size_t i = 0; i < ink.size(); i += CharLengthAt(ink, i), ++chars) {
                    last = i;
                    before = x;
                    x += m.charWidth(ink.substr(i, CharLengthAt(ink, i)));
                }
                const bool hangs = chars > 0 && BreakClassOf(ink.substr(last, CharLengthAt(ink, last))) == TBreakClass::Hanging &&
                                   before <= m.pageWidth && x <= m.pageWidth + m.hangWidth;
                Check(x <= m.pageWidth || hangs || (run.x == 0 && chars == 1) || run.x >= m.pageWidth);
            }
        }
    }
    Check(printed == expected);

    std::string exported;
    AppendExportedDay(exported, {2026, 12, 7}, text, TExportFormat::Markdown);
    Check(ValidUtf8(exported));
    Check(exported.size() >= 2 && exported.compare(exported.size() - 2, 2, "\n\n") == 0);
    return 0;
}
