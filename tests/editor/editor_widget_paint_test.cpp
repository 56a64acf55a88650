// What the editor draws: the cell grid, the end-of-file mark, line-break arrows, the
// owner's hooks, reserved words, selected rows, the underline and the caret.
#include "editor_widget_support.h"

#include <QPainter>
#include <QScreen>
#include <QTest>

#include <random>
#include <vector>

using Paint = EditorWidget;

TEST_F(Paint, EveryByteTakesOneCellAndTabsReachTheNextStop) {
    // a, あ (two cells), b: b sits in cell 3 whatever the glyphs' own widths are.
    SetText("aあb\n\tc\nWWWWiiii");
    QImage img = Shot();
    EXPECT_GT(Ink(img, Cell(0, 3)), 0);
    EXPECT_EQ(Ink(img, Cell(0, 4, 4)), 0);
    EXPECT_GT(Ink(img, Cell(0, 1, 2)), 0);
    EXPECT_EQ(Ink(img, Cell(1, 0, 8)), 0);
    EXPECT_GT(Ink(img, Cell(1, 8)), 0);
    // Narrow and wide letters alike end at cell 8.
    EXPECT_GT(Ink(img, Cell(2, 7)), 0);
    EXPECT_EQ(Ink(img, Cell(2, 8, 4)), 0);

    ed->SetTabSpaceCount(4);
    img = Shot();
    EXPECT_GT(Ink(img, Cell(1, 4)), 0);
    EXPECT_EQ(Ink(img, Cell(1, 5, 4)), 0);
}

TEST_F(Paint, EndOfFileMarkFollowsTheTextsEnd) {
    ed->SetEofMark(true);
    // No text: top left of the text area.
    QImage img = Shot();
    EXPECT_GT(Reddish(img, Cell(0, 0, 6)), 0);
    EXPECT_EQ(Reddish(img, QRect(0, ed->RowY(1), 400, 100)), 0);

    // Last row broken: column 0 of the row after.
    SetText("abc\n");
    img = Shot();
    EXPECT_EQ(Reddish(img, Cell(0, 0, 20)), 0);
    EXPECT_GT(Reddish(img, Cell(1, 0, 6)), 0);

    // No break at the end: right after the last character.
    ed->Lines().Clear();
    ed->Session().Store().AppendRow("xyz", rkEnd);
    img = Shot();
    EXPECT_EQ(Reddish(img, Cell(0, 0, 3)), 0);
    EXPECT_GT(Reddish(img, Cell(0, 3, 6)), 0);
    EXPECT_EQ(Reddish(img, QRect(0, ed->RowY(1), 400, 100)), 0);

    ed->SetEofMark(false);
    EXPECT_EQ(Reddish(Shot(), ed->viewport()->rect()), 0);
}

TEST_F(Paint, ArrowsOnlyAfterHardBrokenRows) {
    ed->SetRetMark(true);
    ed->SetWordWrap(true);
    ed->SetWrapByte(20);
    // 25 letters: a full rkWrap row and a 5-column rkBreak row; then an unbroken last row.
    ed->Lines().SetText("abcdefghijklmnopqrstuvwxy\r\n");
    ed->Session().Store().AppendRow("zz", rkEnd);
    ASSERT_EQ(ed->Store().RowKind(0), rkWrap);
    ASSERT_EQ(ed->Store().RowKind(1), rkBreak);
    ASSERT_EQ(ed->Store().RowKind(2), rkEnd);
    const QColor blue(0, 0, 255);
    QImage img = Shot();
    EXPECT_EQ(Exactly(img, QRect(0, ed->RowY(0), 400, ed->CharHeight()), blue), 0);
    EXPECT_GT(Exactly(img, Cell(1, 5), blue), 4);
    EXPECT_EQ(Exactly(img, Cell(1, 0, 5), blue), 0);
    EXPECT_EQ(Exactly(img, QRect(0, ed->RowY(2), 400, ed->CharHeight()), blue), 0);
    // An empty broken row gets its arrow in cell 0.
    ed->Lines().SetText("\r\n");
    EXPECT_GT(Exactly(Shot(), Cell(0, 0), blue), 4);
}

