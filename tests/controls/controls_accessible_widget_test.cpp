// The controls as a screen reader sees them: a date field is a spin box with its value and
// range, heard as it changes, set by the reader step by step, with two named arrow
// buttons; the tool bar's tab is a named button.
#include "controls/num_edit.h"
#include "controls/tab_tool_bar.h"
#include "controls/up_down.h"
#include "platform/accessible_events.h"

#include <QAccessible>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<double> g_values;

void Hear(QAccessibleEvent* event) {
    if (event->type() == QAccessible::ValueChanged)
        g_values.push_back(static_cast<QAccessibleValueChangeEvent*>(event)->value().toDouble());
}

TEST(NumAccessible, AFieldWithItsArrowsIsANamedSpinBox) {
    SendAccessibleEvent = Hear;
    QWidget panel;
    auto* field = new TNumEdit(&panel);
    auto* ud = new TUpDown(&panel);
    ud->SetMin(1);
    ud->SetMax(12);
    ud->SetAssociate(field);
    ud->SetPosition(11);
    field->setAccessibleName(QStringLiteral("月"));
    std::vector<int> steps;
    ud->OnClick = [&](int p) { steps.push_back(p); };

    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(field);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::SpinBox);
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), "月");
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->currentValue().toInt(), 11);
    EXPECT_EQ(value->minimumValue().toInt(), 1);
    EXPECT_EQ(value->maximumValue().toInt(), 12);

    // The reader sets a value: the field gets there by steps the owner hears; past the
    // range it stops at the bound.
    g_values.clear();
    value->setCurrentValue(9);
    EXPECT_EQ(value->currentValue().toInt(), 9);
    EXPECT_EQ(steps, (std::vector<int>{10, 9}));
    EXPECT_FALSE(g_values.empty());
    EXPECT_EQ(g_values.back(), 9);
    value->setCurrentValue(40);
    EXPECT_EQ(value->currentValue().toInt(), 12);

    QAccessibleInterface* arrows = QAccessible::queryAccessibleInterface(ud);
    ASSERT_EQ(arrows->childCount(), 2);
    QAccessibleInterface* down = arrows->child(1);
    EXPECT_EQ(down->role(), QAccessible::Button);
    EXPECT_EQ(down->text(QAccessible::Name).toStdString(), "月を1つ減らす");
    EXPECT_EQ(arrows->child(0)->text(QAccessible::Name).toStdString(), "月を1つ増やす");
    EXPECT_EQ(arrows->indexOfChild(down), 1);
    ASSERT_NE(down->actionInterface(), nullptr);
    down->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(value->currentValue().toInt(), 11);
    SendAccessibleEvent = &QAccessible::updateAccessibility;
}

// The tab that collapses the tool bar is a button after the bar's own children, named by
// what a press does, and pressing it does that.
TEST(TabToolBarAccessible, TheTabIsANamedButtonThatTogglesTheBar) {
    TTabToolBar bar;
    bar.addAction(QStringLiteral("a"));
    bar.resize(200, 30);
    bar.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(iface, nullptr);
    const int n = iface->childCount();
    ASSERT_GE(n, 2);
    QAccessibleInterface* tab = iface->child(n - 1);
    EXPECT_EQ(tab->role(), QAccessible::Button);
    EXPECT_EQ(iface->indexOfChild(tab), n - 1);
    EXPECT_EQ(tab->text(QAccessible::Name).toStdString(), "ツールバーを折りたたむ");
    tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(bar.Maximized());
    EXPECT_TRUE(tab->state().collapsed);
    EXPECT_EQ(tab->text(QAccessible::Name).toStdString(), "ツールバーを広げる");
    tab->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(bar.Maximized());
}

}  // namespace
