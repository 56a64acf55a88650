#include "window/form1.h"
#include "support/widget_helpers.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolTip>
#include <gtest/gtest.h>

// Menus, tooltips and message boxes are separate windows; they must share the main
// window's face, or Latin letters in them fall back to another font in every locale.
TEST(ApplicationFont, MenusTooltipsAndMessageBoxesUseTheWindowFont) {
    TestEnvironment env(TSystemDate{2027, 1, 15});
    TForm1 form;
    const QString family = form.font().family();
    ASSERT_FALSE(family.isEmpty());
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    ASSERT_NE(menus.first()->menu(), nullptr);
    EXPECT_EQ(menus.first()->menu()->font().family(), family);
    EXPECT_EQ(QToolTip::font().family(), family);
    QMessageBox box(QMessageBox::Critical, "Mekuri", "x");
    EXPECT_EQ(box.font().family(), family);
    EXPECT_EQ(QApplication::applicationDisplayName(), "Mekuri") << "the error box's title";
}
