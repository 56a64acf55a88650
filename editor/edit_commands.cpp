// The commands that change the text at the caret: typing, Enter, Backspace, Delete, Tab,
// deleting the selection and inserting text. Each is one transaction and one undo step.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"
#include "editor/line_split.h"
#include "platform/sjis.h"

#include <algorithm>

namespace {

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// Byte length of the character at byte i of `t`.
size_t CharLength(std::string_view t, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(t[i])) && i + 1 < t.size() ? 2 : 1;
}

// Column of the first column of the character that covers column c of `map`.
int CharStartCol(const std::string& map, int c) {
    while (c > 0 && (map[static_cast<size_t>(c)] == 't' || map[static_cast<size_t>(c)] == '2')) --c;
    return c;
}

}  // namespace

void TEditSession::TypeText(std::string_view bytes) {
    if (!Editable() || bytes.empty()) return;
    if (HasLineBreak(bytes)) {
        SetSelText(bytes);
        return;
    }
    DeleteSelection();
    Type(bytes);
}

void TEditSession::KeyChar(unsigned char ch) {
    switch (ch) {
    case 8: KeyBackspace(); return;
    case 9: KeyTab(); return;
    case 13: KeyEnter(); return;
    default: break;
    }
    if ((ch >= 32 && ch <= 126) || (ch >= 161 && ch <= 223)) TypeText(std::string(1, static_cast<char>(ch)));
}

void TEditSession::Type(std::string_view s) {
    if (s.empty()) return;
    const std::string t(store_.RowView(row_));
    const std::string map = store_.ColumnMap(t);
    const size_t a = static_cast<size_t>(TRowStore::ByteIndex(map, col_));
    std::string row;
    if (a >= t.size()) {
        row = t;
        row.append(a - t.size(), ' ');
        row.append(s);
    } else if (!options_.overWrite) {
        row = t.substr(0, a);
        row.append(s);
        row.append(t, a);
    } else {
        const size_t end = a + s.size();
        size_t i = a;
        while (i < end && i < t.size()) i += CharLength(t, i);
        row = t.substr(0, a);
        row.append(s);
        // Half of a double-byte character overwritten: its trail byte alone would pair
        // with whatever follows, so it becomes a blank.
        if (i == end + 1) row += ' ';
        if (i < t.size()) row.append(t, i);
    }
    const size_t typedEnd = a + s.size();
    const bool wrap = store_.WordWrap();
    if (!wrap) row = store_.TrimBlanks(row);

    TEditTransaction tx(*this);
    size_t head = 0;
    const int first = ReplaceLineAt(tx, row_, row, &head);
    if (wrap)
        SetCaretAtOffset(first, head + typedEnd, 1);
    else
        SetCaret(row_, col_ + static_cast<int>(s.size()), 1);
}

void TEditSession::KeyEnter() {
    if (!Editable()) return;
    DeleteSelection();
    Enter();
}

int TEditSession::EnterIndent() const {
    if (!options_.caretAutoIndent) return 0;
    auto indentWidth = [this](int r) {
        const std::string e = store_.ExpandedRow(r);
        if (e.empty()) return -1;
        int w = 0;
        for (size_t i = 0; i < e.size();) {
            if (e[i] == ' ') {
                ++w;
                ++i;
            } else if (e.compare(i, 2, "\x81\x40") == 0) {
                w += 2;
                i += 2;
            } else {
                break;
            }
        }
        return w;
    };
    const int c = indentWidth(row_);
    if (options_.prevSpaceIndent) {
        if (c >= 1) return std::min(col_, c);
        for (int r = row_ - 1; r >= 0; --r)
            if (!store_.RowView(r).empty()) return std::max(0, indentWidth(r));
        return 0;
    }
    return c >= 0 ? std::min(col_, c) : 0;
}

