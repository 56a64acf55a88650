#include "settings/profile_text.h"

#include "platform/sjis.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// Length of the character starting at s[i]: 2 for a lead byte with a byte after it.
size_t CharLength(std::string_view s, size_t i) {
    return IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Position of the first `c` that is a character of its own, not the second byte of a
// double-byte character ("]" is a valid second byte); npos when there is none.
size_t FindChar(std::string_view s, char c) {
    for (size_t i = 0; i < s.size(); i += CharLength(s, i))
        if (s[i] == c) return i;
    return std::string_view::npos;
}

// True when the last byte of `s` is a lead byte left without its second byte.
bool EndsInHalfCharacter(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        size_t n = CharLength(s, i);
        if (n == 1 && i + 1 == s.size() && IsLeadByte(static_cast<unsigned char>(s[i]))) return true;
        i += n;
    }
    return false;
}

struct TLine {
    std::string_view content;  // without the line end
    std::string_view ending;   // "\r\n", "\n", "\r" or empty for a last line without one
};

// CR LF, LF and a lone CR each end a line, as in the program's string lists.
std::vector<TLine> SplitLines(std::string_view text) {
    std::vector<TLine> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back({text.substr(pos), {}});
            break;
        }
        size_t next = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
        lines.push_back({text.substr(pos, end - pos), text.substr(end, next - end)});
        pos = next;
    }
    return lines;
}

enum class TLineKind { kOther, kHeader, kEntry };

struct TParsedLine {
    TLineKind kind = TLineKind::kOther;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // raw text after the first "=" of an entry
};

TParsedLine ParseLine(std::string_view content) {
    std::string_view s = Trim(content);
    if (!s.empty() && s[0] == '[') {
        std::string_view inner = s.substr(1);
        size_t close = FindChar(inner, ']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        return {TLineKind::kHeader, Trim(inner), {}};
    }
    // "=" is below the range of second bytes, so a plain search is safe.
    size_t eq = s.find('=');
    if (eq == std::string_view::npos) return {};
    return {TLineKind::kEntry, Trim(s.substr(0, eq)), s.substr(eq + 1)};
}

bool IsBlankLine(std::string_view content) { return Trim(content).empty(); }

}  // namespace

std::string FoldName(std::string_view name) {
    std::string folded(name);
    for (size_t i = 0; i < folded.size();) {
        size_t n = CharLength(folded, i);
        if (n == 1 && folded[i] >= 'A' && folded[i] <= 'Z') folded[i] = static_cast<char>(folded[i] - 'A' + 'a');
        i += n;
    }
    return folded;
}

std::string ProfileValue(std::string_view raw) {
    std::string_view v = Trim(raw);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\'')) v = v.substr(1, v.size() - 2);
    if (v.size() > kMaxProfileValue) {
        size_t cut = 0;
        while (cut < v.size()) {
            size_t n = CharLength(v, cut);
            if (cut + n > kMaxProfileValue) break;
            cut += n;
        }
        v = v.substr(0, cut);
    }
    return std::string(v);
}

TProfileText::TProfileText(std::string_view text) {
    // Entries of a section that repeats an earlier header are unreachable: null target.
    std::unordered_map<std::string, std::string>* section = nullptr;
    for (const TLine& line : SplitLines(text)) {
        TParsedLine parsed = ParseLine(line.content);
        if (parsed.kind == TLineKind::kHeader) {
            auto [it, added] = index_.try_emplace(FoldName(parsed.name));
            section = added ? &it->second : nullptr;
        } else if (parsed.kind == TLineKind::kEntry && section) {
            section->try_emplace(FoldName(parsed.name), ProfileValue(parsed.value));
        }
    }
}

std::optional<std::string> TProfileText::Find(std::string_view section, std::string_view key) const {
    auto s = index_.find(FoldName(section));
    if (s == index_.end()) return std::nullopt;
    auto k = s->second.find(FoldName(key));
    if (k == s->second.end()) return std::nullopt;
    return k->second;
}

std::string TProfileText::Read(std::string_view section, std::string_view key, std::string_view def) const {
    if (auto v = Find(section, key)) return *v;
    return std::string(def);
}

bool CanWriteProfileEntry(std::string_view section, std::string_view key, std::string_view value) {
    auto hasBreak = [](std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; };
    if (hasBreak(section) || hasBreak(key) || hasBreak(value)) return false;
    if (Trim(section) != section || FindChar(section, ']') != std::string_view::npos) return false;
    if (EndsInHalfCharacter(section)) return false;
    if (key.empty() || Trim(key) != key || key[0] == '[' || key.find('=') != std::string_view::npos) return false;
    return true;
}

std::string ProfileUpdate(std::string_view text, std::string_view section, const TProfileEntries& entries) {
    // Collapse repeated keys first: the first position counts, the last value wins.
    TProfileEntries unique;
    std::unordered_map<std::string, size_t> position;  // folded key → index in unique
    for (const auto& [key, value] : entries) {
        auto [it, added] = position.try_emplace(FoldName(key), unique.size());
        if (added) unique.emplace_back(key, value);
        else unique[it->second].second = value;
    }

    std::vector<TLine> lines = SplitLines(text);
    std::string wantedSection = FoldName(section);
    size_t header = lines.size();
    for (size_t i = 0; i < lines.size(); ++i) {
        TParsedLine p = ParseLine(lines[i].content);
        if (p.kind == TLineKind::kHeader && FoldName(p.name) == wantedSection) {
            header = i;
            break;
        }
    }

    std::string out;
    out.reserve(text.size() + 64 * unique.size());
    auto appendEntry = [&out](const std::pair<std::string, std::string>& e) {
        out.append(e.first).append("=").append(e.second).append("\r\n");
    };
    if (header == lines.size()) {
        out.append(text);
        if (!lines.empty()) {
            if (lines.back().ending.empty()) out.append("\r\n");
            if (!IsBlankLine(lines.back().content)) out.append("\r\n");
        }
        out.append("[").append(section).append("]\r\n");
        for (const auto& e : unique) appendEntry(e);
        return out;
    }

    // Within the section: the first entry of each key is changed in place; keys not found
    // go after the section's last entry.
    std::unordered_map<size_t, size_t> replaced;  // line → index in unique
    std::vector<bool> found(unique.size(), false);
    size_t last = header;
    for (size_t i = header + 1; i < lines.size(); ++i) {
        TParsedLine p = ParseLine(lines[i].content);
        if (p.kind == TLineKind::kHeader) break;
        if (p.kind != TLineKind::kEntry) continue;
        last = i;
        auto it = position.find(FoldName(p.name));
        if (it != position.end() && !found[it->second]) {
            found[it->second] = true;
            replaced.emplace(i, it->second);
        }
    }
    bool anyNew = false;
    for (bool f : found) anyNew = anyNew || !f;

    for (size_t i = 0; i < lines.size(); ++i) {
        std::string_view content = lines[i].content;
        auto r = replaced.find(i);
        if (r == replaced.end()) out.append(content);
        else out.append(content.substr(0, content.find('=') + 1)).append(unique[r->second].second);
        if (i == last && anyNew) {
            out.append(lines[i].ending.empty() ? std::string_view("\r\n") : lines[i].ending);
            for (size_t e = 0; e < unique.size(); ++e)
                if (!found[e]) appendEntry(unique[e]);
        } else {
            out.append(lines[i].ending);
        }
    }
    return out;
}
