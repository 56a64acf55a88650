// Qt's key, mouse and input-method events reaching the editor's commands, and the
// clipboard, on the real widget.
#include "editor_widget_support.h"

#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "support/widget_helpers.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

namespace {

class EditorInput : public EditorWidget {
protected:
    void SetUp() override {
        EditorWidget::SetUp();
        Focus();
    }
    std::string Text() const { return ed->Lines().Text(); }
    void Preedit(const QString& text) {
        QInputMethodEvent e(text, {});
        QApplication::sendEvent(ed.get(), &e);
    }
    // What the platform's input context asks of the focus widget.
    QVariant Query(Qt::InputMethodQuery query) const { return static_cast<QWidget*>(ed.get())->inputMethodQuery(query); }
    void Commit(const QString& text) {
        QInputMethodEvent e;
        e.setCommitString(text);
        QApplication::sendEvent(ed.get(), &e);
    }
    TestEnvironment env;
};

}  // namespace

TEST_F(EditorInput, KeysTypeMoveSelectAndEdit) {
    QTest::keyClicks(ed.get(), "abc");
    EXPECT_EQ(Text(), "abc");
    QTest::keyClick(ed.get(), Qt::Key_Left);
    QTest::keyClick(ed.get(), Qt::Key_Return);
    EXPECT_EQ(Text(), "ab\r\nc");
    QTest::keyClick(ed.get(), Qt::Key_Backspace);
    EXPECT_EQ(Text(), "abc");
    QTest::keyClick(ed.get(), Qt::Key_Home);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(ed->SelText(), "ab");
    QTest::keyClick(ed.get(), Qt::Key_Delete);
    EXPECT_EQ(Text(), "c");
    // Half-width katakana from the keyboard is one CP932 byte.
    QKeyEvent kana(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("ｱ"));
    QApplication::sendEvent(ed.get(), &kana);
    EXPECT_EQ(Text(), "\xb1" "c");
    ed->Undo();
    ed->Undo();
    EXPECT_EQ(Text(), "abc");
    ed->Redo();
    EXPECT_EQ(Text(), "c");
    EXPECT_TRUE(ed->CanRedo());
}

TEST_F(EditorInput, TheOwnerSeesKeysAndCharactersFirstAndMayCancel) {
    ed->OnKeyDown = [](TEditor*, int& key, Qt::KeyboardModifiers) {
        if (key == Qt::Key_Return) key = 0;
    };
    ed->OnKeyPress = [](TEditor*, char& c) {
        if (c == 'q') c = 0;
        if (c == 'a') c = 'A';
    };
    QTest::keyClicks(ed.get(), "aqb");
    QTest::keyClick(ed.get(), Qt::Key_Return);
    EXPECT_EQ(Text(), "Ab");
}

TEST_F(EditorInput, ReadOnlyIgnoresTypingButNotMovesOrCopy) {
    SetText("locked");
    ed->SetReadOnly(true);
    QTest::keyClicks(ed.get(), "xy");
    QTest::keyClick(ed.get(), Qt::Key_Backspace);
    QTest::keyClick(ed.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(ed->SelText(), "l");
    Commit(QString::fromUtf8("日"));
    ed->CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), "l");
    QApplication::clipboard()->setText("pasted");
    ed->PasteFromClipboard();
    EXPECT_EQ(Text(), "locked\r\n");
    EXPECT_FALSE(Query(Qt::ImEnabled).toBool());
}

TEST_F(EditorInput, PreeditShowsAtTheCaretAndOnlyTheCommitEntersTheText) {
    SetText("ab");
    ed->SetRow(0);
    ed->SetCol(1);
    const QRect at = Cell(0, 1, 4);
    const QImage before = Shot();
    Preedit(QString::fromUtf8("にほ"));
    EXPECT_EQ(ed->Preedit(), QString::fromUtf8("にほ"));
    EXPECT_EQ(Text(), "ab\r\n");
    EXPECT_FALSE(ed->CanUndo());
    const QImage composing = Shot();
    EXPECT_NE(Ink(composing, at), Ink(before, at));
    // The underline under the composed text.
    EXPECT_GT(Ink(composing, QRect(at.left(), at.bottom(), at.width(), 1)), at.width() / 2);
    // The candidate window goes to the caret's cell, in the editor's font.
    EXPECT_EQ(Query(Qt::ImCursorRectangle).toRect(), Cell(0, 1));
    EXPECT_EQ(Query(Qt::ImFont).value<QFont>().pixelSize(), ToQFont(ed->Font()).pixelSize());

    Preedit(QString());
    Commit(QString::fromUtf8("日本語"));
    EXPECT_TRUE(ed->Preedit().isEmpty());
    EXPECT_EQ(Text(), "a" + Sjis("日本語") + "b\r\n");
    EXPECT_EQ(ed->Col(), 7);
    ed->Undo();
    EXPECT_EQ(Text(), "ab\r\n");
    EXPECT_FALSE(ed->CanUndo());
}