TEST_F(Paint, DrawLineFiresForEveryUnselectedRow) {
    SetText("one\ntwo\nthree\nfour");
    std::vector<int> drawn;
    QRect lastRect;
    ed->OnDrawLine = [&](TEditor* sender, const std::string&, int, int, int index, const QRect& r) {
        drawn.push_back(index);
        lastRect = r;
        // The owner's notebook rule.
        sender->Canvas().Painter->setPen(QColor(192, 192, 192));
        sender->Canvas().Painter->drawLine(r.left(), r.y() + r.height() - 1, r.right(), r.y() + r.height() - 1);
    };
    QImage img = Shot();
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(lastRect, QRect(4, ed->RowY(3), ed->viewport()->width() - 4, ed->CharHeight()));
    const QColor silver(192, 192, 192);
    const int ruleY = ed->RowY(1) + ed->CharHeight() - 1;
    EXPECT_GT(Exactly(img, QRect(4, ruleY, 300, 1), silver), 280);

    drawn.clear();
    Select({1, 2, 1, 3});
    img = Shot();
    EXPECT_EQ(drawn, (std::vector<int>{0, 3}));
    EXPECT_EQ(Exactly(img, QRect(4, ruleY, 300, 1), silver), 0);

    drawn.clear();
    ed->ClearSelection();
    img = Shot();
    EXPECT_EQ(drawn, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_GT(Exactly(img, QRect(4, ruleY, 300, 1), silver), 280);
}

TEST_F(Paint, WithoutDefaultDrawingOnlyTheOwnerDraws) {
    SetText("text that would show\nmore");
    ed->SetRetMark(true);
    ASSERT_GT(Ink(Shot(), ed->viewport()->rect()), 0);
    ed->SetDefaultDrawing(false);
    QImage img = Shot();
    EXPECT_EQ(Count(img, img.rect(), [](QColor c) { return c != QColor(Qt::white); }), 0);

    int calls = 0;
    ed->OnDrawLine = [&](TEditor*, const std::string& line, int, int, int, const QRect&) {
        ++calls;
        EXPECT_FALSE(line.empty());
    };
    img = Shot();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(Ink(img, img.rect()), 0);
}

TEST_F(Paint, ReservedWordsTakeTheirFontAndBackground) {
    SetText("foo bar FOO");
    TStringList words{"Foo", "foo", "zip"};
    ed->SetReserveWordList(words);
    EXPECT_EQ(ed->ReserveWordList().Count(), 2);  // duplicates by letter case go
    const QColor aqua(0, 255, 255);
    EXPECT_EQ(Exactly(Shot(), Cell(0, 0, 11), aqua), 0);
    ed->SetReserveWordColor(true);
    QImage img = Shot();
    EXPECT_GT(Exactly(img, Cell(0, 0, 3), aqua), 100);
    EXPECT_EQ(Exactly(img, Cell(0, 3, 5), aqua), 0);
    EXPECT_GT(Exactly(img, Cell(0, 8, 3), aqua), 100);
}

TEST_F(Paint, WordHookSeesPlainWordsThenListedOnesAndMayRecolour) {
    SetText("ab cd\n\nx");
    ed->SetReserveWordList(TStringList{"cd"});
    std::vector<std::pair<std::string, bool>> seen;
    ed->OnBeforeDrawWord = [&](TEditor* sender, const std::string& word, bool reserved) {
        seen.emplace_back(word, reserved);
        if (word == "ab") sender->Canvas().Font.SetColor(clRed);
    };
    QImage img = Shot();
    ASSERT_GE(seen.size(), 4u);
    EXPECT_EQ(seen[0], (std::pair<std::string, bool>{"ab", false}));
    EXPECT_EQ(seen[1], (std::pair<std::string, bool>{" ", false}));
    EXPECT_EQ(seen[2], (std::pair<std::string, bool>{"cd", true}));
    // The empty row 1 fires once with an empty word.
    EXPECT_EQ(seen[3], (std::pair<std::string, bool>{"", false}));
    EXPECT_GT(Reddish(img, Cell(0, 0, 2)), 0);
    EXPECT_EQ(Reddish(img, Cell(0, 3, 2)), 0);
    // Listed words get the reserved background here even with ReserveWordColor off.
    EXPECT_GT(Exactly(img, Cell(0, 3, 2), QColor(0, 255, 255)), 50);
}

TEST_F(Paint, SelectedColumnsShowInSelectionColours) {
    SetText("abcdef\nghi\njkl");
    ed->SetRetMark(true);
    Select({0, 2, 2, 1});
    QImage img = Shot();
    const QColor navy(0, 0, 128);
    EXPECT_EQ(Exactly(img, Cell(0, 0, 2), navy), 0);
    EXPECT_GT(Exactly(img, Cell(0, 2, 4), navy), 200);
    // A row whose line break is selected is selected to the right edge, and its arrow
    // shows in the selected text colour.
    EXPECT_GT(Exactly(img, Cell(1, 10, 5), navy), 300);
    EXPECT_GT(Exactly(img, Cell(1, 3), QColor(255, 255, 0)), 4);
    EXPECT_GT(Exactly(img, Cell(2, 0), navy), 50);
    EXPECT_EQ(Exactly(img, Cell(2, 1, 5), navy), 0);
    EXPECT_EQ(ed->SelText(), Sjis("cdef\r\nghi\r\nj"));
}

TEST_F(Paint, CaretRowUnderlineFollowsTheCaretAndGoesWithASelection) {
    SetText("a\nb\nc\n");
    Focus();
    ed->SetUnderLine(true);
    const QColor lime(0, 255, 0);
    ed->SetRow(1);
    QImage img = Shot();
    EXPECT_GT(Exactly(img, QRect(0, ed->RowTop(1), 400, 1), lime), 300);
    EXPECT_EQ(Exactly(img, QRect(0, ed->RowTop(0), 400, 1), lime), 0);
    ed->SetRow(2);
    img = Shot();
    EXPECT_EQ(Exactly(img, QRect(0, ed->RowTop(1), 400, 1), lime), 0);
    EXPECT_GT(Exactly(img, QRect(0, ed->RowTop(2), 400, 1), lime), 300);
    Select({0, 1, 0, 1});
    EXPECT_EQ(Exactly(Shot(), ed->viewport()->rect(), lime), 0);
}

TEST_F(Paint, CaretShapes) {
    SetText("aあ\n");
    Focus();
    const int cw = ed->CellWidth();
    const int ch = ed->CharHeight();
    auto black = [&](const QRect& r) { return Exactly(Shot(), r, QColor(0, 0, 0)); };
    // Brief: an underscore one cell wide at the foot of the cell.
    ed->SetCol(0);
    EXPECT_EQ(ed->CaretRect(), QRect(ed->ColX(0), ed->RowY(0) + ch - 2, cw, 2));
    EXPECT_TRUE(ed->CaretShowing());
    // Over a double-byte character it covers both cells.
    ed->SetCol(1);
    EXPECT_EQ(ed->CaretRect(), QRect(ed->ColX(1), ed->RowY(0) + ch - 2, 2 * cw, 2));
    ed->SetRow(1);
    ed->SetCol(0);
    EXPECT_EQ(black(ed->CaretRect()), 2 * cw);
    ed->SetCaretStyle(csDefault);
    EXPECT_EQ(ed->CaretRect(), QRect(ed->ColX(0), ed->RowY(1), 2, ch));
    EXPECT_EQ(black(ed->CaretRect()), 2 * ch);
    ed->SetOverWrite(true);
    EXPECT_EQ(ed->CaretRect(), QRect(ed->ColX(0), ed->RowY(1), cw, ch));
    EXPECT_EQ(black(ed->CaretRect()), cw * ch);
    // It blinks, and goes with the focus.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ed->CaretShowing(); }, 5000));
    EXPECT_EQ(black(QRect(ed->ColX(0), ed->RowY(1), cw, ch)), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ed->CaretShowing(); }, 5000));
    EXPECT_EQ(black(ed->CaretRect()), cw * ch);
    ed->clearFocus();
    QApplication::processEvents();
    EXPECT_FALSE(ed->CaretShowing());
}

