// Start-up to the first painted main window, as whole processes. The floor is label_window
// (an empty main window showing one line of Japanese text: any window with text pays for
// the font configuration, the font database and a Japanese face); the peer is
// census_window (stock Qt widgets in Mekuri's census); bare_window (an empty window) stays
// as a reference. Each child says "first-paint <process CPU ns>" on a pipe when its whole
// first picture is painted; wall time runs from the spawn to that line.
//
// The programs run interleaved, one round at a time in a rotating order, and every ratio
// is taken within a round, so that a machine growing busier or quieter during the run
// moves both sides of a ratio alike. The summary gives the median of the rounds' ratios.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double kTargetVsFloor = 1.3;  // CPU, Mekuri against label_window
constexpr double kTargetVsPeer = 1.0;   // CPU, Mekuri below the census window

struct TProgram {
    const char* label;
    const char* path;
};
constexpr TProgram kPrograms[] = {
    {"Mekuri", MEKURI_PROGRAM},
    {"label_window (floor)", LABEL_PROGRAM},
    {"census_window (peer)", CENSUS_PROGRAM},
    {"bare_window (reference)", BARE_PROGRAM},
};
constexpr int kCount = sizeof kPrograms / sizeof kPrograms[0];

struct TStart {
    double wall = -1;  // seconds
    double cpu = -1;   // seconds, the whole process until the first paint
};

std::vector<TStart> rounds[kCount];

TStart Start(const char* program, const std::string& folder) {
    int fds[2];
    if (pipe(fds) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    char* args[] = {const_cast<char*>(program), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    const int err = posix_spawn(&pid, program, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    TStart result;
    if (err == 0) {
        char buf[64];
        std::string got;
        ssize_t n;
        while (got.find('\n') == std::string::npos && (n = read(fds[0], buf, sizeof buf)) > 0)
            got.append(buf, static_cast<size_t>(n));
        long long cpuNs = 0;
        if (std::sscanf(got.c_str(), "first-paint %lld", &cpuNs) == 1) {
            result.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            result.cpu = static_cast<double>(cpuNs) * 1e-9;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) result = {};
    }
    close(fds[0]);
    return result;
}

void BM_StartUpToFirstPaint_Interleaved(benchmark::State& state) {
    QTemporaryDir folder;
    int round = 0;
    for (auto _ : state) {
        TStart got[kCount];
        for (int k = 0; k < kCount; ++k) {
            const int which = (round + k) % kCount;
            got[which] = Start(kPrograms[which].path, folder.path().toStdString());
            if (got[which].wall < 0) {
                state.SkipWithError("a program did not paint and exit cleanly");
                return;
            }
        }
        for (int k = 0; k < kCount; ++k) rounds[k].push_back(got[k]);
        state.SetIterationTime(got[0].wall);
        ++round;
    }
}
BENCHMARK(BM_StartUpToFirstPaint_Interleaved)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(30);

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median over the rounds of a / b, for CPU or wall time.
double RatioMedian(int a, int b, bool cpu) {
    std::vector<double> ratios;
    for (size_t i = 0; i < rounds[a].size() && i < rounds[b].size(); ++i) {
        const TStart& x = rounds[a][i];
        const TStart& y = rounds[b][i];
        ratios.push_back(cpu ? x.cpu / y.cpu : x.wall / y.wall);
    }
    return Median(ratios);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("MEKURI_QUIT_AFTER_FIRST_PAINT", "1", 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (rounds[0].empty()) return 0;
    double load[3] = {0, 0, 0};
    getloadavg(load, 3);
    std::printf("\nstart-up to the first painted window, %zu interleaved rounds (load average %.2f):\n",
                rounds[0].size(), load[0]);
    std::printf("  %-26s %12s %12s\n", "program", "CPU ms", "wall ms");
    for (int k = 0; k < kCount; ++k) {
        std::vector<double> cpu, wall;
        for (const TStart& s : rounds[k]) {
            cpu.push_back(s.cpu * 1e3);
            wall.push_back(s.wall * 1e3);
        }
        std::printf("  %-26s %12.1f %12.1f\n", kPrograms[k].label, Median(cpu), Median(wall));
    }
    std::printf("  medians of the per-round ratios:\n");
    std::printf("    Mekuri / label_window   CPU %.2f (target <= %.1f), wall %.2f\n", RatioMedian(0, 1, true),
                kTargetVsFloor, RatioMedian(0, 1, false));
    std::printf("    Mekuri / census_window  CPU %.2f (target < %.1f), wall %.2f\n", RatioMedian(0, 2, true),
                kTargetVsPeer, RatioMedian(0, 2, false));
    std::printf("    Mekuri / bare_window    CPU %.2f (reference), wall %.2f\n", RatioMedian(0, 3, true),
                RatioMedian(0, 3, false));
    return 0;
}