void TEditSession::Enter() {
    const int count = store_.RowCount();
    TEditTransaction tx(*this);
    // At the start of a row continuing a cut row that is not full, the cut becomes a line
    // break and the caret stays.
    if (col_ == 0 && row_ > 0 && row_ < count && store_.RowKind(row_ - 1) == rkWrap &&
        store_.RowWidth(row_ - 1) < store_.WrapByte()) {
        ReplaceRows(tx, row_ - 1, row_ - 1, store_.RowView(row_ - 1), rkBreak);
        return;
    }
    if (row_ >= count) {
        ReplaceRows(tx, count, count - 1, {}, rkBreak);
        SetCaret(count + 1, 0);
        return;
    }
    const int indent = EnterIndent();
    if (!options_.overWrite) {
        const std::string_view t = store_.RowView(row_);
        const size_t a = std::min(t.size(), static_cast<size_t>(TRowStore::ByteIndex(store_.ColumnMap(t), col_)));
        const int last = LineEnd(row_);
        const int kind = store_.RowKind(last) == rkWrap ? rkEnd : store_.RowKind(last);
        std::string rest;
        if (options_.tabIndent) {
            const int tabs = store_.TabSpaceCount();
            rest.append(static_cast<size_t>(indent / tabs), '\t');
            rest.append(static_cast<size_t>(indent % tabs), ' ');
        } else {
            rest.append(static_cast<size_t>(indent), ' ');
        }
        rest.append(t.substr(a));
        rest.append(JoinRows(row_ + 1, last));
        rest = store_.TrimBlanks(rest);
        const int first = RunStart(row_);
        std::string text = JoinRows(first, row_ - 1);
        text += store_.TrimBlanks(t.substr(0, a));
        if (!rest.empty() || kind != rkEnd) {
            text += "\r\n";
            text += rest;
            ReplaceRows(tx, first, last, text, kind);
        } else {
            ReplaceRows(tx, first, last, text, rkBreak);
        }
    }
    SetCaret(row_ + 1, indent);
}

void TEditSession::KeyBackspace() {
    if (!Editable()) return;
    if (selected_) {
        DeleteSelection();
        return;
    }
    const int count = store_.RowCount();
    if (count == 0) {
        SetCol(col_ - 1);
        return;
    }
    const std::string t(store_.RowView(row_));
    const std::string map = store_.ColumnMap(t);
    const int n = static_cast<int>(map.size());
    if (col_ > n) {
        SetCol(col_ - 1);
        return;
    }
    if (col_ >= 1) {
        const int c = CharStartCol(map, col_ - 1);
        const size_t start = static_cast<size_t>(TRowStore::ByteIndex(map, c));
        std::string row = t;
        row.erase(start, CharLength(t, start));
        TEditTransaction tx(*this);
        size_t head = 0;
        const int first = ReplaceLineAt(tx, row_, row, &head);
        if (store_.WordWrap())
            SetCaretAtOffset(first, head + start, -1);
        else
            SetCaret(row_, c);
        return;
    }
    if (row_ == 0) return;
    const int prev = row_ - 1;
    const std::string p(store_.RowView(prev));
    TEditTransaction tx(*this);
    const int first = RunStart(prev);
    std::string text = JoinRows(first, prev - 1);
    if (store_.RowKind(prev) == rkWrap) {
        // A cut, not a line break: the character before it goes.
        size_t lastStart = 0;
        for (size_t i = 0; i < p.size(); i += CharLength(p, i)) lastStart = i;
        text.append(p, 0, lastStart);
        const size_t caret = text.size();
        const int last = LineEnd(row_);
        text.append(JoinRows(row_, last));
        ReplaceRows(tx, first, last, text, store_.RowKind(last));
        SetCaretAtOffset(first, caret, -1);
        return;
    }
    const int width = store_.RowWidth(prev);
    text.append(p);
    const size_t caret = text.size();
    if (row_ >= count) {
        ReplaceRows(tx, first, prev, text, rkEnd);
    } else {
        const int last = LineEnd(row_);
        text.append(JoinRows(row_, last));
        ReplaceRows(tx, first, last, text, store_.RowKind(last));
    }
    if (store_.WordWrap())
        SetCaretAtOffset(first, caret, -1);
    else
        SetCaret(prev, width);
}

