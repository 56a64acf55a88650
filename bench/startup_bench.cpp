// Start-up to the first painted main window, against a bare QMainWindow shown the same
// way. Two views: the whole program (a fresh process: application object, fonts, window,
// first paint, exit) and the window alone inside a running application.
#include "app/form1.h"
#include "platform/application.h"

#include <QMainWindow>
#include <QTest>
#include <benchmark/benchmark.h>

#include <cstring>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

namespace {

std::string selfPath;

// Shows the window and returns once it is exposed and its pending paints are done.
void ShowAndPaint(QWidget& w) {
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) std::abort();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

// The child side of the process benchmarks: start, paint the window once, exit.
int Probe(const char* which, int argc, char** argv) {
    TApplication app(argc, argv);
    if (std::strcmp(which, "form") == 0) {
        TForm1 form;
        ShowAndPaint(form);
    } else {
        QMainWindow window;
        window.resize(615, 460);
        ShowAndPaint(window);
    }
    return 0;
}

void RunProbe(benchmark::State& state, const char* which) {
    std::string arg = std::string("--probe=") + which;
    for (auto _ : state) {
        char* args[] = {selfPath.data(), arg.data(), nullptr};
        pid_t pid;
        if (posix_spawn(&pid, selfPath.c_str(), nullptr, nullptr, args, environ) != 0) {
            state.SkipWithError("spawn failed");
            return;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("probe failed");
            return;
        }
    }
}

void BM_ProgramStartUp_Mekuri(benchmark::State& state) { RunProbe(state, "form"); }
BENCHMARK(BM_ProgramStartUp_Mekuri)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProgramStartUp_BareQMainWindow(benchmark::State& state) { RunProbe(state, "bare"); }
BENCHMARK(BM_ProgramStartUp_BareQMainWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WindowOnly_Mekuri(benchmark::State& state) {
    for (auto _ : state) {
        TForm1 form;
        ShowAndPaint(form);
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowOnly_Mekuri)->Unit(benchmark::kMillisecond);

void BM_WindowOnly_BareQMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.resize(615, 460);
        ShowAndPaint(window);
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WindowOnly_BareQMainWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && std::strncmp(argv[1], "--probe=", 8) == 0) return Probe(argv[1] + 8, argc, argv);
    selfPath = "/proc/self/exe";
    char buf[4096];
    ssize_t n = readlink(selfPath.c_str(), buf, sizeof buf - 1);
    if (n > 0) selfPath.assign(buf, static_cast<size_t>(n));
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
