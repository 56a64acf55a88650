// The Lines view: logical lines over display rows, each change one undo step.
#include "editor/edit_session.h"
#include "editor_test_support.h"
#include "platform/exceptions.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using Strings = std::vector<std::string>;

// Records what the session asks of the control.
class TRecordingView : public TEditView {
public:
    void EditEnd(const TEditNotice& n) override {
        if (n.all)
            calls.push_back("repaint all");
        else if (n.rowsShifted)
            calls.push_back("repaint from " + std::to_string(n.firstRow));
        else if (n.firstRow >= 0)
            calls.push_back("repaint " + std::to_string(n.firstRow) + "-" + std::to_string(n.lastRow));
    }
    void RowsReset() override { calls.push_back("reset"); }
    void LinesUpdateBegin() override { calls.push_back("begin"); }
    void LinesUpdateEnd() override { calls.push_back("end"); }
    Strings calls;
};

class LinesTest : public ::testing::Test {
protected:
    LinesTest() {
        session.SetView(&view);
        store.OnChange = [this] { ++changes; };
    }
    // Undoes the last record on the rows alone and checks that the text comes back.
    void ExpectUndoGives(const std::string& text) {
        ASSERT_TRUE(session.UndoObj().CanUndo());
        const UndoRecord r = session.UndoObj().UndoList().back();
        store.ReplaceRun(r.row, r.rowsToDelete, r.kind, r.text, nullptr);
        EXPECT_EQ(lines.Text(), text);
    }
    TRecordingView view;
    TEditSession session;
    TRowStore& store = session.Store();
    TEditorStrings& lines = session.Lines();
    int changes = 0;
};

}  // namespace

TEST_F(LinesTest, SettingTextMakesEveryRowBroken) {
    lines.SetText("abc");
    EXPECT_EQ(Rows(store), Strings({"abc/0"}));
    EXPECT_EQ(lines.Text(), "abc\r\n");
    lines.SetText("a\rb\nc\r\n\r\nd");
    EXPECT_EQ(Rows(store), Strings({"a/0", "b/0", "c/0", "/0", "d/0"}));
    EXPECT_EQ(lines.Count(), 5);
    lines.SetText(store.RowView(1));  // a row of its own text
    EXPECT_EQ(Rows(store), Strings({"b/0"}));
    lines.SetText("");
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_EQ(lines.Count(), 0);
    EXPECT_EQ(lines.Text(), "");
}

TEST_F(LinesTest, AddToATextWithoutFinalBreakKeepsItWithout) {
    store.AppendRow("x", rkEnd);
    session.UndoObj().ClearUndo();
    EXPECT_EQ(lines.Add("yz"), 1);
    EXPECT_EQ(Rows(store), Strings({"x/0", "yz/2"}));
    EXPECT_EQ(lines.Text(), "x\r\nyz");
    // No end-of-file row after an unbroken last row: the caret stays on it, at its end.
    EXPECT_EQ(session.Row(), 1);
    EXPECT_EQ(session.Col(), 2);

    const UndoRecord& r = session.UndoObj().UndoList().back();
    EXPECT_EQ(r.row, 0);
    EXPECT_EQ(r.rowsToDelete, 2);
    EXPECT_EQ(r.kind, rkEnd);
    EXPECT_EQ(r.text, "x");
    ExpectUndoGives("x");
    EXPECT_EQ(Rows(store), Strings({"x/2"}));
}

TEST_F(LinesTest, AddToAnEmptyOrBrokenTextEndsWithABreak) {
    EXPECT_EQ(lines.Add("a"), 0);
    EXPECT_EQ(lines.Add("p\r\nq\nr\r"), 1);
    EXPECT_EQ(lines.Add(""), 4);
    EXPECT_EQ(Rows(store), Strings({"a/0", "p/0", "q/0", "r/0", "/0"}));
    EXPECT_EQ(session.Row(), 5);
    EXPECT_EQ(session.Col(), 0);
    ExpectUndoGives("a\r\np\r\nq\r\nr\r\n");
}

TEST_F(LinesTest, AddAfterACutLastRowClosesItsLine) {
    session.SetWordWrap(true);
    session.SetWrapByte(20);
    store.AppendRow(std::string(20, 'a'), rkWrap);
    EXPECT_EQ(lines.Count(), 1);
    EXPECT_EQ(lines.Add("b"), 1);
    EXPECT_EQ(Rows(store), Strings({std::string(20, 'a') + "/1", "/0", "b/2"}));
    EXPECT_EQ(lines.Strings(0), std::string(20, 'a'));
    EXPECT_EQ(lines.Strings(1), "b");
    ExpectUndoGives(std::string(20, 'a'));
}

TEST_F(LinesTest, DisposeBlankTrimsWhatEntersThroughLines) {
    lines.Add("a  ");
    lines.Add("a\t  ");
    lines.Insert(0, "z \r\ny  ");
    lines.SetStrings(0, "w   ");
    EXPECT_EQ(Rows(store), Strings({"w/0", "y/0", "a/0", "a\t/0"}));
    store.SetDisposeBlank(false);
    lines.Add("b  ");
    EXPECT_EQ(lines.Strings(4), "b  ");
}

