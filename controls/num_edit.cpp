#include "controls/num_edit.h"

#include "controls/num_accessible.h"

#include "platform/dialogs.h"
#include "platform/handler_guard.h"
#include "platform/qt_colors.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include <optional>

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    InstallNumAccessible();
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A number is typed, never composed: the input method stays off for the field.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(false);
    connect(this, &QLineEdit::textChanged, this, Guarded([this](const QString& text) {
        if (!selfChange_ && shownDisplays_ > 0) {
            core_.TextFromOutside(text.toStdString());
            Sync();
        }
        if (OnChange) OnChange(this);
    }));
    Sync();
}

void TNumEdit::Sync() {
    QString shown = QString::fromStdString(core_.Text());
    if (shown != text()) {
        selfChange_ = true;
        setText(shown);
        selfChange_ = false;
    }
    QColor colour = ToQColor(core_.FontColor());
    if (palette().color(QPalette::Text) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::Text, colour);
        setPalette(p);
    }
    if (core_.DisplayCount() != shownDisplays_) {
        shownDisplays_ = core_.DisplayCount();
        setCursorPosition(static_cast<int>(text().size()));
    }
}

void TNumEdit::SetValue(TNumber value) {
    core_.AssignValue(value);
    Sync();
}

void TNumEdit::SetMaxDigits(int v) {
    core_.SetMaxDigits(v);
    Sync();
}

void TNumEdit::SetFixDecimal(int v) {
    core_.SetFixDecimal(v);
    Sync();
}

void TNumEdit::SetPrmtNegative(bool v) {
    core_.SetPrmtNegative(v);
    Sync();
}

void TNumEdit::SetLeadingChar(char c) {
    core_.SetLeadingChar(c);
    Sync();
}

void TNumEdit::SetZeroDisplay(bool v) {
    core_.SetZeroDisplay(v);
    Sync();
}

void TNumEdit::SetPutAComma(bool v) {
    core_.SetPutAComma(v);
    Sync();
}

void TNumEdit::SetFontColor(TColor c) {
    core_.SetFontColor(c);
    Sync();
}

void TNumEdit::SetText(const QString& text) {
    setText(text);  // read back through the text-changed notice
    setCursorPosition(static_cast<int>(this->text().size()));
}

void TNumEdit::Paste() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    std::optional<std::string> text;
    if (data && data->hasText()) text = data->text().toStdString();
    core_.Paste(text);
    Sync();
}

void TNumEdit::Cut() {
    selfChange_ = true;
    cut();
    selfChange_ = false;
    core_.AfterCutOrClear();
    Sync();
}

void TNumEdit::ClearSelection() {
    selfChange_ = true;
    del();
    selfChange_ = false;
    core_.AfterCutOrClear();
    Sync();
}

void TNumEdit::Undo() {
    selfChange_ = true;
    undo();
    selfChange_ = false;
    core_.TextFromOutside(text().toStdString());
    Sync();
}

void TNumEdit::Act(TNumKeyResult result) {
    switch (result) {
        case TNumKeyResult::Beep: Dialogs().Beep(); break;
        case TNumKeyResult::FocusNext: focusNextPrevChild(true); break;
        case TNumKeyResult::FocusPrev: focusNextPrevChild(false); break;
        case TNumKeyResult::SelectAll: selectAll(); break;
        case TNumKeyResult::Done:
        case TNumKeyResult::PassOn: break;
    }
    Sync();
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    core_.ReadOnly = isReadOnly();
    bool selected = hasSelectedText();
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Undo)) {
        if (isReadOnly()) return;
        if (event->matches(QKeySequence::Paste))
            Paste();
        else if (event->matches(QKeySequence::Cut))
            Cut();
        else
            Undo();
        return;
    }
    std::optional<TNumKey> key;
    switch (event->key()) {
        case Qt::Key_Backspace: key = TNumKey::Backspace; break;
        case Qt::Key_Return:
        case Qt::Key_Enter: key = TNumKey::Enter; break;
        case Qt::Key_Escape: key = TNumKey::Escape; break;
        case Qt::Key_Home: key = TNumKey::Home; break;
        case Qt::Key_Left: key = TNumKey::Left; break;
        case Qt::Key_Up: key = TNumKey::Up; break;
        case Qt::Key_Down: key = TNumKey::Down; break;
        case Qt::Key_Delete: key = TNumKey::Delete; break;
        default: break;
    }
    if (key) {
        TNumKeyResult r = core_.KeyDown(*key, selected);
        if (r == TNumKeyResult::PassOn)
            QLineEdit::keyPressEvent(event);
        else
            Act(r);
        return;
    }
    QString text = event->text();
    if (text.isEmpty()) {
        QLineEdit::keyPressEvent(event);  // caret keys, shift and the like
        return;
    }
    char32_t c = text.toUcs4().value(0);
    if (OnKeyPress) OnKeyPress(this, c);
    if (c == 0) return;
    Act(core_.Char(c, selected));
}

void TNumEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    core_.FocusIn();
    // Focus that arrives with a mouse click leaves the caret where the release puts it.
    if (autoSelect_ && event->reason() != Qt::MouseFocusReason) selectAll();
}

void TNumEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    core_.FocusOut();
    Sync();
}

void TNumEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    QLineEdit::mouseDoubleClickEvent(event);
    doubleClicked_ = true;
}

void TNumEdit::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    // The caret belongs at the end, where typing builds the number; only a whole
    // selection (or a double click's) survives the click.
    if (!doubleClicked_ && !(selectionStart() == 0 && selectedText().size() == text().size() && !text().isEmpty()))
        setCursorPosition(static_cast<int>(text().size()));
    doubleClicked_ = false;
}

void TNumEdit::contextMenuEvent(QContextMenuEvent* event) {
    // The field's own commands, so that paste and cut go through the number rules.
    QMenu menu(this);
    bool writable = !isReadOnly();
    menu.addAction(QString::fromUtf8("元に戻す(&U)"), this, [this] { Undo(); })->setEnabled(writable);
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("切り取り(&T)"), this, [this] { Cut(); })->setEnabled(writable && hasSelectedText());
    menu.addAction(QString::fromUtf8("コピー(&C)"), this, [this] { copy(); })->setEnabled(hasSelectedText());
    menu.addAction(QString::fromUtf8("貼り付け(&P)"), this, [this] { Paste(); })->setEnabled(writable);
    menu.addAction(QString::fromUtf8("削除(&D)"), this, [this] { ClearSelection(); })->setEnabled(writable && hasSelectedText());
    menu.addSeparator();
    menu.addAction(QString::fromUtf8("すべて選択(&A)"), this, [this] { selectAll(); });
    menu.exec(event->globalPos());
}
