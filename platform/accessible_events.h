#pragma once
// Where the program's own widgets send what a screen reader hears: to Qt's bridge, which
// drops it while no reader listens. A test without a desktop listens here instead.
#include <QAccessible>

inline void (*SendAccessibleEvent)(QAccessibleEvent* event) = &QAccessible::updateAccessibility;
