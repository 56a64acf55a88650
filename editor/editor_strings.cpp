#include "editor/editor_strings.h"

#include "editor/edit_session.h"
#include "editor/edit_transaction.h"
#include "editor/line_split.h"
#include "platform/safe_write.h"
#include "editor/update_guard.h"
#include "platform/exceptions.h"

#include <istream>
#include <iterator>
#include <ostream>

TEditorStrings::TEditorStrings(TEditSession& session) : session_(session), store_(session.store_) {}

int TEditorStrings::Count() const { return store_.LineCount(); }

std::string TEditorStrings::Strings(int index) const {
    CheckIndex(index, Count());
    int r = store_.LineToRow(index);
    if (!store_.WordWrap()) return store_.RowText(r);
    std::string line;
    const int last = store_.RowCount() - 1;
    for (; r < last && store_.RowKind(r) == rkWrap; ++r) line.append(store_.RowView(r));
    line.append(store_.RowView(r));
    return line;
}

TRowBlock TEditorStrings::MakeBlock(std::string_view s) const {
    std::string joined;
    joined.reserve(s.size() + 2);
    ForEachTextLine(s, [&](std::string_view line) {
        joined += store_.TrimBlanks(line);
        joined += "\r\n";
    });
    return store_.SplitIntoRows(joined);
}

void TEditorStrings::SetStrings(int index, const std::string& s) {
    CheckIndex(index, Count());
    const int r = store_.LineToRow(index);
    TRowBlock block = MakeBlock(s);
    const int rows = static_cast<int>(block.size());
    TEditTransaction tx(session_);
    TRowRun old = store_.ExtractRows(r, -1);
    UndoRecord& record = tx.Record();
    record.row = r;
    record.kind = old.lastKind;
    record.rowsToDelete = rows;
    record.text = std::move(old.text);
    store_.DeleteRows(r, old.rowCount);
    block.back().kind = old.lastKind == rkWrap ? rkEnd : old.lastKind;
    store_.InsertRows(r, block);
    if (rows != old.rowCount)
        tx.Shifted(r);
    else
        tx.Touch(r, r + rows);
    session_.SetCaret(r + rows, 0);
}

void TEditorStrings::Insert(int index, const std::string& s) {
    CheckIndex(index, Count() + 1);
    const int r = store_.LineToRow(index);
    if (r >= store_.RowCount()) {
        Add(s);
        return;
    }
    TRowBlock block = MakeBlock(s);
    const int rows = static_cast<int>(block.size());
    TEditTransaction tx(session_);
    UndoRecord& record = tx.Record();
    record.row = r;
    record.rowsToDelete = rows;
    block.back().kind = rkBreak;
    store_.InsertRows(r, block);
    tx.Shifted(r);
    session_.SetCaret(r + rows, 0);
}

int TEditorStrings::Add(const std::string& s) {
    const int index = Count();
    TRowBlock block = MakeBlock(s);
    const int rows = static_cast<int>(block.size());
    const int count = store_.RowCount();
    int lastKind = rkBreak;
    TEditTransaction tx(session_);
    UndoRecord& record = tx.Record();
    record.row = count;
    const int kind = store_.RowKind(count - 1);
    if (count > 0 && kind == rkWrap) {
        // A text ending in a cut row: close its line before the new one.
        store_.AppendRow({}, rkBreak);
        record.rowsToDelete = 1;
        lastKind = rkEnd;
    } else if (count > 0 && kind == rkEnd) {
        // The old last line gets its break; the new last line goes without, as the text did.
        record.row = count - 1;
        record.text = store_.RowText(count - 1);
        record.kind = rkEnd;
        record.rowsToDelete = 1;
        store_.SetRowKind(count - 1, rkBreak);
        lastKind = rkEnd;
    }
    block.back().kind = lastKind;
    record.rowsToDelete += rows;
    store_.InsertRows(store_.RowCount(), block);
    tx.Shifted(std::max(0, count - 1));
    const int end = store_.RowCount();
    session_.SetCaret(end, lastKind == rkEnd ? store_.RowWidth(end - 1) : 0);
    return index;
}

