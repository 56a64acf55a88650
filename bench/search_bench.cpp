// Search: the diary search over whole folders against ripgrep over the same files, the
// find bar's next match in a 100 MB day, and what a diary search running on a thread adds
// to a keystroke in the editor.
//
// Folders: made once by the project's generator (tools/diary_folder.h) under
// ./search-bench-data: twenty years of ~2 KB days and a hundred years of ~10 KB days.
// Each iteration runs `rg -l` and `mekuri search` (exact, then folded) one after the other
// as processes, so the three are paired under the same load; a run of the library in this
// process follows. ripgrep 13 takes no Shift-JIS bytes with -F (a pattern must be UTF-8),
// so the query's bytes go as a pure literal, (?-u)\xHH..., which it searches by the same
// literal path. Times: wall and the child's CPU (user + system, from wait4).
#include "window/day_finder.h"
#include "window/typing_watch.h"
#include "bench/editor_widgets.h"
#include "diary/diary_search.h"
#include "editor/row_store.h"
#include "platform/sjis.h"
#include "tools/diary_folder.h"
#include "tools/diary_text.h"

#include <benchmark/benchmark.h>

#include <QKeyEvent>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;
namespace fs = std::filesystem;

namespace {

struct TSample {
    double wall = 0, cpu = 0;
};
std::map<std::string, std::vector<TSample>> g_samples;

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
TSample MedianOf(const std::string& key) {
    std::vector<double> w, c;
    for (const TSample& s : g_samples[key]) {
        w.push_back(s.wall);
        c.push_back(s.cpu);
    }
    return {Median(w), Median(c)};
}

double ThreadCpu() {
    rusage u{};
    ::getrusage(RUSAGE_THREAD, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}
double ProcessCpu() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}
double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

// Runs a program with its output thrown away; wall and CPU of the child, or nothing.
std::optional<TSample> RunProcess(const std::vector<std::string>& args, int* status = nullptr) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const double start = Now();
    const int err = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (err) return std::nullopt;
    int st = 0;
    rusage u{};
    if (::wait4(pid, &st, 0, &u) != pid) return std::nullopt;
    const double wall = Now() - start;
    if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return TSample{wall, static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
                             (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6};
}

struct TFolder {
    const char* label;
    const char* dir;
    size_t days;
    size_t bytes;
    int year;
};
constexpr TFolder kFolders[] = {{"20 years, 7,300 x 2 KB", "search-bench-data/diary20", 7300, 2048, 2006},
                                {"100 years, 36,500 x 10 KB", "search-bench-data/diary100", 36500, 10240, 1926}};

bool EnsureFolder(const TFolder& f) {
    const fs::path done = fs::path(f.dir) / ".complete";
    if (fs::exists(done)) return true;
    fs::remove_all(f.dir);
    fs::create_directories(f.dir);
    MakeDiaryFolder(f.dir, TYMD{f.year, 1, 1}, f.days, f.bytes);
    std::ofstream(done) << "generated\n";
    return true;
}

struct TQuery {
    const char* label;
    const char* utf8;
};
// 鎌倉 is in no day; 東京 in nearly every one.
constexpr TQuery kQueries[] = {{"matching nothing", "鎌倉"}, {"matching often", "東京"}};

std::string RgLiteral(const std::string& bytes) {
    std::string out = "(?-u)";
    char hex[8];
    for (unsigned char c : bytes) {
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        out += hex;
    }
    return out;
}

std::string Key(const TFolder& f, const TQuery& q, const char* who) { return std::string(f.label) + " / " + q.label + " / " + who; }

void BM_FolderSearch(benchmark::State& state) {
    const TFolder& f = kFolders[state.range(0)];
    const TQuery& q = kQueries[state.range(1)];
    if (!EnsureFolder(f)) {
        state.SkipWithError("no folder");
        return;
    }
    const std::string rgPattern = RgLiteral(Utf8ToSjis(q.utf8));
    const TSearchQuery exact = MakeSearchQuery(q.utf8, true), folded = MakeSearchQuery(q.utf8, false);
    for (auto _ : state) {
        double total = 0;
        int st = 0;
        const auto rg = RunProcess({"rg", "-l", rgPattern, f.dir}, &st);
        const auto mkExact = RunProcess({MEKURI_PROGRAM, "search", "--exact", "--folder", f.dir, q.utf8});
        const auto mkFolded = RunProcess({MEKURI_PROGRAM, "search", "--folder", f.dir, q.utf8});
        if (!rg || !mkExact || !mkFolded || st == 2) {
            state.SkipWithError("a process did not run (is ripgrep installed?)");
            return;
        }
        g_samples[Key(f, q, "rg")].push_back(*rg);
        g_samples[Key(f, q, "mekuri search --exact")].push_back(*mkExact);
        g_samples[Key(f, q, "mekuri search")].push_back(*mkFolded);
        for (const TSearchQuery* query : {&exact, &folded}) {
            TDiarySearchOptions options;
            options.folder = f.dir;
            size_t found = 0;
            const double c0 = ProcessCpu(), w0 = Now();
            SearchDiary(*query, options, [&](const TDaySearchResult&) { ++found; });
            const TSample lib{Now() - w0, ProcessCpu() - c0};
            g_samples[Key(f, q, query->exact ? "library, exact" : "library, folded")].push_back(lib);
            benchmark::DoNotOptimize(found);
            total += lib.wall;
        }
        total += rg->wall + mkExact->wall + mkFolded->wall;
        state.SetIterationTime(total);
    }
}
BENCHMARK(BM_FolderSearch)->ArgsProduct({{0, 1}, {0, 1}})->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

// A 100 MB day in the editor's row store, the word on its last line only: the next match
// from the top goes through the whole text.
TRowStore& BigDay() {
    static TRowStore* rows = [] {
        auto* r = new TRowStore;
        std::string text = DiaryText(size_t{100} << 20, 2'000'000);
        text += Sjis("最後の行に鎌倉と書いた\r\n");
        r->LoadRowsFromText(text);
        return r;
    }();
    return *rows;
}

void BM_FindNextIn100MB(benchmark::State& state) {
    const bool exact = state.range(0) == 1;
    TRowStore& rows = BigDay();
    TDayFinder finder(MakeSearchQuery("鎌倉", exact));
    for (auto _ : state) {
        const double c0 = ThreadCpu(), w0 = Now();
        const auto m = finder.Find(rows, TRowPlace{0, 0}, false);
        const TSample s{Now() - w0, ThreadCpu() - c0};
        if (!m || m->start.row < rows.RowCount() - 2 ||
            rows.RowView(m->start.row).substr(static_cast<size_t>(m->start.byte), static_cast<size_t>(m->length)) != Sjis("鎌倉")) {
            state.SkipWithError("the match was not found on the last line");
            return;
        }
        g_samples[exact ? "find next in 100 MB, exact" : "find next in 100 MB, folded"].push_back(s);
        state.SetIterationTime(s.wall);
    }
}
BENCHMARK(BM_FindNextIn100MB)->Arg(1)->Arg(0)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

// A keystroke in the shown editor (the key event and the repaint it asks for), alone and
// while a diary search of the hundred-year folder runs as the window runs it: on threads of
// the lowest priority that step aside while keys arrive.
void BM_KeystrokeDuringSearch(benchmark::State& state) {
    EnsureBenchApp();
    EnsureFolder(kFolders[1]);
    auto editor = MakeDiaryEditor(true);
    editor->Lines().SetText(Sjis("今日の日記\r\n").c_str());
    ShowAndPaint(*editor, editor->viewport());
    editor->setFocus();
    const TSearchQuery query = MakeSearchQuery("とうきょう", false);
    TTypingWatch typing;  // as the search window has it
    const auto keystroke = [&](const char* key) {
        const double c0 = ThreadCpu(), w0 = Now();
        for (int i = 0; i < 20; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
            QApplication::sendEvent(editor.get(), &press);
            QKeyEvent back(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
            QApplication::sendEvent(editor.get(), &back);
            editor->viewport()->repaint();
        }
        g_samples[key].push_back({(Now() - w0) / 40, (ThreadCpu() - c0) / 40});
    };
    for (auto _ : state) {
        const double w0 = Now();
        // Both runs of keys start after the same pause, so that they differ only by the
        // search running meanwhile, not by how warm the caches are.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        keystroke("keystroke alone");
        std::atomic<bool> stop{false};
        std::thread search([&] {
            TDiarySearchOptions options;
            options.folder = kFolders[1].dir;
            options.countLines = true;
            options.newestFirst = true;
            options.idlePriority = true;
            options.lastInput = &typing.LastInput();
            while (!stop) SearchDiary(query, options, [](const TDaySearchResult&) {}, {}, &stop);
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        keystroke("keystroke while a diary search runs");
        stop = true;
        search.join();
        state.SetIterationTime(Now() - w0);
    }
}
BENCHMARK(BM_KeystrokeDuringSearch)->UseManualTime()->Iterations(1)->Repetitions(15)->Unit(benchmark::kMillisecond);

void Ratio(const std::string& label, const std::string& a, const std::string& b, const char* target) {
    const TSample ta = MedianOf(a), tb = MedianOf(b);
    if (tb.wall <= 0 || tb.cpu <= 0)
        std::printf("  %-62s %8s %8s   %s\n", label.c_str(), "n/a", "n/a", target);
    else
        std::printf("  %-62s %7.3gx %7.3gx   %s\n", label.c_str(), ta.wall / tb.wall, ta.cpu / tb.cpu, target);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    double load[3] = {0, 0, 0};
    ::getloadavg(load, 3);
    std::printf("\nSearch summary (medians; load average %.2f %.2f %.2f)\n", load[0], load[1], load[2]);
    std::printf("  %-62s %10s %10s %6s\n", "median", "wall ms", "CPU ms", "runs");
    for (const auto& [key, samples] : g_samples) {
        const TSample m = MedianOf(key);
        std::printf("  %-62s %10.2f %10.2f %6zu\n", key.c_str(), m.wall * 1e3, m.cpu * 1e3, samples.size());
    }
    std::printf("\n  %-62s %8s %8s   %s\n", "ratio of medians", "wall", "CPU", "target");
    for (const TFolder& f : kFolders) {
        for (const TQuery& q : kQueries) {
            Ratio(Key(f, q, "exact / rg"), Key(f, q, "mekuri search --exact"), Key(f, q, "rg"), "<= 1");
            Ratio(Key(f, q, "folded / rg"), Key(f, q, "mekuri search"), Key(f, q, "rg"), "<= 2");
            Ratio(Key(f, q, "library exact / rg"), Key(f, q, "library, exact"), Key(f, q, "rg"), "(reference)");
            Ratio(Key(f, q, "library folded / rg"), Key(f, q, "library, folded"), Key(f, q, "rg"), "(reference)");
        }
    }
    Ratio("keystroke while a diary search runs / alone", "keystroke while a diary search runs", "keystroke alone", "<= 1.1");
    for (const char* k : {"find next in 100 MB, exact", "find next in 100 MB, folded"}) {
        const TSample m = MedianOf(k);
        std::printf("  %-62s %8.1f ms wall %8.1f ms CPU   target <= 50 ms\n", k, m.wall * 1e3, m.cpu * 1e3);
    }
    return 0;
}
