// The editing session without a window: caret rules, keys, selection, typing, Enter,
// Backspace, Delete, Tab, undo and redo.
#include "editor/edit_session.h"
#include "editor_test_support.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

class Session : public ::testing::Test {
protected:
    // As a file loads: a last line without a break stays without.
    void SetText(const char* utf8) {
        s.Lines().SetText(Sjis(utf8));
        const std::string_view text(utf8);
        if (!text.empty() && text.back() != '\n') store.SetRowKind(store.RowCount() - 1, rkEnd);
    }
    std::string Text() const { return s.Lines().Text(); }
    void Type(const char* ascii) {
        for (const char* p = ascii; *p; ++p) s.KeyChar(static_cast<unsigned char>(*p));
    }
    void Caret(int row, int col) { s.SetCaret(row, col); }
    void ExpectCaret(int row, int col) {
        EXPECT_EQ(s.Row(), row);
        EXPECT_EQ(s.Col(), col);
    }
    TEditSession s;
    TRowStore& store = s.Store();
};

}  // namespace

// --- Caret and keys ------------------------------------------------------------------------

TEST_F(Session, RightAtTheEndOfALineObeysCaretFreeAndCaretNextLine) {
    SetText("ab\ncd\n");
    s.Options().caretFree = false;
    Caret(0, 2);
    s.KeyMove(ekRight, false, false, false);
    ExpectCaret(0, 2);
    s.Options().caretNextLine = true;
    s.KeyMove(ekRight, false, false, false);
    ExpectCaret(1, 0);
    s.KeyMove(ekLeft, false, false, false);
    ExpectCaret(0, 2);
    s.Options().caretFree = true;
    s.Options().caretNextLine = false;
    s.KeyMove(ekRight, false, false, false);
    ExpectCaret(0, 3);  // a free caret simply goes on
}

TEST_F(Session, RightAtTheEndOfACutRowGoesToTheNextRow) {
    s.SetWrapByte(20);
    s.SetWordWrap(true);
    s.Lines().SetText(std::string(25, 'x'));
    ASSERT_EQ(store.RowKind(0), rkWrap);
    Caret(0, 25);
    ExpectCaret(0, 19);  // the end of a cut row is the start of the next
    s.KeyMove(ekRight, false, false, false);
    ExpectCaret(1, 0);
    s.KeyMove(ekLeft, false, false, false);
    ExpectCaret(0, 19);
}

TEST_F(Session, VerticalMovesStepOffHalfCharactersAndComeBack) {
    SetText("abcd\nあい\nabcd");
    Caret(0, 3);
    s.KeyMove(ekDown, false, false, false);
    ExpectCaret(1, 2);  // column 3 is the second half of い
    EXPECT_TRUE(s.VerticalKeep());
    s.KeyMove(ekDown, false, false, false);
    ExpectCaret(2, 3);
    EXPECT_FALSE(s.VerticalKeep());
    s.KeyMove(ekDown, false, false, false);  // an unbroken last row: nowhere further
    ExpectCaret(2, 3);
    Caret(0, 0);
    s.KeyMove(ekUp, false, false, false);
    ExpectCaret(0, 0);
}

TEST_F(Session, LeftAndRightJumpOverTabsUpAndDownMayStopInside) {
    SetText("a\tb\nabcdefghij\n");
    Caret(0, 1);
    s.KeyMove(ekRight, false, false, false);
    ExpectCaret(0, 8);
    s.KeyMove(ekLeft, false, false, false);
    ExpectCaret(0, 1);
    Caret(1, 4);
    s.KeyMove(ekUp, false, false, false);
    ExpectCaret(0, 4);
}

TEST_F(Session, HomeEndAndPagesMoveAsTheKeysSay) {
    std::string text;
    for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\r\n";
    s.Lines().SetText(text);
    Caret(3, 2);
    s.KeyMove(ekEnd, false, false, false);
    ExpectCaret(3, 6);
    s.KeyMove(ekHome, false, false, false);
    ExpectCaret(3, 0);
    s.KeyMove(ekEnd, false, true, false);
    ExpectCaret(60, 0);  // the end-of-file row
    s.KeyMove(ekHome, false, true, false);
    ExpectCaret(0, 0);
    const int page = s.View().VisibleRows() - 1;
    s.KeyMove(ekPageDown, false, false, false);
    EXPECT_EQ(s.View().TopRow(), page);
    ExpectCaret(page, 0);
    s.KeyMove(ekPageUp, false, false, false);
    EXPECT_EQ(s.View().TopRow(), 0);
    ExpectCaret(0, 0);
    // A held key steps two rows at a time once the caret is at the view's edge.
    Caret(s.View().VisibleRows() - 1, 0);
    s.KeyMove(ekDown, false, false, true);
    EXPECT_EQ(s.Row(), s.View().VisibleRows() + 1);
}

