#pragma once
// A numeric field with its up/down buttons as a screen reader sees them: a spin box with
// its value, minimum and maximum, and two named buttons that step it.
class QAccessibleInterface;
class QObject;
class QString;

QAccessibleInterface* NumAccessibleFactory(const QString& className, QObject* object);
// Installs the factory once; the field's and the buttons' constructors call it.
void InstallNumAccessible();
