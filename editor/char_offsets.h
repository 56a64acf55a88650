#pragma once
// The text counted in characters, for readers that address it so (screen readers and
// magnifiers): each CP932 character of a row, one byte or a lead byte with the byte after
// it, is one UTF-16 unit once decoded, and each line break counts one more. The rows'
// counts are kept and summed only as far as a question reaches, so after an edit only the
// rows it touched are counted again; nothing here copies the text.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TEditSession;
class TRowStore;
struct TEditNotice;

// The rows an edit replaced: `oldRows` rows from `first` became `newRows` rows.
struct TRowChange {
    int first = 0;
    int oldRows = 0;
    int newRows = 0;
};

// Characters in a row as the cell grid cuts it: a lead byte takes the next byte with it.
int RowChars(std::string_view row);
// The byte where character k of the row starts (the row's length for k past the end).
size_t CharToByte(std::string_view row, int k);
// Characters that start before byte b: the character index of a character starting at b.
int CharsBefore(std::string_view row, size_t b);

class TCharOffsets {
public:
    explicit TCharOffsets(const TRowStore& store) : store_(store) {}

    // The rows may all have changed (a new text, a rewrap): counted again when asked.
    void Reset();
    // Rows from `firstRow` changed: `oldRows` rows there are now `newRows` rows, the rest
    // kept their text. Does nothing before the first question.
    void Replaced(int firstRow, int oldRows, int newRows);

    // Around an edit: before it, the rows it may touch are copied (at most kKeptRows, the
    // caret's, the selection's, the next undo's), so that afterwards the rows it replaced
    // are found by comparing, and what it removed can be told. Returns the change and
    // applies it; empty when everything was counted anew.
    static constexpr int kKeptRows = 256;
    void BeginEdit(const TEditSession& session);
    std::optional<TRowChange> EndEdit(const TEditNotice& notice, bool rowsChanged);
    // Edits whose rows the copies could not place, so that every row below was counted
    // again: for measurements and tests (typing, Enter, Backspace, undo at the caret make
    // none).
    int TailRecounts() const { return tailRecounts_; }
    // An old row copied by Keep (text and kind), or nullptr.
    const std::pair<std::string, int>* Kept(int r) const;

    int64_t Total();
    // The offset of row r's first character; r at or past the last row gives Total.
    int64_t RowStart(int r);
    // The row's characters plus its line break.
    int RowSpan(int r);
    // The row that holds `offset` and the character in that row. An offset at a line break
    // belongs to the row before it, as the caret at a line's end does; the end of a text
    // whose last row is broken is on the row after the last (RowCount), where the caret
    // stands on that empty last line.
    std::pair<int, int> Locate(int64_t offset);

private:
    void Build();
    int Count(int r) const;
    void Keep(int first, int last);
    // Makes the prefix sums valid through row r.
    void Extend(int r);

    const TRowStore& store_;
    std::map<int, std::pair<std::string, int>> kept_;
    int oldRowCount_ = 0;
    int tailRecounts_ = 0;
    bool built_ = false;
    std::vector<int32_t> span_;   // per row: characters + 1 for a line break
    std::vector<int64_t> start_;  // start_[r] for r <= valid_
    int valid_ = 0;
    int64_t total_ = 0;
};


// What an edit's notice says about the rows, given the row counts before and after it;
// `rowsChanged` says whether the store reported any change of its rows meanwhile. Empty
// when the notice cannot tell (everything changed, or a change it does not name).
std::optional<TRowChange> ChangeOfNotice(const TEditNotice& notice, int oldRowCount, int newRowCount, bool rowsChanged);