TEST_F(Session, WordMovesStopAtWordStartsAndRowEnds) {
    SetText("ab  cd\nxy");
    s.KeyMove(ekRight, false, true, false);
    ExpectCaret(0, 4);
    s.KeyMove(ekRight, false, true, false);
    ExpectCaret(0, 6);
    s.KeyMove(ekRight, false, true, false);
    ExpectCaret(1, 0);
    s.KeyMove(ekLeft, false, true, false);
    ExpectCaret(0, 6);  // stops at the end of a broken row
    s.KeyMove(ekLeft, false, true, false);
    ExpectCaret(0, 4);
    s.KeyMove(ekLeft, false, true, false);
    ExpectCaret(0, 0);
}

// --- Selection -------------------------------------------------------------------------------

TEST_F(Session, SelectAllTakesBothLinesAndTheBreakEvenOverASelection) {
    SetText("ab\nあい\n");
    Caret(0, 1);
    s.KeyMove(ekRight, true, false, false);
    EXPECT_EQ(s.SelText(), "b");
    s.SelectAll();
    EXPECT_EQ(s.SelText(), Sjis("ab\r\nあい\r\n"));
    EXPECT_EQ(s.SelLength(), 10);
    SetText("ab\ncd");
    s.SelectAll();
    EXPECT_EQ(s.SelText(), "ab\r\ncd");
    // A new text never inherits the old one's selection.
    s.Lines().SetText("other");
    EXPECT_FALSE(s.Selected());
    EXPECT_EQ(s.SelText(), "");
}

TEST_F(Session, ShiftArrowsSelectAndPlainArrowsEndTheSelection) {
    SetText("hello\nworld");
    Caret(0, 3);
    s.KeyMove(ekDown, true, false, false);
    EXPECT_EQ(s.SelText(), "lo\r\nwor");
    s.KeyMove(ekLeft, true, false, false);
    EXPECT_EQ(s.SelText(), "lo\r\nwo");
    EXPECT_EQ(s.DrawnRange(), (TSelectionRange{0, 1, 3, 2}));
    s.KeyMove(ekLeft, false, false, false);
    EXPECT_FALSE(s.Selected());
    // Selecting backwards gives the same bytes from the other end.
    Caret(1, 2);
    s.KeyMove(ekUp, true, false, false);
    EXPECT_EQ(s.SelText(), "llo\r\nwo");
}

TEST_F(Session, SelStartAndSelLengthCountCharactersWithBreaksAsTwo) {
    SetText("abc\ndef\nghi");
    s.SetSelStart(5);
    ExpectCaret(1, 0);  // 5 = "abc" CR LF
    s.SetSelLength(4);
    EXPECT_EQ(s.SelText(), "def");  // the caret cannot stand between CR and LF
    EXPECT_EQ(s.SelStart(), 5);
    s.SetSelStart(0);
    EXPECT_FALSE(s.Selected());
    s.SetSelStart(1000);
    ExpectCaret(2, 3);
}

TEST_F(Session, AMouseDragSelectsOnlyPastHalfACell) {
    SetText("abcdef\nghijkl");
    s.MousePress(0, 1, 12, 5);
    s.MouseMove(0, 1, 15, 5, 4);
    EXPECT_FALSE(s.Selected());
    s.MouseMove(0, 3, 28, 5, 4);
    EXPECT_TRUE(s.Selected());
    EXPECT_EQ(s.SelText(), "bc");
    s.MouseMove(1, 2, 20, 21, 4);
    EXPECT_EQ(s.SelText(), "bcdef\r\ngh");
    s.MouseRelease();
    EXPECT_TRUE(s.Selected());
    EXPECT_FALSE(s.Extending());
}

