// Drawing the editor's rows on the cell grid: plain rows, rows word by word for the
// owner's hook, selected rows, the end-of-file mark, the line-break arrow, the caret-row
// underline and the caret.
#include "editor/editor.h"

#include "editor/cell_text.h"
#include "platform/qt_colors.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

constexpr int kToEdge = INT_MAX / 4;  // a selected part that runs to the right edge

// The painter's clip for one output, as the part of the row it belongs to.
class ClipScope {
public:
    ClipScope(QPainter& p, const QRect& clip) : p_(p) {
        p_.save();
        p_.setClipRect(clip, Qt::IntersectClip);
    }
    ~ClipScope() { p_.restore(); }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    QPainter& p_;
};

// The characters of word [w0, w1) that lie wholly inside columns [p0, p1), as [c0, c1).
std::pair<int, int> WholeChars(const std::string& text, int w0, int w1, int p0, int p1) {
    int c0 = -1;
    int c1 = -1;
    for (int i = w0; i < w1;) {
        const int len = IsLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(i)])) ? 2 : 1;
        if (i >= p0 && i + len <= p1) {
            if (c0 < 0) c0 = i;
            c1 = i + len;
        }
        i += len;
    }
    return c0 < 0 ? std::pair<int, int>(0, 0) : std::pair<int, int>(c0, c1);
}

}  // namespace

void TEditor::OutputCells(QPainter& p, const TFont& font, TColor color, int x, int y, const std::string& text,
                          int firstCol, int lastCol, const QRect& clip) {
    if (clip.isEmpty()) return;
    // Only the characters that can reach the clip are output.
    const int from = std::max(firstCol, (clip.left() - x) / cellWidth_ - 1);
    const int to = std::min(lastCol, (clip.right() - x) / cellWidth_ + 1);
    if (to < from) return;
    ClipScope scope(p, clip);
    p.setPen(ToQColor(color));
    // Characters before `from` are passed too, so a double-byte character cut by the
    // start still lines up; the drawing itself begins at `from`.
    const TExtraChars& extra = session_.Extra();
    cellText_->Draw(p, QtFont(font), x, y, cellWidth_, std::string_view(text).substr(0, static_cast<size_t>(to) + 2),
                    from, to, extra.Empty() ? nullptr : &extra);
}

const QFont& TEditor::QtFont(const TFont& font) {
    TQtFontCache& c = qtFont_;
    if (!c.valid || c.height != font.Height() || c.style != font.Style() || c.name != font.Name()) {
        c.font = ToQFont(font);
        c.name = font.Name();
        c.height = font.Height();
        c.style = font.Style();
        c.valid = true;
    }
    return c.font;
}