void TEditSession::KeyDelete() {
    if (!Editable()) return;
    if (selected_) {
        DeleteSelection();
        return;
    }
    const int count = store_.RowCount();
    if (row_ >= count) return;
    const std::string t(store_.RowView(row_));
    const std::string map = store_.ColumnMap(t);
    const int n = static_cast<int>(map.size());
    const int last = LineEnd(row_);
    const int first = RunStart(row_);
    std::string text = JoinRows(first, row_ - 1);
    const size_t head = text.size();
    TEditTransaction tx(*this);
    if (col_ < n) {
        const int c = CharStartCol(map, col_);
        const size_t start = static_cast<size_t>(TRowStore::ByteIndex(map, c));
        text.append(t);
        text.append(JoinRows(row_ + 1, last));
        text.erase(head + start, CharLength(t, start));
        ReplaceRows(tx, first, last, text, store_.RowKind(last));
        if (store_.WordWrap())
            SetCaretAtOffset(first, head + start, -1);
        else
            SetCaret(row_, c);
        return;
    }
    if (store_.RowKind(row_) == rkWrap) {
        // At the end of a cut row the next character is the first of the following row.
        text.append(JoinRows(row_, last));
        const size_t at = head + t.size();
        if (at < text.size()) text.erase(at, CharLength(text, at));
        ReplaceRows(tx, first, last, text, store_.RowKind(last));
        SetCaretAtOffset(first, at, -1);
        return;
    }
    text.append(t);
    const size_t e = static_cast<size_t>(TRowStore::ByteIndex(map, col_));
    if (e > t.size()) text.append(e - t.size(), ' ');
    const size_t at = text.size();
    if (row_ + 1 < count) {
        const int nextLast = LineEnd(row_ + 1);
        text.append(JoinRows(row_ + 1, nextLast));
        ReplaceRows(tx, first, nextLast, text, store_.RowKind(nextLast));
    } else {
        ReplaceRows(tx, first, row_, text, rkEnd);
    }
    if (store_.WordWrap())
        SetCaretAtOffset(first, at, -1);
    else
        SetCaret(row_, col_);
}

void TEditSession::KeyTab() {
    if (!Editable() || !options_.wantTabs) return;
    const int tabs = store_.TabSpaceCount();
    const int next = (col_ / tabs + 1) * tabs;
    if (options_.overWrite)
        SetCol(next);
    else if (options_.softTab)
        Type(std::string(static_cast<size_t>(next - col_), ' '));
    else
        Type("\t");
    if (selected_) UpdateSelection();
}

void TEditSession::DeleteSelection() {
    if (!selected_) return;
    const TTextRange t = text_;
    const int startCol = drawn_.startCol;
    ClearSelection();
    const int count = store_.RowCount();
    const int s = t.startRow;
    if (s >= count || (t.startRow == t.endRow && t.endByte < t.startByte)) return;
    const int first = RunStart(s);
    std::string text = JoinRows(first, s - 1);
    const std::string_view startRow = store_.RowView(s);
    text.append(startRow.substr(0, static_cast<size_t>(std::clamp(t.startByte, 0, static_cast<int>(startRow.size())))));
    const size_t caret = text.size();
    int last = count - 1;
    int kind = rkEnd;
    if (t.endRow < count) {
        const std::string_view end = store_.RowView(t.endRow);
        text.append(end.substr(static_cast<size_t>(std::clamp(t.endByte + 1, 0, static_cast<int>(end.size())))));
        last = LineEnd(t.endRow);
        text.append(JoinRows(t.endRow + 1, last));
        kind = store_.RowKind(last);
    }
    TEditTransaction tx(*this);
    ReplaceRows(tx, first, last, text, kind);
    if (store_.WordWrap())
        SetCaretAtOffset(first, caret, -1);
    else
        SetCaret(s, startCol);
}

void TEditSession::SetSelText(std::string_view bytes) {
    if (!Editable()) return;
    DeleteSelection();
    if (bytes.empty()) return;
    ReplaceSelection(bytes);
}

void TEditSession::ReplaceSelection(std::string_view text) {
    // Line breaks as the rows will count them: CR LF each.
    std::string s;
    s.reserve(text.size());
    ForEachTextLine(text, [&s](std::string_view line) {
        s.append(line);
        s.append("\r\n");
    });
    if (!text.empty() && text.back() != '\n' && text.back() != '\r') s.resize(s.size() - 2);
    const std::string_view t = store_.RowView(row_);
    const size_t a = static_cast<size_t>(TRowStore::ByteIndex(store_.ColumnMap(t), col_));
    std::string row(t.substr(0, std::min(a, t.size())));
    if (a > t.size()) row.append(a - t.size(), ' ');
    row.append(s);
    const size_t caret = row.size();
    if (a < t.size()) row.append(t.substr(a));
    TEditTransaction tx(*this);
    size_t head = 0;
    const int first = ReplaceLineAt(tx, row_, row, &head);
    SetCaretAtOffset(first, head + caret, -1);
}
