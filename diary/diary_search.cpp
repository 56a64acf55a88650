#include "diary/diary_search.h"

#include "diary/day_file.h"
#include "diary/day_file_form.h"
#include "diary/day_file_name.h"
#include "diary/day_index.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Waits while the user types (see TDiarySearchOptions::lastInput).
void WaitForQuiet(const TDiarySearchOptions& options, const std::atomic<bool>* stop) {
    if (!options.lastInput) return;
    while (SearchClockMs() - options.lastInput->load(std::memory_order_relaxed) < options.quietMs) {
        if (stop && stop->load(std::memory_order_relaxed)) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

struct TFolderHandle {
    explicit TFolderHandle(const std::string& path)
        : fd(path.empty() ? AT_FDCWD : ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), err(fd < 0 && fd != AT_FDCWD ? errno : 0) {}
    ~TFolderHandle() {
        if (fd >= 0) ::close(fd);
    }
    TFolderHandle(const TFolderHandle&) = delete;
    TFolderHandle& operator=(const TFolderHandle&) = delete;
    int fd;
    int err;
};

struct TSlot {
    bool done = false;
    bool report = false;
    TDaySearchResult result;
};

}  // namespace

int64_t SearchClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int SearchDiary(const TSearchQuery& query, const TDiarySearchOptions& options,
                const std::function<void(const TDaySearchResult&)>& onResult,
                const std::function<void(const TDiarySearchProgress&)>& onProgress, const std::atomic<bool>* stop) {
    TDayIndex index;
    if (const int err = index.Scan(options.folder)) return err;
    // The day files are opened from the folder itself: a path from the current folder
    // would be looked up again for every file.
    const TFolderHandle folder(options.folder);
    if (folder.err) return folder.err;
    std::vector<TYMD> days = options.from || options.to
                                 ? index.Between(options.from.value_or(TYMD{-999999999, 1, 1}),
                                                 options.to.value_or(TYMD{999999999, 12, 31}))
                                 : index.Days();
    if (options.newestFirst) std::reverse(days.begin(), days.end());
    const size_t total = days.size();
    if (onProgress) onProgress({0, total});
    if (query.MatchesNothing() || total == 0) return 0;

    std::vector<TSlot> slots(total);
    std::mutex deliver;
    size_t delivered = 0;
    size_t lastProgress = 0;
    std::atomic<size_t> next{0};
    constexpr size_t kBatch = 8;

    const auto work = [&] {
        // On Linux a thread's nice value is its own: the window's thread keeps its share.
        if (options.idlePriority) ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 19);
        TTextMatcher matcher(query);
        std::string text;
        for (;;) {
            if (stop && stop->load(std::memory_order_relaxed)) return;
            const size_t first = next.fetch_add(kBatch);
            if (first >= total) return;
            const size_t last = std::min(total, first + kBatch);
            for (size_t k = first; k < last; ++k) {
                WaitForQuiet(options, stop);
                TSlot& slot = slots[k];
                const TYMD& day = days[k];
                const std::string name = DayFileName(day.Year, day.Month, day.Day);
                const int err = ReadDayFileBytes(name, text, folder.fd);
                if (err == ENOENT) {
                    // Deleted since the folder was listed: the day has no entry now.
                } else if (err) {
                    slot.report = true;
                    slot.result.error = err;
                } else {
                    // A UTF-8 day is searched as the editor holds it; a CP932 one as it is.
                    std::shared_ptr<TDayText> day;
                    if (GuessDayFileForm(text) != TDayFileForm::Cp932) {
                        try {
                            day = std::make_shared<TDayText>(DayTextFromBytes(text));
                        } catch (const std::exception&) {
                            slot.report = true;
                            slot.result.error = EILSEQ;
                        }
                    }
                    const std::string_view searched = day ? std::string_view(day->text) : std::string_view(text);
                    matcher.SetExtraChars(day ? &day->extra : nullptr);
                    if (slot.report) {
                        // A file with more characters beyond CP932 than there are codes.
                    } else if (auto m = matcher.MatchDay(searched, options.countLines)) {
                        slot.report = true;
                        slot.result.match = *m;
                        slot.result.line = searched.substr(m->line.start, m->line.length);
                        slot.result.match.match.start -= m->line.start;
                        if (day && !day->extra.Empty()) slot.result.extra = std::shared_ptr<const TExtraChars>(day, &day->extra);
                    }
                    matcher.SetExtraChars(nullptr);
                }
                if (slot.report) {
                    slot.result.day = day;
                    slot.result.path = options.folder.empty() ? name : options.folder + "/" + name;
                    if (!slot.result.error && options.prepare) options.prepare(slot.result);
                }
            }
            std::lock_guard lock(deliver);
            for (size_t k = first; k < last; ++k) slots[k].done = true;
            while (delivered < total && slots[delivered].done) {
                TSlot& s = slots[delivered++];
                if (s.report) onResult(s.result);
                s.result = {};
            }
            if (onProgress && (delivered - lastProgress >= 256 || delivered == total)) {
                lastProgress = delivered;
                onProgress({delivered, total});
            }
        }
    };
    unsigned threads = options.threads ? options.threads : std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, (total + kBatch - 1) / kBatch));
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work);
    if (options.idlePriority && threads > 0) pool.emplace_back(work);
    else work();
    for (std::thread& t : pool) t.join();
    return 0;
}
