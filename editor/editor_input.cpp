// Keys, characters, the mouse, the input method and the clipboard, turned into the
// editing session's commands. Qt delivers Unicode; the rows are CP932 with extra codes for
// whatever CP932 lacks, so every piece of text goes through the session's table here. Only
// a table with no code left refuses an edit, whole.
#include "editor/editor.h"

#include "editor/editor_accessible.h"

#include "platform/dialogs.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QFocusEvent>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>

#include <algorithm>

namespace {

// The drag follows the pointer outside the window at this pace.
constexpr int kDragIntervalMs = 60;

// The CP932 byte of a character that takes the single-byte path: printable ASCII and
// half-width katakana; 0 for anything else.
unsigned char SingleByteChar(const QString& text) {
    if (text.size() != 1) return 0;
    const char16_t c = text.at(0).unicode();
    if (c >= 0x20 && c <= 0x7E) return static_cast<unsigned char>(c);
    if (c >= 0xFF61 && c <= 0xFF9F) return static_cast<unsigned char>(c - 0xFF61 + 0xA1);
    return 0;
}

std::string Utf8(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<size_t>(utf8.size()));
}

}  // namespace

// --- Text from Qt ------------------------------------------------------------------------------

void TEditor::Refuse(const QString& characters) {
    Dialogs().Beep();
    if (OnTextRefused) OnTextRefused(this, characters);
}

bool TEditor::TypeUnicode(const QString& text) {
    if (text.isEmpty() || ReadOnly()) return false;
    if (session_.TypeUnicode(Utf8(text))) return true;
    Refuse(text);
    return false;
}

void TEditor::TypeKeyText(const QString& text) {
    if (text.isEmpty()) return;
    if (unsigned char byte = SingleByteChar(text)) {
        char c = static_cast<char>(byte);
        if (OnKeyPress) OnKeyPress(this, c);
        if (c != 0) session_.KeyChar(static_cast<unsigned char>(c));
        return;
    }
    // Control characters are keys, handled above or not at all.
    for (QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) return;
    TypeUnicode(text);
}

// --- Keys ----------------------------------------------------------------------------------------

bool TEditor::HandleKey(int key, Qt::KeyboardModifiers modifiers, bool repeat) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    TEditKey move;
    switch (key) {
    case Qt::Key_PageUp: move = ekPageUp; break;
    case Qt::Key_PageDown: move = ekPageDown; break;
    case Qt::Key_Home: move = ekHome; break;
    case Qt::Key_End: move = ekEnd; break;
    case Qt::Key_Left: move = ekLeft; break;
    case Qt::Key_Right: move = ekRight; break;
    case Qt::Key_Up: move = ekUp; break;
    case Qt::Key_Down: move = ekDown; break;
    case Qt::Key_Delete:
        session_.KeyDelete();
        return true;
    default: {
        // Keys that arrive as characters: the owner's character event sees them too.
        char c = 0;
        if (key == Qt::Key_Backspace) c = 8;
        if (key == Qt::Key_Tab && !shift && !ctrl) c = 9;
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && WantReturns()) c = 13;
        if (c == 0) return false;
        if (OnKeyPress) OnKeyPress(this, c);
        if (c != 0) session_.KeyChar(static_cast<unsigned char>(c));
        return true;
    }
    }
    session_.KeyMove(move, shift, ctrl, repeat);
    return true;
}

void TEditor::keyPressEvent(QKeyEvent* event) {
    int key = event->key();
    if (OnKeyDown) OnKeyDown(this, key, event->modifiers());
    event->accept();
    if (key == 0 && event->key() != 0) return;
    if (key != event->key()) {
        // The owner turned the key into another one: act on that key alone.
        HandleKey(key, event->modifiers(), event->isAutoRepeat());
        return;
    }
    if (HandleKey(key, event->modifiers(), event->isAutoRepeat())) return;
    // The edit commands' usual keys, for an owner whose menus do not claim them.
    if (event->matches(QKeySequence::Undo)) return Undo();
    if (event->matches(QKeySequence::Redo)) return Redo();
    if (event->matches(QKeySequence::Copy)) return CopyToClipboard();
    if (event->matches(QKeySequence::Cut)) return CutToClipboard();
    if (event->matches(QKeySequence::Paste)) return PasteFromClipboard();
    if (event->matches(QKeySequence::SelectAll)) return SelectAll();
    // Without WantReturns, Enter belongs to the window (its default button).
    const bool returnKey = key == Qt::Key_Return || key == Qt::Key_Enter;
    if ((event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) || returnKey) {
        event->ignore();
        return;
    }
    TypeKeyText(event->text());
}

void TEditor::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    const bool wasRepeating = session_.KeyRepeat();
    session_.KeyUp();
    // The candidate window waited for the held key to be let go.
    if (wasRepeating && hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle);
    QAbstractScrollArea::keyReleaseEvent(event);
}

