#include "window/day_finder.h"

#include "diary/text_fold.h"
#include "editor/row_store.h"

#include <algorithm>
#include <cstring>

std::optional<TDayFinder::TLineHit> TDayFinder::InSpan(const TRowStore& rows, int begin, int end, bool backward) {
    const TRowList::TRowSpan span = rows.RowSpan(begin);
    const auto startOf = [&](int r) -> size_t { return r > span.firstRow ? span.ends[r - span.firstRow - 1] : 0; };
    const int first = std::max(begin, span.firstRow), last = std::min(end, span.firstRow + span.rows);
    const std::string_view bytes = span.bytes.substr(0, span.ends[last - span.firstRow - 1]);
    std::optional<TLineHit> found;
    matcher_.Restart();
    for (size_t from = startOf(first); from < bytes.size();) {
        const size_t hit = matcher_.NextAnchor(bytes, from);
        if (hit == std::string_view::npos) break;
        // The logical line around the row of the hit: rows joined by rkWrap.
        const auto* at = std::upper_bound(span.ends + (first - span.firstRow), span.ends + (last - span.firstRow),
                                          static_cast<uint32_t>(hit));
        int lineFirst = span.firstRow + static_cast<int>(at - span.ends), lineLast = lineFirst;
        if (lineLast >= last) break;
        while (lineFirst > first && span.kinds[lineFirst - 1 - span.firstRow] == rkWrap) --lineFirst;
        while (lineLast + 1 < last && span.kinds[lineLast - span.firstRow] == rkWrap) ++lineLast;
        const size_t lineStart = startOf(lineFirst), lineEnd = span.ends[lineLast - span.firstRow];
        const std::vector<TTextSpan> spans = matcher_.MatchesInLine(bytes.substr(lineStart, lineEnd - lineStart));
        if (!spans.empty()) {
            found = TLineHit{lineFirst, backward ? spans.back() : spans.front()};
            if (!backward) return found;
        }
        from = lineEnd;
    }
    return found;
}

std::optional<TDayFinder::TLineHit> TDayFinder::Scan(const TRowStore& rows, int begin, int end, bool backward) {
    // A span holds whole logical lines, so the lines never cross from one to the next.
    if (!backward) {
        for (int r = begin; r < end;) {
            const TRowList::TRowSpan span = rows.RowSpan(r);
            if (span.rows == 0) break;
            const int stop = std::min(end, span.firstRow + span.rows);
            if (auto hit = InSpan(rows, r, stop, false)) return hit;
            r = stop;
        }
        return std::nullopt;
    }
    for (int r = end; r > begin;) {
        const TRowList::TRowSpan span = rows.RowSpan(r - 1);
        if (span.rows == 0) break;
        const int start = std::max(begin, span.firstRow);
        if (auto hit = InSpan(rows, start, r, true)) return hit;
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
