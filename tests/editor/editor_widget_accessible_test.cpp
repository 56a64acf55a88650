// The editor as a screen reader reads and writes it: the text in characters, the caret,
// the selection, the pieces by character, word and line, the places of characters on
// screen, the events each edit raises, and the lock.
#include "editor/editor_accessible.h"
#include "editor_widget_support.h"
#include "platform/accessible_events.h"
#include "platform/qt_text.h"
#include "platform/unicode_text.h"

#include <QAccessible>

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_heard;

void Hear(QAccessibleEvent* event) {
    std::string line;
    switch (event->type()) {
    case QAccessible::TextInserted: {
        auto* e = static_cast<QAccessibleTextInsertEvent*>(event);
        line = "insert " + std::to_string(e->changePosition()) + " " + e->textInserted().toStdString();
        break;
    }
    case QAccessible::TextRemoved: {
        auto* e = static_cast<QAccessibleTextRemoveEvent*>(event);
        line = "remove " + std::to_string(e->changePosition()) + " " + e->textRemoved().toStdString();
        break;
    }
    case QAccessible::TextUpdated: {
        auto* e = static_cast<QAccessibleTextUpdateEvent*>(event);
        line = "update " + std::to_string(e->changePosition()) + " " + e->textRemoved().toStdString() + ">" +
               e->textInserted().toStdString();
        break;
    }
    case QAccessible::TextCaretMoved:
        line = "caret " + std::to_string(static_cast<QAccessibleTextCursorEvent*>(event)->cursorPosition());
        break;
    case QAccessible::TextSelectionChanged: {
        auto* e = static_cast<QAccessibleTextSelectionEvent*>(event);
        line = "selection " + std::to_string(e->selectionStart()) + "-" + std::to_string(e->selectionEnd());
        break;
    }
    case QAccessible::StateChanged: line = "state"; break;
    case QAccessible::VisibleDataChanged: line = "reread"; break;
    default: return;
    }
    g_heard.push_back(line);
}

class EditorAccessible : public EditorWidget {
protected:
    void SetUp() override {
        SendAccessibleEvent = Hear;
        EditorWidget::SetUp();
        SetText("今日は晴れ。\r\n\tabc def\r\n");
        iface = QAccessible::queryAccessibleInterface(ed.get());
        ASSERT_NE(iface, nullptr);
        text = iface->textInterface();
        edit = iface->editableTextInterface();
        ASSERT_NE(text, nullptr);
        ASSERT_NE(edit, nullptr);
        g_heard.clear();
    }
    void TearDown() override {
        EditorWidget::TearDown();
        SendAccessibleEvent = &QAccessible::updateAccessibility;
    }
    std::string All() const { return text->text(0, text->characterCount()).toStdString(); }

    QAccessibleInterface* iface = nullptr;
    QAccessibleTextInterface* text = nullptr;
    QAccessibleEditableTextInterface* edit = nullptr;
};