// Where two pictures differ: empty when they are the same.
static QRect Difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return a.rect().united(b.rect());
    QRect diff;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) diff = diff.united(QRect(x, y, 1, 1));
    return diff;
}

// The screen keeps what earlier paints left; scrolling and partial repaints must leave it
// exactly as a full repaint would draw it.
TEST_F(Paint, IncrementalUpdatesEqualAFullRepaint) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "row " + std::to_string(i) + " \x82\xa0\x82\xa2 foo bar\r\n";
    ed->Lines().SetText(text);
    ed->SetReserveWordList(TStringList{"foo"});
    ed->SetReserveWordColor(true);
    ed->SetUnderLine(true);
    ed->SetEofMark(true);
    ed->OnDrawLine = [](TEditor* s, const std::string&, int, int, int, const QRect& r) {
        s->Canvas().Painter->setPen(QColor(192, 192, 192));
        s->Canvas().Painter->drawLine(r.left(), r.y() + r.height() - 1, r.right(), r.y() + r.height() - 1);
    };
    auto screen = [&] {
        QApplication::processEvents();
        QImage all = ed->screen()->grabWindow(ed->winId()).toImage();
        return all.copy(ed->viewport()->geometry()).convertToFormat(QImage::Format_RGB32);
    };
    auto full = [&] { return Shot().convertToFormat(QImage::Format_RGB32); };
    screen();
    ASSERT_EQ(Difference(screen(), full()), QRect());

    ed->SetTopRow(3);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "scroll down";
    ed->SetTopRow(1);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "scroll up";
    ed->SetTopCol(2);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "scroll sideways";
    ed->SetTopCol(0);

    Select({2, 4, 3, 5});
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "select";
    Select({2, 5, 3, 2});
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "extend";
    Select({3, 3, 1, 4});
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "shrink";
    ed->ClearSelection();
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "clear";

    ed->Lines().Insert(2, "inserted line");
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "rows shifted down";
    ed->Lines().Delete(1);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "rows shifted up";

    // Two characters typed at column 4 of row 2: the rest of the row slides right.
    const std::string row = ed->Store().RowText(2);
    ed->Session().Store().SetRowText(2, row.substr(0, 4) + "XY" + row.substr(4));
    ed->ShiftRowCells(2, 4, 2);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "typed";
    ed->Session().Store().SetRowText(2, row);
    ed->ShiftRowCells(2, 4, -2);
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "deleted";
}

