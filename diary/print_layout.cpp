#include "diary/print_layout.h"

#include "diary/diary_export.h"
#include "diary/line_breaking.h"
#include "platform/sjis.h"

#include <algorithm>
#include <utility>

namespace {

bool NoLineStart(TBreakClass c) { return c == TBreakClass::Closing || c == TBreakClass::Hanging; }

// Lays the lines of one day out on pages of their own; pages are appended to `pages`.
class TPager {
public:
    TPager(const TPrintMetrics& m, std::vector<TPrintPage>& pages, const TPrintDay& day)
        : m_(m), pages_(pages), header_(day.header), extra_(day.extra), tabStop_(std::max(1, 8 * m.averageCharWidth)),
          bottom_(m.pageHeight - m.footerHeight) {
        NewPage();
    }

    void Line(std::string_view text) {
        text_ = text;
        line_ = TPrintLine{};
        x_ = 0;
        startRun_ = true;
        for (size_t at = 0; at < text.size();) {
            const size_t end = ClusterEnd(at);
            Cluster(at, end);
            at = end;
        }
        Emit(!text.empty());
    }

private:
    // The end of the piece starting at `at` that must stay on one line: a Latin word, or
    // one character, with the opening marks before it and the closing marks after it
    // (blanks between a mark and its neighbour stay too).
    size_t ClusterEnd(size_t at) const {
        size_t i = at;
        bool opening = false;
        for (;;) {
            const TBreakClass c = ClassAt(i);
            const bool blank = text_[i] == '\t' || text_[i] == ' ';
            i += CharLengthAt(text_, i);
            if (c == TBreakClass::Latin)
                while (i < text_.size() && ClassAt(i) == TBreakClass::Latin) ++i;
            opening = c == TBreakClass::Opening || (opening && blank);
            if (!opening || i >= text_.size()) break;
        }
        for (;;) {
            size_t j = i;
            while (j < text_.size() && (text_[j] == '\t' || text_[j] == ' ')) ++j;
            if (j >= text_.size() || !NoLineStart(ClassAt(j))) break;
            i = j + CharLengthAt(text_, j);
        }
        // Spaces after it go with it and may pass the right edge unseen, so that no line
        // after a break starts with a space.
        while (i < text_.size() && text_[i] == ' ') ++i;
        return i;
    }

    TBreakClass ClassAt(size_t i) const { return BreakClassOf(text_.substr(i, CharLengthAt(text_, i))); }

    int Advance(size_t i, int x) const {
        if (text_[i] == '\t') return (x / tabStop_ + 1) * tabStop_;
        const std::string_view ch = text_.substr(i, CharLengthAt(text_, i));
        if (extra_ && ch.size() == 2 && m_.clusterWidth)
            if (const std::string* cluster = extra_->Cluster(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1])))
                return x + m_.clusterWidth(*cluster);
        return x + m_.charWidth(ch);
    }

    // Whether [from, to) fits from x: whole, or with a final 、 or 。 standing in the margin.
    // Spaces at its end need no room.
    bool Fits(size_t from, size_t to, int x) const {
        while (to > from && text_[to - 1] == ' ') --to;
        int before = x;
        size_t last = from;
        for (size_t i = from; i < to; i += CharLengthAt(text_, i)) {
            before = x;
            last = i;
            x = Advance(i, x);
        }
        if (x <= m_.pageWidth) return true;
        return ClassAt(last) == TBreakClass::Hanging && before <= m_.pageWidth && x <= m_.pageWidth + m_.hangWidth;
    }

    void Cluster(size_t from, size_t to) {
        while (from < to) {
            if (Fits(from, to, x_)) return Place(from, to);
            if (x_ > 0) {
                Break();
                continue;
            }
            // Longer than a whole line: as much as fits, without leaving a closing mark
            // to start the next line or an opening one to end this.
            size_t cut = from + CharLengthAt(text_, from);
            while (cut < to && Fits(from, cut + CharLengthAt(text_, cut), 0)) cut += CharLengthAt(text_, cut);
            size_t kept = cut;
            while (kept < to && NoLineStart(ClassAt(kept)) && kept > from) kept = PreviousChar(from, kept);
            if (kept > from) cut = kept;
            while (cut > from && ClassAt(PreviousChar(from, cut)) == TBreakClass::Opening && PreviousChar(from, cut) > from)
                cut = PreviousChar(from, cut);
            Place(from, cut);
            if (cut < to) Break();
            from = cut;
        }
    }

    size_t PreviousChar(size_t from, size_t i) const {
        size_t prev = from;
        for (size_t k = from; k < i; k += CharLengthAt(text_, k)) prev = k;
        return prev;
    }

    void Place(size_t from, size_t to) {
        for (size_t i = from; i < to;) {
            const size_t len = CharLengthAt(text_, i);
            if (text_[i] == '\t') {
                startRun_ = true;
            } else {
                if (startRun_) line_.runs.push_back({x_, {}});
                line_.runs.back().text.append(text_.substr(i, len));
                startRun_ = false;
            }
            x_ = Advance(i, x_);
            i += len;
        }
    }

    void Break() {
        Emit(true);
        line_ = TPrintLine{};
        x_ = 0;
        startRun_ = true;
    }

    // A line goes where the last one ended unless its height would reach into the footer
    // band; then it is the first of the next page.
    void Emit(bool printed) {
        if (y_ + m_.lineHeight > bottom_ && !pages_.back().lines.empty()) NewPage();
        line_.y = y_;
        pages_.back().lines.push_back(std::move(line_));
        y_ += printed ? m_.lineHeight + 2 : m_.lineHeight;
    }

    void NewPage() {
        pages_.push_back({header_, {}, {}, extra_});
        y_ = m_.headerHeight;
    }

    const TPrintMetrics& m_;
    std::vector<TPrintPage>& pages_;
    const std::string& header_;
    const std::shared_ptr<const TExtraChars> extra_;
    const int tabStop_;
    const int bottom_;
    std::string_view text_;
    TPrintLine line_;
    int x_ = 0;
    int y_ = 0;
    bool startRun_ = true;
};

}  // namespace

std::vector<TPrintPage> LayOutPrint(const std::vector<TPrintDay>& days, const TPrintMetrics& metrics) {
    std::vector<TPrintPage> pages;
    for (const TPrintDay& day : days) {
        TPager pager(metrics, pages, day);
        for (const std::string& line : day.lines) pager.Line(line);
    }
    const std::string of = " / " + std::to_string(pages.size());
    for (size_t p = 0; p < pages.size(); ++p) pages[p].footer = std::to_string(p + 1) + of;
    return pages;
}

std::string PrintDayHeader(const TYMD& day, std::string_view holidayNames) {
    std::string header = std::to_string(day.Year) + Sjis("年") + std::to_string(day.Month) + Sjis("月") +
                         std::to_string(day.Day) + Sjis("日(") + Sjis(WeekdayKanji(day)) + ")";
    if (holidayNames.empty()) return header;
    header += "  ";
    const std::string separator = Sjis("、");
    for (size_t at = 0;;) {
        const size_t comma = holidayNames.find(',', at);
        header.append(holidayNames.substr(at, comma - at));
        if (comma == std::string_view::npos) break;
        header += separator;
        at = comma + 1;
    }
    return header;
}

std::vector<std::string> DayTextLines(std::string_view text) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (end == std::string_view::npos) end = text.size();
        if (end > at && text[end - 1] == '\r' && end < text.size()) --end;
        lines.emplace_back(text.substr(at, end - at));
        at = next;
    }
    return lines;
}
