#include "diary/conflict_copies.h"

#include "diary/day_file_name.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace {

constexpr std::string_view kDat = ".dat";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether `text` is `shape` with every '9' standing for a digit and every 'X' for an
// upper-case letter or a digit; other characters stand for themselves.
bool Shaped(std::string_view text, std::string_view shape) {
    if (text.size() != shape.size()) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char s = shape[i];
        if (s == '9' ? !IsDigit(c) : s == 'X' ? !(IsDigit(c) || (c >= 'A' && c <= 'Z')) : c != s) return false;
    }
    return true;
}

bool EndsShaped(std::string_view text, std::string_view shape) {
    return text.size() >= shape.size() && Shaped(text.substr(text.size() - shape.size()), shape);
}

bool StripSuffix(std::string_view& text, std::string_view suffix) {
    if (!text.ends_with(suffix)) return false;
    text.remove_suffix(suffix.size());
    return true;
}

// Dropbox numbers a second copy of the same day and name: "… 2026-12-07 (1)".
void StripCounter(std::string_view& inner) {
    const size_t open = inner.rfind(" (");
    if (open == std::string_view::npos || !inner.ends_with(')') || open + 3 >= inner.size()) return;
    for (size_t i = open + 2; i + 1 < inner.size(); ++i)
        if (!IsDigit(inner[i])) return;
    inner = inner.substr(0, open);
}

// What a tool put between the day's own name and ".dat"; the tool, or nothing.
const char* ToolOfDecoration(std::string_view rest) {
    if (Shaped(rest, ".sync-conflict-99999999-999999-XXXXXXX")) return "Syncthing";
    if (Shaped(rest, "_conflict-99999999-999999")) return "ownCloud";
    if (!rest.starts_with(" (") || !rest.ends_with(')')) return nullptr;
    std::string_view inner = rest.substr(2, rest.size() - 3);

    constexpr std::string_view kNextcloud = "conflicted copy ";
    constexpr std::string_view kStamp = "9999-99-99 999999";
    if (inner.starts_with(kNextcloud) && EndsShaped(inner, kStamp)) {
        const size_t userLength = inner.size() - kNextcloud.size() - kStamp.size();
        // Newer clients put the user's name before the stamp: "conflicted copy Taro 2026-…".
        if (userLength == 0 || (userLength >= 2 && inner[inner.size() - kStamp.size() - 1] == ' '))
            return "Nextcloud";
    }
    constexpr std::string_view kSeafile = "SFConflict ";
    if (inner.starts_with(kSeafile) && inner.size() > kSeafile.size() + 20 &&
        EndsShaped(inner, " 9999-99-99-99-99-99"))
        return "Seafile";

    StripCounter(inner);
    if (inner == "Selective Sync Conflict") return "Dropbox";
    if (!EndsShaped(inner, " 9999-99-99")) return nullptr;
    inner.remove_suffix(11);
    // The name of whoever wrote the copy comes first and is never empty.
    for (std::string_view owner : {"'s conflicted copy", "\u2019s conflicted copy", " の競合コピー", "の競合コピー"})
        if (inner.size() > owner.size() && StripSuffix(inner, owner)) return "Dropbox";
    return nullptr;
}