// Without an input method to answer, the composition shown goes in where it was typed;
// the click, the lock and the focus leaving each settle it before anything moves.
TEST_F(EditorInput, ACompositionIsCommittedWhereItStandsBeforeTheTextMovesUnderIt) {
    QWidget* vp = ed->viewport();
    SetText("ab\r\ncd");
    ed->SetRow(0);
    ed->SetCol(1);
    Preedit(QString::fromUtf8("にほ"));
    QTest::mouseClick(vp, Qt::LeftButton, {}, Cell(1, 2).center());
    EXPECT_TRUE(ed->Preedit().isEmpty());
    EXPECT_EQ(Text(), "a" + Sjis("にほ") + "b\r\ncd\r\n");
    EXPECT_EQ(ed->Row(), 1);
    EXPECT_EQ(ed->Col(), 2);
    Commit(QString::fromUtf8("ん"));
    EXPECT_EQ(Text(), "a" + Sjis("にほ") + "b\r\ncd" + Sjis("ん") + "\r\n");

    Preedit(QString::fromUtf8("ご"));
    ed->SetReadOnly(true);
    EXPECT_TRUE(ed->Preedit().isEmpty());
    EXPECT_EQ(Text(), "a" + Sjis("にほ") + "b\r\ncd" + Sjis("んご") + "\r\n");
    ed->SetReadOnly(false);

    Preedit(QString::fromUtf8("x"));
    ed->clearFocus();
    EXPECT_TRUE(ed->Preedit().isEmpty());
    EXPECT_EQ(Text(), "a" + Sjis("にほ") + "b\r\ncd" + Sjis("んご") + "x\r\n");
}

// Whatever Qt hands over goes in through the text's table and comes out as it went in;
// a character typed after a cluster that it extends becomes part of it, one undo step.
TEST_F(EditorInput, AnyUnicodeGoesInAndComesBackOut) {
    SetText("ab");
    int refusals = 0;
    ed->OnTextRefused = [&](TEditor*, const QString&) { ++refusals; };
    QTest::keyClick(ed.get(), Qt::Key_End);
    Commit(QString::fromUtf8("日\U0001F600"));
    QTest::keyClicks(ed.get(), "e");
    QKeyEvent acute(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u0301"));
    QApplication::sendEvent(ed.get(), &acute);
    // The emoji and é are one double-byte character each.
    EXPECT_EQ(Text().size(), 2 + 2 + 2 + 2 + 2u);
    EXPECT_EQ(ed->Col(), 8);
    ed->SelectAll();
    ed->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("ab日\U0001F600e\u0301\r\n"));
    ed->Undo();  // the accent: e stays
    ed->SelectAll();
    ed->CopyToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("ab日\U0001F600e\r\n"));
    // Pasted over the selection: a flag, a family and 𠮷 (a plane-2 kanji).
    QApplication::clipboard()->setText(QString::fromUtf8("\U0001F1EF\U0001F1F5\U0001F468\u200D\U0001F469\u200D\U0001F467\U00020BB7"));
    ed->SelectAll();
    ed->PasteFromClipboard();
    EXPECT_EQ(Text().size(), 6u);
    ed->SelectAll();
    ed->CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(),
              QString::fromUtf8("\U0001F1EF\U0001F1F5\U0001F468\u200D\U0001F469\u200D\U0001F467\U00020BB7"));
    EXPECT_EQ(refusals, 0);
    EXPECT_EQ(env.dialogs.beeps, 0);
}