// Each edit repaints what it changed: the rows, the rows below when the count changed, the
// row above (its break arrow and end-of-file mark) and the caret-row underline.
TEST_F(Paint, EditsLeaveTheScreenAsAFullRepaintWould) {
    ed->Lines().SetText("first\r\nsecond \x82\xa0 foo\r\nthird\r\n");
    ed->SetRetMark(true);
    ed->SetEofMark(true);
    ed->SetUnderLine(true);
    auto screen = [&] {
        QApplication::processEvents();
        QImage all = ed->screen()->grabWindow(ed->winId()).toImage();
        return all.copy(ed->viewport()->geometry()).convertToFormat(QImage::Format_RGB32);
    };
    auto full = [&] { return Shot().convertToFormat(QImage::Format_RGB32); };
    screen();
    TEditSession& s = ed->Session();
    s.SetCaret(1, 3);
    s.TypeText("XY");
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "typed";
    s.KeyEnter();
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "enter";
    s.KeyBackspace();
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "joined";
    s.SetCaret(3, 0);
    s.KeyBackspace();
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "final break removed";
    s.KeyMove(ekUp, true, true, false);
    s.KeyMove(ekEnd, true, false, false);
    s.DeleteSelection();
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "selection deleted";
    s.SetSelText("p\r\nq\r\n");
    EXPECT_EQ(Difference(screen(), full()), QRect()) << "pasted";
    while (s.CanUndo()) {
        s.Undo();
        EXPECT_EQ(Difference(screen(), full()), QRect()) << "undo";
    }
    while (s.CanRedo()) {
        s.Redo();
        EXPECT_EQ(Difference(screen(), full()), QRect()) << "redo";
    }
}

TEST_F(Paint, AVeryLongRowLooksAsItsVisiblePartWouldAlone) {
    // A 200,000-byte line of tabs, kanji and letters, against the same line cut a little
    // past the view: wherever the view is scrolled to, the pictures are the same.
    std::string unit = Sjis("ab\tあいう x");
    std::string longLine;
    while (longLine.size() < 200000) longLine += unit;
    ed->SetEofMark(true);
    ed->SetRetMark(true);
    int rules = 0;
    ed->OnDrawLine = [&rules](TEditor*, const std::string&, int, int, int, const QRect&) { ++rules; };
    for (int topCol : {0, 37, ed->MaxTopCol()}) {
        ed->Lines().SetText(longLine + "\r\nnext");
        ed->SetTopCol(topCol);
        const QImage whole = Shot();
        // A byte takes a column or more, so the cut line still runs past the view's edge.
        const size_t cut = static_cast<size_t>(ed->TopCol() + ed->VisibleCols() + 64);
        ed->Lines().SetText(longLine.substr(0, cut) + "\r\nnext");
        ed->SetTopCol(topCol);
        EXPECT_EQ(Shot(), whole) << topCol;
    }
    EXPECT_GT(rules, 0);
}

namespace {

// The union of what the viewport was asked to paint.
class PaintedRegion : public QObject {
public:
    explicit PaintedRegion(QWidget* viewport) : viewport_(viewport) { viewport->installEventFilter(this); }
    ~PaintedRegion() override { viewport_->removeEventFilter(this); }
    QRegion region;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) region += static_cast<QPaintEvent*>(event)->region();
        return false;
    }

private:
    QWidget* viewport_;
};

}  // namespace

