#include "diary/text_search.h"

#include "diary/text_fold.h"
#include "platform/sjis.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

size_t LineStartOf(std::string_view text, size_t pos) {
    while (pos > 0 && !IsBreak(text[pos - 1])) --pos;
    return pos;
}

size_t LineEndOf(std::string_view text, size_t pos) {
    while (pos < text.size() && !IsBreak(text[pos])) ++pos;
    return pos;
}

// Line breaks before `pos` (CR LF counts once).
size_t BreaksBefore(std::string_view text, size_t pos) {
    size_t n = 0;
    for (size_t i = 0; i < pos; ++i) {
        if (text[i] == '\n') ++n;
        else if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) ++n;
    }
    return n;
}

// Where the line after `breaks` line breaks starts.
size_t LineStartAfter(std::string_view text, size_t breaks) {
    size_t i = 0;
    while (breaks > 0 && i < text.size()) {
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) --breaks;
        ++i;
    }
    return i;
}

size_t CharWidth(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (!IsLeadByte(c) || i + 1 >= s.size()) return 1;
    const auto t = static_cast<unsigned char>(s[i + 1]);
    return t >= 0x40 && t <= 0xFC && t != 0x7F ? 2 : 1;
}

}  // namespace

size_t FindWord(std::string_view haystack, std::string_view needle, size_t from) {
    if (needle.empty()) return std::string_view::npos;
    while (from < haystack.size() && haystack.size() - from >= needle.size()) {
        const void* hit = ::memmem(haystack.data() + from, haystack.size() - from, needle.data(), needle.size());
        if (!hit) return std::string_view::npos;
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - haystack.data());
        if (StartsCharacter(haystack, at)) return at;
        from = at + 1;
    }
    return std::string_view::npos;
}

TExcerpt Excerpt(std::string_view line, TTextSpan match, size_t maxChars) {
    std::vector<size_t> starts;  // of each character, and the end
    for (size_t i = 0; i < line.size(); i += CharWidth(line, i)) starts.push_back(i);
    starts.push_back(line.size());
    const size_t chars = starts.size() - 1;
    const auto charAt = [&](size_t byte) {
        return static_cast<size_t>(std::lower_bound(starts.begin(), starts.end(), byte) - starts.begin());
    };
    const size_t m0 = charAt(match.start), m1 = std::max(m0, charAt(match.End()));
    size_t first = 0, last = chars;
    if (chars > maxChars) {
        // A third of the room before the match, so that it reads in context.
        const size_t before = maxChars > m1 - m0 ? (maxChars - (m1 - m0)) / 3 : 0;
        first = m0 > before ? m0 - before : 0;
        last = std::min(chars, first + maxChars);
        first = last - maxChars;
    }
    TExcerpt out;
    out.text.assign(line.substr(starts[first], starts[last] - starts[first]));
    std::replace(out.text.begin(), out.text.end(), '\t', ' ');
    const size_t s = std::clamp(match.start, starts[first], starts[last]);
    const size_t e = std::clamp(match.End(), s, starts[last]);
    out.match = {s - starts[first], e - s};
    return out;
}

std::string_view TTextMatcher::Compared(std::string_view text) {
    if (query_.exact) return text;
    folded_.clear();
    FoldText(text, folded_);
    return folded_;
}

TDayMatch TTextMatcher::Locate(std::string_view text, std::string_view compared, size_t at, size_t length) {
    TDayMatch m;
    const size_t foldedLine = LineStartOf(compared, at);
    if (query_.exact) {
        m.line = {foldedLine, LineEndOf(text, at) - foldedLine};
        m.match = {at, length};
        return m;
    }
    const size_t start = LineStartAfter(text, BreaksBefore(compared, foldedLine));
    const std::string_view line = text.substr(start, LineEndOf(text, start) - start);
    m.line = {start, line.size()};
    lineFolded_.clear();
    lineFrom_.clear();
    FoldTextMapped(line, lineFolded_, lineFrom_);
    const size_t off = std::min(at - foldedLine, lineFolded_.size());
    const size_t lastByte = std::min(off + length, lineFolded_.size()) - 1;
    size_t next = off + length;
    while (next < lineFrom_.size() - 1 && lineFrom_[next] == lineFrom_[lastByte]) ++next;
    const size_t s = lineFrom_[off], e = std::max<size_t>(s, lineFrom_[std::min(next, lineFrom_.size() - 1)]);
    m.match = {start + s, e - s};
    return m;
}

std::optional<TDayMatch> TTextMatcher::MatchDay(std::string_view text, bool countLines) {
    if (query_.MatchesNothing() || text.empty()) return std::nullopt;
    const std::string_view compared = Compared(text);
    size_t best = std::string_view::npos, bestLength = 0;
    for (const std::string& w : query_.words) {
        const size_t at = FindWord(compared, w);
        if (at == std::string_view::npos) return std::nullopt;
        if (at < best) {
            best = at;
            bestLength = w.size();
        }
    }
    TDayMatch m = Locate(text, compared, best, bestLength);
    if (countLines) {
        lineStarts_.clear();
        for (const std::string& w : query_.words) {
            for (size_t at = FindWord(compared, w); at != std::string_view::npos;
                 at = FindWord(compared, w, LineEndOf(compared, at)))
                lineStarts_.push_back(LineStartOf(compared, at));
        }
        std::sort(lineStarts_.begin(), lineStarts_.end());
        m.lines = static_cast<int>(std::unique(lineStarts_.begin(), lineStarts_.end()) - lineStarts_.begin());
    }
    return m;
}

std::vector<TTextSpan> TTextMatcher::MatchesInLine(std::string_view line) {
    std::vector<TTextSpan> found;
    if (query_.MatchesNothing() || line.empty()) return found;
    if (!query_.exact) {
        lineFolded_.clear();
        lineFrom_.clear();
        FoldTextMapped(line, lineFolded_, lineFrom_);
    }
    const std::string_view compared = query_.exact ? line : std::string_view(lineFolded_);
    for (const std::string& w : query_.words) {
        for (size_t at = FindWord(compared, w); at != std::string_view::npos; at = FindWord(compared, w, at + w.size())) {
            if (query_.exact) {
                found.push_back({at, w.size()});
                continue;
            }
            const size_t last = at + w.size() - 1;
            size_t next = at + w.size();
            while (next < lineFrom_.size() - 1 && lineFrom_[next] == lineFrom_[last]) ++next;
            const size_t s = lineFrom_[at], e = std::max<size_t>(s, lineFrom_[next]);
            found.push_back({s, e - s});
        }
    }
    std::sort(found.begin(), found.end(), [](const TTextSpan& a, const TTextSpan& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    std::vector<TTextSpan> kept;
    for (const TTextSpan& s : found)
        if (kept.empty() || s.start >= kept.back().End()) kept.push_back(s);
    return kept;
}
