#include "window/typing_watch.h"

#include "diary/diary_search.h"

#include <QCoreApplication>
#include <QEvent>

TTypingWatch::TTypingWatch(QObject* parent) : QObject(parent) { QCoreApplication::instance()->installEventFilter(this); }

bool TTypingWatch::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    if (t == QEvent::KeyPress || t == QEvent::InputMethod || t == QEvent::ShortcutOverride)
        lastInput_.store(SearchClockMs(), std::memory_order_relaxed);
    return QObject::eventFilter(watched, event);
}
