// Unicode text at the session's edges: typed and pasted text goes into the rows through
// the text's table of extra codes, and the selection comes out as UTF-8. A character that
// only extends the cluster before the caret is joined to it here, so that the rows never
// hold a cluster cut in two.
#include "editor/edit_session.h"
#include "editor/byte_arena.h"
#include "editor/edit_transaction.h"
#include "editor/row_loader.h"
#include "editor/update_guard.h"
#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/text_tables.h"
#include "platform/unicode_text.h"

#include <cstring>

namespace {

// Whether `c` can continue a cluster begun before it; kana, kanji and letters never can,
// so typing them skips the look at the character before the caret.
bool MayExtend(char32_t c) {
    const uint8_t props = CodePointProperties(c);
    switch (props & kPropClassMask) {
    case ccExtend:
    case ccZWJ:
    case ccSpacingMark:
    case ccRegional:
    case ccL:
    case ccV:
    case ccT:
    case ccLV:
    case ccLVT: return true;
    default: return (props & kPropPictographic) != 0;  // after a ZWJ
    }
}

// The byte where the character that ends at byte `end` of `row` starts.
size_t PreviousCharStart(std::string_view row, size_t end) {
    size_t start = 0;
    for (size_t i = 0; i < end;) {
        start = i;
        i += IsLeadByte(static_cast<unsigned char>(row[i])) && i + 1 < row.size() ? 2 : 1;
    }
    return start;
}

}  // namespace

void TEditSession::LoadUnicodeFile(const std::string& fileName) {
    {
        TLinesUpdate update(store_);
        lines_.Clear();
        size_t size = 0;
        std::shared_ptr<char> block = ReadFileBlock(fileName, size);
        char* bytes = block.get();
        const size_t mark = size >= 3 && std::memcmp(bytes, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
        // The text ends at the first ^Z, as in every form.
        const void* stop = std::memchr(bytes + mark, 0x1A, size - mark);
        const size_t end = stop ? static_cast<size_t>(static_cast<const char*>(stop) - bytes) : size;
        try {
            const TInPlace done = TextFromUnicodeInPlace(bytes, bytes + mark, end - mark, extra_);
            size = done.written;
            if (mark + done.read < end) {
                // A byte that forms no character: its code is longer than it, so the rest
                // is converted apart and the text put together in a new block.
                const std::string rest = TextFromUnicode(std::string_view(bytes + mark + done.read, end - mark - done.read), extra_);
                std::shared_ptr<char> whole = AllocateBytes(size + rest.size() + 1);
                std::memcpy(whole.get(), bytes, size);
                std::memcpy(whole.get() + size, rest.data(), rest.size());
                size += rest.size();
                block = std::move(whole);
            }
        } catch (const EEncodingError&) {
            extra_ = TExtraChars();
            throw EFileError("この日記のファイルには Shift-JIS にない文字の種類が多すぎるため、開けません");
        }
        store_.LoadRowsFromBlock(std::move(block), size);
    }
    // Every code of the text is one the table gave out.
    extraReserved_ = true;
}

void TEditSession::LoadText(std::string_view text, TExtraChars extra) {
    lines_.SetWholeText(text);
    extra_ = std::move(extra);
    SetCaret(0, 0);
}

std::optional<std::string> TEditSession::FromUnicode(std::string_view utf8) {
    if (!extraReserved_) {
        // A code must not be one the text (or a step that undo may bring back) already
        // holds as a character of its own: a Shift-JIS file's user-defined characters.
        for (int r = 0; r < store_.RowCount(); ++r) extra_.Reserve(store_.RowView(r));
        for (const UndoRecord& record : undo_.UndoList()) extra_.Reserve(record.text);
        for (const UndoRecord& record : undo_.RedoList()) extra_.Reserve(record.text);
        extraReserved_ = true;
    }
    try {
        return TextFromUnicode(utf8, extra_, TCp932Fit::LookAlike);
    } catch (const EEncodingError&) {
        return std::nullopt;
    }
}

bool TEditSession::TypeUnicode(std::string_view utf8) {
    if (!Editable() || utf8.empty()) return true;
    if (!selected_) {
        const TJoin join = JoinPreviousCluster(utf8);
        if (join != TJoin::None) return join == TJoin::Joined;
    }
    const std::optional<std::string> bytes = FromUnicode(utf8);
    if (!bytes) return false;
    TypeText(*bytes);
    return true;
}

bool TEditSession::PasteUnicode(std::string_view utf8) {
    if (!Editable()) return true;
    const std::optional<std::string> bytes = FromUnicode(utf8);
    if (!bytes) return false;
    SetSelText(*bytes);
    return true;
}

std::string TEditSession::SelUnicode() const { return UnicodeFromText(SelText(), extra_); }

// Joined when `utf8` began by extending the character before the caret and has been typed
// together with it; None when it starts a cluster of its own (nothing done); Full when the
// joined cluster needs a code and none is left.
TEditSession::TJoin TEditSession::JoinPreviousCluster(std::string_view utf8) {
    char32_t typed = 0;
    if (DecodeUtf8(utf8, 0, typed) == 0 || !MayExtend(typed)) return TJoin::None;
    if (row_ >= store_.RowCount()) return TJoin::None;
    // The character before the caret: in the caret's row, or at the end of the cut row
    // above when the caret starts a continuation row.
    int r = row_;
    std::string_view row = store_.RowView(r);
    size_t end = static_cast<size_t>(TRowStore::ByteIndex(store_.ColumnMap(row), col_));
    if (end > row.size()) return TJoin::None;  // the caret stands past the text, after blanks
    if (end == 0) {
        if (r == 0 || store_.RowKind(r - 1) != rkWrap) return TJoin::None;
        row = store_.RowView(--r);
        end = row.size();
        if (end == 0) return TJoin::None;
    }
    const size_t start = PreviousCharStart(row, end);
    const std::string before = UnicodeFromText(row.substr(start, end - start), extra_, TBrokenBytes::Keep);
    // A byte that forms no character, or a tab, takes nothing in.
    char32_t c = 0;
    if (DecodeUtf8(before, 0, c) == 0 || c < 0x20) return TJoin::None;
    const std::string joined = before + std::string(utf8);
    if (ClusterEnd(joined, 0) <= before.size()) return TJoin::None;
    std::optional<std::string> bytes = FromUnicode(joined);
    if (!bytes) return TJoin::Full;
    std::string rowText(row);
    rowText.replace(start, end - start, *bytes);
    TEditTransaction tx(*this);
    size_t head = 0;
    const int first = ReplaceLineAt(tx, r, rowText, &head);
    SetCaretAtOffset(first, head + start + bytes->size(), 1);
    return TJoin::Joined;
}
