// Finding in the day: a match is seen whole however far sideways it lies, a word not found
// leaves nothing selected, and the find bar's note goes with the bar; a new day starts at
// its left edge.
#include "main_window_test.h"
#include "window/find_bar.h"
#include "window/form1.h"
#include "editor/editor.h"
#include "platform/sjis.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

class FindInDay : public MainWindowTest {
protected:
    QTemporaryDir diaryDir;
    QString oldCwd = QDir::currentPath();

    void SetUp() override { QDir::setCurrent(diaryDir.path()); }
    void TearDown() override {
        MainWindowTest::TearDown();
        QDir::setCurrent(oldCwd);
    }
    void Show(const char* utf8) {
        form->Editor1->Lines().SetWholeText(Sjis(utf8));
        form->Editor1->SetReadOnly(false);
    }
    void Find(const char* words) { form->FindBar1->FindEdit->setText(QString::fromUtf8(words)); }
    // The selection's columns lie wholly inside the editor's text area.
    ::testing::AssertionResult SelectionInView() const {
        TEditor& e = *form->Editor1;
        const TSelectionRange& s = e.SelectionRange();
        const int left = e.ColX(s.startCol), right = e.ColX(s.endCol);
        if (e.Selected() && left >= e.LeftMargin() && right <= e.LeftMargin() + e.VisibleCols() * e.CellWidth())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "columns " << s.startCol << ".." << s.endCol << " drawn at x " << left
                                             << ".." << right << ", top column " << e.TopCol();
    }
};

const std::string kPad(200, 'x');

}  // namespace

// Each way to a match, from a caret far from it on either side.
TEST_F(FindInDay, EveryMatchFoundShowsWhole) {
    Start({2027, 3, 5});
    const std::string text = "カギ" + kPad + "\r\n" + kPad + "カギ" + kPad + "カギ\r\n";
    struct Case {
        const char* what;
        int row, col;  // the caret before
        bool backward;
        int matchRow, matchCol;
    } cases[] = {
        {"forward to the far right of the next row", 0, 4, false, 1, 200},
        {"forward to the end of a long row", 1, 204, false, 1, 404},
        {"backward to the start of a row from its far end", 0, 204, true, 0, 0},
        {"backward from the far right to the middle", 1, 404, true, 1, 200},
        {"round the end to the first column", 1, 408, false, 0, 0},
    };
    Show(text.c_str());
    Find("カギ");
    for (const Case& c : cases) {
        form->Editor1->Session().ClearSelection();
        form->Editor1->Session().SetCaret(c.row, c.col);
        form->Editor1->ScrollInView();
        (c.backward ? form->FindPrevious1 : form->FindNext1)->trigger();
        EXPECT_EQ(form->Editor1->SelectionRange().startRow, c.matchRow) << c.what;
        EXPECT_EQ(form->Editor1->SelectionRange().startCol, c.matchCol) << c.what;
        EXPECT_TRUE(SelectionInView()) << c.what;
    }
}

TEST_F(FindInDay, AWordNotFoundLeavesNothingSelectedAndTheNoteGoesWithTheBar) {
    Start({2027, 3, 5});
    Show("鍵をなくした\r\nカギはどこ\r\n");
    form->Find1->trigger();
    Find("カギ");
    form->FindNext1->trigger();
    ASSERT_TRUE(form->Editor1->Selected());
    Find("金庫");
    form->FindNext1->trigger();
    EXPECT_FALSE(form->Editor1->Selected());
    EXPECT_EQ(form->StatusPanel0->text(), QString::fromUtf8("「金庫」は見つかりません"));
    QTest::keyClick(form->FindBar1->FindEdit, Qt::Key_Escape);
    EXPECT_FALSE(form->FindBar1->isVisible());
    EXPECT_EQ(form->StatusPanel0->text(), QString());

    // A note of anything else stays when the bar closes.
    form->Find1->trigger();
    form->StatusPanel0->setText(QString::fromUtf8("ほかの知らせ"));
    QTest::mouseClick(form->FindBar1->CloseButton, Qt::LeftButton);
    EXPECT_EQ(form->StatusPanel0->text(), QString::fromUtf8("ほかの知らせ"));
}

TEST_F(FindInDay, ANewDayStartsAtItsLeftEdge) {
    std::ofstream("202736.dat", std::ios::binary) << Sjis("勤労感謝の日。\r\n");
    Start({2027, 3, 5});
    Show((kPad + kPad + "\r\n").c_str());
    form->Editor1->Session().SetCaret(0, 400);
    form->Editor1->ScrollInView();
    ASSERT_GT(form->Editor1->TopCol(), 0);
    form->MonthlyCalendar1->SetJuliusDay(YMDToJulius(2027, 3, 6));
    EXPECT_EQ(form->Editor1->Lines().Text(), Sjis("勤労感謝の日。\r\n"));
    EXPECT_EQ(form->Editor1->TopCol(), 0);
}
