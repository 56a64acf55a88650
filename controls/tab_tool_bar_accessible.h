#pragma once
// The tool bar's tab as a screen reader sees it: a button after the bar's own children,
// named by what pressing it does (折りたたむ or 広げる).
class QAccessibleInterface;
class QObject;
class QString;

QAccessibleInterface* TabToolBarAccessibleFactory(const QString& className, QObject* object);
