#include "diary/entry_list.h"

#include "diary/day_file_name.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Reads the whole of an open file into the start of `buffer`, which only ever grows (so it
// is not cleared for every file); the length read, or -errno.
ssize_t ReadAll(int fd, std::string& buffer) {
    size_t got = 0;
    if (buffer.size() < (1 << 14)) buffer.resize(1 << 14);
    for (;;) {
        if (got == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -errno;
        }
        if (n == 0) return static_cast<ssize_t>(got);
        got += static_cast<size_t>(n);
    }
}

// Non-blocking, so that a pipe given a day's name can never hang the reader.
constexpr int kOpenFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

}  // namespace

void ForEachEntrySummary(const std::string& folder, const std::vector<TYMD>& days,
                  const std::function<void(const TYMD& day, const TEntrySummary& summary)>& entry,
                  const std::function<void(const std::string& fileName, int err)>& failed) {
    std::string buffer;
    // Names are looked up in the folder itself, not walked to from the root each time.
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const TYMD& day : days) {
        const std::string name = DayFileName(day.Year, day.Month, day.Day);
        const int fd = dir < 0 ? -1 : ::openat(dir, name.c_str(), kOpenFlags);
        const ssize_t got = fd < 0 ? -(dir < 0 ? ENOENT : errno) : ReadAll(fd, buffer);
        if (fd >= 0) ::close(fd);
        if (got < 0) {
            failed(name, static_cast<int>(-got));
            continue;
        }
        entry(day, SummarizeEntry(std::string_view(buffer.data(), static_cast<size_t>(got))));
    }
    if (dir >= 0) ::close(dir);
}

std::vector<TYMD> SameDayInOtherYears(const TDayIndex& index, const TYMD& day) {
    std::vector<TYMD> found;
    const std::vector<TYMD>& days = index.Days();
    for (auto it = days.rbegin(); it != days.rend(); ++it)
        if (it->Month == day.Month && it->Day == day.Day && it->Year != day.Year) found.push_back(*it);
    return found;
}
