// Start-up to the first painted main window, as whole processes: Mekuri against a bare Qt
// program built from its own source (bare_window), with a bare window that shows one line
// of Japanese text (label_window) as a reference for what drawing any text costs. Each
// child says "first-paint" on a pipe when its window's whole first picture is painted; the
// time runs from the spawn to that line, so the close and exit that follow are not
// counted. All run offscreen from an empty folder.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

constexpr double kTargetRatio = 1.5;  // Mekuri may take at most this much longer than the floor

std::vector<double> medians[3];  // seconds per start: [0] Mekuri, [1] the bare program, [2] the label window

// Starts `program` and returns the seconds until it reported its first paint, or -1.
double TimeToFirstPaint(const char* program, const std::string& folder) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    char* args[] = {const_cast<char*>(program), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    int err = posix_spawn(&pid, program, &actions, nullptr, args, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    double seconds = -1;
    if (err == 0) {
        char buf[64];
        std::string got;
        ssize_t n;
        while (got.find("first-paint") == std::string::npos && (n = read(fds[0], buf, sizeof buf)) > 0)
            got.append(buf, static_cast<size_t>(n));
        if (got.find("first-paint") != std::string::npos)
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) seconds = -1;
    }
    close(fds[0]);
    return seconds;
}

void Run(benchmark::State& state, const char* program, int which) {
    QTemporaryDir folder;
    std::vector<double> times;
    for (auto _ : state) {
        const double s = TimeToFirstPaint(program, folder.path().toStdString());
        if (s < 0) {
            state.SkipWithError("the program did not paint and exit cleanly");
            return;
        }
        state.SetIterationTime(s);
        times.push_back(s);
    }
    std::sort(times.begin(), times.end());
    if (!times.empty()) medians[which].push_back(times[times.size() / 2]);
}

void BM_StartUpToFirstPaint_Mekuri(benchmark::State& state) { Run(state, MEKURI_PROGRAM, 0); }
BENCHMARK(BM_StartUpToFirstPaint_Mekuri)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_StartUpToFirstPaint_BareQtFloor(benchmark::State& state) { Run(state, BARE_PROGRAM, 1); }
BENCHMARK(BM_StartUpToFirstPaint_BareQtFloor)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

void BM_StartUpToFirstPaint_JapaneseLabelReference(benchmark::State& state) { Run(state, LABEL_PROGRAM, 2); }
BENCHMARK(BM_StartUpToFirstPaint_JapaneseLabelReference)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(20);

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("MEKURI_QUIT_AFTER_FIRST_PAINT", "1", 1);
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double mekuri = Median(medians[0]);
    const double bare = Median(medians[1]);
    const double label = Median(medians[2]);
    if (mekuri > 0 && bare > 0) {
        std::printf("\nstart-up to the first painted window, medians of the repetitions' medians:\n");
        std::printf("  Mekuri %.1f ms, bare Qt floor %.1f ms: ratio %.2f (target <= %.1f)\n", mekuri * 1e3,
                    bare * 1e3, mekuri / bare, kTargetRatio);
        if (label > 0)
            std::printf("  reference, the bare window with one line of Japanese text: %.1f ms (%.2f of the floor; "
                        "Mekuri is %.2f of it)\n",
                        label * 1e3, label / bare, mekuri / label);
    }
    return 0;
}
