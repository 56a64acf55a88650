#include "diary/text_search.h"

#include "diary/text_fold.h"
#include "platform/sjis.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

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

size_t CharWidth(std::string_view s, size_t i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (!IsLeadByte(c) || i + 1 >= s.size()) return 1;
    const auto t = static_cast<unsigned char>(s[i + 1]);
    return t >= 0x40 && t <= 0xFC && t != 0x7F ? 2 : 1;
}

}  // namespace

namespace {

// The first place of a byte pair: glibc's memmem walks two-byte needles a byte at a time,
// so pairs are compared 16 places at once here.
const char* FindPair(const char* p, const char* end, char b0, char b1) {
#ifdef __SSE2__
    const __m128i v0 = _mm_set1_epi8(b0), v1 = _mm_set1_epi8(b1);
    while (end - p >= 17) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
        const int mask = _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, v0), _mm_cmpeq_epi8(b, v1)));
        if (mask) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; end - p >= 2; ++p)
        if (p[0] == b0 && p[1] == b1) return p;
    return nullptr;
}

const char* FindBytes(std::string_view haystack, size_t from, std::string_view needle) {
    const char* p = haystack.data() + from;
    const char* end = haystack.data() + haystack.size();
    if (needle.size() == 1) return static_cast<const char*>(std::memchr(p, needle[0], static_cast<size_t>(end - p)));
    // Longer needles: their first pair found sixteen places at once, then the rest compared.
    const char* last = end - needle.size();
    while (p <= last) {
        p = FindPair(p, last + 2, needle[0], needle[1]);
        if (!p) return nullptr;
        if (std::memcmp(p + 2, needle.data() + 2, needle.size() - 2) == 0) return p;
        ++p;
    }
    return nullptr;
}

}  // namespace

size_t FindWord(std::string_view haystack, std::string_view needle, size_t from) {
    if (needle.empty()) return std::string_view::npos;
    while (from < haystack.size() && haystack.size() - from >= needle.size()) {
        const char* hit = FindBytes(haystack, from, needle);
        if (!hit) return std::string_view::npos;
        const size_t at = static_cast<size_t>(hit - haystack.data());
        if (StartsCharacter(haystack, at)) return at;
        from = at + 1;
    }
    return std::string_view::npos;
}

TExcerpt Excerpt(std::string_view line, TTextSpan match, size_t maxChars) {
    // Counted in characters: the match's first, the one after it, and the whole line. The
    // command line cuts one excerpt per day found, so the line is walked without keeping
    // where each character starts.
    constexpr size_t kNone = std::string_view::npos;
    size_t chars = 0, m0 = kNone, m1 = kNone;
    for (size_t i = 0; i < line.size(); i += CharWidth(line, i), ++chars) {
        if (m0 == kNone && i >= match.start) m0 = chars;
        if (m1 == kNone && i >= match.End()) m1 = chars;
    }
    if (m0 == kNone) m0 = chars;
    m1 = std::max(m0, m1 == kNone ? chars : m1);
    size_t first = 0, last = chars;
    if (chars > maxChars) {
        // A third of the room before the match, so that it reads in context.
        const size_t before = maxChars > m1 - m0 ? (maxChars - (m1 - m0)) / 3 : 0;
        first = m0 > before ? m0 - before : 0;
        last = std::min(chars, first + maxChars);
        first = last - maxChars;
    }
    // Most diary lines fit whole: only a longer one is walked again, to where it is cut.
    size_t from = 0, to = line.size();
    if (first > 0 || last < chars) {
        for (size_t i = 0, c = 0; i < line.size(); i += CharWidth(line, i), ++c) {
            if (c == first) from = i;
            if (c == last) {
                to = i;
                break;
            }
        }
    }
    TExcerpt out;
    out.text.assign(line.substr(from, to - from));
    std::replace(out.text.begin(), out.text.end(), '\t', ' ');
    const size_t s = std::clamp(match.start, from, to);
    const size_t e = std::clamp(match.End(), s, to);
    out.match = {s - from, e - s};
    return out;
}