void TEditor::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    const QRect invalid = event->rect();
    // The background erase: margins, gaps between rows and rows past the text.
    p.fillRect(invalid, ToQColor(color_));
    // The hooks draw through the canvas only while this painter lives, even when one of
    // them throws.
    struct CanvasScope {
        TEditorCanvas& canvas;
        ~CanvasScope() { canvas.Painter = nullptr; }
    } scope{canvas_};
    canvas_.Painter = &p;

    const int pitch = RowPitch();
    int left = invalid.left();
    if (left < leftMargin_)
        left = leftMargin_;
    else
        left = leftMargin_ + (left - leftMargin_) / cellWidth_ * cellWidth_;
    const int right = invalid.right();
    const int top = std::max(topMargin_, topMargin_ + (invalid.top() - topMargin_) / pitch * pitch);
    const int bottom = invalid.bottom() + 1;
    // A composition covers cells the rows do not know of.
    if (!preedit_.isEmpty()) ForgetAllShown();

    if (right >= left && bottom > top) {
        const int count = session_.Store().RowCount();
        const QRegion& region = event->region();
        const bool oneRect = region.rectCount() <= 1;
        for (int y = top, r = (top - topMargin_) / pitch + topRow_; y < bottom; y += pitch, ++r) {
            // A selected row covers the underline pixel too; other rows look the same
            // whether or not a selection exists elsewhere.
            QRect rowRect(left, y, right - left + 1, charHeight_ + (RowSelected(r) ? 1 : 0));
            if (!oneRect) {
                // The region of an edit names a few rows, or a row from its caret on, far
                // apart: the rows between are not drawn at all, the others only where asked.
                const QRect asked = region.intersected(QRect(left, y, right - left + 1, pitch)).boundingRect();
                if (asked.isEmpty()) continue;
                const int from = std::max(leftMargin_, leftMargin_ + (asked.left() - leftMargin_) / cellWidth_ * cellWidth_);
                rowRect.setLeft(std::max(left, from));
                rowRect.setRight(std::min(right, asked.right()));
            }
            if (r < count) {
                PaintRow(p, r, rowRect);
            } else {
                p.fillRect(rowRect, ToQColor(color_));
                if (r == count && count > 0 && session_.Store().RowKind(count - 1) != rkEnd && eofMark_)
                    DrawEofMark(p, leftMargin_ - ScrollOffset(), y);
            }
            PaintedRow(r, event->region());
        }
    }
    if (underLine_ && underLineHideCount_ == 0 && !Selected() && linesUpdating_ == 0) DrawUnderLine(p);
    if (eofMark_ && session_.Store().RowCount() == 0) DrawEofMark(p, leftMargin_ - ScrollOffset(), RowY(0));

    if (!preedit_.isEmpty()) PaintPreedit(p);
    if (CaretShowing()) {
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.fillRect(CaretRect(), Qt::white);
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    }
}

void TEditor::PaintRow(QPainter& p, int r, const QRect& clip) {
    // Nothing right of the view shows, so a row of a very long line is expanded only that
    // far and painting costs the view's width, not the line's length. Rows drawn word by
    // word are expanded whole, since a word is judged on all of it.
    const bool wholeWords = OnBeforeDrawWord || (reserveWordColor_ && reserveWordList_.Count() > 0);
    const size_t shown = static_cast<size_t>(std::max(0, topCol_ + visibleCols_ + 2));
    const std::string text = session_.Store().ExpandedRow(r, wholeWords ? std::string::npos : shown);
    const int x = leftMargin_ - ScrollOffset();
    const int y = clip.top();
    if (RowSelected(r))
        PaintSelectedRow(p, r, text, x, y, clip);
    else
        PaintRowDefault(p, r, text, x, y, clip);
}

void TEditor::PaintRowDefault(QPainter& p, int r, const std::string& text, int x, int y, const QRect& clip) {
    if (defaultDrawing_) {
        if (!OnBeforeDrawWord) {
            PaintPlain(p, text, x, y, clip);
            PaintAfterText(p, r, static_cast<int>(text.size()), x, y, clip, false);
        } else {
            const QRect part = drawAllWords_ ? QRect(leftMargin_, y, viewport()->width() - leftMargin_, clip.height())
                                             : clip;
            PaintWords(p, text, x, y, part);
            PaintAfterText(p, r, static_cast<int>(text.size()), x, y, part, false);
        }
    }
    p.save();
    DoDrawLine(text, x, y, r, RowRect(r));
    p.restore();
}

void TEditor::PaintPlain(QPainter& p, const std::string& text, int x, int y, const QRect& part) {
    p.fillRect(part, ToQColor(color_));
    OutputCells(p, font_, font_.Color(), x, y, text, 0, INT_MAX / 2, part);
    if (!reserveWordColor_ || reserveWordList_.Count() == 0) return;
    const std::vector<int> bounds = WordBounds(text, session_.Delimiters(), DelimDBCS());
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int c0 = bounds[k] - 1;
        const int c1 = bounds[k + 1] - 1;
        const int x0 = x + c0 * cellWidth_;
        if (x0 > part.right()) break;
        if (x + c1 * cellWidth_ <= part.left()) continue;
        if (!IsReserved(std::string_view(text).substr(static_cast<size_t>(c0), static_cast<size_t>(c1 - c0)))) continue;
        const QRect cells = QRect(x0, y, (c1 - c0) * cellWidth_, part.height()).intersected(part);
        p.fillRect(cells, ToQColor(reserveBkColor_));
        OutputCells(p, reserveWordFont_, reserveWordFont_.Color(), x, y, text, c0, c1 - 1, part);
    }
}