bool TEditor::event(QEvent* event) {
    // Sent while this widget still has the focus and the input method still serves it,
    // unlike the focus-out event that follows.
    if (event->type() == QEvent::FocusAboutToChange) CommitCompositionOnFocusLoss(static_cast<QFocusEvent*>(event));
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Without WantTabs the Tab key moves the focus as in any dialog.
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && WantTabs()) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

// --- Input method --------------------------------------------------------------------------------

void TEditor::inputMethodEvent(QInputMethodEvent* event) {
    event->accept();
    if (ReadOnly()) {
        if (!preedit_.isEmpty()) {
            preedit_.clear();
            viewport()->update();
        }
        return;
    }
    const QString preedit = event->preeditString();
    if (preedit != preedit_) {
        preedit_ = preedit;
        viewport()->update();
    }
    if (!event->commitString().isEmpty()) TypeUnicode(event->commitString());
}

void TEditor::CommitComposition() {
    if (preedit_.isEmpty()) return;
    if (hasFocus()) {
        // Input methods answer within the call, some to commit(), others only to reset()
        // (which tells them the text moved under them).
        QGuiApplication::inputMethod()->commit();
        if (!preedit_.isEmpty()) QGuiApplication::inputMethod()->reset();
    }
    if (preedit_.isEmpty()) return;
    // An input method that dropped the composition, or no longer serves this widget: what
    // the user saw typed goes in as typed.
    const QString typed = preedit_;
    preedit_.clear();
    viewport()->update();
    if (!ReadOnly()) TypeUnicode(typed);
}

void TEditor::SetReadOnly(bool on) {
    if (on) CommitComposition();
    if (on == ReadOnly()) return;
    session_.Options().readOnly = on;
    EditorAccess::ReadOnlyChanged(this);
}

QVariant TEditor::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImCursorRectangle:
    case Qt::ImInputItemClipRectangle:
        return QRect(ColX(Col()), RowY(Row()), cellWidth_, charHeight_);
    case Qt::ImFont:
        return ToQFont(font_);
    case Qt::ImEnabled:
        return !ReadOnly();
    case Qt::ImHints:
        return static_cast<int>(Qt::ImhMultiLine);
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return 0;
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
        return QString();
    default:
        return QAbstractScrollArea::inputMethodQuery(query);
    }
}

// --- Mouse ---------------------------------------------------------------------------------------

void TEditor::mousePressEvent(QMouseEvent* event) {
    CommitComposition();
    if (OnMouseDown) OnMouseDown(this, event->button(), event->position().toPoint());
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    if (!hasFocus()) setFocus(Qt::MouseFocusReason);
    const QPoint pos = event->position().toPoint();
    session_.MousePress(RowAt(pos.y()), ColAt(pos.x()), pos.x(), pos.y());
    dragging_ = true;
    dragPos_ = pos;
}

// A double click selects nothing here; its press is not a second press either.
void TEditor::mouseDoubleClickEvent(QMouseEvent* event) { event->accept(); }

void TEditor::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    DragTo(event->position().toPoint());
}

void TEditor::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    dragTimer_.stop();
    session_.MouseRelease();
}

void TEditor::DragTo(QPoint pos) {
    dragPos_ = pos;
    // Past the window's edge the view follows one row (and a few columns) per step.
    const QRect area = viewport()->rect();
    int row = RowAt(pos.y());
    if (pos.y() < topMargin_) row = topRow_ - 1;
    row = std::clamp(row, topRow_ - 1, topRow_ + visibleRows_);
    int col = ColAt(pos.x());
    if (pos.x() < leftMargin_) col = topCol_ - 1;
    col = std::clamp(col, topCol_ - 1, topCol_ + visibleCols_);
    session_.MouseMove(row, std::max(0, col), pos.x(), pos.y(), cellWidth_ / 2);
    const bool outside = !area.contains(pos) || pos.y() < topMargin_;
    if (!outside) {
        dragTimer_.stop();
    } else if (!dragTimer_.isActive()) {
        dragTimer_.start(kDragIntervalMs);
    }
}

void TEditor::DragStep() {
    if (!dragging_) {
        dragTimer_.stop();
        return;
    }
    DragTo(dragPos_);
}

// --- Clipboard and commands ----------------------------------------------------------------------

void TEditor::CopyToClipboard() { QApplication::clipboard()->setText(QString::fromStdString(session_.SelUnicode())); }

void TEditor::CutToClipboard() {
    CopyToClipboard();
    // A locked diary keeps its text: cutting there only copies.
    if (!ReadOnly()) session_.DeleteSelection();
}

void TEditor::PasteFromClipboard() {
    if (ReadOnly()) return;
    const QString text = QApplication::clipboard()->text();
    if (text.isEmpty()) return;
    if (!session_.PasteUnicode(Utf8(text))) Refuse(text);
}

void TEditor::SelectAll() {
    CaretHide();
    session_.SelectAll();
    CaretShow();
}

void TEditor::Undo() { session_.Undo(); }

void TEditor::Redo() { session_.Redo(); }