namespace {

// An anchor whose next place in the text is not known yet.
constexpr size_t kAsk = std::string_view::npos - 1;

// A rough cost of scanning for one CP932 character: how often such characters stand in
// diary text. The anchor of a word is its character whose sources cost least together.
int ScanCost(std::string_view code) {
    const auto c = static_cast<unsigned char>(code[0]);
    if (code.size() == 2) {
        if (c == 0x82 || c == 0x81) return 6;  // hiragana, full-width Latin, punctuation
        if (c == 0x83) return 4;               // katakana
        return 1;                              // kanji and the rest
    }
    if (c >= 0xA1 && c <= 0xDF) return 3;  // half-width katakana
    if (c < 'A' || (c > 'Z' && c < 'a') || c > 'z') return 20;
    return std::string_view("etaoinsrhlETAOINSRHL").find(static_cast<char>(c)) != std::string_view::npos ? 10 : 5;
}

}  // namespace

TTextMatcher::TTextMatcher(const TSearchQuery& query) : query_(query) {
    for (const std::string& folded : query.words) {
        TWord w;
        w.folded = folded;
        if (query.exact) {
            w.anchors = {folded};
        } else {
            // The cheapest character is scanned for; the next cheapest (another one) must
            // stand in the same line before the line is folded and compared.
            int best = -1, second = -1;
            std::string bestUnit;
            for (size_t i = 0; i < folded.size();) {
                const size_t n = CharWidth(folded, i);
                const std::string unit(folded.substr(i, n));
                i += n;
                const std::vector<std::string>& sources = FoldSources(unit);
                if (sources.empty() || unit == bestUnit) continue;
                int cost = 0;
                for (const std::string& s : sources) cost += ScanCost(s);
                if (best < 0 || cost < best) {
                    if (best >= 0) {
                        second = best;
                        w.also = std::move(w.anchors);
                    }
                    best = cost;
                    bestUnit = unit;
                    w.anchors = sources;
                } else if (second < 0 || cost < second) {
                    second = cost;
                    w.also = sources;
                }
            }
        }
        w.next.assign(w.anchors.size(), kAsk);
        words_.push_back(std::move(w));
    }
}

void TTextMatcher::SetExtraChars(const TExtraChars* extra) { extra_ = extra && !extra->Empty() ? extra : nullptr; }

bool TTextMatcher::Compared(std::string_view line, bool mapped) {
    if (query_.exact && !extra_) return false;
    lineFolded_.clear();
    lineFrom_.clear();
    if (query_.exact)
        ExactTextMapped(line, lineFolded_, lineFrom_, *extra_);
    else if (mapped)
        FoldTextMapped(line, lineFolded_, lineFrom_, extra_);
    else
        FoldText(line, lineFolded_, extra_);
    return true;
}

void TTextMatcher::Reset() {
    for (TWord& w : words_) std::fill(w.next.begin(), w.next.end(), kAsk);
}

bool TTextMatcher::LineHolds(std::string_view line, const TWord& w) {
    const std::string_view compared = Compared(line, false) ? std::string_view(lineFolded_) : line;
    return FindWord(compared, w.folded) != std::string_view::npos;
}