void TEditor::PaintWords(QPainter& p, const std::string& text, int x, int y, const QRect& part) {
    p.fillRect(part, ToQColor(color_));
    if (text.empty()) {
        canvas_.Font.Assign(font_);
        canvas_.BrushColor = color_;
        DoBeforeDrawWord(std::string(), false);
        return;
    }
    const std::vector<int> bounds = WordBounds(text, session_.Delimiters(), DelimDBCS());
    std::vector<char> reserved(bounds.size(), 0);
    for (size_t k = 0; k + 1 < bounds.size(); ++k) {
        const int c0 = bounds[k] - 1;
        reserved[k] = IsReserved(std::string_view(text).substr(static_cast<size_t>(c0),
                                                               static_cast<size_t>(bounds[k + 1] - 1 - c0)));
    }
    // Plain words first, listed words over them, so listed words win where glyphs overlap.
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            if (static_cast<bool>(reserved[k]) != (pass == 1)) continue;
            const int c0 = bounds[k] - 1;
            const int c1 = bounds[k + 1] - 1;
            const QRect cells = QRect(x + c0 * cellWidth_, y, (c1 - c0) * cellWidth_, part.height());
            if (!cells.intersects(part)) continue;
            canvas_.Font.Assign(pass == 1 ? reserveWordFont_ : font_);
            canvas_.BrushColor = pass == 1 ? reserveBkColor_ : color_;
            const std::string word = text.substr(static_cast<size_t>(c0), static_cast<size_t>(c1 - c0));
            DoBeforeDrawWord(word, pass == 1);
            // Output is opaque: the word's cells take the canvas brush (for an italic
            // canvas font too, whose glyphs may lean past the cells).
            p.fillRect(cells.intersected(part), ToQColor(canvas_.BrushColor));
            OutputCells(p, canvas_.Font, canvas_.Font.Color(), x, y, text, c0, c1 - 1, part);
        }
    }
}

void TEditor::PaintAfterText(QPainter& p, int r, int textWidth, int x, int y, const QRect& part,
                             bool selectedBreak) {
    const int end = x + textWidth * cellWidth_;
    if (end > part.right()) return;
    const int kind = session_.Store().RowKind(r);
    if (eofMark_ && r == session_.Store().RowCount() - 1 && kind == rkEnd) {
        DrawEofMark(p, end, y);
    } else if (retMark_ && kind == rkBreak) {
        if (selectedBreak)
            DrawSelRetMark(p, end, y);
        else
            DrawRetMark(p, end, y);
    }
}

bool TEditor::RowSelected(int r) const {
    const TSelectionRange& s = session_.DrawnRange();
    return Selected() && r >= s.startRow && r <= s.endRow;
}

std::pair<int, int> TEditor::SelectedCols(int r) const {
    const TSelectionRange& sel = session_.DrawnRange();
    const int width = session_.Store().RowWidth(r);
    const int from = r == sel.startRow ? std::min(sel.startCol, width) : 0;
    const int to = r == sel.endRow ? std::min(sel.endCol, width) : kToEdge;
    return {from, std::max(from, to)};
}