TEST_F(LinesTest, InsertPutDeleteEachRecordTheirUndoStep) {
    store.AppendRow("a", rkBreak);
    store.AppendRow("b", rkEnd);

    lines.Insert(0, "z");
    EXPECT_EQ(Rows(store), Strings({"z/0", "a/0", "b/2"}));
    EXPECT_EQ(session.Row(), 1);
    EXPECT_EQ(session.UndoObj().UndoList().back().kind, -1);
    ExpectUndoGives("a\r\nb");

    lines.SetStrings(1, "B1\r\nB2");  // the last line keeps its missing break
    EXPECT_EQ(Rows(store), Strings({"a/0", "B1/0", "B2/2"}));
    EXPECT_EQ(session.Row(), 2);
    ExpectUndoGives("a\r\nb");

    lines.Delete(1);
    EXPECT_EQ(Rows(store), Strings({"a/0"}));
    EXPECT_EQ(session.Row(), 1);
    ExpectUndoGives("a\r\nb");

    lines.Insert(2, "c");  // at Count: the same as Add
    EXPECT_EQ(Rows(store), Strings({"a/0", "b/0", "c/2"}));
}

TEST_F(LinesTest, PutOnAWrappedLineReplacesAllItsRows) {
    session.SetWordWrap(true);
    session.SetWrapByte(20);
    lines.SetText(std::string(50, 'x') + "\r\nnext\r\n");
    ASSERT_EQ(store.RowCount(), 4);
    lines.SetStrings(0, "short");
    EXPECT_EQ(Rows(store), Strings({"short/0", "next/0"}));
    const UndoRecord& r = session.UndoObj().UndoList().back();
    EXPECT_EQ(r.text, std::string(50, 'x') + "\r\n");
    EXPECT_EQ(r.rowsToDelete, 1);
    ExpectUndoGives(std::string(50, 'x') + "\r\nnext\r\n");
    EXPECT_EQ(store.RowCount(), 4);
    lines.Delete(0);
    EXPECT_EQ(Rows(store), Strings({"next/0"}));
}

TEST_F(LinesTest, IndexesOutsideTheLinesRaiseListErrors) {
    EXPECT_THROW(lines.Strings(0), EListError);
    EXPECT_THROW(lines.Delete(0), EListError);
    lines.SetText("a\r\nb\r\n");
    EXPECT_THROW(lines.Strings(-1), EListError);
    EXPECT_THROW(lines.Strings(2), EListError);
    EXPECT_THROW(lines.SetStrings(2, "x"), EListError);
    EXPECT_THROW(lines.Delete(2), EListError);
    EXPECT_THROW(lines.Insert(3, "x"), EListError);
    EXPECT_THROW(lines.Insert(-1, "x"), EListError);
    EXPECT_EQ(lines.Text(), "a\r\nb\r\n");
    EXPECT_FALSE(session.UndoObj().CanUndo());
}

TEST_F(LinesTest, ClearEmptiesRowsUndoAndCaret) {
    lines.Add("a");
    store.SetModified(false);
    lines.Clear();
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_FALSE(session.UndoObj().CanUndo());
    EXPECT_EQ(session.Row(), 0);
    EXPECT_TRUE(store.Modified());
    store.SetModified(false);
    lines.Clear();  // an empty text does not change
    EXPECT_FALSE(store.Modified());
}

TEST_F(LinesTest, AssignTakesTheTextAndPutsTheCaretAtTheEnd) {
    TStringList source{"x", "y"};
    lines.Assign(source);
    EXPECT_EQ(lines.Text(), "x\r\ny\r\n");
    EXPECT_EQ(session.Row(), 2);
    EXPECT_EQ(session.Col(), 0);
}

TEST_F(LinesTest, CopyFromGivesOneRowPerStringAndForgetsOldUndoSteps) {
    lines.Add("old");
    session.SetWordWrap(true);
    session.SetWrapByte(20);
    lines.Add("more");
    TStringList source{"one", std::string(25, 'w'), "two\r\nthree"};
    lines.CopyFrom(source);
    EXPECT_EQ(Rows(store), Strings({"one/0", std::string(20, 'w') + "/1", "wwwww/0", "two/0", "three/0"}));
    EXPECT_FALSE(session.UndoObj().CanUndo());
    EXPECT_EQ(view.calls.back(), "reset");
    lines.CopyFrom(lines);  // onto itself: nothing is lost
    EXPECT_EQ(lines.Count(), 4);
    EXPECT_EQ(lines.Strings(1), std::string(25, 'w'));
}

TEST_F(LinesTest, ChangesInsideAnUpdateGiveOneNoticeAndNoRepaints) {
    lines.Add("a");
    EXPECT_EQ(changes, 1);
    EXPECT_NE(std::find(view.calls.begin(), view.calls.end(), "repaint from 0"), view.calls.end());

    view.calls.clear();
    lines.BeginUpdate();
    lines.Add("b");
    lines.Insert(0, "c");
    lines.Delete(1);
    EXPECT_EQ(changes, 1);
    lines.EndUpdate();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(view.calls, Strings({"begin", "end"}));
    EXPECT_EQ(lines.UpdateCount(), 0);

    changes = 0;
    lines.SetText("x\r\ny");
    EXPECT_EQ(changes, 1);
}

TEST_F(LinesTest, StreamsCarryTheTextUnchanged) {
    store.AppendRow("a", rkBreak);
    store.AppendRow("b\t", rkEnd);
    std::ostringstream out;
    lines.SaveToStream(out);
    EXPECT_EQ(out.str(), "a\r\nb\t");
    std::ostringstream rows;
    lines.SaveRowsToStream(rows);
    EXPECT_EQ(rows.str(), "a\r\nb\t\r\n");
    std::istringstream in("p\nq");
    lines.LoadFromStream(in);
    EXPECT_EQ(Rows(store), Strings({"p/0", "q/0"}));
}