std::optional<TTextSpan> TTextMatcher::NextLine(std::string_view text, TWord& w, size_t from) {
    constexpr size_t kNone = std::string_view::npos;
    if (extra_) {
        for (size_t start = from; start < text.size();) {
            const size_t end = LineEndOf(text, start);
            if (LineHolds(text.substr(start, end - start), w)) return TTextSpan{start, end - start};
            start = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);
        }
        return std::nullopt;
    }
    for (;;) {
        size_t hit = kNone;
        for (size_t k = 0; k < w.anchors.size(); ++k) {
            // Each anchor's next place is kept while it lies ahead, so a text is scanned
            // once however many lines are asked for.
            if (w.next[k] == kAsk || (w.next[k] != kNone && w.next[k] < from)) w.next[k] = FindWord(text, w.anchors[k], from);
            hit = std::min(hit, w.next[k]);
        }
        if (hit == kNone) return std::nullopt;
        const size_t start = LineStartOf(text, hit), end = LineEndOf(text, hit);
        const std::string_view line = text.substr(start, end - start);
        if (query_.exact) return TTextSpan{start, end - start};
        const bool maybe = w.also.empty() || std::any_of(w.also.begin(), w.also.end(), [&](const std::string& a) {
            return FindWord(line, a) != std::string_view::npos;
        });
        if (maybe && LineHolds(line, w)) return TTextSpan{start, end - start};
        from = end;
    }
}

size_t TTextMatcher::NextAnchor(std::string_view text, size_t from) {
    // With codes every line may hold a word: each one is for the reader to look at.
    if (extra_) return from < text.size() ? from : std::string_view::npos;
    size_t hit = std::string_view::npos;
    for (TWord& w : words_) {
        for (size_t k = 0; k < w.anchors.size(); ++k) {
            if (w.next[k] == kAsk || (w.next[k] != std::string_view::npos && w.next[k] < from))
                w.next[k] = FindWord(text, w.anchors[k], from);
            hit = std::min(hit, w.next[k]);
        }
    }
    return hit;
}

std::optional<TTextSpan> TTextMatcher::FirstLine(std::string_view text, size_t from) {
    Reset();
    std::optional<TTextSpan> best;
    for (TWord& w : words_) {
        auto line = NextLine(text, w, from);
        if (line && (!best || line->start < best->start)) best = line;
    }
    return best;
}

std::optional<TTextSpan> TTextMatcher::LastLine(std::string_view text, size_t before) {
    Reset();
    std::optional<TTextSpan> best;
    for (TWord& w : words_) {
        for (auto line = NextLine(text, w, 0); line && line->start < before; line = NextLine(text, w, line->End() + 1))
            if (!best || line->start > best->start) best = line;
    }
    return best;
}

std::optional<TDayMatch> TTextMatcher::MatchDay(std::string_view text, bool countLines) {
    if (query_.MatchesNothing() || text.empty()) return std::nullopt;
    Reset();
    std::optional<TTextSpan> first;
    for (TWord& w : words_) {
        auto line = NextLine(text, w, 0);
        if (!line) return std::nullopt;
        if (!first || line->start < first->start) first = line;
    }
    TDayMatch m;
    m.line = *first;
    const std::vector<TTextSpan> spans = MatchesInLine(text.substr(first->start, first->length));
    if (!spans.empty()) m.match = {first->start + spans.front().start, spans.front().length};
    if (countLines) {
        lineStarts_.clear();
        for (TWord& w : words_) {
            for (auto line = NextLine(text, w, 0); line; line = NextLine(text, w, line->End() + 1)) {
                lineStarts_.push_back(line->start);
                if (line->End() >= text.size()) break;
            }
        }
        std::sort(lineStarts_.begin(), lineStarts_.end());
        m.lines = static_cast<int>(std::unique(lineStarts_.begin(), lineStarts_.end()) - lineStarts_.begin());
    }
    return m;
}

std::vector<TTextSpan> TTextMatcher::MatchesInLine(std::string_view line) {
    std::vector<TTextSpan> found;
    if (query_.MatchesNothing() || line.empty()) return found;
    const bool mapped = Compared(line, true);
    const std::string_view compared = mapped ? std::string_view(lineFolded_) : line;
    for (const std::string& w : query_.words) {
        for (size_t at = FindWord(compared, w); at != std::string_view::npos; at = FindWord(compared, w, at + w.size())) {
            if (!mapped) {
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
