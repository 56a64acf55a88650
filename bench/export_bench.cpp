// Exporting a twenty-year diary (7,300 day files) to text with `mekuri export`, set beside
// reading the same files and converting them from Shift-JIS with iconv (`cat *.dat | iconv
// -f CP932 -t UTF-8 > /dev/null`). Both run as the processes a user would start, in pairs
// whose order alternates, and each is timed by the wall clock and by its processes' CPU
// time (user + system); the ratios are of the medians of the same pairs.
//
// Laying out 1,000 printed pages (A4 at 300 dpi, the editor's font), and drawing them into
// a PDF: the figures behind the progress shown while printing.
//
// The diary comes from the project's own deterministic generator (tools/diary_folder.h).
#include "window/form1.h"
#include "window/print_pages.h"
#include "bench/bench_app.h"
#include "bench/median_summary.h"
#include "diary/print_layout.h"
#include "tools/diary_folder.h"
#include "tools/diary_text.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#ifndef MEKURI_PROGRAM
#error "MEKURI_PROGRAM names the program under test"
#endif

namespace fs = std::filesystem;

namespace {

constexpr size_t kDays = 7300;
constexpr size_t kBytesPerDay = 800;

std::string g_folder;
size_t g_bytes = 0;

const std::string& Folder() {
    if (g_folder.empty()) {
        g_folder = (fs::temp_directory_path() / ("mekuri-bench-" + std::to_string(::getpid()) + "-diary")).string();
        fs::create_directories(g_folder);
        g_bytes = WriteDiaryFolder(g_folder, {2006, 1, 1}, kDays, kBytesPerDay);
        std::atexit([] { fs::remove_all(g_folder); });
    }
    return g_folder;
}

struct TRun {
    double wall = 0;  // seconds
    double cpu = 0;   // the processes' user + system seconds
};

double ChildCpu() {
    rusage ru{};
    ::getrusage(RUSAGE_CHILDREN, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

TRun RunShell(const std::string& command) {
    const double cpu0 = ChildCpu();
    const auto t0 = std::chrono::steady_clock::now();
    const int status = std::system(command.c_str());
    const auto t1 = std::chrono::steady_clock::now();
    if (status != 0) {
        std::fprintf(stderr, "failed (%d): %s\n", status, command.c_str());
        std::exit(1);
    }
    return {std::chrono::duration<double>(t1 - t0).count(), ChildCpu() - cpu0};
}

std::string ReferenceCommand() { return "cd '" + Folder() + "' && cat *.dat | iconv -f CP932 -t UTF-8 > /dev/null"; }
std::string ExportCommand() {
    return std::string("'") + MEKURI_PROGRAM + "' export --folder '" + Folder() + "' > /dev/null";
}

std::vector<TRun> g_reference, g_export;

// One iteration is one pair; the manual time is the export's wall time.
void BM_ExportTextPaired(benchmark::State& state) {
    Folder();
    RunShell(ExportCommand());  // the files in the page cache, the program's libraries too
    RunShell(ReferenceCommand());
    bool exportFirst = false;
    for (auto _ : state) {
        TRun ours, ref;
        if (exportFirst) {
            ours = RunShell(ExportCommand());
            ref = RunShell(ReferenceCommand());
        } else {
            ref = RunShell(ReferenceCommand());
            ours = RunShell(ExportCommand());
        }
        exportFirst = !exportFirst;
        g_export.push_back(ours);
        g_reference.push_back(ref);
        state.SetIterationTime(ours.wall);
    }
}
BENCHMARK(BM_ExportTextPaired)->UseManualTime()->Iterations(1)->Repetitions(15)->Unit(benchmark::kMillisecond);

// The days of about 1,000 pages: the generator's lines, 400 to a day.
std::vector<TPrintDay> PageDays() {
    const std::string text = DiaryText(2700000, 45000, 22);
    const std::vector<std::string> lines = DayTextLines(text);
    std::vector<TPrintDay> days;
    for (size_t at = 0; at < lines.size(); at += 400) {
        const TYMD day = JuliusToYMD(YMDToJulius(2026, 1, 1) + static_cast<TJuliusDay>(days.size()));
        days.push_back({PrintDayHeader(day, ""),
                        std::vector<std::string>(lines.begin() + static_cast<long>(at),
                                                 lines.begin() + static_cast<long>(std::min(lines.size(), at + 400)))});
    }
    return days;
}

void SetUpPdf(QPdfWriter& writer) {
    writer.setResolution(300);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(15, 15, 15, 15),
                                     QPageLayout::Millimeter));
}

void BM_LayOutPages(benchmark::State& state) {
    EnsureBenchApp();
    const std::vector<TPrintDay> days = PageDays();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    SetUpPdf(writer);
    const QFont font = PrinterFont(InitialEditorFont());
    size_t pages = 0;
    for (auto _ : state) {
        // Fresh metrics each time: measuring the characters is part of the work.
        const TPrintMetrics metrics = PrintMetricsFor(writer, font);
        pages = LayOutPrint(days, metrics).size();
    }
    state.counters["pages"] = static_cast<double>(pages);
}
BENCHMARK(BM_LayOutPages)->Repetitions(5)->Unit(benchmark::kMillisecond);

void BM_PaintPagesToPdf(benchmark::State& state) {
    EnsureBenchApp();
    const std::vector<TPrintDay> days = PageDays();
    const QFont font = PrinterFont(InitialEditorFont());
    int pages = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        SetUpPdf(writer);
        QPainter painter(&writer);
        PaintPrintJob(writer, painter, days, font, [&](int, int total) {
            pages = total;
            return true;
        });
        painter.end();
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_PaintPagesToPdf)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

double Median(const std::vector<TRun>& runs, double TRun::*field) {
    std::vector<double> v;
    for (const TRun& r : runs) v.push_back(r.*field);
    return TMedianReporter::MedianOf(v);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    double load[3] = {0, 0, 0};
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    ::getloadavg(load, 3);

    std::printf("\ndiary: %zu day files, %zu bytes of CP932; load average at the end %.2f %.2f %.2f\n", kDays, g_bytes,
                load[0], load[1], load[2]);
    if (!g_export.empty()) {
        std::printf("export: %s export --folder DIR > /dev/null\nreference: cat *.dat | iconv -f CP932 -t UTF-8 > /dev/null\n",
                    MEKURI_PROGRAM);
        std::printf("  %-66s %10s %10s %6s\n", "median of the pairs", "wall ms", "CPU ms", "pairs");
        std::printf("  %-66s %10.1f %10.1f %6zu\n", "mekuri export (text)", Median(g_export, &TRun::wall) * 1e3,
                    Median(g_export, &TRun::cpu) * 1e3, g_export.size());
        std::printf("  %-66s %10.1f %10.1f %6zu\n", "cat | iconv", Median(g_reference, &TRun::wall) * 1e3,
                    Median(g_reference, &TRun::cpu) * 1e3, g_reference.size());
        TMedianReporter::PrintRatioHeader();
        std::printf("  %-66s %7.3gx %7.3gx   %s\n", "export / cat | iconv",
                    Median(g_export, &TRun::wall) / Median(g_reference, &TRun::wall),
                    Median(g_export, &TRun::cpu) / Median(g_reference, &TRun::cpu), "<= 2x");
    }
    std::printf("\n");
    reporter.PrintMedians({{"BM_LayOutPages", "lay out the pages (PrintMetricsFor + LayOutPrint)"},
                           {"BM_PaintPagesToPdf", "lay out and draw the pages into a PDF (PaintPrintJob)"}});
    return 0;
}
