#pragma once
// A shown editor with a known font and distinct colours, so that pixels tell which mark,
// text or rule they belong to.
#include "editor/editor.h"
#include "platform/sjis.h"

#include <QApplication>
#include <QImage>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

class EditorWidget : public ::testing::Test {
protected:
    void SetUp() override {
        ed = std::make_unique<TEditor>();
        TFont f;
        f.SetName(Sjis("ＭＳ ゴシック"));
        f.SetHeight(-15);
        f.SetColor(clBlack);
        ed->SetFont(f);
        ed->SetColor(clWhite);
        ed->SetLeftMargin(4);
        ed->SetTopMargin(0);
        ed->SetEofMarkColor(clRed);
        ed->SetRetMarkColor(clBlue);
        ed->SetUnderLineColor(clLime);
        ed->SetSelectBkColor(clNavy);
        ed->SetSelectFontColor(clYellow);
        ed->SetReserveBkColor(clAqua);
        ed->resize(400, 200);
        ed->show();
        QApplication::processEvents();
        // The caret shows only where a test gives the focus.
        ed->clearFocus();
        QApplication::processEvents();
    }
    void TearDown() override { ed.reset(); }

    // What a full repaint of the text area shows.
    QImage Shot() const { return ed->viewport()->grab().toImage(); }
    QRect Cell(int row, int col, int cells = 1) const {
        return QRect(ed->ColX(col), ed->RowY(row), cells * ed->CellWidth(), ed->CharHeight());
    }
    void SetText(const char* utf8) { ed->Lines().SetText(Sjis(utf8)); }
    // Selects from (startRow, startCol) to (endRow, endCol) as Shift and the arrows would;
    // a selection from the same anchor is extended, not made anew.
    void Select(const TSelectionRange& r) {
        TEditSession& s = ed->Session();
        const TSelectionRange& d = s.DrawnRange();
        const bool sameAnchor = s.Selected() && ((d.startRow == r.startRow && d.startCol == r.startCol) ||
                                                 (d.endRow == r.startRow && d.endCol == r.startCol));
        if (!sameAnchor) {
            s.ClearSelection();
            s.SetCaret(r.startRow, r.startCol);
            s.StartSelection(false);
        }
        s.SetCaret(r.endRow, r.endCol);
        s.UpdateSelection();
    }
    void Focus() {
        ed->activateWindow();
        ed->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(ed->hasFocus());
    }

    static int Count(const QImage& img, const QRect& rect, const std::function<bool(QColor)>& like) {
        int n = 0;
        const QRect r = rect.intersected(img.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                if (like(QColor(img.pixel(x, y)))) ++n;
        return n;
    }
    // Pixels of anti-aliased glyphs: clearly away from the white background.
    static int Ink(const QImage& img, const QRect& rect) {
        return Count(img, rect, [](QColor c) { return c.lightness() < 160; });
    }
    static int Reddish(const QImage& img, const QRect& rect) {
        return Count(img, rect, [](QColor c) { return c.red() > 150 && c.green() < 110 && c.blue() < 110; });
    }
    static int Exactly(const QImage& img, const QRect& rect, QColor colour) {
        return Count(img, rect, [colour](QColor c) { return c.rgb() == colour.rgb(); });
    }

    std::unique_ptr<TEditor> ed;
};
