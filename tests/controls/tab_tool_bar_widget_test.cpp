#include "controls/tab_tool_bar.h"
#include "platform/qt_colors.h"
#include "support/widget_helpers.h"

#include <QAction>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class TabToolBar : public ::testing::Test {
protected:
    QWidget window;
    TTabToolBar* bar = new TTabToolBar(&window);
    QAction* first = nullptr;
    int maximizes = 0;
    int restores = 0;

    void SetUp() override {
        window.resize(400, 100);
        bar->setGeometry(0, 0, 300, 26);
        bar->setFixedHeight(26);
        bar->setIconSize(QSize(16, 16));
        QPixmap pm(16, 16);
        pm.fill(Qt::red);
        first = bar->addAction(QIcon(pm), "a");
        bar->addAction(QIcon(pm), "b");
        bar->OnMaximize = [this](TTabToolBar*) { ++maximizes; };
        bar->OnRestore = [this](TTabToolBar*) { ++restores; };
        window.show();
        QApplication::processEvents();
    }
    QWidget* FirstButton() const { return bar->widgetForAction(first); }
    QImage Shot() const { return bar->grab().toImage(); }
    QColor Color(TColor c) const { return ToQColor(c); }
    void Click(QPoint press, QPoint release) {
        QTest::mousePress(bar, Qt::LeftButton, {}, press);
        QTest::mouseRelease(bar, Qt::LeftButton, {}, release);
    }
};

}  // namespace

TEST_F(TabToolBar, DefaultSizesExpandedAndCollapsed) {
    EXPECT_EQ(bar->Version(), "TTabToolBar v1.01");
    bar->SetVersion("x");
    EXPECT_EQ(bar->Version(), "TTabToolBar v1.01");
    EXPECT_EQ(FirstButton()->x(), 14);
    EXPECT_EQ(bar->TabRect(), QRect(0, 0, 10, 26));
    bar->SetMaximized(false);
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(bar->height(), 10);
    EXPECT_FALSE(FirstButton()->isVisible());
    EXPECT_EQ(bar->TabRect(), QRect(0, 0, 62, 10));
    bar->SetTabSizeMinimized(35);
    EXPECT_EQ(bar->TabRect().width(), 35);
    // Edges take two pixels each, also around the collapsed strip.
    bar->SetEdgeBorders(ebTop);
    bar->SetMaximized(true);
    bar->SetMaximized(false);
    EXPECT_EQ(bar->height(), 12);
    EXPECT_EQ(bar->TabRect(), QRect(0, 2, 35, 10));
}

TEST_F(TabToolBar, ExpandingRestoresTheHeightBeforeCollapsing) {
    bar->SetMaximized(false);
    bar->SetMaximized(false);  // no change, no event
    EXPECT_EQ(restores, 1);
    EXPECT_EQ(bar->SavedSize(), 26);
    bar->SetMaximized(true);
    EXPECT_EQ(maximizes, 1);
    EXPECT_EQ(bar->height(), 26);
    EXPECT_TRUE(FirstButton()->isVisible());
    // A height assigned while collapsed takes effect on expanding.
    bar->SetMaximized(false);
    bar->SetHeight(40);
    EXPECT_EQ(bar->height(), 10);
    EXPECT_EQ(bar->SavedSize(), 40);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->height(), 40);
}

TEST_F(TabToolBar, AutoSizeIsKeptAsideWhileCollapsed) {
    bar->SetAutoSize(true);
    int autoHeight = bar->height();
    bar->SetMaximized(false);
    EXPECT_FALSE(bar->AutoSize());
    EXPECT_TRUE(bar->SavedAutoSize());
    EXPECT_EQ(bar->height(), 10);
    bar->SetMaximized(true);
    EXPECT_TRUE(bar->AutoSize());
    EXPECT_EQ(bar->height(), autoHeight);
    // A button added while collapsed stays put away until the bar expands.
    bar->SetMaximized(false);
    QAction* late = bar->addAction("c");
    EXPECT_FALSE(late->isVisible());
    bar->SetMaximized(true);
    EXPECT_TRUE(late->isVisible());
}

TEST_F(TabToolBar, AVerticalBarHasItsTabOnTopAndCollapsesItsWidth) {
    bar->setOrientation(Qt::Vertical);
    bar->setFixedSize(30, 90);
    bar->SetEdgeBorders(ebLeft | ebRight);
    QApplication::processEvents();
    EXPECT_EQ(bar->TabRect(), QRect(2, 0, 26, 10));
    EXPECT_GE(FirstButton()->y(), 14);
    bar->SetMaximized(false);
    EXPECT_EQ(bar->width(), 14);
    EXPECT_EQ(bar->height(), 90);
    EXPECT_EQ(bar->TabRect(), QRect(2, 0, 10, 62));
    bar->SetWidth(44);  // kept for expanding
    EXPECT_EQ(bar->width(), 14);
    bar->SetMaximized(true);
    EXPECT_EQ(bar->width(), 44);
    // The triangle of the expanded vertical tab points right: columns getting shorter.
    QImage img = Shot();
    QColor navy(0, 0, 128);
    EXPECT_EQ(CountPixels(img, QRect(3, 0, 1, 10), navy), 5);
    EXPECT_EQ(CountPixels(img, QRect(4, 0, 1, 10), navy), 3);
    EXPECT_EQ(CountPixels(img, QRect(5, 0, 1, 10), navy), 1);
}

