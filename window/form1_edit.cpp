// The edit commands of the main window: the 編集 menu, the editor's pop-up menu and (through
// the menu items) the tool buttons reach the editor through one handler per command.
#include "window/form1.h"

#include "editor/editor.h"
#include "platform/handler_guard.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QLabel>
#include <QStringList>

#include <initializer_list>

namespace {

// Connects every action to one handler and enables them. The commands stay enabled at
// all times: each is harmless when there is nothing to do, and an action greyed by a
// stale state would swallow its shortcut.
template <typename Handler>
void Bind(TForm1* form, std::initializer_list<QAction*> actions, Handler handler) {
    for (QAction* a : actions) {
        QObject::connect(a, &QAction::triggered, form, Guarded([form, handler] { (form->*handler)(); }));
        a->setEnabled(true);
    }
}

}  // namespace

void TForm1::BuildEditCommands() {
    // The tool buttons run the menu items, so they are not bound here.
    Bind(this, {Cut1, EditorCut1}, &TForm1::Cut1Click);
    Bind(this, {Copy1, EditorCopy1}, &TForm1::Copy1Click);
    Bind(this, {P1, EditorPaste1}, &TForm1::P1Click);
    Bind(this, {SelAll}, &TForm1::SelAllClick);
    Bind(this, {ReDo}, &TForm1::ReDoClick);
    Bind(this, {Undo1}, &TForm1::Undo1Click);
    Editor1->OnTextRefused =
        Guarded([this](TEditor* sender, const QString& refused) { Editor1TextRefused(sender, refused); });
}

void TForm1::Undo1Click() { Editor1->Undo(); }

void TForm1::ReDoClick() { Editor1->Redo(); }

void TForm1::SelAllClick() { Editor1->SelectAll(); }

void TForm1::Cut1Click() { Editor1->CutToClipboard(); }

void TForm1::Copy1Click() { Editor1->CopyToClipboard(); }

void TForm1::P1Click() { Editor1->PasteFromClipboard(); }

void TForm1::Editor1TextRefused(TEditor*, const QString& refused) {
    // Only a day that already holds some 2,800 different characters outside Shift-JIS gets
    // here; the characters it holds can still be typed.
    const QString shown = refused.size() > 20 ? refused.left(20) + U8("…") : refused;
    StatusPanel0->setText(U8("「%1」は入れられません。この日の日記には Shift-JIS にない文字の種類が多すぎます").arg(shown));
}
