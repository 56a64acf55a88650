// Opening a 100 MB, 2 million line CP932 diary. The rows alone (Lines.LoadFromFile) are set
// beside the floor, one read() of the whole file into the same kind of memory block the row
// store reads into (huge pages included); the whole job a user waits for (read, decode where
// needed, fill the widget, show it and paint it once) is set beside Qt's QPlainTextEdit doing
// the same. Peak memory is measured in child processes. A summary prints each ratio of
// medians beside its target, then the load ratios again from paired rounds (floor, load
// and wrapped load in turn, a ratio per round), which a drifting machine load disturbs less.
//
// The text comes from the project's own deterministic generator. Its UTF-8 twin (the same
// text as UTF-8 with the byte-order mark) is loaded as the main window loads such a day,
// beside the CP932 load.
#include "bench/diary_file.h"
#include "bench/editor_widgets.h"
#include "bench/median_summary.h"
#include "editor/byte_arena.h"
#include "platform/sjis.h"
#include "platform/qt_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <fstream>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kPeakRuns = 3;  // child processes per peak-memory figure; the median is shown

std::string g_file;
std::string g_utf8File;
std::string g_emptyLines;

std::string DiaryFile() {
    if (g_file.empty()) g_file = WriteDiaryFile(100000000, 2000000);
    return g_file;
}

// 10 million empty lines (20 MB of CR LF): the case where the rows, not the text, cost.
std::string EmptyLinesFile() {
    if (g_emptyLines.empty()) {
        std::string text;
        text.reserve(20000000);
        for (int i = 0; i < 10000000; ++i) text += "\r\n";
        g_emptyLines = WriteBenchFile("empty", text);
    }
    return g_emptyLines;
}

std::string Utf8File() {
    if (g_utf8File.empty()) g_utf8File = WriteBenchFile("utf8", "\xEF\xBB\xBF" + SjisToUtf8(DiaryText(100000000, 2000000)));
    return g_utf8File;
}

// A UTF-8 day as the main window loads it: the file read, its form and table found, the
// text into the rows.
void LoadUtf8(TEditSession& session, const std::string& file) { session.LoadUnicodeFile(file); }

size_t FileSize() { return std::filesystem::file_size(DiaryFile()); }

void CountBytes(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(FileSize()));
}

// The floor: the whole file with one read() into a block of the same allocation the row
// store reads into (huge pages for large blocks), one byte larger as the store's is.
std::shared_ptr<char> ReadWhole(const std::string& file, size_t& size) {
    int fd = ::open(file.c_str(), O_RDONLY);
    struct stat st;
    ::fstat(fd, &st);
    size = static_cast<size_t>(st.st_size);
    std::shared_ptr<char> buffer = AllocateBytes(size + 1);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, buffer.get() + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return buffer;
}

void BM_FloorRead(benchmark::State& state) {
    std::string file = DiaryFile();
    for (auto _ : state) {
        size_t size = 0;
        auto buffer = ReadWhole(file, size);
        benchmark::DoNotOptimize(buffer.get()[size - 1]);
    }
    CountBytes(state);
}

void LoadRows(benchmark::State& state, bool wrap) {
    std::string file = DiaryFile();
    size_t rows = 0;
    for (auto _ : state) {
        TEditSession session;
        session.SetWordWrap(wrap);
        session.Lines().LoadFromFile(file);
        rows = static_cast<size_t>(session.Store().RowCount());
    }
    state.counters["rows"] = static_cast<double>(rows);
    CountBytes(state);
}

void BM_LinesLoadFromFile(benchmark::State& state) { LoadRows(state, false); }

// The same text's UTF-8 twin; bytes counted as the CP932 file's, so the rates compare.
void BM_LoadUtf8Twin(benchmark::State& state) {
    const std::string file = Utf8File();
    size_t rows = 0;
    for (auto _ : state) {
        TEditSession session;
        LoadUtf8(session, file);
        rows = static_cast<size_t>(session.Store().RowCount());
    }
    state.counters["rows"] = static_cast<double>(rows);
    CountBytes(state);
}
void BM_LinesLoadFromFileWrap80(benchmark::State& state) { LoadRows(state, true); }

// The whole job a user waits for: `fill` puts the file into a widget that `make` built (not
// timed, nor is its destruction), which is then shown and painted once.
template <class Make, class Fill>
void TimeOpen(benchmark::State& state, Make make, Fill fill) {
    EnsureBenchApp();
    for (auto _ : state) {
        state.PauseTiming();
        auto widget = make();
        state.ResumeTiming();
        fill(*widget);
        const bool painted = ShowAndPaint(*widget, widget->viewport());
        state.PauseTiming();
        if (!painted) state.SkipWithError("the widget was not painted");
        widget.reset();
        state.ResumeTiming();
    }
    CountBytes(state);
}

