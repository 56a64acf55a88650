// One full repaint of a maximised (1920x1080) editor showing a 10 MB, 200,000-line CP932
// diary, side by side with Qt's plain text editor painting the same text in the same font
// and size, at the top of the text and in its middle. A summary of the ratios is printed
// at the end.
//
// The text comes from the project's own deterministic generator.
#include "bench/diary_file.h"
#include "editor/editor.h"
#include "platform/qt_fonts.h"
#include "platform/qt_text.h"
#include "platform/sjis.h"

#include <QApplication>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <time.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

std::string g_file;
std::map<std::string, double> g_seconds;  // per repaint, by benchmark
QApplication* g_app = nullptr;

std::string DiaryFile() {
    if (g_file.empty()) g_file = WriteDiaryFile(10000000, 200000);
    return g_file;
}

// Painting runs on this one thread; its CPU time is steadier than the wall clock on a
// machine that is busy with other work.
double Now() {
    timespec ts;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void EnsureApp() {
    if (g_app) return;
    static int argc = 1;
    static char name[] = "editor_paint_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = new QApplication(argc, argv);
    InstallFaceSubstitutions();
}

// The main window's editor font.
TFont DiaryFont() {
    TFont f;
    f.SetName(Sjis("@ＭＳ ゴシック"));
    f.SetHeight(-15);
    return f;
}

// The editor as the main window sets it up, the notebook rule optional.
std::unique_ptr<TEditor> MakeEditor(bool ruled) {
    auto ed = std::make_unique<TEditor>();
    ed->SetFont(DiaryFont());
    ed->SetLeftMargin(4);
    ed->SetTopMargin(0);
    ed->SetScrollBars(ssBoth);
    if (ruled) {
        ed->OnDrawLine = [](TEditor* sender, const std::string&, int, int, int, const QRect& r) {
            QPainter* p = sender->Canvas().Painter;
            p->setPen(QColor(192, 192, 192));
            const int y = r.y() + r.height() - 1;
            p->drawLine(r.left(), y, r.right(), y);
        };
    }
    ed->resize(kWidth, kHeight);
    ed->Lines().LoadFromFile(DiaryFile());
    ed->show();
    QApplication::processEvents();
    return ed;
}

std::unique_ptr<QPlainTextEdit> MakePlainTextEdit() {
    std::ifstream in(DiaryFile(), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto edit = std::make_unique<QPlainTextEdit>();
    edit->setFont(ToQFont(DiaryFont()));
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setPlainText(SjisToQString(bytes));
    edit->resize(kWidth, kHeight);
    edit->show();
    QApplication::processEvents();
    return edit;
}

void Repaints(benchmark::State& state, QWidget* viewport, const std::string& name) {
    double total = 0;
    for (auto _ : state) {
        const double t = Now();
        viewport->repaint();
        total += Now() - t;
    }
    g_seconds[name] = total / static_cast<double>(state.iterations());
}

void PaintEditor(benchmark::State& state, bool middle, bool ruled, const std::string& name) {
    EnsureApp();
    auto ed = MakeEditor(ruled);
    if (middle) ed->SetTopRow(ed->Store().RowCount() / 2);
    state.counters["rows_shown"] = ed->VisibleRows();
    Repaints(state, ed->viewport(), name);
}

void PaintPlainTextEdit(benchmark::State& state, bool middle, const std::string& name) {
    EnsureApp();
    auto edit = MakePlainTextEdit();
    if (middle) edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    Repaints(state, edit->viewport(), name);
}

void BM_TEditorTop(benchmark::State& state) { PaintEditor(state, false, false, "TEditor, top"); }
void BM_QPlainTextEditTop(benchmark::State& state) { PaintPlainTextEdit(state, false, "QPlainTextEdit, top"); }
void BM_TEditorMiddle(benchmark::State& state) { PaintEditor(state, true, false, "TEditor, middle"); }
void BM_QPlainTextEditMiddle(benchmark::State& state) {
    PaintPlainTextEdit(state, true, "QPlainTextEdit, middle");
}
void BM_TEditorMiddleRuled(benchmark::State& state) {
    PaintEditor(state, true, true, "TEditor, middle, ruled rows");
}

}  // namespace

BENCHMARK(BM_TEditorTop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_QPlainTextEditTop)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TEditorMiddle)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_QPlainTextEditMiddle)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_TEditorMiddleRuled)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    DiaryFile();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    auto at = [](const char* name) {
        auto it = g_seconds.find(name);
        return it == g_seconds.end() ? 0.0 : it->second;
    };
    std::printf("\nfile: %s, window %dx%d, thread CPU time per full repaint\n", g_file.c_str(), kWidth, kHeight);
    for (const auto& [name, seconds] : g_seconds) std::printf("  %-30s %8.2f ms\n", name.c_str(), seconds * 1000);
    const double top = at("TEditor, top");
    const double middle = at("TEditor, middle");
    if (top > 0) std::printf("  QPlainTextEdit / TEditor, top:    %5.2fx\n", at("QPlainTextEdit, top") / top);
    if (middle > 0)
        std::printf("  QPlainTextEdit / TEditor, middle: %5.2fx\n", at("QPlainTextEdit, middle") / middle);
    return 0;
}
