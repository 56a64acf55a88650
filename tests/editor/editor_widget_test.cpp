// The editor's properties, metrics, scrolling and caret placement on the real widget.
#include "editor_widget_support.h"

#include "editor/cell_text.h"
#include "editor/word_bounds.h"

#include <QClipboard>
#include <QScrollBar>
#include <QStyle>
#include <QTest>

using Editor = EditorWidget;

TEST_F(Editor, PropertiesClampAsPublished) {
    const std::pair<int, int> tabs[] = {{7, 6}, {1, 2}, {12, 8}, {5, 4}, {2, 2}};
    for (auto [in, out] : tabs) {
        ed->SetTabSpaceCount(in);
        EXPECT_EQ(ed->TabSpaceCount(), out) << in;
    }
    ed->SetLeftMargin(-5);
    EXPECT_EQ(ed->LeftMargin(), 0);
    ed->SetLeftMargin(250);
    EXPECT_EQ(ed->LeftMargin(), 100);
    ed->SetCharacterMargin(-9);
    EXPECT_EQ(ed->CharacterMargin(), -5);
    ed->SetCharacterMargin(101);
    EXPECT_EQ(ed->CharacterMargin(), 100);
    ed->SetTopMargin(-1);
    EXPECT_EQ(ed->TopMargin(), 0);
    ed->SetLineMargin(1000);
    EXPECT_EQ(ed->LineMargin(), 100);
    ed->SetWrapByte(3);
    EXPECT_EQ(ed->WrapByte(), 20);
    ed->SetUndoListMax(10);
    EXPECT_EQ(ed->UndoListMax(), 64);
}

TEST_F(Editor, DisposeBlankOnlyWithoutMarksWrapAndWithFreeCaret) {
    EXPECT_TRUE(ed->DisposeBlank());
    ed->SetEofMark(true);
    EXPECT_FALSE(ed->DisposeBlank());
    ed->SetDisposeBlank(true);
    EXPECT_FALSE(ed->DisposeBlank());
    ed->SetEofMark(false);
    ed->SetDisposeBlank(true);
    EXPECT_TRUE(ed->DisposeBlank());
    ed->SetRetMark(true);
    EXPECT_FALSE(ed->DisposeBlank());
    ed->SetRetMark(false);
    ed->SetDisposeBlank(true);
    ed->SetCaretFree(false);
    EXPECT_FALSE(ed->DisposeBlank());
    ed->SetDisposeBlank(true);
    EXPECT_FALSE(ed->DisposeBlank());
}

TEST_F(Editor, MetricsFollowFontMarginsAndUnderline) {
    // 15-pixel Gothic: 16 pixels high, 8 wide.
    EXPECT_EQ(ed->CharHeight(), 16);
    EXPECT_EQ(ed->CellWidth(), 8);
    EXPECT_EQ(ed->RowPitch(), 16);
    EXPECT_EQ(ed->VisibleRows(), (200 - 0 - 5) / 16);
    EXPECT_EQ(ed->VisibleCols(), (400 - 4 - 4) / 8);
    ed->SetUnderLine(true);
    ed->SetLineMargin(3);
    EXPECT_EQ(ed->RowPitch(), 20);
    EXPECT_EQ(ed->VisibleRows(), 195 / 20);
    ed->SetCharacterMargin(2);
    EXPECT_EQ(ed->CellWidth(), 10);
    EXPECT_EQ(ed->MaxTopCol(), 800);
    // Scroll bars take their room from the visible rows and columns.
    const int bar = ed->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ed.get());
    ed->SetScrollBars(ssBoth);
    EXPECT_EQ(ed->VisibleRows(), (195 - bar) / 20);
    EXPECT_EQ(ed->VisibleCols(), (400 - 4 - 5 - bar) / 10);
    // The smallest cell stays one pixel wide, so nothing divides by zero.
    TFont tiny(ed->Font());
    tiny.SetHeight(-1);
    ed->SetFont(tiny);
    ed->SetCharacterMargin(-5);
    EXPECT_GE(ed->CellWidth(), 1);
    EXPECT_EQ(ed->MaxTopCol(), 8000 / ed->CellWidth());
}

