#include "diary/print_layout.h"

#include "platform/sjis.h"

#include <algorithm>
#include <utility>

namespace {

class TPager {
public:
    explicit TPager(const TPrintMetrics& m) : m_(m) { pages_.emplace_back(); }

    void Line(const std::string& text) {
        TPrintLine line{y_, {}};
        int x = 0;
        size_t i = 0;
        bool startRun = true;
        while (i < text.size()) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            const size_t len = IsLeadByte(c) && i + 1 < text.size() ? 2 : 1;
            int next;
            if (c == '\t') {
                const int stop = std::max(1, 8 * m_.averageCharWidth);
                next = (x / stop + 1) * stop;
            } else {
                next = x + m_.charWidth(std::string_view(text).substr(i, len));
            }
            if (next > m_.pageWidth && x > 0) {
                Emit(std::move(line), true);
                line = TPrintLine{y_, {}};
                x = 0;
                startRun = true;
                continue;
            }
            if (c == '\t') {
                startRun = true;
            } else {
                if (startRun) line.runs.push_back({x, {}});
                line.runs.back().text.append(text, i, len);
                startRun = false;
            }
            x = next;
            i += len;
        }
        Emit(std::move(line), !text.empty());
    }

    std::vector<TPrintPage> Take() { return std::move(pages_); }

private:
    void Emit(TPrintLine line, bool printed) {
        pages_.back().push_back(std::move(line));
        const int height = printed ? m_.lineHeight : 0;
        y_ += printed ? m_.lineHeight + 2 : m_.lineHeight;
        if (y_ > m_.pageHeight - 2 * height) {
            pages_.emplace_back();
            y_ = 0;
        }
    }

    const TPrintMetrics& m_;
    std::vector<TPrintPage> pages_;
    int y_ = 0;
};

}  // namespace

std::vector<TPrintPage> LayOutPrint(const std::vector<std::string>& lines, const TPrintMetrics& metrics) {
    TPager pager(metrics);
    for (const std::string& line : lines) pager.Line(line);
    std::vector<TPrintPage> pages = pager.Take();
    // A break after the last line opens a page that nothing is printed on.
    if (pages.size() > 1 && pages.back().empty()) pages.pop_back();
    return pages;
}
