#include "app/day_finder.h"

#include "diary/text_fold.h"
#include "editor/row_store.h"

#include <algorithm>
#include <cstring>

namespace {

// About this many bytes of text are searched in one piece.
constexpr size_t kBlockBytes = size_t{1} << 20;

size_t CountBreaks(std::string_view text, size_t end) {
    size_t n = 0;
    const char* p = text.data();
    const char* const stop = p + end;
    while (p < stop) {
        const void* hit = std::memchr(p, '\n', static_cast<size_t>(stop - p));
        if (!hit) break;
        ++n;
        p = static_cast<const char*>(hit) + 1;
    }
    return n;
}

}  // namespace

void TDayFinder::Fill(const TRowStore& rows, int begin, int end) {
    block_.clear();
    lineRows_.clear();
    lineStarts_.clear();
    for (int r = begin; r < end; ++r) {
        if (r == begin || rows.RowKind(r - 1) != rkWrap) {
            lineRows_.push_back(r);
            lineStarts_.push_back(block_.size());
        }
        block_ += rows.RowView(r);
        if (rows.RowKind(r) != rkWrap) block_ += '\n';
    }
    lineStarts_.push_back(block_.size());
}

std::string_view TDayFinder::LineOfBlock(size_t line) const {
    const size_t start = lineStarts_[line];
    size_t end = lineStarts_[line + 1];
    if (end > start && block_[end - 1] == '\n') --end;
    return std::string_view(block_).substr(start, end - start);
}

std::optional<TDayFinder::TLineHit> TDayFinder::InBlock(bool backward) {
    std::string_view compared = block_;
    if (!query_.exact) {
        folded_.clear();
        FoldText(block_, folded_);
        compared = folded_;
    }
    size_t hit = std::string_view::npos;
    for (const std::string& w : query_.words) {
        if (!backward) {
            hit = std::min(hit, FindWord(compared, w));
            continue;
        }
        for (size_t at = FindWord(compared, w); at != std::string_view::npos; at = FindWord(compared, w, at + 1))
            if (hit == std::string_view::npos || at > hit) hit = at;
    }
    if (hit == std::string_view::npos) return std::nullopt;
    const size_t line = CountBreaks(compared, hit);
    if (line + 1 >= lineStarts_.size()) return std::nullopt;
    const std::vector<TTextSpan> spans = matcher_.MatchesInLine(LineOfBlock(line));
    if (spans.empty()) return std::nullopt;
    return TLineHit{lineRows_[line], backward ? spans.back() : spans.front()};
}

std::optional<TDayFinder::TLineHit> TDayFinder::Scan(const TRowStore& rows, int begin, int end, bool backward) {
    if (!backward) {
        for (int r = begin; r < end;) {
            int stop = r;
            size_t bytes = 0;
            while (stop < end && (bytes < kBlockBytes || rows.RowKind(stop - 1) == rkWrap)) bytes += rows.RowView(stop++).size() + 1;
            Fill(rows, r, stop);
            if (auto hit = InBlock(false)) return hit;
            r = stop;
        }
        return std::nullopt;
    }
    for (int r = end; r > begin;) {
        int start = r;
        size_t bytes = 0;
        while (start > begin && (bytes < kBlockBytes || (start > 0 && rows.RowKind(start - 1) == rkWrap)))
            bytes += rows.RowView(--start).size() + 1;
        Fill(rows, start, r);
        if (auto hit = InBlock(true)) return hit;
        r = start;
    }
    return std::nullopt;
}

std::optional<TRowMatch> TDayFinder::Find(const TRowStore& rows, TRowPlace from, bool backward) {
    const int count = rows.RowCount();
    if (count == 0 || query_.MatchesNothing()) return std::nullopt;
    from.row = std::clamp(from.row, 0, count - 1);
    int first = from.row;
    while (first > 0 && rows.RowKind(first - 1) == rkWrap) --first;
    int last = from.row;
    while (last + 1 < count && rows.RowKind(last) == rkWrap) ++last;
    std::string line;
    size_t at = 0;
    for (int r = first; r <= last; ++r) {
        if (r == from.row) at = line.size() + std::min<size_t>(static_cast<size_t>(std::max(0, from.byte)), rows.RowView(r).size());
        line += rows.RowView(r);
    }
    const std::vector<TTextSpan> own = matcher_.MatchesInLine(line);
    std::optional<TLineHit> hit;
    bool wrapped = false;
    auto after = [&](bool sameSide) -> std::optional<TLineHit> {
        // In the line of `from`: at or after it (sameSide) or before it, going forward.
        for (const TTextSpan& s : own)
            if ((s.start >= at) == sameSide) return TLineHit{first, s};
        return std::nullopt;
    };
    auto before = [&](bool sameSide) -> std::optional<TLineHit> {
        for (auto s = own.rbegin(); s != own.rend(); ++s)
            if ((s->start < at) == sameSide) return TLineHit{first, *s};
        return std::nullopt;
    };
    if (!backward) {
        if (!(hit = after(true)) && !(hit = Scan(rows, last + 1, count, false))) {
            wrapped = true;
            if (!(hit = Scan(rows, 0, first, false))) hit = after(false);
        }
    } else {
        if (!(hit = before(true)) && !(hit = Scan(rows, 0, first, true))) {
            wrapped = true;
            if (!(hit = Scan(rows, last + 1, count, true))) hit = before(false);
        }
    }
    if (!hit) return std::nullopt;
    TRowMatch m;
    m.start.row = hit->firstRow;
    size_t start = hit->span.start;
    while (m.start.row + 1 < count && rows.RowKind(m.start.row) == rkWrap && start >= rows.RowView(m.start.row).size()) {
        start -= rows.RowView(m.start.row).size();
        ++m.start.row;
    }
    m.start.byte = static_cast<int>(start);
    m.length = static_cast<int>(hit->span.length);
    m.wrapped = wrapped;
    return m;
}
