// The date fields as a screen reader sees them: a spin box with its value and range, the
// value heard as it changes, set by the reader step by step, and two named arrow buttons.
#include "controls/num_edit.h"
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

}  // namespace