TEST_F(Editor, FontChangesCarryOverToTheReservedWordFont) {
    TFont f(ed->Font());
    f.SetHeight(-20);
    f.SetStyle(fsItalic);
    ed->SetFont(f);
    EXPECT_EQ(ed->ReserveWordFont().Height(), -20);
    EXPECT_EQ(ed->ReserveWordFont().Name(), f.Name());
    EXPECT_TRUE(ed->ReserveWordFont().Style() & fsItalic);
    EXPECT_GT(ed->CellWidth(), 8);
    EXPECT_GT(ed->CharHeight(), 16);
    // A reserved font of its own still takes Font's face and size.
    TFont other;
    other.SetName("Serif");
    other.SetHeight(-9);
    other.SetColor(clRed);
    other.SetStyle(fsBold);
    ed->SetReserveWordFont(other);
    EXPECT_EQ(ed->ReserveWordFont().Name(), f.Name());
    EXPECT_EQ(ed->ReserveWordFont().Height(), -20);
    EXPECT_EQ(ed->ReserveWordFont().Color(), clRed);
    EXPECT_EQ(ed->ReserveWordFont().Style(), fsBold | fsItalic);
}

TEST_F(Editor, TopRowAndColClampScrollTheBarsAndReport) {
    std::string text = std::string(400, 'x') + "\r\n";  // wide enough for the horizontal bar
    for (int i = 1; i < 100; ++i) text += "line\r\n";
    ed->Lines().SetText(text);
    ed->SetScrollBars(ssBoth);
    EXPECT_EQ(ed->MaxTopRow(), 100 + ed->VisibleRows() - 2);
    int rowChanges = 0;
    int colChanges = 0;
    ed->OnTopRowChange = [&](TEditor*) { ++rowChanges; };
    ed->OnTopColChange = [&](TEditor*) { ++colChanges; };
    ed->SetTopRow(500);
    EXPECT_EQ(ed->TopRow(), 100);
    ed->SetTopRow(-3);
    EXPECT_EQ(ed->TopRow(), 0);
    ed->SetTopRow(0);
    EXPECT_EQ(rowChanges, 2);
    ed->SetTopCol(100000);
    EXPECT_EQ(ed->TopCol(), ed->MaxTopCol());
    EXPECT_EQ(colChanges, 1);
    ed->SetTopCol(0);

    QScrollBar* v = ed->verticalScrollBar();
    v->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(ed->TopRow(), 1);
    v->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(ed->TopRow(), 1 + ed->VisibleRows());
    v->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(ed->TopRow(), 0);
    v->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(ed->TopRow(), 100);
    v->triggerAction(QAbstractSlider::SliderToMinimum);  // the wide row back in view
    ed->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(ed->TopCol(), ed->VisibleCols());
    // Scrolling leaves the caret where it was.
    EXPECT_EQ(ed->Row(), 0);
    EXPECT_EQ(ed->Col(), 0);
    // Fewer rows cut the first visible row down to the new limit.
    ed->SetTopRow(90);
    ed->Lines().SetText("a\r\nb\r\n");
    EXPECT_LE(ed->TopRow(), ed->MaxTopRow());
}

TEST_F(Editor, CaretOffTheViewScrollsByAQuarterSideways) {
    SetText("x\n");
    Focus();
    const int cols = ed->VisibleCols();
    ASSERT_GT(cols, 8);
    ed->SetCol(cols - 1);
    EXPECT_EQ(ed->TopCol(), 0);
    ed->SetCol(cols);
    EXPECT_EQ(ed->TopCol(), cols / 4);
    // Back left of the view: again a quarter, not one column.
    ed->SetCol(cols / 4 - 1);
    EXPECT_EQ(ed->TopCol(), 0);
    // Far right: the caret lands on the last visible column.
    ed->SetCol(3 * cols);
    EXPECT_EQ(ed->TopCol(), 2 * cols + 1);
}

