#include "platform/string_list.h"

#include "platform/exceptions.h"

int TStrings::Add(const std::string& s) {
    int index = Count();
    Insert(index, s);
    return index;
}

void TStrings::Assign(const TStrings& source) {
    if (&source == this) return;
    Clear();
    for (int i = 0; i < source.Count(); ++i) Add(source.Strings(i));
}

std::string TStrings::Text() const {
    std::string out;
    for (int i = 0; i < Count(); ++i) {
        out += Strings(i);
        out += "\r\n";
    }
    return out;
}

namespace {

template <typename F>
void ForEachLine(std::string_view text, F&& f) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            f(text.substr(start));
            return;
        }
        f(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
    }
}

bool NeedsQuotes(std::string_view s) {
    for (unsigned char c : s)
        if ((c >= 1 && c <= 32) || c == '"' || c == ',') return true;
    return false;
}

}  // namespace

void TStrings::SetText(std::string_view text) {
    Clear();
    ForEachLine(text, [this](std::string_view line) { Add(std::string(line)); });
}

std::string TStrings::CommaText() const {
    int n = Count();
    if (n == 1 && Strings(0).empty()) return "\"\"";
    std::string out;
    for (int i = 0; i < n; ++i) {
        if (i > 0) out += ',';
        std::string s = Strings(i);
        if (!NeedsQuotes(s)) {
            out += s;
            continue;
        }
        out += '"';
        for (char c : s) {
            if (c == '"') out += '"';
            out += c;
        }
        out += '"';
    }
    return out;
}

int TStrings::IndexOf(std::string_view s) const {
    for (int i = 0; i < Count(); ++i)
        if (Strings(i) == s) return i;
    return -1;
}

void TStrings::CheckIndex(int index, int limit) {
    if (index < 0 || index >= limit)
        throw EListError("リストのインデックスが範囲を超えています (" + std::to_string(index) + ")");
}

TStringList::TStringList(std::initializer_list<std::string> lines) : lines_(lines) {}

TStringList::TStringList(const TStringList& other) : TStrings(), lines_(other.lines_) {}

TStringList& TStringList::operator=(const TStringList& other) {
    Assign(other);
    return *this;
}

std::string TStringList::Strings(int index) const {
    CheckIndex(index, Count());
    return lines_[index];
}

void TStringList::SetStrings(int index, const std::string& s) {
    CheckIndex(index, Count());
    lines_[index] = s;
    Changed();
}

void TStringList::Insert(int index, const std::string& s) {
    CheckIndex(index, Count() + 1);
    lines_.insert(lines_.begin() + index, s);
    Changed();
}

void TStringList::Delete(int index) {
    CheckIndex(index, Count());
    lines_.erase(lines_.begin() + index);
    Changed();
}

void TStringList::Clear() {
    if (lines_.empty()) return;
    lines_.clear();
    Changed();
}

void TStringList::Assign(const TStrings& source) {
    if (&source == this) return;
    BeginUpdate();
    TStrings::Assign(source);
    EndUpdate();
}

void TStringList::SetText(std::string_view text) {
    BeginUpdate();
    TStrings::SetText(text);
    EndUpdate();
}

void TStringList::BeginUpdate() { ++updateCount_; }

void TStringList::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        if (OnChange) OnChange();
    }
}

void TStringList::Changed() {
    if (updateCount_ > 0) {
        changedInUpdate_ = true;
        return;
    }
    if (OnChange) OnChange();
}

std::vector<std::string> SplitFields(std::string_view text, char separator) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(separator, start);
        if (end == std::string_view::npos) {
            fields.emplace_back(text.substr(start));
            return fields;
        }
        fields.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}
