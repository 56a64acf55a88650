#include "editor/editor_strings.h"

#include "editor/line_split.h"
#include "editor/safe_write.h"
#include "editor/update_guard.h"
#include "platform/exceptions.h"

#include <istream>
#include <iterator>
#include <ostream>

TEditorStrings::TEditorStrings(TRowStore& store) : store_(store) {}

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

void TEditorStrings::RemoveLineRows(int r, const TRowRun& old, int rowsAfter) {
    UndoRecord& record = store_.NewUndoRecord();
    record.row = r;
    record.kind = old.lastKind;
    record.text = old.text;
    record.rowsToDelete = rowsAfter;
    store_.DeleteRows(r, old.rowCount);
}

void TEditorStrings::SetStrings(int index, const std::string& s) {
    CheckIndex(index, Count());
    const int r = store_.LineToRow(index);
    TRowBlock block = MakeBlock(s);
    const int rows = static_cast<int>(block.size());
    TRowRun old = store_.ExtractRows(r, -1);
    {
        TRowUpdate update(store_);
        RemoveLineRows(r, old, rows);
        block.back().kind = old.lastKind == rkWrap ? rkEnd : old.lastKind;
        store_.InsertRows(r, block);
    }
    if (Painting()) {
        if (rows != old.rowCount) store_.View().ShiftRows(r + old.rowCount, rows - old.rowCount);
        store_.View().RepaintRows(r, r + rows);
    }
    store_.SetCaret(r + rows, 0);
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
    {
        TRowUpdate update(store_);
        UndoRecord& record = store_.NewUndoRecord();
        record.row = r;
        record.rowsToDelete = rows;
        block.back().kind = rkBreak;
        store_.InsertRows(r, block);
    }
    if (Painting()) store_.View().ShiftRows(r, rows);
    store_.SetCaret(r + rows, 0);
}

int TEditorStrings::Add(const std::string& s) {
    const int index = Count();
    TRowBlock block = MakeBlock(s);
    const int rows = static_cast<int>(block.size());
    const int count = store_.RowCount();
    int lastKind = rkBreak;
    int touched = -1;  // a row appended or changed before the block
    int first;
    {
        TRowUpdate update(store_);
        UndoRecord& record = store_.NewUndoRecord();
        record.row = count;
        const int kind = store_.RowKind(count - 1);
        if (count > 0 && kind == rkWrap) {
            // A text ending in a cut row: close its line before the new one.
            store_.AppendRow({}, rkBreak);
            record.rowsToDelete = 1;
            lastKind = rkEnd;
            touched = count;
        } else if (count > 0 && kind == rkEnd) {
            // The old last line gets its break; the new last line goes without, as the
            // text did.
            record.row = count - 1;
            record.text = store_.RowText(count - 1);
            record.kind = rkEnd;
            record.rowsToDelete = 1;
            store_.SetRowKind(count - 1, rkBreak);
            lastKind = rkEnd;
            touched = count - 1;
        }
        block.back().kind = lastKind;
        record.rowsToDelete += rows;
        first = store_.RowCount();
        store_.InsertRows(first, block);
    }
    if (Painting()) {
        if (touched >= 0) store_.View().RepaintRows(touched, touched);
        store_.View().ShiftRows(first, rows);
    }
    const int end = store_.RowCount();
    store_.SetCaret(end, lastKind == rkEnd ? store_.RowWidth(end - 1) : 0);
    return index;
}

void TEditorStrings::Delete(int index) {
    CheckIndex(index, Count());
    const int r = store_.LineToRow(index);
    TRowRun old = store_.ExtractRows(r, -1);
    {
        TRowUpdate update(store_);
        RemoveLineRows(r, old, 0);
    }
    if (Painting()) {
        store_.View().ShiftRows(r + old.rowCount, -old.rowCount);
        store_.View().RepaintRows(r, r);
    }
    store_.SetCaret(r, 0);
}

void TEditorStrings::Clear() {
    store_.ClearRows();
    store_.UndoObj().ClearUndo();
    store_.SetCaret(0, 0);
    if (Painting()) store_.View().RowsReset();
}

void TEditorStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    SetText(source.Text());
    store_.SetCaret(store_.RowCount(), 0);
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
        store_.UndoObj().ClearUndo();
    }
    store_.View().RowsReset();
}

void TEditorStrings::LoadFromFile(const std::string& fileName) {
    TLinesUpdate update(store_);
    Clear();
    store_.LoadRowsFromFile(fileName);
    if (store_.WordWrap()) store_.RewrapAll();
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
