#include "editor/editor_accessible.h"

#include "editor/cell_text.h"
#include "editor/char_offsets.h"
#include "editor/editor.h"
#include "platform/accessible_events.h"
#include "platform/sjis.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <climits>

namespace {

class TEditorAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface {
public:
    explicit TEditorAccessible(TEditor* editor)
        : QAccessibleWidget(editor, QAccessible::EditableText), offsets_(editor->Store()) {
        ++EditorAccess::interfaces;
    }
    ~TEditorAccessible() override { --EditorAccess::interfaces; }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const bool readOnly = Editor()->ReadOnly();
        s.multiLine = true;
        s.selectableText = true;
        s.editable = !readOnly;
        s.readOnly = readOnly;
        return s;
    }

    // --- Selection ------------------------------------------------------------------------
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !Editor()->Selected()) return;
        const TTextRange& t = Editor()->Session().TextRange();
        *start = Clamp(OffsetOfByte(t.startRow, t.startByte));
        *end = Clamp(OffsetOfByte(t.endRow, t.endByte + 1));
    }
    int selectionCount() const override { return Editor()->Selected() ? 1 : 0; }
    void addSelection(int start, int end) override { Select(start, end); }
    void removeSelection(int index) override {
        if (index == 0) Editor()->ClearSelection();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) Select(start, end);
    }

    // --- Caret --------------------------------------------------------------------------------
    int cursorPosition() const override {
        const TEditor* e = Editor();
        const int r = e->Row();
        if (r >= e->Store().RowCount()) return Clamp(offsets_.Total());
        const std::string_view row = e->Store().RowView(r);
        const int byte = TRowStore::ByteIndex(e->Store().ColumnMap(row), e->Col());
        return Clamp(OffsetOfByte(r, static_cast<size_t>(std::max(0, byte))));
    }
    void setCursorPosition(int position) override {
        Editor()->ClearSelection();
        PlaceCaret(position);
    }

    // --- Text -----------------------------------------------------------------------------------
    // Both bases name a text(): the widget's gives the name and description.
    QString text(QAccessible::Text t) const override { return QAccessibleWidget::text(t); }
    QString text(int start, int end) const override {
        const int64_t total = offsets_.Total();
        int64_t pos = std::clamp<int64_t>(start, 0, total);
        const int64_t stop = std::clamp<int64_t>(end, pos, total);
        QString out;
        if (pos >= stop) return out;
        out.reserve(static_cast<qsizetype>(stop - pos));
        int r = offsets_.Locate(pos).first;
        for (int64_t rowStart = offsets_.RowStart(r); pos < stop; ++r) {
            const int span = offsets_.RowSpan(r);
            if (span == 0 && r >= Editor()->Store().RowCount()) break;
            const int from = static_cast<int>(pos - rowStart);
            const int to = static_cast<int>(std::min<int64_t>(span, stop - rowStart));
            out += RowPiece(r, from, to);
            pos = rowStart + to;
            rowStart += span;
        }
        return out;
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        Segment(offset, type, start, end);
        return *start < 0 ? QString() : text(*start, *end);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        Segment(offset, type, start, end);
        if (*start <= 0) {
            *start = *end = -1;
            return QString();
        }
        return textAtOffset(*start - 1, type, start, end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const override {
        Segment(offset, type, start, end);
        if (*start < 0 || *end >= characterCount()) {
            *start = *end = -1;
            return QString();
        }
        return textAtOffset(*end, type, start, end);
    }
    int characterCount() const override { return Clamp(offsets_.Total()); }

    // --- Geometry ---------------------------------------------------------------------------------
    QRect characterRect(int offset) const override {
        const TEditor* e = Editor();
        const auto [r, c] = offsets_.Locate(offset);
        const std::string_view row = e->Store().RowView(r);
        const size_t byte = CharToByte(row, c);
        const int col = ExpandedWidth(row.substr(0, byte), e->TabSpaceCount());
        int cells = 1;
        if (byte < row.size()) {
            const auto b = static_cast<unsigned char>(row[byte]);
            cells = b == '\t' ? e->TabSpaceCount() - col % e->TabSpaceCount() : IsLeadByte(b) ? 2 : 1;
        }
        const QRect local(e->ColX(col), e->RowY(r), cells * e->CellWidth(), e->CharHeight());
        return QRect(e->viewport()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        const TEditor* e = Editor();
        const QPoint local = e->viewport()->mapFromGlobal(point);
        if (!e->viewport()->rect().contains(local)) return -1;
        const int r = e->RowAt(local.y());
        if (r >= e->Store().RowCount()) return characterCount();
        const std::string_view row = e->Store().RowView(r);
        const int byte = TRowStore::ByteIndex(e->Store().ColumnMap(row), std::max(0, e->ColAt(local.x())));
        return Clamp(OffsetOfByte(r, static_cast<size_t>(byte)));
    }
    void scrollToSubstring(int start, int) override {
        TEditor* e = Editor();
        const int r = offsets_.Locate(start).first;
        if (r < e->TopRow() || r >= e->TopRow() + e->VisibleRows()) e->SetTopRow(r);
    }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return QString();
    }

    // --- Editing ---------------------------------------------------------------------------------
    void deleteText(int start, int end) override {
        if (Editor()->ReadOnly() || end <= start) return;
        Select(start, end);
        Editor()->Session().DeleteSelection();
    }
    void insertText(int offset, const QString& text) override {
        if (Editor()->ReadOnly()) return;
        setCursorPosition(offset);
        Editor()->TypeUnicode(text);
    }
    void replaceText(int start, int end, const QString& text) override {
        if (Editor()->ReadOnly()) return;
        if (end > start)
            Select(start, end);
        else
            setCursorPosition(start);
        Editor()->TypeUnicode(text);
    }

    // --- What the editor reports ---------------------------------------------------------------
    void EditBegin() {
        inEdit_ = true;
        rowsChanged_ = false;
        offsets_.BeginEdit(Editor()->Session());
    }
    void EditEnd(const TEditNotice& notice) {
        inEdit_ = false;
        const std::optional<TRowChange> change = offsets_.EndEdit(notice, rowsChanged_);
        if (!change)
            TextReset();
        else if (change->oldRows > 0 || change->newRows > 0)
            AnnounceChange(*change);
        FlushPending();
    }
    void RowsChanged() {
        if (inEdit_)
            rowsChanged_ = true;
        else
            TextReset();
    }
    void CaretMoved() {
        caretPending_ = true;
        if (!inEdit_) FlushPending();
    }
    void SelectionChanged() {
        selectionPending_ = true;
        if (!inEdit_) FlushPending();
    }

private:
    TEditor* Editor() const { return static_cast<TEditor*>(widget()); }
    static int Clamp(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, 0, INT_MAX)); }

    int64_t OffsetOfByte(int r, size_t byte) const {
        if (r >= Editor()->Store().RowCount()) return offsets_.Total();
        return offsets_.RowStart(r) + CharsBefore(Editor()->Store().RowView(r), byte);
    }

    // Characters from..to of row r, its line break counting as the character after the last.
    QString RowPiece(int r, int from, int to) const {
        return Decode(Editor()->Store().RowView(r), Editor()->Store().RowKind(r), from, to);
    }
    static QString Decode(std::string_view row, int kind, int from, int to) {
        QString out;
        size_t i = CharToByte(row, from);
        int k = from;
        for (; k < to && i < row.size(); ++k) {
            const auto b = static_cast<unsigned char>(row[i]);
            const size_t n = std::min<size_t>(IsLeadByte(b) ? 2 : 1, row.size() - i);
            out += b == '\t' ? QChar(u'\t') : CellChar(row.substr(i, n));
            i += n;
        }
        if (k < to && kind == rkBreak) out += QChar(u'\n');
        return out;
    }
    QString RowWithBreak(int r) const { return RowPiece(r, 0, INT_MAX); }

    void Segment(int offset, QAccessible::TextBoundaryType type, int* start, int* end) const {
        const int64_t total = offsets_.Total();
        *start = *end = -1;
        if (offset < 0 || offset > total) return;
        int64_t s = offset;
        int64_t e = std::min<int64_t>(offset + 1, total);
        switch (type) {
        case QAccessible::CharBoundary: break;
        case QAccessible::NoBoundary:
            s = 0;
            e = total;
            break;
        case QAccessible::LineBoundary: {
            const int r = offsets_.Locate(offset).first;
            s = offsets_.RowStart(r);
            e = s + offsets_.RowSpan(r);
            break;
        }
        case QAccessible::ParagraphBoundary: {
            const TRowStore& store = Editor()->Store();
            int first = offsets_.Locate(offset).first;
            int last = first;
            while (first > 0 && store.RowKind(first - 1) == rkWrap) --first;
            while (last + 1 < store.RowCount() && store.RowKind(last) == rkWrap) ++last;
            s = offsets_.RowStart(first);
            e = offsets_.RowStart(last) + offsets_.RowSpan(last);
            break;
        }
        case QAccessible::WordBoundary:
        case QAccessible::SentenceBoundary: {
            const auto [r, c] = offsets_.Locate(offset);
            const QString row = RowPiece(r, 0, RowChars(Editor()->Store().RowView(r)));
            if (c >= row.size()) break;  // the line break is a piece of its own
            QTextBoundaryFinder finder(type == QAccessible::WordBoundary ? QTextBoundaryFinder::Word
                                                                         : QTextBoundaryFinder::Sentence,
                                       row);
            finder.setPosition(c);
            if (!finder.isAtBoundary()) finder.toPreviousBoundary();
            const int a = std::max(0, static_cast<int>(finder.position()));
            const qsizetype b = finder.toNextBoundary();
            s = offsets_.RowStart(r) + a;
            e = offsets_.RowStart(r) + (b < 0 ? row.size() : b);
            break;
        }
        }
        *start = Clamp(s);
        *end = Clamp(e);
    }

    void PlaceCaret(int64_t position) {
        TEditor* e = Editor();
        const auto [r, c] = offsets_.Locate(position);
        const std::string_view row = e->Store().RowView(r);
        e->Session().SetCaret(r, ExpandedWidth(row.substr(0, CharToByte(row, c)), e->TabSpaceCount()));
    }
    void Select(int start, int end) {
        TEditSession& session = Editor()->Session();
        session.ClearSelection();
        PlaceCaret(start);
        if (end == start) return;
        session.StartSelection(false);
        PlaceCaret(end);
        session.UpdateSelection();
    }

    // The rows replaced, as they were (copied before the edit) and as they are: the reader
    // hears the characters between what the two have in common at either end. Rows not
    // copied are announced as a change of the whole view, which readers answer by reading
    // again.
    void AnnounceChange(const TRowChange& change) {
        QString before;
        for (int r = change.first; r < change.first + change.oldRows; ++r) {
            const auto* kept = offsets_.Kept(r);
            if (!kept) {
                Announce(QAccessible::VisibleDataChanged);
                return;
            }
            before += Decode(kept->first, kept->second, 0, INT_MAX);
        }
        if (change.newRows > TCharOffsets::kKeptRows) {
            Announce(QAccessible::VisibleDataChanged);
            return;
        }
        QString after;
        for (int r = change.first; r < change.first + change.newRows; ++r) after += RowWithBreak(r);
        qsizetype head = 0;
        while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
        qsizetype tail = 0;
        while (tail < before.size() - head && tail < after.size() - head &&
               before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
            ++tail;
        const QString removed = before.mid(head, before.size() - head - tail);
        const QString inserted = after.mid(head, after.size() - head - tail);
        const int position = Clamp(offsets_.RowStart(change.first) + head);
        QObject* target = object();
        if (!removed.isEmpty() && !inserted.isEmpty()) {
            QAccessibleTextUpdateEvent ev(target, position, removed, inserted);
            SendAccessibleEvent(&ev);
        } else if (!removed.isEmpty()) {
            QAccessibleTextRemoveEvent ev(target, position, removed);
            SendAccessibleEvent(&ev);
        } else if (!inserted.isEmpty()) {
            QAccessibleTextInsertEvent ev(target, position, inserted);
            SendAccessibleEvent(&ev);
        }
    }

    void TextReset() {
        offsets_.Reset();
        Announce(QAccessible::VisibleDataChanged);
        caretPending_ = true;
    }
    void Announce(QAccessible::Event type) {
        QAccessibleEvent ev(object(), type);
        SendAccessibleEvent(&ev);
    }

    void FlushPending() {
        if (selectionPending_) {
            selectionPending_ = false;
            int s = 0;
            int e = 0;
            selection(0, &s, &e);
            QAccessibleTextSelectionEvent ev(object(), s, e);
            ev.setCursorPosition(cursorPosition());
            SendAccessibleEvent(&ev);
        }
        if (caretPending_) {
            caretPending_ = false;
            const int position = cursorPosition();
            if (position == lastCaret_) return;
            lastCaret_ = position;
            QAccessibleTextCursorEvent ev(object(), position);
            SendAccessibleEvent(&ev);
        }
    }

    mutable TCharOffsets offsets_;
    bool inEdit_ = false;
    bool rowsChanged_ = false;
    bool caretPending_ = false;
    bool selectionPending_ = false;
    int lastCaret_ = -1;
};