TEST_F(Editor, CaretBelowTheViewBringsItsRowIntoView) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "r\r\n";
    ed->Lines().SetText(text);
    Focus();
    int moved = 0;
    ed->OnCaretMoved = [&](TEditor*) { ++moved; };
    ed->SetRow(30);
    EXPECT_EQ(ed->TopRow(), 30 - ed->VisibleRows() + 1);
    ed->SetRow(2);
    EXPECT_EQ(ed->TopRow(), 2);
    EXPECT_EQ(moved, 2);
    // Without the focus the caret moves but the view stays.
    ed->clearFocus();
    QApplication::processEvents();
    ed->SetRow(40);
    EXPECT_EQ(ed->Row(), 40);
    EXPECT_EQ(ed->TopRow(), 2);
}

TEST_F(Editor, ColumnRuleKeepsTheCaretOffHalfCharactersAndTabs) {
    // Row 0: "aあ" (あ on columns 1-2); row 1: "ab\tc" (tab fills columns 2-7).
    SetText("aあ\nab\tc\nabc\na");
    ed->SetRow(0);
    ed->SetCol(2);  // moving right onto the second half: past the character
    EXPECT_EQ(ed->Col(), 3);
    ed->SetCol(2);  // moving left onto it: before the character
    EXPECT_EQ(ed->Col(), 1);
    ed->SetCol(4);
    ed->SetRow(1);
    EXPECT_EQ(ed->Col(), 4);  // vertical moves may stand inside a tab
    ed->SetCol(5);
    EXPECT_EQ(ed->Col(), 8);  // horizontal ones leave it
    ed->SetCaretFree(false);
    ed->SetCol(30);
    EXPECT_EQ(ed->Col(), 9);
    // Down from column 2 of "abc" onto あ's second half and back: the column returns.
    ed->SetRow(2);
    ed->SetCol(2);
    ed->SetRow(0);
    EXPECT_EQ(ed->Col(), 1);
    ed->SetRow(2);
    EXPECT_EQ(ed->Col(), 2);
    // Restoring the column never takes the caret past a row's end without CaretFree.
    ed->SetRow(0);
    ed->SetRow(3);
    EXPECT_EQ(ed->Col(), 1);
}

TEST_F(Editor, ChangesReachTheOwnerAndTheScrollRange) {
    int changes = 0;
    ed->OnChange = [&](TEditor*) { ++changes; };
    const int before = ed->MaxTopRow();
    ed->Lines().Add("one");
    ed->Lines().Add("two");
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(ed->Modified());
    EXPECT_EQ(ed->MaxTopRow(), before + 2);
    ed->SetModified(false);
    ed->Clear();
    EXPECT_TRUE(ed->Modified());
    EXPECT_EQ(ed->Store().RowCount(), 0);
}

TEST_F(Editor, MousePressReportsAndPlacesTheCaret) {
    SetText("aあb\nxyz");
    std::vector<std::pair<Qt::MouseButton, QPoint>> presses;
    ed->OnMouseDown = [&](TEditor*, Qt::MouseButton button, QPoint pos) { presses.emplace_back(button, pos); };
    // On the second half of あ: the caret goes before it.
    const QPoint onSecondHalf = Cell(0, 2).center();
    QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, onSecondHalf);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(presses[0], (std::pair<Qt::MouseButton, QPoint>{Qt::LeftButton, onSecondHalf}));
    EXPECT_EQ(ed->Row(), 0);
    EXPECT_EQ(ed->Col(), 1);
    EXPECT_TRUE(ed->hasFocus());
    QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, Cell(1, 2).center());
    EXPECT_EQ(ed->Row(), 1);
    EXPECT_EQ(ed->Col(), 2);
    // The left margin belongs to the first visible column.
    ed->SetTopCol(3);
    QTest::mouseClick(ed->viewport(), Qt::LeftButton, {}, QPoint(1, Cell(1, 3).center().y()));
    EXPECT_EQ(ed->Col(), 3);
    ed->SetTopCol(0);
    // Other buttons are only reported, for the owner's pop-up menu.
    QTest::mouseClick(ed->viewport(), Qt::RightButton, {}, Cell(0, 0).center());
    EXPECT_EQ(presses.back().first, Qt::RightButton);
    EXPECT_EQ(ed->Row(), 1);
}