// --- Typing ------------------------------------------------------------------------------------

TEST_F(Session, TypingBeyondTheRowEndPadsWithSpaces) {
    store.SetDisposeBlank(false);
    SetText("abc");
    Caret(0, 10);
    Type("x");
    EXPECT_EQ(store.RowText(0), "abc       x");
    ExpectCaret(0, 11);
}

TEST_F(Session, OverwritingHalfADoubleByteCharacterBlanksItsTrail) {
    SetText("あb");
    s.Options().overWrite = true;
    Caret(0, 0);
    Type("x");
    EXPECT_EQ(store.RowText(0), "x b");
    Type("yz");
    EXPECT_EQ(store.RowText(0), "xyz");
}

TEST_F(Session, TypingIntoTheEndOfFileRowStartsANewLastLine) {
    Type("ab");
    EXPECT_EQ(Text(), "ab");
    EXPECT_EQ(Rows(store), Strings({"ab/2"}));
    s.KeyEnter();
    Type("c");
    EXPECT_EQ(Text(), "ab\r\nc");
}

TEST_F(Session, ReadOnlyRefusesEditsButNotMovesOrUndo) {
    SetText("abc");
    Caret(0, 1);
    s.KeyChar('x');
    s.Options().readOnly = true;
    for (unsigned char c : {'y', '\b', '\t', '\r'}) s.KeyChar(c);
    s.KeyDelete();
    s.TypeText(Sjis("あ"));
    s.SetSelText("zz");
    EXPECT_EQ(Text(), "axbc");
    s.KeyMove(ekRight, true, false, false);
    EXPECT_EQ(s.SelText(), "b");
    s.Undo();
    EXPECT_EQ(Text(), "abc");
}

// --- Enter -------------------------------------------------------------------------------------

TEST_F(Session, EnterIndentsLikeTheRowAbove) {
    store.SetDisposeBlank(false);
    SetText("  abc\n");
    Caret(0, 3);
    s.KeyEnter();
    EXPECT_EQ(Rows(store), Strings({"  a/0", "  bc/0"}));
    ExpectCaret(1, 2);
    // Full-width spaces count two columns each.
    SetText("\xe3\x80\x80x");  // U+3000 then x
    Caret(0, 3);
    s.KeyEnter();
    EXPECT_EQ(store.RowText(1), "  ");
    s.Options().tabIndent = true;
    SetText("          a\n");
    Caret(0, 11);
    s.KeyEnter();
    EXPECT_EQ(store.RowText(1), "\t  ");
    ExpectCaret(1, 10);
}

TEST_F(Session, EnterWithPrevSpaceIndentTakesTheLastNonEmptyRow) {
    s.Options().prevSpaceIndent = true;
    s.Store().SetDisposeBlank(false);
    SetText("    a\n\nb");
    Caret(1, 0);
    s.KeyEnter();
    ExpectCaret(2, 4);
}

TEST_F(Session, EnterAtTheEndOfAnUnbrokenLastLineAddsOnlyTheBreak) {
    SetText("abc");
    s.Options().caretAutoIndent = false;
    Caret(0, 3);
    s.KeyEnter();
    EXPECT_EQ(Rows(store), Strings({"abc/0"}));
    ExpectCaret(1, 0);
    s.Undo();
    EXPECT_EQ(Rows(store), Strings({"abc/2"}));
}

TEST_F(Session, EnterInTheMiddleUndoesBackToOneRowOfTheSameKind) {
    SetText("abcd");
    Caret(0, 2);
    s.KeyEnter();
    EXPECT_EQ(Rows(store), Strings({"ab/0", "cd/2"}));
    s.Undo();
    EXPECT_EQ(Rows(store), Strings({"abcd/2"}));
    ExpectCaret(0, 2);
}

TEST_F(Session, EnterAtTheStartOfARowAfterAShortCutMakesTheCutABreak) {
    s.SetWrapByte(20);
    s.SetWordWrap(true);
    s.Lines().SetText(std::string(19, 'a') + Sjis("あい"));
    ASSERT_EQ(Rows(store), Strings({std::string(19, 'a') + "/1", Sjis("あい") + "/0"}));
    Caret(1, 0);
    s.KeyEnter();
    EXPECT_EQ(Rows(store), Strings({std::string(19, 'a') + "/0", Sjis("あい") + "/0"}));
    ExpectCaret(1, 0);
}