// `*` matches any run of bytes; everything else matches itself.
bool GlobMatches(std::string_view glob, std::string_view text) {
    size_t g = 0, t = 0, starG = std::string_view::npos, starT = 0;
    while (t < text.size()) {
        if (g < glob.size() && glob[g] == '*') {
            starG = g++;
            starT = t;
        } else if (g < glob.size() && glob[g] == text[t]) {
            ++g;
            ++t;
        } else if (starG != std::string_view::npos) {
            g = starG + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

constexpr std::string_view kDayMark = "{day}";

// Spaces around an entry and around its two parts are the setting's layout, not the name's.
std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

std::optional<TYMD> DayOfStem(std::string_view stem) {
    std::string name(stem);
    name += kDat;
    return DayOfFileName(name);
}

std::optional<TYMD> PatternDay(const TConflictPattern& pattern, std::string_view name) {
    const size_t mark = pattern.glob.find(kDayMark);
    const std::string_view before = std::string_view(pattern.glob).substr(0, mark);
    const std::string_view after = std::string_view(pattern.glob).substr(mark + kDayMark.size());
    for (size_t from = 0; from < name.size(); ++from) {
        if (!IsDigit(name[from]) || !GlobMatches(before, name.substr(0, from))) continue;
        size_t runEnd = from;
        while (runEnd < name.size() && (IsDigit(name[runEnd]) || name[runEnd] == '-')) ++runEnd;
        // The longest day name first: "2026127*" reads 2026-12-07 before it reads 202-6-1.
        for (size_t to = runEnd; to > from; --to) {
            if (!GlobMatches(after, name.substr(to))) continue;
            if (auto day = DayOfStem(name.substr(from, to - from))) return day;
        }
    }
    return std::nullopt;
}

}  // namespace

std::vector<TConflictPattern> ParseConflictPatterns(std::string_view setting, std::vector<std::string>* rejected) {
    std::vector<TConflictPattern> patterns;
    while (!setting.empty()) {
        const size_t end = setting.find(';');
        const std::string_view entry = setting.substr(0, end);
        setting = end == std::string_view::npos ? std::string_view{} : setting.substr(end + 1);
        if (Trimmed(entry).empty()) continue;
        const size_t bar = entry.find('|');
        const std::string_view tool = Trimmed(entry.substr(0, bar));
        const std::string_view glob = bar == std::string_view::npos ? std::string_view{} : Trimmed(entry.substr(bar + 1));
        const size_t mark = glob.find(kDayMark);
        const bool good = !tool.empty() && mark != std::string_view::npos &&
                          glob.find(kDayMark, mark + 1) == std::string_view::npos && glob.find('/') == std::string_view::npos;
        if (good)
            patterns.push_back({std::string(tool), std::string(glob)});
        else if (rejected)
            rejected->emplace_back(Trimmed(entry));
    }
    return patterns;
}

std::optional<TConflictName> ConflictCopyName(std::string_view name, const std::vector<TConflictPattern>& patterns) {
    if (DayOfFileName(name)) return std::nullopt;
    if (!name.empty() && IsDigit(name[0]) && name.ends_with(kDat)) {
        const std::string_view stem = name.substr(0, name.size() - kDat.size());
        // The day's own name is digits and hyphens only; the tool's addition starts after it.
        size_t end = 0;
        while (end < stem.size() && (IsDigit(stem[end]) || stem[end] == '-')) ++end;
        if (const char* tool = ToolOfDecoration(stem.substr(end)))
            if (auto day = DayOfStem(stem.substr(0, end))) return TConflictName{*day, tool};
    }
    for (const TConflictPattern& pattern : patterns)
        if (auto day = PatternDay(pattern, name)) return TConflictName{*day, pattern.tool};
    return std::nullopt;
}

bool ConflictCopyBefore(const TConflictCopy& a, const TConflictCopy& b) {
    if (!(a.day == b.day)) return std::tuple(a.day.Year, a.day.Month, a.day.Day) < std::tuple(b.day.Year, b.day.Month, b.day.Day);
    return std::tuple(b.mtimeSec, b.mtimeNsec, a.fileName) < std::tuple(a.mtimeSec, a.mtimeNsec, b.fileName);
}

namespace {

// Renames without ever replacing a file at `to`: EEXIST when one is there.
int RenameNoReplace(int dirFd, const std::string& from, int toDirFd, const std::string& to) {
    if (::renameat2(dirFd, from.c_str(), toDirFd, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return errno;
    // File systems without the flag: a hard link cannot replace either.
    if (::linkat(dirFd, from.c_str(), toDirFd, to.c_str(), 0) == 0) return ::unlinkat(dirFd, from.c_str(), 0) == 0 ? 0 : errno;
    if (errno == EEXIST) return EEXIST;
    struct stat st {};
    if (::fstatat(toDirFd, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return EEXIST;
    return ::renameat(dirFd, from.c_str(), toDirFd, to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

int MoveConflictCopyAside(const std::string& folder, const std::string& fileName, std::string* movedTo) {
    const std::string base = folder.empty() ? std::string(".") : folder;
    const int dirFd = ::open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd < 0) return errno;
    int err = 0;
    if (::mkdirat(dirFd, kConflictFolderName, 0700) != 0 && errno != EEXIST) err = errno;
    const int asideFd = err ? -1 : ::openat(dirFd, kConflictFolderName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!err && asideFd < 0) err = errno;
    if (!err) {
        std::string stem = fileName, ext;
        if (stem.ends_with(kDat)) {
            stem.resize(stem.size() - kDat.size());
            ext = kDat;
        }
        for (int n = 1;; ++n) {
            const std::string target = n == 1 ? fileName : stem + " (" + std::to_string(n) + ")" + ext;
            err = RenameNoReplace(dirFd, fileName, asideFd, target);
            if (err != EEXIST || n > 9999) {
                if (!err && movedTo) *movedTo = std::string(kConflictFolderName) + "/" + target;
                break;
            }
        }
    }
    if (asideFd >= 0) ::close(asideFd);
    ::close(dirFd);
    return err;
}

std::string BothVersionsText(std::string_view mine, std::string_view other, std::string_view separator) {
    if (other.empty() || other == mine) return std::string(mine);
    if (mine.empty()) return std::string(other);
    std::string both(mine);
    if (!both.ends_with("\r\n")) both += "\r\n";
    both += separator;
    both += "\r\n";
    both += other;
    return both;
}

std::string IsoLocalTime(std::int64_t sec) {
    const std::time_t t = static_cast<std::time_t>(sec);
    std::tm tm {};
    ::localtime_r(&t, &tm);
    char buf[40];
    size_t n = std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S%z", &tm);
    std::string text(buf, n);
    // "+0900" → "+09:00"
    if (text.size() >= 5) text.insert(text.size() - 2, ":");
    return text;
}
