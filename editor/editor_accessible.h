#pragma once
// The editor as a screen reader sees it: an editable multi-line text whose offsets count
// UTF-16 units, answered from the rows as asked. The editor tells it of each edit, caret
// move and selection through the hooks below; they do nothing unless a reader listens.
#include <QAccessible>

class QAccessibleInterface;
class QObject;
class QString;
class TEditor;
struct TEditNotice;

// Qt's factory hook for TEditor; installed once by the editor's first construction.
QAccessibleInterface* EditorAccessibleFactory(const QString& className, QObject* object);

namespace EditorAccess {
void EditBeginHeard(TEditor* editor);
void EditEndHeard(TEditor* editor, const TEditNotice& notice);
void RowsChangedHeard(TEditor* editor);
void CaretMovedHeard(TEditor* editor);
void SelectionChangedHeard(TEditor* editor);
void ReadOnlyChangedHeard(TEditor* editor);

inline void EditBegin(TEditor* editor) {
    if (QAccessible::isActive()) EditBeginHeard(editor);
}
inline void EditEnd(TEditor* editor, const TEditNotice& notice) {
    if (QAccessible::isActive()) EditEndHeard(editor, notice);
}
inline void RowsChanged(TEditor* editor) {
    if (QAccessible::isActive()) RowsChangedHeard(editor);
}
inline void CaretMoved(TEditor* editor) {
    if (QAccessible::isActive()) CaretMovedHeard(editor);
}
inline void SelectionChanged(TEditor* editor) {
    if (QAccessible::isActive()) SelectionChangedHeard(editor);
}
inline void ReadOnlyChanged(TEditor* editor) {
    if (QAccessible::isActive()) ReadOnlyChangedHeard(editor);
}
}  // namespace EditorAccess
