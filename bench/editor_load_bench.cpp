// Loading a 100 MB, 2 million line CP932 diary into the editor's rows, side by side with
// the floor (one read() of the whole file) and with Qt's plain text editor taking the same
// text. A summary of the ratios and of the load's peak memory is printed at the end.
//
// The file is generated once (deterministic) into the temp folder and reused by later runs.
#include "editor/editor_strings.h"
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

constexpr const char* kSize = "100M";
constexpr const char* kLines = "2000000";

std::string g_file;
std::map<std::string, double> g_seconds;  // per iteration, by benchmark

std::string DiaryFile() {
    if (!g_file.empty()) return g_file;
    auto path = std::filesystem::temp_directory_path() / "mekuri-bench-diary-100M-2000000.txt";
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) != 100000000u) {
        std::string command = std::string("python3 '") + MEKURI_GEN_SJIS + "' --size " + kSize + " --lines " + kLines +
                              " -o '" + path.string() + "' >/dev/null";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "cannot generate %s with %s\n", path.c_str(), MEKURI_GEN_SJIS);
            std::exit(1);
        }
    }
    g_file = path.string();
    return g_file;
}

size_t FileSize() { return std::filesystem::file_size(DiaryFile()); }

void Record(benchmark::State& state, const std::string& name, double seconds) {
    g_seconds[name] = seconds / static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(FileSize()));
}

double Now() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The floor: the whole file into fresh memory with one read().
std::unique_ptr<char[]> ReadWhole(const std::string& file, size_t& size) {
    int fd = ::open(file.c_str(), O_RDONLY);
    struct stat st;
    ::fstat(fd, &st);
    size = static_cast<size_t>(st.st_size);
    std::unique_ptr<char[]> buffer(new char[size]);
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::read(fd, buffer.get() + done, size - done);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::close(fd);
    return buffer;
}

void BM_RawRead(benchmark::State& state) {
    std::string file = DiaryFile();
    double total = 0;
    for (auto _ : state) {
        double t = Now();
        size_t size = 0;
        auto buffer = ReadWhole(file, size);
        benchmark::DoNotOptimize(buffer.get()[size - 1]);
        buffer.reset();
        total += Now() - t;
    }
    Record(state, "raw read", total);
}

void LoadRows(benchmark::State& state, bool wrap, const char* name) {
    std::string file = DiaryFile();
    double total = 0;
    size_t rows = 0;
    for (auto _ : state) {
        double t = Now();
        {
            TRowStore store;
            store.SetWordWrap(wrap);
            TEditorStrings lines(store);
            lines.LoadFromFile(file);
            rows = static_cast<size_t>(store.RowCount());
        }
        total += Now() - t;
    }
    state.counters["rows"] = static_cast<double>(rows);
    Record(state, name, total);
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
double PeakLoadMultiple(bool wrap) {
    std::string file = DiaryFile();
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
            TRowStore store;
            store.SetWordWrap(wrap);
            TEditorStrings lines(store);
            lines.LoadFromFile(file);
            peak = StatusKb("VmHWM:");
        }
        double multiple = static_cast<double>(peak - base) * 1024.0 / static_cast<double>(FileSize());
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

void BM_LoadPeakMemory(benchmark::State& state) {
    for (auto _ : state) {
        g_peak = PeakLoadMultiple(false);
        g_peakWrap = PeakLoadMultiple(true);
    }
    state.counters["peak_x_file"] = g_peak;
    state.counters["peak_x_file_wrap80"] = g_peakWrap;
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
    auto bytes = ReadWhole(DiaryFile(), size);
    QString text = SjisToQString(std::string_view(bytes.get(), size));
    bytes.reset();
    double total = 0;
    for (auto _ : state) {
        QPlainTextEdit edit;
        double t = Now();
        edit.setPlainText(text);
        total += Now() - t;
        benchmark::DoNotOptimize(edit.document()->blockCount());
    }
    Record(state, "QPlainTextEdit::setPlainText", total);
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
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    auto at = [](const char* name) {
        auto it = g_seconds.find(name);
        return it == g_seconds.end() ? 0.0 : it->second;
    };
    double raw = at("raw read");
    double load = at("Lines.LoadFromFile");
    double wrap = at("Lines.LoadFromFile, WordWrap 80");
    double qt = at("QPlainTextEdit::setPlainText");
    std::printf("\nfile: %s (%zu bytes)\n", g_file.c_str(), FileSize());
    for (const auto& [name, seconds] : g_seconds) std::printf("  %-34s %9.1f ms\n", name.c_str(), seconds * 1000);
    if (raw > 0 && load > 0) std::printf("  load / raw read:            %6.2fx  (target <= 3x)\n", load / raw);
    if (raw > 0 && wrap > 0) std::printf("  load wrap 80 / raw read:    %6.2fx\n", wrap / raw);
    if (qt > 0 && load > 0) std::printf("  QPlainTextEdit / load:      %6.1fx  (target >= 5x)\n", qt / load);
    if (g_peak >= 0) std::printf("  peak memory of the load:    %6.2fx file size (target <= 2.5x)\n", g_peak);
    if (g_peakWrap >= 0) std::printf("  same with word wrap 80:     %6.2fx file size\n", g_peakWrap);
    return 0;
}