void TEditorStrings::Delete(int index) {
    CheckIndex(index, Count());
    const int r = store_.LineToRow(index);
    TEditTransaction tx(session_);
    TRowRun old = store_.ExtractRows(r, -1);
    UndoRecord& record = tx.Record();
    record.row = r;
    record.kind = old.lastKind;
    record.text = std::move(old.text);
    store_.DeleteRows(r, old.rowCount);
    tx.Shifted(r);
    session_.SetCaret(r, 0);
}

// Not an edit that can be undone: the undo lists go with the rows they name.
void TEditorStrings::Clear() {
    // A selection would name rows of the text that is going.
    session_.ClearSelection();
    store_.ClearRows();
    session_.undo_.ClearUndo();
    // No record can bring a code back any more.
    session_.extra_ = TExtraChars();
    session_.extraReserved_ = false;
    session_.SetCaret(0, 0);
    if (Painting()) session_.view_->RowsReset();
}

void TEditorStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    SetText(source.Text());
    session_.SetCaret(store_.RowCount(), 0);
}

std::string TEditorStrings::Text() const { return store_.Text(); }

void TEditorStrings::SetText(std::string_view text) {
    // Clearing frees the rows' bytes, and `text` may be one of them.
    const std::string copy(text);
    TLinesUpdate update(store_);
    Clear();
    store_.LoadRowsFromText(copy);
    if (store_.WordWrap()) store_.RewrapAll();
}

void TEditorStrings::SetWholeText(std::string_view text) {
    TLinesUpdate update(store_);
    SetText(text);
    if (!text.empty() && text.back() != '\n' && text.back() != '\r' && store_.RowCount() > 0)
        store_.SetRowKind(store_.RowCount() - 1, rkEnd);
}

void TEditorStrings::CopyFrom(const TStrings& source) {
    // The strings are taken before the rows go, so that copying the lines onto themselves
    // keeps them.
    std::string text;
    for (int i = 0; i < source.Count(); ++i) {
        text += source.Strings(i);
        text += "\r\n";
    }
    {
        TLinesUpdate update(store_);
        Clear();
        store_.LoadRowsFromText(text);
        if (store_.WordWrap()) store_.RewrapAll();
        session_.undo_.ClearUndo();
    }
    session_.view_->RowsReset();
}

void TEditorStrings::LoadFromFile(const std::string& fileName) {
    TLinesUpdate update(store_);
    Clear();
    store_.LoadRowsFromFile(fileName);
}

void TEditorStrings::SaveToFile(const std::string& fileName) const { WriteFileSafely(fileName, Text()); }

void TEditorStrings::SaveRowsToStream(std::ostream& out) const {
    for (int r = 0; r < store_.RowCount(); ++r) {
        std::string_view row = store_.RowView(r);
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
        out.write("\r\n", 2);
    }
    if (!out) throw EFileError("行を書き込めません。");
}

void TEditorStrings::SaveRowsToFile(const std::string& fileName) const {
    std::string text;
    text.reserve(static_cast<size_t>(store_.TextLength()) + 2 * store_.RowCount());
    for (int r = 0; r < store_.RowCount(); ++r) {
        text.append(store_.RowView(r));
        text.append("\r\n");
    }
    WriteFileSafely(fileName, text);
}

void TEditorStrings::SaveToStream(std::ostream& out) const {
    std::string text = Text();
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw EFileError("テキストを書き込めません。");
}

void TEditorStrings::LoadFromStream(std::istream& in) {
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    SetText(text);
}

void TEditorStrings::BeginUpdate() { store_.BeginLinesUpdate(); }

void TEditorStrings::EndUpdate() { store_.EndLinesUpdate(); }
