// The main window's edit commands, driven as a user does: menu items, tool buttons,
#include "main_window_test.h"
// pop-up items and shortcuts, checked through the text that Editor1 holds.
#include "window/form1.h"
#include "editor/editor.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"
#include "platform/unicode_text.h"
#include "settings/ini_store.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

class EditCommands : public MainWindowTest {
protected:
    void SetUp() override {
        Start();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->Editor1->setFocus();
        QApplication::clipboard()->clear();
    }

    TEditor* Editor() const { return form->Editor1; }
    std::string Text() const { return Editor()->Lines().Text(); }
    std::string Clipboard() const { return QApplication::clipboard()->text().toStdString(); }
    void Key(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(target, key, modifiers);
    }
};

}  // namespace

TEST_F(EditCommands, EveryRouteOfCutCopyAndPasteReachesTheEditor) {
    struct Route {
        const char* name;
        QAction* cut;
        QAction* copy;
        QAction* paste;
    };
    const Route routes[] = {
        {"menu", form->Cut1, form->Copy1, form->P1},
        {"tool buttons", form->ToolButton2, form->ToolButton3, form->ToolButton4},
        {"editor pop-up", form->EditorCut1, form->EditorCopy1, form->EditorPaste1},
    };
    for (const Route& r : routes) {
        SCOPED_TRACE(r.name);
        Editor()->Lines().SetText("alpha\r\nbeta\r\n");
        form->SelAll->trigger();
        r.copy->trigger();
        EXPECT_EQ(Clipboard(), "alpha\r\nbeta\r\n");
        EXPECT_EQ(Text(), "alpha\r\nbeta\r\n");

        r.cut->trigger();
        EXPECT_EQ(Clipboard(), "alpha\r\nbeta\r\n");
        EXPECT_EQ(Text(), "");

        QApplication::clipboard()->setText(U8("日記"));
        r.paste->trigger();
        EXPECT_EQ(Text(), Sjis("日記"));
    }
}

TEST_F(EditCommands, UndoAndRedoFromTheMenuAndByShortcut) {
    // The shortcuts are the menu items' own: each press runs the item once.
    QSignalSpy undos(form->Undo1, &QAction::triggered);
    QSignalSpy redos(form->ReDo, &QAction::triggered);
    QTest::keyClicks(Editor(), "abc");
    ASSERT_EQ(Text(), "abc");
    form->Undo1->trigger();
    EXPECT_EQ(Text(), "ab");
    Key(Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "a");
    EXPECT_EQ(undos.count(), 2);
    form->ReDo->trigger();
    EXPECT_EQ(Text(), "ab");
    Key(Editor(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Text(), "abc");
    EXPECT_EQ(redos.count(), 2);
    // Nothing left to redo: the command does nothing rather than fail.
    form->ReDo->trigger();
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditCommands, ClipboardShortcutsActOnTheEditorSelection) {
    QSignalSpy cuts(form->Cut1, &QAction::triggered);
    QSignalSpy copies(form->Copy1, &QAction::triggered);
    QSignalSpy pastes(form->P1, &QAction::triggered);
    QTest::keyClicks(Editor(), "one two");
    Key(Editor(), Qt::Key_Home);
    for (int i = 0; i < 3; ++i) Key(Editor(), Qt::Key_Right, Qt::ShiftModifier);
    Key(Editor(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "one");
    Key(Editor(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Text(), " two");
    Key(Editor(), Qt::Key_End);
    Key(Editor(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Text(), " twoone");
    EXPECT_EQ(cuts.count(), 1);
    EXPECT_EQ(copies.count(), 1);
    EXPECT_EQ(pastes.count(), 1);
    // Undo takes back the paste and the cut, one step each.
    Key(Editor(), Qt::Key_Z, Qt::ControlModifier);
    Key(Editor(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "one two");
}

TEST_F(EditCommands, ShortcutsInALineEditStayWithIt) {
    QTest::keyClicks(Editor(), "abc");
    form->Edit1->setFocus();
    form->Edit1->selectAll();
    QTest::keyClicks(form->Edit1, "x");
    Key(form->Edit1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form->Edit1->text(), "2026/12/7");
    form->Edit1->selectAll();
    Key(form->Edit1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), "2026/12/7");
    EXPECT_EQ(Text(), "abc");
}

TEST_F(EditCommands, OnlyADayWithNoCodeLeftRefusesTextAndSaysWhy) {
    QTest::keyClicks(Editor(), "ab");
    QInputMethodEvent commit;
    commit.setCommitString(U8("日本😀"));
    QApplication::sendEvent(Editor(), &commit);
    EXPECT_EQ(QString::fromStdString(UnicodeFromText(Text(), Editor()->Session().Extra())), U8("ab日本😀"));
    EXPECT_TRUE(form->StatusPanel0->text().isEmpty()) << form->StatusPanel0->text().toStdString();

    QString kanji;  // plane-2 kanji, enough to take every code left
    for (char32_t c = 0x20000; c < 0x20000 + TExtraChars::kCodeCount; ++c) {
        kanji += QString::fromUcs4(&c, 1);
        if (c % 32 == 31) kanji += u'\n';
    }
    QApplication::clipboard()->setText(kanji);
    form->P1->trigger();
    const std::string full = Text();
    QApplication::clipboard()->setText(U8("x\u00BDy"));  // ½ lies outside CP932
    form->P1->trigger();
    EXPECT_TRUE(Text() == full);
    const QString message = form->StatusPanel0->text();
    EXPECT_TRUE(message.contains(U8("「x½y」は入れられません"))) << message.toStdString();
    EXPECT_GE(env->dialogs.beeps, 1);
}
