// Loading a 100 MB, 2 million line CP932 diary into the editor's rows, side by side with
// the floor (one read() of the whole file into the same kind of memory block the row store
// reads into, huge pages included) and with Qt's plain text editor taking the same text.
// A summary prints each ratio and peak memory beside its target.
//
// The text comes from the project's own deterministic generator.
#include "bench/diary_file.h"
#include "editor/byte_arena.h"
#include "editor/edit_session.h"
#include "platform/qt_text.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string g_file;
std::string g_emptyLines;
// Per iteration, by benchmark: wall-clock and process CPU seconds. CPU time keeps the ratios
// honest on a machine that is busy with other work.
std::map<std::string, double> g_seconds;
std::map<std::string, double> g_cpuSeconds;

std::string DiaryFile() {
    if (g_file.empty()) g_file = WriteDiaryFile(100000000, 2000000);
    return g_file;
}

// 10 million empty lines (20 MB of CR LF): the case where the rows, not the text, cost.
std::string EmptyLinesFile() {
    if (!g_emptyLines.empty()) return g_emptyLines;
    g_emptyLines = (std::filesystem::temp_directory_path() / ("mekuri-bench-" + std::to_string(::getpid()) + "-empty.txt")).string();
    std::string text;
    text.reserve(20000000);
    for (int i = 0; i < 10000000; ++i) text += "\r\n";
    std::ofstream(g_emptyLines, std::ios::binary) << text;
    std::atexit([] { std::remove(g_emptyLines.c_str()); });
    return g_emptyLines;
}

size_t FileSize() { return std::filesystem::file_size(DiaryFile()); }

void Record(benchmark::State& state, const std::string& name, double seconds, double cpuSeconds) {
    g_seconds[name] = seconds / static_cast<double>(state.iterations());
    g_cpuSeconds[name] = cpuSeconds / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(FileSize()));
}

double Clock(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}
double Now() { return Clock(CLOCK_MONOTONIC); }
double Cpu() { return Clock(CLOCK_PROCESS_CPUTIME_ID); }

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

constexpr const char* kFloor = "floor: read() into AllocateBytes";

void BM_RawRead(benchmark::State& state) {
    std::string file = DiaryFile();
    double total = 0;
    double cpu = 0;
    for (auto _ : state) {
        double t = Now();
        double c = Cpu();
        size_t size = 0;
        auto buffer = ReadWhole(file, size);
        benchmark::DoNotOptimize(buffer.get()[size - 1]);
        buffer.reset();
        total += Now() - t;
        cpu += Cpu() - c;
    }
    Record(state, kFloor, total, cpu);
}

void LoadRows(benchmark::State& state, bool wrap, const char* name) {
    std::string file = DiaryFile();
    double total = 0;
    double cpu = 0;
    size_t rows = 0;
    for (auto _ : state) {
        double t = Now();
        double c = Cpu();
        {
            TEditSession session;
            session.SetWordWrap(wrap);
            session.Lines().LoadFromFile(file);
            rows = static_cast<size_t>(session.Store().RowCount());
        }
        total += Now() - t;
        cpu += Cpu() - c;
    }
    state.counters["rows"] = static_cast<double>(rows);
    Record(state, name, total, cpu);
}

void BM_LinesLoadFromFile(benchmark::State& state) { LoadRows(state, false, "Lines.LoadFromFile"); }
void BM_LinesLoadFromFileWrap80(benchmark::State& state) {
    LoadRows(state, true, "Lines.LoadFromFile, WordWrap 80");
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
// first, as a multiple of the file size.
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

double g_peak = -1;
double g_peakWrap = -1;
double g_peakEmpty = -1;

// The peaks are measured in main before any benchmark runs: memory that earlier loads freed
// but the allocator kept would otherwise be reused unseen by the child and hide the cost.
void BM_LoadPeakMemory(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(g_peak);
    state.counters["peak_x_file"] = g_peak;
    state.counters["peak_x_file_wrap80"] = g_peakWrap;
    state.counters["peak_x_file_empty_lines"] = g_peakEmpty;
}

QApplication* g_app = nullptr;

void BM_QPlainTextEditSetPlainText(benchmark::State& state) {
    if (!g_app) {
        static int argc = 1;
        static char name[] = "editor_load_bench";
        static char* argv[] = {name, nullptr};
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        g_app = new QApplication(argc, argv);
    }
    size_t size = 0;
    std::shared_ptr<char> bytes = ReadWhole(DiaryFile(), size);
    QString text = SjisToQString(std::string_view(bytes.get(), size));
    bytes.reset();
    double total = 0;
    double cpu = 0;
    for (auto _ : state) {
        QPlainTextEdit edit;
        double t = Now();
        double c = Cpu();
        edit.setPlainText(text);
        total += Now() - t;
        cpu += Cpu() - c;
        benchmark::DoNotOptimize(edit.document()->blockCount());
    }
    Record(state, "QPlainTextEdit::setPlainText", total, cpu);
}

}  // namespace

BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LinesLoadFromFile)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LinesLoadFromFileWrap80)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_LoadPeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_QPlainTextEditSetPlainText)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    DiaryFile();
    g_peak = PeakLoadMultiple(DiaryFile(), false);
    g_peakWrap = PeakLoadMultiple(DiaryFile(), true);
    g_peakEmpty = PeakLoadMultiple(EmptyLinesFile(), false);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    auto at = [](const std::map<std::string, double>& m, const char* name) {
        auto it = m.find(name);
        return it == m.end() ? 0.0 : it->second;
    };
    std::printf("\nfile: %zu bytes, 2,000,000 lines\n", FileSize());
    std::printf("  %-38s %10s %10s\n", "", "wall ms", "CPU ms");
    for (const auto& [name, seconds] : g_seconds)
        std::printf("  %-38s %10.1f %10.1f\n", name.c_str(), seconds * 1000, at(g_cpuSeconds, name.c_str()) * 1000);
    std::printf("\n  %-38s %8s %8s   %s\n", "", "wall", "CPU", "target");
    auto ratio = [&](const char* label, const char* a, const char* b, const char* target) {
        double wa = at(g_seconds, a), wb = at(g_seconds, b), ca = at(g_cpuSeconds, a), cb = at(g_cpuSeconds, b);
        if (wa > 0 && wb > 0) std::printf("  %-38s %7.2fx %7.2fx   %s\n", label, wa / wb, ca / cb, target);
    };
    ratio("load / floor (huge-page read)", "Lines.LoadFromFile", kFloor, "<= 2.5x");
    ratio("load with word wrap 80 / load", "Lines.LoadFromFile, WordWrap 80", "Lines.LoadFromFile", "<= 1.3x");
    ratio("QPlainTextEdit::setPlainText / load", "QPlainTextEdit::setPlainText", "Lines.LoadFromFile", "(for comparison)");
    auto peak = [](const char* label, double multiple, const char* target) {
        if (multiple >= 0) std::printf("  %-38s %7.2fx of the file      %s\n", label, multiple, target);
    };
    peak("peak memory, 100 MB / 2 M lines", g_peak, "<= 1.3x");
    peak("  the same with word wrap 80", g_peakWrap, "");
    peak("peak memory, 20 MB of 10 M empty lines", g_peakEmpty, "<= 3x");
    return 0;
}
