#pragma once
// The editor's text seen as a list of logical lines (the control's Lines). It holds no
// text itself: every operation reads or rewrites the rows of the editing session's row
// store. Add, Insert, SetStrings (Put) and Delete each run as one edit transaction of the
// session (one undo step, one notice to the view).
#include "editor/row_store.h"
#include "platform/string_list.h"

#include <iosfwd>
#include <string>
#include <string_view>

class TEditSession;

class TEditorStrings : public TStrings {
public:
    explicit TEditorStrings(TEditSession& session);

    int Count() const override;
    // Logical line i, the rows of a wrapped line joined. EListError outside 0..Count-1.
    std::string Strings(int index) const override;
    // Replaces line i by the lines of s (Put). EListError outside 0..Count-1.
    void SetStrings(int index, const std::string& s) override;
    // Inserts the lines of s before line i; i = Count appends. EListError outside 0..Count.
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    // Removes all rows, empties both undo lists, caret to 0,0.
    void Clear() override;
    // Appends the lines of s; a text that ended without a break still does. Returns the
    // index of the first new line.
    int Add(const std::string& s) override;
    // Text := source's text, caret to the end.
    void Assign(const TStrings& source) override;

    std::string Text() const override;
    // Clear, then one rkBreak row per line of text, rewrapped when WordWrap is on.
    void SetText(std::string_view text) override;
    // SetText, but a last line without a break stays without one, as a loaded file's does:
    // Text() then gives back `text` byte for byte when its breaks are CR LF.
    void SetWholeText(std::string_view text);

    // One rkBreak row per string of `source` (a string holding line breaks gives several),
    // rewrapped when WordWrap is on; empties the undo lists, since their records refer to
    // rows that are gone. Then the view is reset.
    void CopyFrom(const TStrings& source);

    // Clears, then reads the file (see TRowStore::LoadRowsFromFile); rewraps when WordWrap
    // is on. Raises EFileError with the lines already cleared.
    void LoadFromFile(const std::string& fileName);
    // Writes Text, byte for byte, through a temporary file in the same folder that is then
    // renamed over `fileName`, so a failure leaves the old file whole. Raises EFileError.
    void SaveToFile(const std::string& fileName) const;
    // The rows as displayed, each followed by CR LF, written the same safe way.
    virtual void SaveRowsToFile(const std::string& fileName) const;
    virtual void SaveRowsToStream(std::ostream& out) const;
    void SaveToStream(std::ostream& out) const;
    // Reads the whole stream and sets Text.
    void LoadFromStream(std::istream& in);

    // Nesting; while above 0 the operations above skip their repaints and the row list
    // gives one change notice at the end.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return store_.LinesUpdateCount(); }

private:
    // s split into lines, blanks trimmed when DisposeBlank is on, rejoined and cut to rows.
    TRowBlock MakeBlock(std::string_view s) const;
    bool Painting() const { return store_.LinesUpdateCount() == 0; }

    TEditSession& session_;
    TRowStore& store_;
};
