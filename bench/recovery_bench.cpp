// What keeping recovery copies costs the typing, in the real main window (offscreen) with
// a 200 KB and a 1 MB diary text in the editor:
// - Keystroke: one key event to Editor1, with the window's recovery hook and without it
//   (alternating key by key, so that both sides see the same machine), each key timed on
//   its own in the window thread's CPU time.
// - CopyDue: the window thread's part of one copy when its two seconds are up: the text
//   taken from the editor and handed to the keeper. Writing, flushing and renaming happen
//   on the keeper's thread and are not on the typing's path; this figure is the longest
//   the window is held, once every two seconds at most.
#include "window/form1.h"
#include "bench/bench_app.h"
#include "editor/editor.h"
#include "platform/dialogs.h"
#include "tools/diary_text.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

namespace {

double ThreadCpu() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::nth_element(v.begin(), v.begin() + static_cast<long>(v.size() / 2), v.end());
    return v[v.size() / 2];
}

struct TWindow {
    QTemporaryDir diary;
    TScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
    QTimer* timer = nullptr;

    explicit TWindow(size_t size) {
        EnsureBenchApp();
        QDir::setCurrent(diary.path());
        TDialogs::Install(&dialogs);
        form = std::make_unique<TForm1>();
        form->show();
        QCoreApplication::processEvents();
        form->Editor1->Lines().SetText(DiaryText(size, size >= 1'000'000 ? size / 50 : size * 3 / 200));
        form->Editor1->setFocus();
        timer = form->RecoveryTimer;
    }
    ~TWindow() {
        form.reset();
        TDialogs::Install(nullptr);
    }
    double Key(bool recovery) {
        // Without the timer the editor's change hook keeps no copy.
        form->RecoveryTimer = recovery ? timer : nullptr;
        const double t0 = ThreadCpu();
        QTest::keyClick(form->Editor1, Qt::Key_A);
        const double t = ThreadCpu() - t0;
        form->RecoveryTimer = timer;
        return t;
    }
};

void Keystroke(benchmark::State& state) {
    TWindow w(static_cast<size_t>(state.range(0)));
    std::vector<double> on, off;
    for (auto _ : state) {
        on.push_back(w.Key(true));
        off.push_back(w.Key(false));
    }
    state.counters["with_us"] = Median(on) * 1e6;
    state.counters["without_us"] = Median(off) * 1e6;
    state.counters["ratio"] = Median(on) / Median(off);
}

void CopyDue(benchmark::State& state) {
    TWindow w(static_cast<size_t>(state.range(0)));
    std::vector<double> due;
    for (auto _ : state) {
        w.Key(true);  // a change, so that a copy is due
        const double t0 = ThreadCpu();
        // Waiting for the keeper's thread costs this thread no CPU time.
        w.form->KeepRecoveryNow();
        due.push_back(ThreadCpu() - t0);
    }
    state.counters["copy_due_us"] = Median(due) * 1e6;
}

}  // namespace

BENCHMARK(Keystroke)->Arg(200'000)->Arg(1'000'000)->Iterations(2000)->Repetitions(3)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyDue)->Arg(200'000)->Arg(1'000'000)->Iterations(200)->Repetitions(3)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
