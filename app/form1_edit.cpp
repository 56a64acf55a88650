// The edit commands of the main window: the 編集 menu, the tool buttons and the editor's
// pop-up menu all reach the editor through one handler per command.
#include "app/form1.h"

#include "editor/editor.h"
#include "platform/qt_text.h"

#include <QAction>
#include <QLabel>

#include <initializer_list>

namespace {

// Connects every action to one handler and enables them. The commands stay enabled at
// all times: each is harmless when there is nothing to do, and an action greyed by a
// stale state would swallow its shortcut.
template <typename Handler>
void Bind(TForm1* form, std::initializer_list<QAction*> actions, Handler handler) {
    for (QAction* a : actions) {
        QObject::connect(a, &QAction::triggered, form, [form, handler] { (form->*handler)(); });
        a->setEnabled(true);
    }
}

// The first character of `text` that CP932 cannot hold, or the whole text when each
// character on its own converts (a pair that only fails together).
QString FirstUnholdable(const QString& text) {
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString one = text.mid(i, n);
        if (!QStringToSjis(one)) return one;
        i += n;
    }
    return text;
}

}  // namespace

void TForm1::BuildEditCommands() {
    Bind(this, {Cut1, ToolButton2, EditorCut1}, &TForm1::Cut1Click);
    Bind(this, {Copy1, ToolButton3, EditorCopy1}, &TForm1::Copy1Click);
    Bind(this, {P1, ToolButton4, EditorPaste1}, &TForm1::P1Click);
    Bind(this, {SelAll}, &TForm1::SelAllClick);
    Bind(this, {ReDo}, &TForm1::ReDoClick);
    Bind(this, {Undo1}, &TForm1::Undo1Click);
}

void TForm1::Undo1Click() { Editor1->Undo(); }

void TForm1::ReDoClick() { Editor1->Redo(); }

void TForm1::SelAllClick() { Editor1->SelectAll(); }

void TForm1::Cut1Click() { Editor1->CutToClipboard(); }

void TForm1::Copy1Click() { Editor1->CopyToClipboard(); }

void TForm1::P1Click() { Editor1->PasteFromClipboard(); }

void TForm1::Editor1TextRefused(TEditor*, const QString& refused) {
    const QString c = FirstUnholdable(refused);
    const char32_t code = c.toUcs4().value(0);
    const QString hex = QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    StatusPanel0->setText(U8("「%1」(U+%2) は Shift-JIS にない文字のため入力できません").arg(c, hex));
}
