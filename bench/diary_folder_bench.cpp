// A hundred years of day files (36,525, made by the project's own generator):
// - the index of the days with an entry against a bare listing of the folder (opendir and
//   readdir, nothing else), target ≤ 2×;
// - `mekuri days` over the whole folder, as a process, against its floor: `ls -f` listing
//   the folder plus reading every file once (open, read, close, in this program), target
//   ≤ 1.5×. The two are run in turns, round by round, so that a busy machine weighs on
//   both alike; wall and CPU time (children's included) are medians over the rounds.
#include "bench/median_summary.h"
#include "diary/day_index.h"
#include "tools/diary_folder.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

std::string g_folder;

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double ThreadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

struct TTimes {
    double wall = 0;
    double cpu = 0;
};

// Runs a program with its output thrown away; its wall time and its own CPU time.
TTimes Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::abort();
    int status = 0;
    rusage usage{};
    ::wait4(pid, &status, 0, &usage);
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    posix_spawn_file_actions_destroy(&actions);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
    return {wall, Seconds(usage.ru_utime) + Seconds(usage.ru_stime)};
}

// Every file of the folder read once, as the floor's second half.
TTimes ReadEachFile(const std::vector<std::string>& paths) {
    const auto start = std::chrono::steady_clock::now();
    const double cpu = ThreadCpuSeconds();
    static char buffer[1 << 16];
    size_t bytes = 0;
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) std::abort();
        for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes += static_cast<size_t>(n);
        ::close(fd);
    }
    benchmark::DoNotOptimize(bytes);
    return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), ThreadCpuSeconds() - cpu};
}

void BM_Readdir(benchmark::State& state) {
    size_t entries = 0;
    for (auto _ : state) {
        entries = 0;
        DIR* dir = ::opendir(g_folder.c_str());
        while (const dirent* e = ::readdir(dir)) {
            benchmark::DoNotOptimize(e->d_name[0]);
            ++entries;
        }
        ::closedir(dir);
    }
    state.counters["entries"] = static_cast<double>(entries);
}

void BM_DayIndexScan(benchmark::State& state) {
    TDayIndex index;
    for (auto _ : state) {
        if (index.Scan(g_folder) != 0) state.SkipWithError("cannot list the folder");
        benchmark::DoNotOptimize(index.Days().data());
    }
    state.counters["days"] = static_cast<double>(index.Size());
}

BENCHMARK(BM_Readdir)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DayIndexScan)->Unit(benchmark::kMillisecond);

std::vector<TTimes> g_days, g_floor, g_ls, g_read;

void BM_DaysCommandAndFloorInTurns(benchmark::State& state) {
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator(g_folder)) paths.push_back(e.path().string());
    for (auto _ : state) {
        const TTimes days = Run({MEKURI_PROGRAM, "days", "--folder", g_folder});
        const TTimes ls = Run({"/usr/bin/ls", "-f", g_folder});
        const TTimes read = ReadEachFile(paths);
        g_days.push_back(days);
        g_ls.push_back(ls);
        g_read.push_back(read);
        g_floor.push_back({ls.wall + read.wall, ls.cpu + read.cpu});
    }
}

BENCHMARK(BM_DaysCommandAndFloorInTurns)->Unit(benchmark::kMillisecond)->Iterations(4);

double Median(const std::vector<TTimes>& runs, double TTimes::*field) {
    std::vector<double> v;
    for (const TTimes& t : runs) v.push_back(t.*field);
    return TMedianReporter::MedianOf(v);
}

void PrintSummary(const TMedianReporter& reporter) {
    std::printf("\nDiary folder of a hundred years (%s):\n", g_folder.c_str());
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) > 0) std::printf("  load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    TMedianReporter::PrintRatioHeader();
    reporter.PrintRatio("index of the days with an entry / bare readdir", "BM_DayIndexScan", "BM_Readdir", "≤ 2×");
    if (g_days.empty()) return;
    std::printf("\n  `mekuri days` against ls -f plus reading each file once, medians of %zu rounds:\n", g_days.size());
    std::printf("  %-40s %10s %10s\n", "", "wall ms", "CPU ms");
    const auto line = [](const char* what, const std::vector<TTimes>& runs) {
        std::printf("  %-40s %10.1f %10.1f\n", what, Median(runs, &TTimes::wall) * 1e3, Median(runs, &TTimes::cpu) * 1e3);
    };
    line("mekuri days --folder DIR", g_days);
    line("ls -f DIR", g_ls);
    line("reading each file once", g_read);
    line("floor: the two together", g_floor);
    // The ratio of each round, then their median, so that a slow moment hits both sides.
    std::vector<TTimes> ratios;
    for (size_t i = 0; i < g_days.size(); ++i)
        ratios.push_back({g_days[i].wall / g_floor[i].wall, g_days[i].cpu / g_floor[i].cpu});
    std::printf("  %-40s %9.3gx %9.3gx   target ≤ 1.5×\n", "mekuri days / floor (median per round)",
                Median(ratios, &TTimes::wall), Median(ratios, &TTimes::cpu));
}

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/mekuri-bench-folder-XXXXXX";
    if (!::mkdtemp(pattern)) return 1;
    g_folder = pattern;
    // Every day from 1927 to 2026, about 700 bytes each.
    constexpr size_t kDays = 36525;
    WriteDiaryFolder(g_folder, {1927, 1, 1}, kDays, 700);
    std::printf("%zu day files written\n", kDays);
    std::vector<char*> args(argv, argv + argc);
    const bool told = std::any_of(args.begin() + 1, args.end(), [](const char* arg) {
        return std::string_view(arg).starts_with("--benchmark_repetitions");
    });
    std::string repetitions = "--benchmark_repetitions=5";
    if (!told) args.push_back(repetitions.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(g_folder);
    return 0;
}