void TEditor::PaintSelectedRow(QPainter& p, int r, const std::string& text, int x, int y, const QRect& rowRect) {
    const auto [from, to] = SelectedCols(r);
    struct Part {
        int c0, c1;
        bool selected;
        QRect rect;
    };
    auto pixel = [&](int c) { return c >= kToEdge ? rowRect.right() + 1 : x + c * cellWidth_; };
    std::vector<Part> parts;
    auto add = [&](int c0, int c1, bool selected) {
        const int l = std::max(rowRect.left(), pixel(c0));
        const int rr = std::min(rowRect.right() + 1, pixel(c1));
        if (c1 > c0 && rr > l) parts.push_back({c0, c1, selected, QRect(l, rowRect.top(), rr - l, rowRect.height())});
    };
    add(0, from, false);
    add(from, to, true);
    add(to, kToEdge, false);

    for (const Part& part : parts)
        p.fillRect(part.rect, ToQColor(part.selected ? selectBkColor_ : color_));

    const std::vector<int> bounds = WordBounds(text, session_.Delimiters(), DelimDBCS());
    const int width = static_cast<int>(text.size());
    for (const Part& part : parts) {
        const int end = std::min(part.c1, width);
        for (size_t k = 0; k + 1 < bounds.size(); ++k) {
            const auto [c0, c1] = WholeChars(text, bounds[k] - 1, bounds[k + 1] - 1, part.c0, end);
            if (c0 >= c1) continue;
            const int w0 = bounds[k] - 1;
            const std::string word = text.substr(static_cast<size_t>(w0), static_cast<size_t>(bounds[k + 1] - 1 - w0));
            const bool listed = IsReserved(word);
            const bool useReserve = listed && reserveWordColor_;
            canvas_.Font.Assign(useReserve ? reserveWordFont_ : font_);
            canvas_.BrushColor = useReserve ? reserveBkColor_ : color_;
            DoBeforeDrawWord(text.substr(static_cast<size_t>(c0), static_cast<size_t>(c1 - c0)), listed);
            TColor colour = canvas_.Font.Color();
            if (part.selected) {
                canvas_.BrushColor = selectBkColor_;
                colour = selectFontColor_;
            }
            const bool italic = canvas_.Font.Style() & fsItalic;
            const QRect cells = QRect(x + c0 * cellWidth_, y, (c1 - c0) * cellWidth_, rowRect.height());
            if (italic) p.fillRect(cells.intersected(part.rect), ToQColor(canvas_.BrushColor));
            // Slanted glyphs at a part's right edge keep their overhang into the next part,
            // which is already filled.
            QRect clip = part.rect;
            if (italic) clip.setRight(clip.right() + cellWidth_);
            OutputCells(p, canvas_.Font, colour, x, y, text, c0, c1 - 1, clip.intersected(rowRect));
        }
    }
    const bool breakSelected = r < session_.DrawnRange().endRow;
    PaintAfterText(p, r, width, x, y, rowRect, breakSelected);
}

void TEditor::DrawEofMark(QPainter& p, int x, int y) {
    QRect mark(x, y, 6 * cellWidth_, charHeight_);
    mark = mark.intersected(QRect(QPoint(leftMargin_, topMargin_), viewport()->rect().bottomRight()));
    if (mark.isEmpty()) return;
    p.fillRect(mark, ToQColor(color_));
    OutputCells(p, font_, eofMarkColor_, x, y, "[EOF]", 0, 5, mark);
}

namespace {

void Arrow(QPainter& p, int x, int y, int cellWidth, int charHeight, const QColor& colour) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(colour, 0));
    const int xm = x + cellWidth / 2;
    p.drawLine(xm, y + 6, xm, y + charHeight - 4);
    p.drawLine(xm, y + charHeight - 4, xm + 3, y + charHeight - 7);
    p.drawLine(xm, y + charHeight - 4, xm - 3, y + charHeight - 7);
    p.restore();
}

}  // namespace

void TEditor::DrawRetMark(QPainter& p, int x, int y) {
    if (x < leftMargin_) return;
    Arrow(p, x, y, cellWidth_, charHeight_, ToQColor(retMarkColor_));
}