TEST_F(Editor, SelectAllSelectsEverythingWithTheFinalBreak) {
    SetText("ab\nあい\n");
    ed->SelectAll();
    EXPECT_TRUE(ed->Selected());
    EXPECT_EQ(ed->SelText(), Sjis("ab\r\nあい\r\n"));
    ed->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("ab\r\nあい\r\n"));
    // Emptying the text takes the selection with it.
    ed->Lines().Clear();
    EXPECT_FALSE(ed->Selected());
    EXPECT_EQ(ed->SelText(), "");
    ed->Session().Store().AppendRow("xy", rkEnd);
    ed->SelectAll();
    EXPECT_EQ(ed->SelText(), "xy");
    ed->Clear();
    EXPECT_FALSE(ed->Selected());
}

TEST(EditorWords, DelimitersAreWordsOfTheirOwn) {
    const TDelimiters d = DefaultDelimiters();
    EXPECT_EQ(WordBounds("ab  cd", d, false), (std::vector<int>{1, 3, 4, 5, 7}));
    EXPECT_EQ(WordBounds("a_b", d, false), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(WordBounds("", d, false), (std::vector<int>{1, 1}));
    // Digits, half-width katakana and double-byte characters are word characters.
    EXPECT_EQ(WordBounds("x1\xb1" + Sjis("あ"), d, false), (std::vector<int>{1, 6}));
}

TEST(EditorWords, DoubleByteRunsSplitFromSingleBytesOnlyWhenAsked) {
    const TDelimiters d = DefaultDelimiters();
    const std::string s = "ab" + Sjis("あい") + "c";
    EXPECT_EQ(WordBounds(s, d, false), (std::vector<int>{1, 8}));
    EXPECT_EQ(WordBounds(s, d, true), (std::vector<int>{1, 3, 7, 8}));
    // ソ ends in 0x5C, a delimiter as a byte but not as part of a character.
    EXPECT_EQ(WordBounds(Sjis("ソア"), d, false), (std::vector<int>{1, 5}));
    EXPECT_EQ(WordBounds(" " + Sjis("ア"), d, false), (std::vector<int>{1, 2, 4}));
}

TEST(EditorCells, BytesBecomeTheCharactersThatAreDrawn) {
    EXPECT_EQ(CellChar("\x82\xa0"), QChar(0x3042));
    EXPECT_EQ(CellChar("\xb1"), QChar(0xFF71));
    EXPECT_EQ(CellChar("\x87\x40"), QChar(0x2460));  // an extension character
    EXPECT_EQ(CellChar("\x82"), QChar(QChar::ReplacementCharacter));
    EXPECT_EQ(CellChar("\x82 "), QChar(QChar::ReplacementCharacter));
    EXPECT_EQ(CellChar(std::string(1, '\0')), QChar(u' '));
    EXPECT_EQ(CellChar("\t"), QChar(u' '));
}

// The horizontal bar spans what is in view: none for an empty or narrow text, one as soon
// as a wide row scrolls into view, none again once it has scrolled out.
TEST_F(Editor, HorizontalBarOnlyForRowsWiderThanTheView) {
    ed->SetScrollBars(ssBoth);
    QApplication::processEvents();
    QScrollBar* h = ed->horizontalScrollBar();
    EXPECT_EQ(h->maximum(), 0) << "empty text";
    std::string text;
    for (int i = 0; i < 60; ++i) text += "short\r\n";
    text += std::string(300, 'w') + "\r\n";
    ed->Lines().SetText(text);
    QApplication::processEvents();
    EXPECT_EQ(h->maximum(), 0) << "the wide row is far below the view";
    ed->SetTopRow(55);
    EXPECT_GT(h->maximum(), 0) << "the wide row is in view";
    ed->SetTopRow(0);
    EXPECT_EQ(h->maximum(), 0);
}
