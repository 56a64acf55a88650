// What each row of the screen shows, kept so that an edit repaints only what it changed:
// the cells of a row from the first one that differs, and rows that only moved (an Enter, a
// Backspace joining lines) are moved as pixels rather than drawn again. The record is of the
// screen as it will be once the repaints already asked for are done; a row is unknown when
// its pixels may be anything else, and an unknown row is drawn whole.
#include "editor/editor.h"

#include <algorithm>

namespace {

// Cells past a row's text that may still hold its marks: the line-break arrow, the
// end-of-file mark ("[EOF]" and a cell) and a slanted glyph's overhang.
constexpr int kMarkCells = 7;

// The key's text part: the row as drawn, before the marks' bytes.
size_t TextLength(const std::string& key) { return key.size() - 2; }

// Whether the key is of a row past the end of the text.
bool PastText(const std::string& key) { return key.size() == 2 && key[0] == '\xff'; }

}  // namespace

// The row's drawn text (as far as the view can show it), then one byte for its kind and one
// for whether the end-of-file mark follows it; rows past the text are keyed alike.
std::string TEditor::ShownKey(int r) const {
    const TRowStore& store = session_.Store();
    const int count = store.RowCount();
    if (r >= count) {
        const bool mark = r == count && count > 0 && store.RowKind(count - 1) != rkEnd;
        return std::string("\xff") + (mark ? '\x01' : '\x00');
    }
    const size_t shown = static_cast<size_t>(std::max(0, topCol_ + visibleCols_ + 2));
    std::string key = store.ExpandedRow(r, shown);
    key += static_cast<char>(store.RowKind(r));
    key += static_cast<char>(r == count - 1 ? 1 : 0);
    return key;
}

void TEditor::ForgetAllShown() {
    shown_.assign(static_cast<size_t>(visibleRows_ + 1), std::string());
}

void TEditor::ForgetShown(int a, int b) {
    if (shown_.size() != static_cast<size_t>(visibleRows_ + 1)) return ForgetAllShown();
    const int first = std::max(std::min(a, b), topRow_) - topRow_;
    const int last = std::min(std::max(a, b) - topRow_, visibleRows_);
    for (int i = first; i <= last; ++i) shown_[static_cast<size_t>(i)].clear();
}

void TEditor::ForgetShownIn(const QRect& area) {
    const int pitch = RowPitch();
    ForgetShown(RowAt(std::max(area.top(), topMargin_)),
                topRow_ + (std::max(area.bottom(), topMargin_) - topMargin_) / pitch);
}

// Pixels of `area` moved by dy: so did the rows they showed, when the move is one of whole
// rows across the full width; anything else leaves the rows it touched unknown.
void TEditor::MoveShown(int dx, int dy, const QRect& area) {
    const int pitch = RowPitch();
    const bool wholeRows = dx == 0 && dy % pitch == 0 && area.left() <= leftMargin_ &&
                           area.right() >= viewport()->width() - 1 && (area.top() - topMargin_) % pitch == 0 &&
                           area.top() >= topMargin_ && shown_.size() == static_cast<size_t>(visibleRows_ + 1);
    if (!wholeRows) return ForgetShownIn(area);
    const int rows = dy / pitch;
    const int first = (area.top() - topMargin_) / pitch;
    const int n = static_cast<int>(shown_.size());
    std::vector<std::string> moved(shown_.size());
    for (int i = 0; i < n; ++i) {
        const int from = i - rows;
        if (i < first) moved[static_cast<size_t>(i)] = std::move(shown_[static_cast<size_t>(i)]);
        else if (from >= first && from < n) moved[static_cast<size_t>(i)] = shown_[static_cast<size_t>(from)];
    }
    shown_ = std::move(moved);
}

// A row painted across the whole width shows its text as it is now.
void TEditor::PaintedRow(int r, const QRegion& painted) {
    const int i = r - topRow_;
    if (i < 0 || i > visibleRows_) return;
    if (shown_.size() != static_cast<size_t>(visibleRows_ + 1)) ForgetAllShown();
    const QRect row(leftMargin_, RowY(r), std::max(0, viewport()->width() - leftMargin_), RowPitch());
    if (RowSelected(r) || !preedit_.isEmpty()) {
        shown_[static_cast<size_t>(i)].clear();
        return;
    }
    if (!QRegion(row).subtracted(painted).isEmpty()) return;
    shown_[static_cast<size_t>(i)] = ShownKey(r);
}

void TEditor::RememberEditStart() {
    editRowCount_ = session_.Store().RowCount();
    editCaret_ = caretDrawn_;
    editUnderLineY_ = underLineY_;
}

