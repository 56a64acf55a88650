#include "diary/day_index.h"

#include "diary/day_file_name.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Whether the entry is a file (or a link to one) rather than a folder, a socket or a
// dangling link; d_type answers without a stat on the file systems that fill it in.
bool IsFile(DIR* dir, const dirent* entry) {
    if (entry->d_type == DT_REG) return true;
    if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
    struct stat st {};
    return ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// One integer per day that orders as the days do, so that sorting a folder's worth of days
// compares plain integers.
constexpr std::int64_t Key(const TYMD& d) { return (std::int64_t{d.Year} << 9) | (d.Month << 5) | d.Day; }
constexpr TYMD FromKey(std::int64_t k) {
    return {static_cast<std::int32_t>(k >> 9), static_cast<std::uint8_t>((k >> 5) & 15), static_cast<std::uint8_t>(k & 31)};
}

}  // namespace

int TDayIndex::Scan(const std::string& folder) {
    days_.clear();
    conflicts_.clear();
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return errno;
    std::vector<std::int64_t> keys;
    keys.reserve(1024);
    while (const dirent* entry = ::readdir(dir)) {
        const auto day = DayOfFileName(entry->d_name);
        if (day) {
            if (IsFile(dir, entry)) keys.push_back(Key(*day));
            continue;
        }
        // Every known tool keeps the day's name first; the user's patterns may not.
        if (patterns_.empty() && (entry->d_name[0] < '0' || entry->d_name[0] > '9')) continue;
        if (auto copy = ConflictCopyName(entry->d_name, patterns_)) {
            struct stat st {};
            if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
                conflicts_.push_back({copy->day, entry->d_name, std::move(copy->tool), st.st_mtim.tv_sec, st.st_mtim.tv_nsec});
        }
    }
    ::closedir(dir);
    std::sort(conflicts_.begin(), conflicts_.end(), ConflictCopyBefore);
    std::sort(keys.begin(), keys.end());
    days_.resize(keys.size());
    std::transform(keys.begin(), keys.end(), days_.begin(), FromKey);
    return 0;
}

bool TDayIndex::Has(const TYMD& day) const { return std::binary_search(days_.begin(), days_.end(), day, DayBefore); }

bool TDayIndex::Add(const TYMD& day) {
    auto at = std::lower_bound(days_.begin(), days_.end(), day, DayBefore);
    if (at != days_.end() && *at == day) return false;
    days_.insert(at, day);
    return true;
}

bool TDayIndex::Remove(const TYMD& day) {
    auto at = std::lower_bound(days_.begin(), days_.end(), day, DayBefore);
    if (at == days_.end() || !(*at == day)) return false;
    days_.erase(at);
    return true;
}

std::optional<TYMD> TDayIndex::Before(const TYMD& day) const {
    auto at = std::lower_bound(days_.begin(), days_.end(), day, DayBefore);
    if (at == days_.begin()) return std::nullopt;
    return *std::prev(at);
}

std::optional<TYMD> TDayIndex::After(const TYMD& day) const {
    auto at = std::upper_bound(days_.begin(), days_.end(), day, DayBefore);
    if (at == days_.end()) return std::nullopt;
    return *at;
}

std::vector<TYMD> TDayIndex::Between(const TYMD& first, const TYMD& last) const {
    auto from = std::lower_bound(days_.begin(), days_.end(), first, DayBefore);
    auto to = std::upper_bound(days_.begin(), days_.end(), last, DayBefore);
    return from < to ? std::vector<TYMD>(from, to) : std::vector<TYMD>{};
}

bool TDayIndex::HasConflict(const TYMD& day) const {
    return std::binary_search(conflicts_.begin(), conflicts_.end(), TConflictCopy{day, {}, {}},
                              [](const TConflictCopy& a, const TConflictCopy& b) { return DayBefore(a.day, b.day); });
}

std::vector<TConflictCopy> TDayIndex::ConflictsOf(const TYMD& day) const {
    auto [from, to] = std::equal_range(conflicts_.begin(), conflicts_.end(), TConflictCopy{day, {}, {}},
                                       [](const TConflictCopy& a, const TConflictCopy& b) { return DayBefore(a.day, b.day); });
    return {from, to};
}
