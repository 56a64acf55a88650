// One full repaint of a maximised (1920x1080) editor, Mekuri's TEditor side by side with Qt's
// QPlainTextEdit painting the same text in the same font, size and viewport:
//   ordinary diary lines (a 10 MB, 200,000-line diary, about 50 bytes a line), in its middle;
//   very long lines (16 lines of 100 KB to 1 MB, ordinary lines below), at the top;
// each with wrap off, and with wrap on at the same width (TEditor's WrapByte set to the
// columns its viewport shows, QPlainTextEdit wrapping at the widget's width); and the
// diary's ruled rows (a silver line under each row) against a QPlainTextEdit that draws the
// same line under each of its lines. Each widget is shown and painted once before the
// timing, so both repaint from what they keep. A summary prints each ratio of medians
// beside its target.
#include "bench/diary_file.h"
#include "bench/editor_widgets.h"
#include "bench/median_summary.h"
#include "platform/qt_text.h"

#include <QScrollBar>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace {

constexpr int kLongLines = 16;  // 8.6 MB: the peer takes seconds for each repaint of them

enum TText { txOrdinary, txLong };

struct TCase {
    TText text;
    bool wrap;
    bool ruled;
};

std::string OrdinaryFile() {
    static const std::string file = WriteDiaryFile(10000000, 200000);
    return file;
}

// The generator's diary lines, the first of them joined, whole characters only, into
// kLongLines lines of 100 KB to 1 MB; the rest follow as they are and fill the view below.
std::string LongLinesFile() {
    static std::string file;
    if (!file.empty()) return file;
    const std::string diary = DiaryText(10000000, 190000);
    std::string text;
    text.reserve(diary.size());
    size_t from = 0;
    for (int i = 0; i < kLongLines; ++i) {
        const size_t target = 100000 + static_cast<size_t>((i * 7) % 10) * 100000;
        const size_t start = text.size();
        while (text.size() - start < target) {
            const size_t end = diary.find("\r\n", from);
            text.append(diary, from, end - from);
            from = end + 2;
        }
        text += "\r\n";
    }
    text.append(diary, from);
    file = WriteBenchFile("long-lines", text);
    return file;
}

std::string FileOf(TText text) { return text == txOrdinary ? OrdinaryFile() : LongLinesFile(); }

// The widget under test, shown and painted once, kept across the repetitions of one
// benchmark: the QPlainTextEdit sides take seconds to fill and lay out.
std::string g_shownKey;
std::unique_ptr<QAbstractScrollArea> g_shown;
int g_wrapColumns = 0;

template <class Make>
QAbstractScrollArea* Shown(const std::string& key, Make make) {
    if (g_shownKey != key) {
        g_shown.reset();
        g_shown = make();
        g_shownKey = key;
        g_shown->viewport()->repaint();
    }
    return g_shown.get();
}

std::unique_ptr<QAbstractScrollArea> ShowEditor(const TCase& c) {
    auto ed = MakeDiaryEditor(c.ruled);
    ed->Lines().LoadFromFile(FileOf(c.text));
    ShowAndPaint(*ed, ed->viewport());
    if (c.wrap) {
        g_wrapColumns = std::min(ed->VisibleCols(), 250);
        ed->SetWrapByte(g_wrapColumns);
        ed->SetWordWrap(true);
    }
    if (c.text == txOrdinary) ed->SetTopRow(ed->Store().RowCount() / 2);
    QApplication::processEvents();
    return ed;
}

std::unique_ptr<QAbstractScrollArea> ShowPlainTextEdit(const TCase& c) {
    std::ifstream in(FileOf(c.text), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto edit = MakePlainTextEdit(c.ruled);
    if (c.wrap) edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setPlainText(SjisToQString(bytes));
    ShowAndPaint(*edit, edit->viewport());
    if (c.text == txOrdinary) edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum() / 2);
    QApplication::processEvents();
    return edit;
}

void Repaints(benchmark::State& state, QWidget* viewport) {
    TPaintCounter painted(viewport);
    for (auto _ : state) viewport->repaint();
    if (painted.count != state.iterations()) state.SkipWithError("a repaint did not reach the viewport");
}

void BM_PaintMekuri(benchmark::State& state, const char* name, TCase c) {
    EnsureBenchApp();
    Repaints(state, Shown(std::string("TEditor ") + name, [&] { return ShowEditor(c); })->viewport());
}

void BM_PaintQPlainTextEdit(benchmark::State& state, const char* name, TCase c) {
    EnsureBenchApp();
    Repaints(state, Shown(std::string("QPlainTextEdit ") + name, [&] { return ShowPlainTextEdit(c); })->viewport());
}

// Benchmark names: "BM_PaintMekuri/<case>" and "BM_PaintQPlainTextEdit/<case>".
struct TNamedCase {
    const char* name;
    const char* label;
};
constexpr TNamedCase kCases[] = {
    {"ordinary_wrap_off", "ordinary lines, middle, wrap off"},
    {"ordinary_wrap_on", "ordinary lines, middle, wrap on"},
    {"long_wrap_off", "16 lines of 100 KB-1 MB, top, wrap off"},
    {"long_wrap_on", "16 lines of 100 KB-1 MB, top, wrap on"},
    {"ordinary_ruled", "ordinary lines, middle, ruled rows"},
};

}  // namespace

#define PAINT_CASE(name, ...)                                                                   \
    BENCHMARK_CAPTURE(BM_PaintMekuri, name, #name, TCase{__VA_ARGS__})                          \
        ->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5);                          \
    BENCHMARK_CAPTURE(BM_PaintQPlainTextEdit, name, #name, TCase{__VA_ARGS__})                  \
        ->Unit(benchmark::kMillisecond)->MinTime(0.3)->Repetitions(5)

PAINT_CASE(ordinary_wrap_off, txOrdinary, false, false);
PAINT_CASE(ordinary_wrap_on, txOrdinary, true, false);
PAINT_CASE(long_wrap_off, txLong, false, false);
PAINT_CASE(long_wrap_on, txLong, true, false);
PAINT_CASE(ordinary_ruled, txOrdinary, false, true);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    PrintLoadAverage("before the run");
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    g_shown.reset();
    benchmark::Shutdown();

    std::printf("\none full repaint, window %dx%d, offscreen, thread CPU time; medians of each benchmark's repetitions\n",
                kBenchWidth, kBenchHeight);
    if (g_wrapColumns > 0) std::printf("wrap on: TEditor at WrapByte %d (its visible columns), QPlainTextEdit at the widget's width\n", g_wrapColumns);
    std::vector<std::pair<std::string, std::string>> rows;
    for (const TNamedCase& c : kCases) {
        rows.push_back({std::string("BM_PaintMekuri/") + c.name, std::string("TEditor, ") + c.label});
        rows.push_back({std::string("BM_PaintQPlainTextEdit/") + c.name, std::string("QPlainTextEdit, ") + c.label});
    }
    reporter.PrintMedians(rows);
    std::printf("\n");
    TMedianReporter::PrintRatioHeader();
    for (const TNamedCase& c : kCases)
        reporter.PrintRatio(std::string("TEditor / QPlainTextEdit, ") + c.label, std::string("BM_PaintMekuri/") + c.name,
                            std::string("BM_PaintQPlainTextEdit/") + c.name, "<= 1x");
    PrintLoadAverage("after the run");
    return 0;
}