// Only a table with no code left refuses text: whole, with a beep and the event, leaving
// the text and its undo as they were; clusters it already holds still go in.
TEST_F(EditorInput, TextIsRefusedWholeOnlyWhenTheTableIsFull) {
    QString kanji;  // as many different plane-2 kanji as there are codes, in short lines
    for (char32_t c = 0x20000; c < 0x20000 + TExtraChars::kCodeCount; ++c) {
        kanji += QString::fromUcs4(&c, 1);
        if (c % 16 == 15) kanji += u'\n';
    }
    kanji += u'\n';
    QApplication::clipboard()->setText(kanji);
    ed->PasteFromClipboard();
    ASSERT_EQ(ed->Session().Extra().Count(), TExtraChars::kCodeCount);
    QString refused;
    ed->OnTextRefused = [&](TEditor* sender, const QString& text) {
        EXPECT_EQ(sender, ed.get());
        refused = text;
    };
    const std::string before = Text();
    const size_t steps = ed->Session().UndoObj().UndoList().size();
    Commit(QString::fromUtf8("x\U0001F600"));
    EXPECT_EQ(refused, QString::fromUtf8("x\U0001F600"));
    EXPECT_EQ(env.dialogs.beeps, 1);
    QApplication::clipboard()->setText(QString::fromUtf8("e\u0301"));
    ed->PasteFromClipboard();
    EXPECT_EQ(env.dialogs.beeps, 2);
    QTest::keyClicks(ed.get(), "e");
    QKeyEvent acute(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUtf8("\u0301"));
    QApplication::sendEvent(ed.get(), &acute);
    EXPECT_EQ(env.dialogs.beeps, 3);
    EXPECT_TRUE(Text() == before + "e");
    EXPECT_EQ(ed->Session().UndoObj().UndoList().size(), steps + 1);
    Commit(QString::fromUtf8("\U00020000日"));
    EXPECT_TRUE(Text().substr(before.size() + 1) == before.substr(0, 2) + Sjis("日"));
    EXPECT_EQ(env.dialogs.beeps, 3);
}

TEST_F(EditorInput, ClipboardCarriesUnicodeBothWays) {
    SetText("あい\nう");
    ed->SelectAll();
    ed->CutToClipboard();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("あい\r\nう\r\n"));
    EXPECT_EQ(Text(), "");
    QApplication::clipboard()->setText(QString::fromUtf8("日本\n語"));
    ed->PasteFromClipboard();
    EXPECT_EQ(Text(), Sjis("日本\r\n語"));
    ed->Undo();
    EXPECT_EQ(Text(), "");
}

TEST_F(EditorInput, MouseDragSelectsAndTheViewFollowsPastTheEdge) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "row " + std::to_string(i) + "\r\n";
    ed->Lines().SetText(text);
    QWidget* vp = ed->viewport();
    QTest::mousePress(vp, Qt::LeftButton, {}, Cell(0, 1).center());
    // Less than half a cell: no selection yet.
    QTest::mouseMove(vp, Cell(0, 1).center() + QPoint(ed->CellWidth() / 2 - 1, 0));
    EXPECT_FALSE(ed->Selected());
    QTest::mouseMove(vp, Cell(1, 3).center());
    EXPECT_TRUE(ed->Selected());
    EXPECT_EQ(ed->SelText(), "ow 0\r\nrow");
    // Below the window: one more row with each move.
    const int rows = ed->VisibleRows();
    const QPoint below(Cell(0, 2).center().x(), vp->height() + 30);
    QTest::mouseMove(vp, below);
    EXPECT_EQ(ed->Row(), rows);
    QTest::mouseMove(vp, below + QPoint(0, 1));
    EXPECT_EQ(ed->Row(), rows + 1);
    EXPECT_EQ(ed->TopRow(), 2);
    // Resting there, the view goes on following.
    QTest::qWait(400);
    EXPECT_GT(ed->TopRow(), 2);
    EXPECT_EQ(ed->Row(), ed->TopRow() + rows - 1);
    QTest::mouseRelease(vp, Qt::LeftButton, {}, below);
    const int top = ed->TopRow();
    QTest::qWait(200);
    EXPECT_EQ(ed->TopRow(), top);
    EXPECT_TRUE(ed->Selected());
    EXPECT_EQ(ed->SelText().substr(0, 9), "ow 0\r\nrow");
    // A plain click ends the selection.
    QTest::mouseClick(vp, Qt::LeftButton, {}, Cell(ed->TopRow(), 0).center());
    EXPECT_FALSE(ed->Selected());
}
