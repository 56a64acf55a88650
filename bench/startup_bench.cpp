// Start-up to the first painted main window, against a bare QMainWindow shown the same way.
#include "app/form1.h"
#include "platform/application.h"

#include <QMainWindow>
#include <QTest>
#include <benchmark/benchmark.h>

namespace {

// Shows the window and returns once it is exposed and its pending paints are done.
void ShowAndPaint(QWidget& w) {
    w.show();
    if (!QTest::qWaitForWindowExposed(&w)) std::abort();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void BM_MainWindowStartUp(benchmark::State& state) {
    for (auto _ : state) {
        TForm1 form;
        ShowAndPaint(form);
        benchmark::DoNotOptimize(form.winId());
        state.PauseTiming();
        form.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_MainWindowStartUp)->Unit(benchmark::kMillisecond);

void BM_BareQMainWindowStartUp(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.resize(615, 460);
        ShowAndPaint(window);
        benchmark::DoNotOptimize(window.winId());
        state.PauseTiming();
        window.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BareQMainWindowStartUp)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