void TEditor::DrawSelRetMark(QPainter& p, int x, int y) {
    if (x < leftMargin_) return;
    Arrow(p, x, y, cellWidth_, charHeight_, ToQColor(selectFontColor_));
}

void TEditor::DrawUnderLine(QPainter& p) {
    const int y = RowTop(Row());
    if (y < 0) return;
    p.fillRect(QRect(leftMargin_, y, std::max(0, viewport()->width() - leftMargin_), 1), ToQColor(underLineColor_));
}

// --- Selection redraw -------------------------------------------------------------------------

void TEditor::UpdateSelectionCells(const TSelectionRange& before, bool wasSelected) {
    if (linesUpdating_ > 0) return;
    const TSelectionRange& sel = session_.DrawnRange();
    const int first = std::max(topRow_, std::min(wasSelected ? before.startRow : sel.startRow, sel.startRow));
    const int last = std::min(topRow_ + visibleRows_, std::max(wasSelected ? before.endRow : sel.endRow, sel.endRow));
    const int w = viewport()->width();
    for (int r = first; r <= last; ++r) {
        const bool inOld = wasSelected && r >= before.startRow && r <= before.endRow;
        const bool inNew = r >= sel.startRow && r <= sel.endRow;
        const int y = RowY(r);
        if (inOld != inNew) {
            // The owner's drawing comes or goes with the row: the whole row changes.
            viewport()->update(QRect(0, y, w, RowPitch() + 1));
            continue;
        }
        if (!inNew) continue;
        const int width = session_.Store().RowWidth(r);
        auto cols = [&](const TSelectionRange& s) {
            const int f = r == s.startRow ? std::min(s.startCol, width) : 0;
            const int t = r == s.endRow ? std::min(s.endCol, width) : kToEdge;
            return std::pair<int, int>(f, std::max(f, t));
        };
        const auto [f0, t0] = cols(before);
        const auto [f1, t1] = cols(sel);
        if (f0 == f1 && t0 == t1) continue;
        // Columns whose state differs: the two ends of the symmetric difference.
        auto xs = [&](int c) { return c >= kToEdge ? w : leftMargin_ + (c - topCol_) * cellWidth_; };
        auto mark = [&](int a, int b) {
            if (a == b) return;
            const int l = std::max(leftMargin_, xs(std::min(a, b)));
            // An arrow or the italic overhang sits one cell past the last changed column.
            const int rr = std::min(w, xs(std::max(a, b)) + (std::max(a, b) >= kToEdge ? 0 : cellWidth_));
            if (rr > l) viewport()->update(QRect(l, y, rr - l, charHeight_ + 1));
        };
        mark(f0, f1);
        mark(t0, t1);
    }
}

// --- Input-method composition ----------------------------------------------------------------

// The text being composed sits at the caret in the editor's own cells, underlined, over
// whatever it covers; it is not in the rows until the input method commits it.
void TEditor::PaintPreedit(QPainter& p) {
    const std::optional<std::string> bytes = QStringToSjis(preedit_);
    const int x = ColX(Col());
    const int y = RowY(Row());
    // Characters CP932 cannot hold still show while composed, two cells each.
    const int cells = bytes ? static_cast<int>(bytes->size()) : 2 * static_cast<int>(preedit_.size());
    const QRect area(x, y, cells * cellWidth_, charHeight_);
    p.fillRect(area, ToQColor(color_));
    if (bytes) {
        OutputCells(p, font_, font_.Color(), x, y, *bytes, 0, INT_MAX / 2, area);
    } else {
        p.setFont(ToQFont(font_));
        p.setPen(ToQColor(font_.Color()));
        p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, preedit_);
    }
    p.fillRect(QRect(x, y + charHeight_ - 1, area.width(), 1), ToQColor(font_.Color()));
}