TEST_F(TabToolBar, OnlyAPressAndReleaseOnTheTabToggles) {
    Click({5, 10}, {5, 10});
    EXPECT_FALSE(bar->Maximized());
    Click({5, 5}, {5, 5});
    EXPECT_TRUE(bar->Maximized());
    // Released outside the control, or pressed beside the tab: nothing.
    Click({5, 10}, {350, 10});
    EXPECT_TRUE(bar->Maximized());
    Click({200, 10}, {5, 10});
    EXPECT_TRUE(bar->Maximized());
    QTest::mousePress(bar, Qt::RightButton, {}, {5, 10});
    QTest::mouseRelease(bar, Qt::RightButton, {}, {5, 10});
    EXPECT_TRUE(bar->Maximized());
}

TEST_F(TabToolBar, WithoutTheTabTheBarIsPlain) {
    bar->SetShowTab(false);
    QApplication::processEvents();
    EXPECT_LE(FirstButton()->x(), 4);  // the style's own margin
    Click({3, 10}, {3, 10});
    EXPECT_TRUE(bar->Maximized());
    EXPECT_EQ(CountPixels(Shot(), QRect(0, 0, 10, 26), QColor(0, 0, 128)), 0);
}

TEST_F(TabToolBar, ExpandedTabHasItsTriangleGripAndHighlight) {
    QImage img = Shot();
    QColor navy(0, 0, 128);
    // Size (10 - 2) / 2 = 4 gives three lines: 5, 3 and 1 pixels, pointing down.
    EXPECT_EQ(CountPixels(img, QRect(0, 2, 9, 1), navy), 5);
    EXPECT_EQ(CountPixels(img, QRect(0, 3, 9, 1), navy), 3);
    EXPECT_EQ(CountPixels(img, QRect(0, 4, 9, 1), navy), 1);
    EXPECT_EQ(PixelAt(img, {4, 4}), navy);
    // Below it the grip: white and navy dots on the tab colour.
    QRect grip(1, 8, 6, 16);
    EXPECT_GT(CountPixels(img, grip, QColor(255, 255, 255)), 4);
    EXPECT_GT(CountPixels(img, grip, navy), 4);
    EXPECT_GT(CountPixels(img, grip, Color(clBtnFace)), 10);
    EXPECT_EQ(PixelAt(img, {9, 12}).rgb(), Color(clBtnShadow).rgb());  // the strip's right edge
    // Hovered, the tab turns to the highlight colour; leaving turns it back.
    QTest::mouseMove(bar, {5, 15});
    EXPECT_TRUE(bar->TabHot());
    QColor highlight(207, 207, 255);
    EXPECT_GT(CountPixels(Shot(), QRect(0, 0, 9, 26), highlight), 40);
    QTest::mouseMove(bar, {200, 15});
    EXPECT_FALSE(bar->TabHot());
    EXPECT_EQ(CountPixels(Shot(), QRect(0, 0, 9, 26), highlight), 0);
}

TEST_F(TabToolBar, CollapsedTabPointsRightAndIsCutAtItsEnd) {
    bar->SetTabSizeMinimized(35);
    bar->SetMaximized(false);
    QApplication::processEvents();
    QImage img = Shot();
    QColor navy(0, 0, 128);
    // The triangle: vertical lines getting shorter to the right.
    int previous = 100;
    int columns = 0;
    for (int x = 0; x < 8; ++x) {
        int n = CountPixels(img, QRect(x, 0, 1, 10), navy);
        if (n == 0) continue;
        EXPECT_LT(n, previous);
        previous = n;
        ++columns;
    }
    EXPECT_GE(columns, 3);
    EXPECT_EQ(PixelAt(img, {30, 1}).rgb(), QColor(255, 255, 255).rgb());  // the light top edge
    EXPECT_EQ(PixelAt(img, {33, 0}).rgb(), Color(cl3DDkShadow).rgb());    // the outline
    // The colour setters repaint; the 45-degree cut at the end stays bare.
    bar->SetTabColor(clYellow);
    QImage yellow = Shot();
    QColor y(255, 255, 0);
    EXPECT_GT(CountPixels(yellow, QRect(0, 0, 35, 10), y), 30);
    EXPECT_GT(CountPixels(yellow, QRect(20, 2, 4, 4), y), 0);
    EXPECT_EQ(CountPixels(yellow, QRect(29, 6, 6, 4), y), 0);
}
