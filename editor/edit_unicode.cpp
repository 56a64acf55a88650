// Unicode text at the session's edges: typed and pasted text goes into the rows through
// the text's table of extra codes, and the selection comes out as UTF-8. A character that
// only extends the cluster before the caret is joined to it here, so that the rows never
// hold a cluster cut in two.
#include "editor/edit_session.h"
#include "editor/edit_transaction.h"
#include "platform/exceptions.h"
#include "platform/grapheme.h"
#include "platform/sjis.h"
#include "platform/text_tables.h"
#include "platform/unicode_text.h"

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