TEST_F(Session, EnterInOverwriteModeOnlyMovesAndItsUndoOnlyRestoresTheCaret) {
    SetText("abc\ndef\n");
    s.Options().overWrite = true;
    s.Options().caretAutoIndent = false;
    Caret(0, 2);
    s.KeyEnter();
    EXPECT_EQ(Text(), "abc\r\ndef\r\n");
    ExpectCaret(1, 0);
    ASSERT_TRUE(s.CanUndo());
    s.Undo();
    ExpectCaret(0, 2);
}

// --- Backspace and Delete ----------------------------------------------------------------------

TEST_F(Session, BackspaceTakesWholeCharactersAndJoinsLines) {
    SetText("aあ\tb\nc");
    Caret(0, 8);  // after the tab
    s.KeyBackspace();
    EXPECT_EQ(store.RowText(0), Sjis("aあb"));
    ExpectCaret(0, 3);
    s.KeyBackspace();
    EXPECT_EQ(store.RowText(0), "ab");
    ExpectCaret(0, 1);
    Caret(1, 0);
    s.KeyBackspace();
    EXPECT_EQ(Rows(store), Strings({"abc/2"}));
    ExpectCaret(0, 2);
    Caret(0, 0);
    s.KeyBackspace();  // nothing before the first character
    EXPECT_EQ(Text(), "abc");
}

TEST_F(Session, BackspaceOnTheEndOfFileRowRemovesTheFinalBreak) {
    SetText("a\n\n");
    Caret(2, 0);
    s.KeyBackspace();
    EXPECT_EQ(Rows(store), Strings({"a/0"}));
    ExpectCaret(1, 0);
}

TEST_F(Session, BackspaceAfterACutRemovesTheCharacterBeforeIt) {
    s.SetWrapByte(20);
    s.SetWordWrap(true);
    s.Lines().SetText(std::string(25, 'x'));
    Caret(1, 0);
    s.KeyBackspace();
    EXPECT_EQ(Text(), std::string(24, 'x') + "\r\n");
    EXPECT_EQ(Rows(store), Strings({std::string(20, 'x') + "/1", "xxxx/0"}));
    ExpectCaret(0, 19);
}

TEST_F(Session, DeleteAtTheEndJoinsAndRemovesTheFinalBreak) {
    SetText("ab\ncd\n");
    Caret(0, 2);
    s.KeyDelete();
    EXPECT_EQ(Text(), "abcd\r\n");
    Caret(0, 4);
    s.KeyDelete();
    EXPECT_EQ(Text(), "abcd");
    EXPECT_EQ(Rows(store), Strings({"abcd/2"}));
    Caret(0, 1);
    s.KeyDelete();
    EXPECT_EQ(Text(), "acd");
    s.Options().caretFree = true;
    Caret(0, 5);  // beyond the end: the row is padded up to the caret
    s.KeyDelete();
    EXPECT_EQ(Text(), "acd  ");
}

TEST_F(Session, DeletingTheLastCharacterOfAnUnbrokenLineRemovesTheRow) {
    SetText("a\nb");
    Caret(1, 0);
    s.KeyDelete();
    EXPECT_EQ(Rows(store), Strings({"a/0"}));
    ExpectCaret(1, 0);
}

// --- Tab -----------------------------------------------------------------------------------------

TEST_F(Session, TabNeedsWantTabsAndFollowsSoftTabAndOverwrite) {
    SetText("ab");
    Caret(0, 2);
    s.KeyChar('\t');
    EXPECT_EQ(Text(), "ab");
    s.Options().wantTabs = true;
    s.KeyChar('\t');
    EXPECT_EQ(store.RowText(0), "ab\t");
    ExpectCaret(0, 8);
    s.Options().softTab = true;
    store.SetDisposeBlank(false);
    s.KeyTab();
    EXPECT_EQ(store.RowText(0), "ab\t" + std::string(8, ' '));
    s.Options().overWrite = true;
    const int before = static_cast<int>(s.UndoObj().UndoList().size());
    Caret(0, 1);
    s.KeyTab();
    ExpectCaret(0, 8);
    EXPECT_EQ(static_cast<int>(s.UndoObj().UndoList().size()), before);
}