// Repaints what the edit changed by comparing the rows now with what the screen shows;
// false when the screen record cannot answer (a selection, a composition, words coloured
// by their whole) and the caller repaints the edit's rows whole.
bool TEditor::RepaintEdited(const TEditNotice& notice) {
    const int n = visibleRows_ + 1;
    if (Selected() || !preedit_.isEmpty() || linesUpdating_ > 0 || shown_.size() != static_cast<size_t>(n))
        return false;
    if (OnBeforeDrawWord || (reserveWordColor_ && reserveWordList_.Count() > 0)) return false;
    const int first = std::max(notice.firstRow, topRow_) - topRow_;
    const int last = notice.rowsShifted ? n - 1 : std::min(notice.lastRow - topRow_, n - 1);
    if (first > last) return true;

    std::vector<std::string> now(static_cast<size_t>(n));
    for (int i = first; i <= last; ++i) now[static_cast<size_t>(i)] = ShownKey(topRow_ + i);
    auto shown = [&](int i) -> const std::string& { return shown_[static_cast<size_t>(i)]; };

    // Rows that moved by the change in the row count and are otherwise as drawn: the
    // longest run of them that ends lowest is moved as pixels.
    const int delta = session_.Store().RowCount() - editRowCount_;
    int bandFirst = -1, bandLast = -2;
    if (notice.rowsShifted && delta != 0 && std::abs(delta) < n) {
        for (int i = last; i >= first; --i) {
            const int from = i - delta;
            const bool moved = from >= 0 && from < n && !shown(from).empty() && shown(from) == now[static_cast<size_t>(i)];
            if (moved) {
                if (bandLast < 0) bandLast = i;
                bandFirst = i;
            } else if (bandLast >= 0) {
                break;
            }
        }
    }
    const int pitch = RowPitch();
    const int w = viewport()->width();
    auto cellsX = [&](int cells) { return std::min(w, ColX(cells)); };
    // A row at either end of the run that changes sort (from text to past the text, or
    // back) differs right of its text too, where the owner's drawing ends with the text:
    // left out of the move and drawn whole, it lets the rest move only as wide as the text
    // (at the end of the text a Backspace would otherwise move the whole width of the view).
    auto sortChanges = [&](int i) {
        const std::string& before = shown(i);
        return !before.empty() && PastText(before) != PastText(now[static_cast<size_t>(i)]);
    };
    while (bandFirst >= 0 && bandFirst <= bandLast && sortChanges(bandFirst)) shown_[static_cast<size_t>(bandFirst++)].clear();
    while (bandFirst >= 0 && bandLast >= bandFirst && sortChanges(bandLast)) shown_[static_cast<size_t>(bandLast--)].clear();
    if (bandLast >= bandFirst && bandFirst >= 0) {
        // Right of the widest text both ends of the move show the same empty row, as long
        // as each row lands on a row of its own sort: rows past the text have no rule or
        // other drawing of the owner's.
        int widest = 0;
        bool sameSorts = true;
        for (int i = bandFirst; i <= bandLast; ++i) {
            const std::string& key = now[static_cast<size_t>(i)];
            // What the row showed before stays right of the moved pixels: it must be empty.
            const std::string& before = shown(i);
            sameSorts = sameSorts && !before.empty() && PastText(before) == PastText(key);
            if (!sameSorts) break;
            widest = std::max(widest, static_cast<int>(std::max(TextLength(key), TextLength(before))));
        }
        const int top = RowY(topRow_ + std::min(bandFirst, bandFirst - delta));
        const int bottom = RowY(topRow_ + std::max(bandLast, bandLast - delta)) + pitch;
        const QRect area(0, top, sameSorts ? cellsX(widest + kMarkCells) : w, bottom - top);
        const int dy = delta * pitch;
        viewport()->scroll(0, dy, area);
        // Overlays drawn before the edit moved with the pixels; their old places are
        // already being repainted.
        if (!editCaret_.isEmpty()) viewport()->update(editCaret_.translated(0, dy).intersected(area));
        if (editUnderLineY_ >= 0) viewport()->update(QRect(0, editUnderLineY_ + dy, w, 1).intersected(area));
        // The keys move along, in an order that reads each before it is overwritten; the
        // rows they leave behind are all uncovered, cleared just below.
        if (delta < 0) {
            for (int i = bandFirst; i <= bandLast; ++i)
                shown_[static_cast<size_t>(i)] = std::move(shown_[static_cast<size_t>(i - delta)]);
        } else {
            for (int i = bandLast; i >= bandFirst; --i)
                shown_[static_cast<size_t>(i)] = std::move(shown_[static_cast<size_t>(i - delta)]);
        }
        // What the move uncovered is repainted by the scroll: unknown until then.
        for (int i = 0; i < n; ++i) {
            const int y = RowY(topRow_ + i);
            if ((i < bandFirst || i > bandLast) && y + pitch > top && y < bottom) shown_[static_cast<size_t>(i)].clear();
        }
    }

    for (int i = first; i <= last; ++i) {
        if (i >= bandFirst && i <= bandLast) continue;
        std::string& key = now[static_cast<size_t>(i)];
        const std::string& old = shown(i);
        if (old == key) continue;
        const int y = RowY(topRow_ + i);
        if (old.empty()) {
            viewport()->update(QRect(leftMargin_, y, std::max(0, w - leftMargin_), pitch));
        } else {
            const size_t a = TextLength(old), b = TextLength(key);
            size_t same = 0;
            while (same < std::min(a, b) && old[same] == key[same]) ++same;
            // A double-byte character whose second byte changed starts one cell earlier.
            const int from = std::max(0, static_cast<int>(same) - 1);
            const int to = static_cast<int>(std::max(a, b)) + kMarkCells;
            const int left = std::max(leftMargin_, ColX(from));
            const int right = cellsX(to);
            if (right > left) viewport()->update(QRect(left, y, right - left, pitch));
        }
        shown_[static_cast<size_t>(i)] = std::move(key);
    }
    return true;
}
