#include "diary/entry_list.h"

#include "diary/day_file_name.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int ReadDayFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        return err;
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? EISDIR : ENODEV;
    }
    // The size is only a hint: the file may grow or shrink while it is read.
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    size_t got = 0;
    for (;;) {
        if (got == bytes.size()) bytes.resize(bytes.size() * 2);
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int err = errno;
            ::close(fd);
            bytes.clear();
            return err;
        }
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    ::close(fd);
    bytes.resize(got);
    return 0;
}

void ForEachEntry(const std::string& folder, const std::vector<TYMD>& days,
                  const std::function<void(const TYMD& day, const TEntrySummary& summary)>& entry,
                  const std::function<void(const std::string& fileName, int err)>& failed) {
    std::string bytes;
    const std::string prefix = folder.empty() ? std::string() : folder + "/";
    for (const TYMD& day : days) {
        const std::string name = DayFileName(day.Year, day.Month, day.Day);
        if (const int err = ReadDayFileBytes(prefix + name, bytes)) {
            failed(name, err);
            continue;
        }
        entry(day, SummarizeEntry(bytes));
    }
}

std::vector<TYMD> SameDayInOtherYears(const TDayIndex& index, const TYMD& day) {
    std::vector<TYMD> found;
    const std::vector<TYMD>& days = index.Days();
    for (auto it = days.rbegin(); it != days.rend(); ++it)
        if (it->Month == day.Month && it->Day == day.Day && it->Year != day.Year) found.push_back(*it);
    return found;
}