// --- Selections replaced ---------------------------------------------------------------------------

TEST_F(Session, TypingOverASelectionIsTwoStepsCutOfEverythingLeavesNothing) {
    SetText("hello world\n");
    Caret(0, 0);
    s.KeyMove(ekEnd, true, false, false);
    s.KeyChar('x');
    EXPECT_EQ(Text(), "x\r\n");
    s.Undo();
    EXPECT_EQ(Text(), "\r\n");
    s.Undo();
    EXPECT_EQ(Text(), "hello world\r\n");
    s.SelectAll();
    s.DeleteSelection();
    EXPECT_EQ(Text(), "");
    EXPECT_EQ(store.RowCount(), 0);
}

TEST_F(Session, PastedLinesLandAtTheCaretWhichEndsAfterThem) {
    SetText("abcd");
    Caret(0, 2);
    s.SetSelText("X\nY\n");
    EXPECT_EQ(Text(), "abX\r\nY\r\ncd");
    ExpectCaret(2, 0);
    s.SetSelText("");
    EXPECT_EQ(s.UndoObj().UndoList().size(), 1u);
    s.Undo();
    EXPECT_EQ(Text(), "abcd");
    ExpectCaret(0, 2);
}

// --- Undo and redo -------------------------------------------------------------------------------

TEST_F(Session, EachTypedLetterIsOneStepAndTheCaretComesBack) {
    Type("abc");
    EXPECT_EQ(Text(), "abc");
    for (int i = 0; i < 3; ++i) s.Undo();
    EXPECT_EQ(Text(), "");
    ExpectCaret(0, 0);
    EXPECT_FALSE(s.CanUndo());
    for (int i = 0; i < 3; ++i) s.Redo();
    EXPECT_EQ(Text(), "abc");
    ExpectCaret(0, 3);
    s.Undo();
    Type("z");
    EXPECT_FALSE(s.CanRedo());
}

TEST_F(Session, AnInputMethodResultIsOneStep) {
    s.TypeText(Sjis("日本"));
    EXPECT_EQ(Text(), Sjis("日本"));
    ExpectCaret(0, 4);
    s.Undo();
    EXPECT_EQ(Text(), "");
    EXPECT_FALSE(s.CanUndo());
}

TEST_F(Session, TheUndoListKeepsItsCapacityOfNewestSteps) {
    for (int i = 0; i < 70; ++i) s.KeyChar('a');
    int undos = 0;
    while (s.CanUndo()) {
        s.Undo();
        ++undos;
    }
    EXPECT_EQ(undos, 64);
    EXPECT_EQ(Text(), std::string(6, 'a'));
}

TEST_F(Session, LinesStepsUndoThroughTheSameLists) {
    SetText("x");
    s.Lines().Add("y");
    EXPECT_EQ(Text(), "x\r\ny");
    s.Undo();
    EXPECT_EQ(Rows(store), Strings({"x/2"}));
    s.Redo();
    EXPECT_EQ(Text(), "x\r\ny");
    s.Lines().Delete(0);
    s.Undo();
    EXPECT_EQ(Text(), "x\r\ny");
    s.SetWrapByte(30);
    EXPECT_FALSE(s.CanUndo());
    EXPECT_FALSE(s.CanRedo());
}

namespace {

// A view whose change event throws, as an owner's OnChange may.
class TCountingView : public TEditView {
public:
    void EditBegin() override { ++open; }
    void EditEnd(const TEditNotice&) override { --open; }
    int open = 0;
};

}  // namespace

TEST_F(Session, AFailingOwnerHandlerLeavesNoUpdateOpen) {
    TCountingView view;
    s.SetView(&view);
    SetText("abc");
    store.OnChange = [] { throw std::runtime_error("owner"); };
    Caret(0, 1);
    EXPECT_THROW(s.KeyChar('x'), std::runtime_error);
    EXPECT_EQ(view.open, 0);
    EXPECT_EQ(store.RowUpdateCount(), 0);
    EXPECT_THROW(s.Undo(), std::runtime_error);
    EXPECT_EQ(view.open, 0);
    EXPECT_EQ(store.RowUpdateCount(), 0);
    store.OnChange = nullptr;
    EXPECT_EQ(Text(), "abc");
    s.SetView(nullptr);
}
