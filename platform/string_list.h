#pragma once
// Ordered lists of byte strings. TStrings is the interface that both the plain list and
// the editor's line view offer; TStringList is the plain list with a change notice.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual std::string Strings(int index) const = 0;
    virtual void SetStrings(int index, const std::string& s) = 0;
    virtual void Insert(int index, const std::string& s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;

    // Appends a line; returns its index.
    virtual int Add(const std::string& s);
    // Replaces the whole content by a copy of `source`.
    virtual void Assign(const TStrings& source);

    // All lines, each followed by CR LF.
    virtual std::string Text() const;
    // Replaces the content by the lines of `text`; CR LF, LF and CR all end a line and a
    // final line end adds no empty line.
    virtual void SetText(std::string_view text);

    // The lines joined by commas; a line that contains a byte 1..32, a double quote or a
    // comma is enclosed in double quotes with inner quotes doubled. One empty line gives
    // "" (two quote characters) and an empty list gives an empty text.
    std::string CommaText() const;

    int IndexOf(std::string_view s) const;

protected:
    // Raises EListError for an index outside 0..limit-1.
    static void CheckIndex(int index, int limit);
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> lines);
    TStringList(const TStringList& other);
    TStringList& operator=(const TStringList& other);

    int Count() const override { return static_cast<int>(lines_.size()); }
    std::string Strings(int index) const override;
    void SetStrings(int index, const std::string& s) override;
    void Insert(int index, const std::string& s) override;
    void Delete(int index) override;
    void Clear() override;
    void Assign(const TStrings& source) override;
    void SetText(std::string_view text) override;

    const std::vector<std::string>& Lines() const { return lines_; }

    // Changes between BeginUpdate and the matching EndUpdate give one notice at the end.
    void BeginUpdate();
    void EndUpdate();

    // Raised after every change of the content.
    std::function<void()> OnChange;

private:
    void Changed();

    std::vector<std::string> lines_;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
};

// Splits `text` at every `separator` byte; empty fields count, so an empty text gives one
// empty field and a trailing separator a final empty field.
std::vector<std::string> SplitFields(std::string_view text, char separator);
