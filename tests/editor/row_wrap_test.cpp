// Cutting lines at WrapByte columns, re-cutting one line after an edit, and wrapping or
// joining the whole text.
#include "editor/edit_session.h"
#include "editor_test_support.h"

#include <gtest/gtest.h>

namespace {

class WrapTest : public ::testing::Test {
protected:
    WrapTest() {
        session.SetWordWrap(true);
        session.SetWrapByte(20);
    }
    std::vector<std::string> Split(const std::string& text) {
        std::vector<std::string> rows;
        for (const TRowData& d : store.SplitIntoRows(text)) rows.push_back(d.text + "/" + std::to_string(d.kind));
        return rows;
    }
    TEditSession session;
    TRowStore& store = session.Store();
    TEditorStrings& lines = session.Lines();
};

using Strings = std::vector<std::string>;
std::string A(int n) { return std::string(n, 'a'); }

}  // namespace

TEST_F(WrapTest, LinesShorterThanWrapByteStayWhole) {
    EXPECT_EQ(Split(A(19)), Strings({A(19) + "/0"}));
    EXPECT_EQ(Split(""), Strings({"/0"}));
    EXPECT_EQ(Split("ab\r\ncd\ref\ng\r\n"), Strings({"ab/0", "cd/0", "ef/0", "g/0"}));
}

TEST_F(WrapTest, ALineOfExactlyWrapByteColumnsLeavesAnEmptyLastRow) {
    EXPECT_EQ(Split(A(20)), Strings({A(20) + "/1", "/0"}));
    EXPECT_EQ(Split(A(45)), Strings({A(20) + "/1", A(20) + "/1", A(5) + "/0"}));
}

TEST_F(WrapTest, DoubleByteCharacterNeverStraddlesTheCut) {
    EXPECT_EQ(Split(A(19) + kA2), Strings({A(19) + "/1", kA2 + "/0"}));
    EXPECT_EQ(Split(A(18) + kA2), Strings({A(18) + kA2 + "/1", "/0"}));
    std::string five, six;
    for (int i = 0; i < 5; ++i) five += kKa;
    six = five + kKa;
    EXPECT_EQ(Split(A(9) + six + "b"), Strings({A(9) + five + "/1", kKa + "b/0"}));
    // 0x5C trail bytes are not cut from their lead.
    std::string so10;
    for (int i = 0; i < 11; ++i) so10 += kSo;
    EXPECT_EQ(Split(so10), Strings({so10.substr(0, 20) + "/1", kSo + "/0"}));
}

TEST_F(WrapTest, TabGoesWholeIntoTheEarlierRowAndStopsRestartOnTheNext) {
    // A tab at column 17 fills to column 24: the row is wider than WrapByte.
    EXPECT_EQ(Split(A(17) + "\tb"), Strings({A(17) + "\t/1", "b/0"}));
    EXPECT_EQ(store.ExpandTabs(A(17) + "\t").size(), 24u);
    // After a cut the tab counts from column 0 again: 8 columns, not 4.
    EXPECT_EQ(Split(A(20) + "\tb"), Strings({A(20) + "/1", "\tb/0"}));
    store.SetTabSpaceCount(4);
    EXPECT_EQ(Split("\t\t\t\t\txy"), Strings({"\t\t\t\t\t/1", "xy/0"}));
}

TEST_F(WrapTest, BrokenLeadByteAtTheEndOfALongLine) {
    std::string line = A(19) + "\x82";
    EXPECT_EQ(Split(line), Strings({A(19) + "/1", "\x82/0"}));
    EXPECT_EQ(store.RowWidth(-1), 0);
}

TEST_F(WrapTest, RewrapLineRecutsOnlyTheEditedLineAndKeepsItsKind) {
    lines.SetText("first\r\n" + A(30) + "\r\nlast");
    store.SetRowKind(3, rkEnd);
    lines.Add(A(25));  // the text ended without a break, so this line does too
    ASSERT_EQ(Rows(store), Strings({"first/0", A(20) + "/1", A(10) + "/0", "last/0", A(20) + "/1", A(5) + "/2"}));

    store.SetRowText(4, A(20) + "bbbbbbbbbbbbbbbbbbbbbbbbb");  // 45 + 5 columns in the line
    EXPECT_EQ(store.RewrapLine(4, 0), 3);
    EXPECT_EQ(Rows(store), Strings({"first/0", A(20) + "/1", A(10) + "/0", "last/0", A(20) + "/1",
                                    std::string(20, 'b') + "/1", "bbbbb" + A(5) + "/2"}));

    store.SetRowText(1, "x");
    EXPECT_EQ(store.RewrapLine(1, 0), 1);
    EXPECT_EQ(Rows(store)[1], "x" + A(10) + "/0");
    EXPECT_EQ(store.RowCount(), 6);

    // A short row that is not cut is left alone.
    EXPECT_EQ(store.RewrapLine(0, 0), 1);
    EXPECT_EQ(store.RewrapLine(99, 0), 1);
}

TEST_F(WrapTest, WrapAllAndUnwrapAllKeepTheTextAndTheLastKind) {
    session.SetWordWrap(false);
    std::string text = A(50) + "\r\n\r\n" + kA2 + A(40) + "\t\tz\r\nshort\r\n" + A(20);
    lines.SetText(text);
    store.SetRowKind(store.RowCount() - 1, rkEnd);
    lines.Add("tail" + A(30));  // ends without a line break, as the text did
    std::string before = lines.Text();
    int count = lines.Count();

    session.SetWordWrap(true);
    EXPECT_EQ(lines.Text(), before);
    EXPECT_EQ(lines.Count(), count);
    EXPECT_EQ(store.RowKind(store.RowCount() - 1), rkEnd);
    for (int r = 0; r < store.RowCount() - 1; ++r)
        if (store.RowKind(r) == rkWrap) {
        EXPECT_GE(store.RowWidth(r), 19) << r;
    }

    session.SetWrapByte(25);
    EXPECT_EQ(lines.Text(), before);
    session.SetWordWrap(false);
    EXPECT_EQ(lines.Text(), before);
    EXPECT_EQ(store.RowCount(), count);
    for (int i = 0; i < count; ++i) EXPECT_EQ(store.RowKind(i), i + 1 < count ? rkBreak : rkEnd);
}

TEST_F(WrapTest, RewrapMovesACaretBeyondTheLastRowOntoIt) {
    lines.SetText("a\r\nb\r\n");
    session.SetWordWrap(false);
    session.SetCaret(2, 1);
    EXPECT_EQ(session.Row(), 2);  // the end-of-file row
    session.SetWordWrap(true);
    EXPECT_EQ(session.Row(), 1);
    EXPECT_EQ(session.Col(), 0);
}

TEST_F(WrapTest, WrapSettingChangesEmptyTheUndoLists) {
    lines.SetText("abc");
    lines.Add("def");
    ASSERT_TRUE(session.UndoObj().CanUndo());
    session.SetWrapByte(30);
    EXPECT_FALSE(session.UndoObj().CanUndo());
    lines.Add("ghi");
    session.SetWordWrap(false);
    EXPECT_FALSE(session.UndoObj().CanUndo());
}

TEST_F(WrapTest, CountTreatsATrailingCutRowAsALine) {
    store.AppendRow(A(20), rkWrap);
    store.AppendRow("b", rkBreak);
    store.AppendRow(A(20), rkWrap);
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines.Strings(0), A(20) + "b");
    EXPECT_EQ(lines.Strings(1), A(20));
    EXPECT_EQ(store.LineToRow(1), 2);
    EXPECT_EQ(store.LineToRow(2), 3);
}
