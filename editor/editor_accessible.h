#pragma once
// The editor as a screen reader sees it: an editable multi-line text whose offsets count
// UTF-16 units, answered from the rows as asked. The editor tells it of each edit, caret
// move and selection through the hooks below. Qt makes the editor's interface only for a
// reader (or a test) that asks for it; until then the hooks cost one comparison.

class QAccessibleInterface;
class QObject;
class QString;
class TEditor;
struct TEditNotice;

// Qt's factory hook for TEditor; installed once by the editor's first construction.
QAccessibleInterface* EditorAccessibleFactory(const QString& className, QObject* object);

namespace EditorAccess {
// Editors' interfaces alive.
inline int interfaces = 0;

void EditBeginHeard(TEditor* editor);
void EditEndHeard(TEditor* editor, const TEditNotice& notice);
void RowsChangedHeard(TEditor* editor);
void CaretMovedHeard(TEditor* editor);
void SelectionChangedHeard(TEditor* editor);
void ReadOnlyChangedHeard(TEditor* editor);

inline void EditBegin(TEditor* editor) {
    if (interfaces > 0) EditBeginHeard(editor);
}
inline void EditEnd(TEditor* editor, const TEditNotice& notice) {
    if (interfaces > 0) EditEndHeard(editor, notice);
}
inline void RowsChanged(TEditor* editor) {
    if (interfaces > 0) RowsChangedHeard(editor);
}
inline void CaretMoved(TEditor* editor) {
    if (interfaces > 0) CaretMovedHeard(editor);
}
inline void SelectionChanged(TEditor* editor) {
    if (interfaces > 0) SelectionChangedHeard(editor);
}
inline void ReadOnlyChanged(TEditor* editor) {
    if (interfaces > 0) ReadOnlyChangedHeard(editor);
}
}  // namespace EditorAccess
