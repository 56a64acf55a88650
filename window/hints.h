#pragma once
#include <QLatin1Char>
#include <QString>

// A hint "short|long": the short part is the tool tip, the long part goes to the status bar.
template <typename T>
void SetHint(T* target, const char* hint) {
    QString h = QString::fromUtf8(hint);
    int bar = h.indexOf(QLatin1Char('|'));
    target->setToolTip(bar < 0 ? h : h.left(bar));
    target->setStatusTip(bar < 0 ? h : h.mid(bar + 1));
}