TEST_F(EditorAccessible, ReadsTheTextInCharacters) {
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    EXPECT_TRUE(iface->state().multiLine);
    EXPECT_TRUE(iface->state().editable);
    EXPECT_EQ(All(), "今日は晴れ。\n\tabc def\n");
    EXPECT_EQ(text->characterCount(), 16);
    EXPECT_EQ(text->text(3, 9).toStdString(), "晴れ。\n\ta");
    struct Case {
        const char* name;
        int offset;
        QAccessible::TextBoundaryType type;
        const char* at;
        int start, end;
    };
    const Case cases[] = {
        {"a character", 2, QAccessible::CharBoundary, "は", 2, 3},
        {"the line break", 6, QAccessible::CharBoundary, "\n", 6, 7},
        {"a line, with its break", 3, QAccessible::LineBoundary, "今日は晴れ。\n", 0, 7},
        {"the second line", 10, QAccessible::LineBoundary, "\tabc def\n", 7, 16},
        {"a word", 9, QAccessible::WordBoundary, "abc", 8, 11},
        {"the whole text", 4, QAccessible::NoBoundary, "今日は晴れ。\n\tabc def\n", 0, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int s = -2, e = -2;
        EXPECT_EQ(text->textAtOffset(c.offset, c.type, &s, &e).toStdString(), c.at);
        EXPECT_EQ(s, c.start);
        EXPECT_EQ(e, c.end);
    }
    int s = 0, e = 0;
    EXPECT_EQ(text->textAfterOffset(3, QAccessible::LineBoundary, &s, &e).toStdString(), "\tabc def\n");
    EXPECT_EQ(text->textBeforeOffset(10, QAccessible::LineBoundary, &s, &e).toStdString(), "今日は晴れ。\n");
    EXPECT_TRUE(text->textBeforeOffset(2, QAccessible::LineBoundary, &s, &e).isEmpty());
    EXPECT_EQ(s, -1);
}

TEST_F(EditorAccessible, CaretSelectionAndPlacesFollowTheCells) {
    // Row 1, after the tab (8 columns) and "ab": byte 3, character 3 of the row.
    ed->Session().SetCaret(1, 10);
    EXPECT_EQ(text->cursorPosition(), 7 + 3);
    ASSERT_FALSE(g_heard.empty());
    EXPECT_EQ(g_heard.back(), "caret 10");
    // The caret set by offset lands on the cell: "晴" is columns 6-7 of row 0.
    text->setCursorPosition(3);
    EXPECT_EQ(ed->Row(), 0);
    EXPECT_EQ(ed->Col(), 6);
    // The end of a text that ends in a line break is the empty line after it.
    text->setCursorPosition(16);
    EXPECT_EQ(ed->Row(), 2);
    EXPECT_EQ(text->cursorPosition(), 16);
    text->setSelection(0, 1, 9);
    int s = 0, e = 0;
    text->selection(0, &s, &e);
    EXPECT_EQ(s, 1);
    EXPECT_EQ(e, 9);
    EXPECT_EQ(SjisToQString(ed->SelText()).toStdString(), "日は晴れ。\r\n\ta");
    EXPECT_EQ(text->selectionCount(), 1);
    text->removeSelection(0);
    EXPECT_EQ(text->selectionCount(), 0);
    // A double-byte character is two cells wide, a tab reaches the next stop.
    const QRect wide = text->characterRect(3);
    const QRect tab = text->characterRect(7);
    EXPECT_EQ(wide.width(), 2 * ed->CellWidth());
    EXPECT_EQ(tab.width(), 8 * ed->CellWidth());
    EXPECT_EQ(wide.topLeft(), ed->viewport()->mapToGlobal(QPoint(ed->ColX(6), ed->RowY(0))));
    EXPECT_EQ(text->offsetAtPoint(wide.center()), 3);
    EXPECT_EQ(text->offsetAtPoint(tab.center()), 7);
}

TEST_F(EditorAccessible, EditsAreHeardWithTheirText) {
    struct Case {
        const char* name;
        std::function<void()> edit;
        const char* heard;
        const char* after;
    };
    const Case cases[] = {
        {"a character typed", [&] { text->setCursorPosition(5); ed->TypeUnicode(U8("の")); }, "insert 5 の",
         "今日は晴れの。\n\tabc def\n"},
        {"written by the reader", [&] { edit->insertText(8, U8("朝\n")); }, "insert 8 朝\n",
         "今日は晴れの。\n朝\n\tabc def\n"},
        {"removed by the reader", [&] { edit->deleteText(2, 6); }, "remove 2 は晴れの", "今日。\n朝\n\tabc def\n"},
        {"replaced by the reader", [&] { edit->replaceText(0, 2, U8("昨日")); }, "remove 0 今日|insert 0 昨日",
         "昨日。\n朝\n\tabc def\n"},
        {"typed over", [&] { ed->SetOverWrite(true); text->setCursorPosition(1); ed->TypeUnicode(U8("夜")); ed->SetOverWrite(false); },
         "update 1 日>夜", "昨夜。\n朝\n\tabc def\n"},
        {"two lines joined", [&] { text->setCursorPosition(4); ed->Session().KeyBackspace(); }, "remove 3 \n",
         "昨夜。朝\n\tabc def\n"},
        {"undone", [&] { ed->Undo(); }, "insert 3 \n", "昨夜。\n朝\n\tabc def\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_heard.clear();
        c.edit();
        EXPECT_EQ(All(), c.after);
        std::string heard;
        for (const std::string& h : g_heard)
            if (h.rfind("caret", 0) != 0 && h.rfind("selection", 0) != 0) heard += (heard.empty() ? "" : "|") + h;
        EXPECT_EQ(heard, c.heard);
    }
    // A text put in whole (another day) is read anew.
    g_heard.clear();
    SetText("別の日");
    EXPECT_EQ(All(), "別の日\n");
    EXPECT_NE(std::find(g_heard.begin(), g_heard.end(), "reread"), g_heard.end());
}

TEST_F(EditorAccessible, ALockedDayIsReadOnlyAndRefusesWriting) {
    ed->SetReadOnly(true);
    EXPECT_TRUE(iface->state().readOnly);
    EXPECT_FALSE(iface->state().editable);
    ASSERT_FALSE(g_heard.empty());
    EXPECT_EQ(g_heard.back(), "state");
    edit->insertText(0, U8("x"));
    edit->deleteText(0, 3);
    edit->replaceText(0, 1, U8("y"));
    EXPECT_EQ(All(), "今日は晴れ。\n\tabc def\n");
    // Unlocked, text beyond Shift-JIS goes in through the editor's table of extra codes.
    ed->SetReadOnly(false);
    edit->insertText(0, U8("a😀b"));
    EXPECT_EQ(UnicodeFromText(ed->Lines().Text(), ed->Session().Extra()), "a😀b今日は晴れ。\r\n\tabc def\r\n");
}

}  // namespace