TEditorAccessible* Heard(TEditor* editor) {
    return dynamic_cast<TEditorAccessible*>(QAccessible::queryAccessibleInterface(editor));
}

}  // namespace

QAccessibleInterface* EditorAccessibleFactory(const QString&, QObject* object) {
    if (auto* editor = dynamic_cast<TEditor*>(object)) return new TEditorAccessible(editor);
    return nullptr;
}

namespace EditorAccess {

void EditBeginHeard(TEditor* editor) {
    if (auto* a = Heard(editor)) a->EditBegin();
}
void EditEndHeard(TEditor* editor, const TEditNotice& notice) {
    if (auto* a = Heard(editor)) a->EditEnd(notice);
}
void RowsChangedHeard(TEditor* editor) {
    if (auto* a = Heard(editor)) a->RowsChanged();
}
void CaretMovedHeard(TEditor* editor) {
    if (auto* a = Heard(editor)) a->CaretMoved();
}
void SelectionChangedHeard(TEditor* editor) {
    if (auto* a = Heard(editor)) a->SelectionChanged();
}
void ReadOnlyChangedHeard(TEditor* editor) {
    QAccessible::State changed;
    changed.readOnly = true;
    changed.editable = true;
    QAccessibleStateChangeEvent ev(editor, changed);
    SendAccessibleEvent(&ev);
}

}  // namespace EditorAccess