// Mekuri's editor as a day's file is shown: read-only, then Lines.LoadFromFile.
void BM_OpenMekuri(benchmark::State& state) {
    TimeOpen(state, [] { return MakeDiaryEditor(true); },
             [file = DiaryFile()](TEditor& ed) {
                 ed.SetReadOnly(true);
                 ed.Lines().LoadFromFile(file);
             });
}

// QPlainTextEdit: read, decode with the program's own CP932 decoder (SjisToQString: iconv
// CP932 to UTF-8, then QString), setPlainText.
void BM_OpenQPlainTextEdit(benchmark::State& state) {
    TimeOpen(state, [] { return MakePlainTextEdit(true); },
             [file = DiaryFile()](QPlainTextEdit& edit) {
                 size_t size = 0;
                 std::shared_ptr<char> bytes = ReadWhole(file, size);
                 edit.setPlainText(SjisToQString(std::string_view(bytes.get(), size)));
             });
}

long StatusKb(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    size_t n = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, n, key) == 0) return std::atol(line.c_str() + n + 1);
    return -1;
}

// Peak resident memory of one load, in a child process whose high-water mark is reset
// first, as a multiple of the file size; -1 when the child failed.
double PeakLoadMultiple(const std::string& file, bool wrap) {
    int fds[2];
    if (::pipe(fds) != 0) return -1;
    pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        {
            std::ofstream reset("/proc/self/clear_refs");
            reset << "5";
        }
        long base = StatusKb("VmRSS:");
        long peak;
        {
            TEditSession session;
            session.SetWordWrap(wrap);
            session.Lines().LoadFromFile(file);
            peak = StatusKb("VmHWM:");
        }
        double multiple = static_cast<double>(peak - base) * 1024.0 / static_cast<double>(std::filesystem::file_size(file));
        ssize_t ignored = ::write(fds[1], &multiple, sizeof multiple);
        (void)ignored;
        ::_exit(0);
    }
    ::close(fds[1]);
    double multiple = -1;
    if (::read(fds[0], &multiple, sizeof multiple) != sizeof multiple) multiple = -1;
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    return multiple;
}

double MedianPeak(const std::string& file, bool wrap) {
    std::vector<double> peaks;
    for (int i = 0; i < kPeakRuns; ++i) {
        const double peak = PeakLoadMultiple(file, wrap);
        if (peak < 0) return -1;
        peaks.push_back(peak);
    }
    return TMedianReporter::MedianOf(peaks);
}

// The floor, the load and the wrapped load run in turn, round after round, and each round
// gives its own ratios: a shared machine's load drifts between blocks of runs, much less
// within one round. Process CPU time and wall time of each run.
struct TRoundTimes {
    double cpu, wall;
};

TRoundTimes TimeOnce(const std::function<void()>& run) {
    timespec c0, w0, c1, w1;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
    clock_gettime(CLOCK_MONOTONIC, &w0);
    run();
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
    clock_gettime(CLOCK_MONOTONIC, &w1);
    auto s = [](const timespec& a, const timespec& b) {
        return static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_nsec - a.tv_nsec) * 1e-9;
    };
    return {s(c0, c1), s(w0, w1)};
}

void PrintPairedRounds(int rounds) {
    const std::string file = DiaryFile();
    auto floor = [&] {
        size_t size = 0;
        auto buffer = ReadWhole(file, size);
        benchmark::DoNotOptimize(buffer.get()[size - 1]);
    };
    auto load = [&](bool wrap) {
        TEditSession session;
        session.SetWordWrap(wrap);
        session.Lines().LoadFromFile(file);
        benchmark::DoNotOptimize(session.Store().RowCount());
    };
    const std::string utf8 = Utf8File();
    std::vector<double> loadCpu, loadWall, wrapCpu, wrapWall, utf8Cpu, utf8Wall;
    for (int i = 0; i < rounds; ++i) {
        const TRoundTimes f = TimeOnce(floor);
        const TRoundTimes l = TimeOnce([&] { load(false); });
        const TRoundTimes w = TimeOnce([&] { load(true); });
        const TRoundTimes u = TimeOnce([&] {
            TEditSession session;
            LoadUtf8(session, utf8);
            benchmark::DoNotOptimize(session.Store().RowCount());
        });
        utf8Cpu.push_back(u.cpu / l.cpu);
        utf8Wall.push_back(u.wall / l.wall);
        loadCpu.push_back(l.cpu / f.cpu);
        loadWall.push_back(l.wall / f.wall);
        wrapCpu.push_back(w.cpu / l.cpu);
        wrapWall.push_back(w.wall / l.wall);
    }
    std::printf("\n  paired rounds (floor, load, wrapped load in turn; a ratio per round), median of %d rounds\n", rounds);
    std::printf("  %-66s %8s %8s   %s\n", "ratio", "wall", "CPU", "target");
    std::printf("  %-66s %7.3gx %7.3gx   %s\n", "load / floor", TMedianReporter::MedianOf(loadWall),
                TMedianReporter::MedianOf(loadCpu), "<= 2.5x (CPU)");
    std::printf("  %-66s %7.3gx %7.3gx   %s\n", "load with word wrap 80 / load", TMedianReporter::MedianOf(wrapWall),
                TMedianReporter::MedianOf(wrapCpu), "<= 1.3x (CPU)");
    std::printf("  %-66s %7.3gx %7.3gx   %s\n", "UTF-8 twin load / CP932 load", TMedianReporter::MedianOf(utf8Wall),
                TMedianReporter::MedianOf(utf8Cpu), "<= 1.5x (CPU)");
}

}  // namespace