// Edits repaint only what they changed and move the rows below as pixels; whatever they
// leave on the screen must be what a full repaint draws, caret and marks included.
TEST_F(Paint, RandomEditsLeaveTheScreenAsAFullRepaintWould) {
    std::mt19937 rng(20261207);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const std::vector<std::string> pieces = {"a", "b", " ", "\t", "\x82\xa0", "\x88\x9f", "xyz"};
    std::string text;
    for (int i = 0; i < 30; ++i) {
        for (int n = pick(16); n > 0; --n) text += pieces[static_cast<size_t>(pick(static_cast<int>(pieces.size())))];
        text += "\r\n";
    }
    ed->Lines().SetText(text);
    ed->SetRetMark(true);
    ed->SetEofMark(true);
    ed->SetUnderLine(true);
    ed->OnDrawLine = [](TEditor* s, const std::string&, int, int, int, const QRect& r) {
        s->Canvas().Painter->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), QColor(192, 192, 192));
    };
    Focus();
    auto screen = [&] {
        QApplication::processEvents();
        QImage all = ed->screen()->grabWindow(ed->winId()).toImage();
        return all.copy(ed->viewport()->geometry()).convertToFormat(QImage::Format_RGB32);
    };
    auto full = [&] { return Shot().convertToFormat(QImage::Format_RGB32); };
    screen();
    TEditSession& s = ed->Session();
    const char* const names[] = {"type", "type kanji", "enter", "backspace", "delete", "undo", "redo", "move", "scroll"};
    for (int step = 0; step < 400; ++step) {
        if (step == 200) {
            ed->SetWrapByte(12);
            ed->SetWordWrap(true);
        }
        const int op = pick(9);
        switch (op) {
        case 0: s.KeyChar(static_cast<unsigned char>('a' + pick(26))); break;
        case 1: s.TypeText("\x8a\xbf"); break;
        case 2: s.KeyEnter(); break;
        case 3: s.KeyBackspace(); break;
        case 4: s.KeyDelete(); break;
        case 5: s.Undo(); break;
        case 6: s.Redo(); break;
        case 7: s.SetCaret(pick(ed->Store().RowCount() + 1), pick(20)); break;
        default: ed->SetTopRow(std::max(0, ed->TopRow() + pick(7) - 3)); break;
        }
        ASSERT_EQ(Difference(screen(), full()), QRect()) << "step " << step << ", " << names[op];
    }
}

// A typed character asks for its row from the cell before the caret on; an Enter for the
// row it cut and the new row, the rows below moving as pixels; a Backspace joining two rows
// for the joined row and the row uncovered at the foot; a blink for the caret alone.
TEST_F(Paint, AnEditAsksToPaintOnlyWhatItChanged) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "line " + std::to_string(i) + " of the text\r\n";
    ed->Lines().SetText(text);
    Focus();
    TEditSession& s = ed->Session();
    s.SetCaret(3, 4);
    QApplication::processEvents();
    const int pitch = ed->RowPitch();
    const int w = ed->viewport()->width();
    auto rows = [&](int a, int b) { return QRect(0, ed->RowY(a), w, (b - a + 1) * pitch); };
    PaintedRegion painted(ed->viewport());

    s.KeyChar('x');
    QApplication::processEvents();
    const QRect typed = painted.region.boundingRect();
    EXPECT_TRUE(rows(3, 3).contains(typed)) << "typed: " << typed.y() << "+" << typed.height();
    EXPECT_GE(typed.left(), ed->ColX(3));
    EXPECT_TRUE(painted.region.contains(QPoint(ed->ColX(4) + 1, ed->RowY(3) + 1)));

    painted.region = QRegion();
    s.KeyEnter();
    QApplication::processEvents();
    EXPECT_TRUE(rows(3, 4).contains(painted.region.boundingRect()));

    painted.region = QRegion();
    const QRect caretBefore = ed->CaretRect();
    s.KeyBackspace();
    QApplication::processEvents();
    EXPECT_TRUE(painted.region.intersects(rows(3, 3)));
    const QRect rest = painted.region.subtracted(caretBefore).subtracted(rows(3, 3)).boundingRect();
    EXPECT_LE(rest.height(), pitch);
    EXPECT_GE(rest.top(), ed->viewport()->height() - pitch);
    EXPECT_EQ(ed->Lines().Strings(3), "linex 3 of the text");

    painted.region = QRegion();
    const bool showing = ed->CaretShowing();
    const QRect caret = ed->CaretRect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ed->CaretShowing() != showing; }, 5000));
    QApplication::processEvents();
    EXPECT_EQ(painted.region, QRegion(caret));
}