BENCHMARK(BM_FloorRead)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(5)->Repetitions(5);
BENCHMARK(BM_LinesLoadFromFile)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3)->Repetitions(5);
BENCHMARK(BM_LoadUtf8Twin)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3)->Repetitions(5);
BENCHMARK(BM_LinesLoadFromFileWrap80)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3)->Repetitions(5);
// Several seconds a run on the QPlainTextEdit side: single iterations, fewer repetitions.
BENCHMARK(BM_OpenMekuri)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(1)->Repetitions(3);
BENCHMARK(BM_OpenQPlainTextEdit)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(1)->Repetitions(3);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    DiaryFile();
    // Peaks first: memory that earlier loads freed but the allocator kept would otherwise be
    // reused unseen by the children and hide the cost.
    const double peak = MedianPeak(DiaryFile(), false);
    const double peakWrap = MedianPeak(DiaryFile(), true);
    const double peakEmpty = MedianPeak(EmptyLinesFile(), false);
    PrintLoadAverage("before the run");
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nfile: %zu bytes, 2,000,000 lines; process CPU time; medians of each benchmark's repetitions\n", FileSize());
    std::printf("floor: one read() of the whole file into AllocateBytes (the row store's allocation, huge pages)\n");
    std::printf("open: read, decode (QPlainTextEdit: the program's SjisToQString), fill, show, first paint;\n"
                "      ruled rows on both, wrap off on both, %dx%d, offscreen; 1 iteration per repetition\n\n",
                kBenchWidth, kBenchHeight);
    reporter.PrintMedians({{"BM_FloorRead", "floor: read() into AllocateBytes"},
                           {"BM_LinesLoadFromFile", "Lines.LoadFromFile"},
                           {"BM_LoadUtf8Twin", "the UTF-8 twin, loaded as the window loads it"},
                           {"BM_LinesLoadFromFileWrap80", "Lines.LoadFromFile, WordWrap 80"},
                           {"BM_OpenMekuri", "open in TEditor"},
                           {"BM_OpenQPlainTextEdit", "open in QPlainTextEdit"}});
    std::printf("\n");
    TMedianReporter::PrintRatioHeader();
    reporter.PrintRatio("load / floor", "BM_LinesLoadFromFile", "BM_FloorRead", "<= 2.5x");
    reporter.PrintRatio("load with word wrap 80 / load", "BM_LinesLoadFromFileWrap80", "BM_LinesLoadFromFile", "<= 1.3x");
    reporter.PrintRatio("UTF-8 twin load / CP932 load", "BM_LoadUtf8Twin", "BM_LinesLoadFromFile", "<= 1.5x");
    reporter.PrintRatio("open: Mekuri / QPlainTextEdit", "BM_OpenMekuri", "BM_OpenQPlainTextEdit", "< 1x");
    auto printPeak = [](const char* label, double multiple, const char* target) {
        if (multiple < 0)
            std::printf("  %-66s %8s of the file   %s\n", label, "n/a", target);
        else
            std::printf("  %-66s %7.2fx of the file   %s\n", label, multiple, target);
    };
    std::printf("\n  peak memory of one load, median of %d child processes\n", kPeakRuns);
    printPeak("100 MB / 2 M lines", peak, "<= 1.3x");
    printPeak("100 MB / 2 M lines, word wrap 80", peakWrap, "(no target)");
    printPeak("20 MB of 10 M empty lines", peakEmpty, "<= 3x");
    PrintPairedRounds(9);
    PrintLoadAverage("after the run");
    return 0;
}
