// A full redraw of the month grid (the shipped holiday lines, 200 special-day lines,
// rokuyo on) and of the week list, into the back buffer; the grid also for a month
// outside the old-calendar table, whose rokuyo are computed. Beside the grid: the same redraw with a
// rokuyo lookup that reads and splits the old-calendar table afresh on every call, the
// simplest lookup one could write. The summary at the end gives each redraw's CPU median
// of five repetitions (unless --benchmark_repetitions says otherwise) beside its target,
// and the ratios to the peers.
#include "app/shipped_lists.h"
#include "calendar/monthly_calendar.h"
#include "calendar/old_calendar.h"
#include "calendar/weekly_calendar.h"
#include "platform/application.h"
#include "platform/convert.h"
#include "platform/sjis.h"
#include "platform/string_list.h"

#include <QLocale>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The table read and split on every call, walked line by line to the first later month.
int RokuyoRereadingTheTable(TJuliusDay j) {
    TStringList lines;
    lines.SetText(JdOldCalResource());
    auto startOf = [&](int i) { return StrToInt(SplitFields(lines.Strings(i), ',').at(0)); };
    if (lines.Count() == 0 || startOf(0) > j || startOf(lines.Count() - 1) < j) return 0;
    for (int i = 1; i < lines.Count(); ++i) {
        if (startOf(i) > j) {
            std::vector<std::string> before = SplitFields(lines.Strings(i - 1), ',');
            int month = StrToInt(before.at(1));
            int day = j - StrToInt(before.at(0)) + 1;
            if (month > 100) month -= 100;
            return ((month - 1) + (day - 1)) % 6 + 1;
        }
    }
    return 0;
}

class BenchMonth : public TMonthlyCalendar {
public:
    bool rereading = false;
    void Draw() { DrawCalendar(); }

protected:
    int GetRokuyo(TJuliusDay day) override {
        return rereading ? RokuyoRereadingTheTable(day) : TMonthlyCalendar::GetRokuyo(day);
    }
};

class BenchWeek : public TWeeklyCalendar {
public:
    void Draw() { DrawCalendar(); }
};

// Every form of line, spread over the year.
TStringList SpecialDays() {
    TStringList list;
    for (int i = 0; i < 200; ++i) {
        const int month = i % 12 + 1;
        const std::string name = Sjis("特別な日") + std::to_string(i);
        switch (i % 4) {
            case 0: list.Add(std::to_string(month) + "," + std::to_string(i % 28 + 1) + "," + name); break;
            case 1: list.Add(std::to_string(month) + "," + std::to_string(i % 4 + 1) + "," + std::to_string(i % 7 + 1) + "," + name); break;
            case 2: list.Add("2000,2," + std::to_string(month) + "," + std::to_string(i % 28 + 1) + "," + name); break;
            default: list.Add("1999,3," + std::to_string(month) + ",2," + std::to_string(i % 7 + 1) + "," + name); break;
        }
    }
    return list;
}

// Sized like the main window's calendars and shown, so that the back buffer exists.
template <class Calendar>
void Prepare(Calendar& cal, int width, int height) {
    cal.SetHolidayList(ShippedHolidayList());
    cal.SetSpecialDayList(SpecialDays());
    cal.SetJuliusDay(YMDToJulius(2000, 1, 20));
    cal.resize(width, height);
    cal.show();
}

void MonthRedraw(benchmark::State& state, bool rereading, TJuliusDay day = YMDToJulius(2000, 1, 20)) {
    BenchMonth cal;
    cal.SetShowRokuyo(true);
    cal.SetShowNeighbor(true);
    cal.rereading = rereading;
    Prepare(cal, 360, 300);
    cal.SetJuliusDay(day);
    for (auto _ : state) {
        cal.Draw();
        benchmark::DoNotOptimize(cal.BackBuffer().constBits());
    }
}

void BM_MonthRedraw(benchmark::State& state) { MonthRedraw(state, false); }
void BM_MonthRedrawRereadingTable(benchmark::State& state) { MonthRedraw(state, true); }
// A month outside the table: the old calendar is computed (once per year, then kept).
void BM_MonthRedraw2026(benchmark::State& state) { MonthRedraw(state, false, YMDToJulius(2026, 9, 20)); }

void BM_WeekRedraw(benchmark::State& state) {
    BenchWeek cal;
    Prepare(cal, 360, 160);
    for (auto _ : state) {
        cal.Draw();
        benchmark::DoNotOptimize(cal.BackBuffer().constBits());
    }
}

// The rokuyo of the 42 cells of a grid alone.
void BM_RokuyoOfAGrid(benchmark::State& state) {
    const TJuliusDay first = YMDToJulius(2000, 1, 20) - 25;
    for (auto _ : state)
        for (TJuliusDay j = first; j < first + 42; ++j) benchmark::DoNotOptimize(RokuyoOf(j));
}

void BM_RokuyoOfAGrid2026(benchmark::State& state) {
    const TJuliusDay first = YMDToJulius(2026, 9, 20) - 25;
    for (auto _ : state)
        for (TJuliusDay j = first; j < first + 42; ++j) benchmark::DoNotOptimize(RokuyoOf(j));
}

void BM_RokuyoOfAGridRereadingTable(benchmark::State& state) {
    const TJuliusDay first = YMDToJulius(2000, 1, 20) - 25;
    for (auto _ : state)
        for (TJuliusDay j = first; j < first + 42; ++j) benchmark::DoNotOptimize(RokuyoRereadingTheTable(j));
}

BENCHMARK(BM_MonthRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthRedrawRereadingTable)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthRedraw2026)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WeekRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RokuyoOfAGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RokuyoOfAGrid2026)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RokuyoOfAGridRereadingTable)->Unit(benchmark::kMicrosecond);

// Mekuri's redraws and the target each must meet (0: none), in the order of the summary.
struct Redraw {
    const char* name;
    const char* what;
    double targetMicroseconds;
};
constexpr Redraw kRedraws[] = {
    {"BM_MonthRedraw", "month, January 2000", 150},
    {"BM_MonthRedraw2026", "month, September 2026", 150},
    {"BM_WeekRedraw", "week", 0},
};

// The console report, then a summary from CPU time (steadier than wall time on a shared
// machine): each redraw beside its target, and the peers as ratios. Each figure is the
// median of the benchmark's repetitions, or its one run when it was run once.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            Figure& figure = figures_[run.run_name.str()];
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                figure.median = run.GetAdjustedCPUTime();
                figure.repetitions = run.repetitions;
            } else if (run.run_type == Run::RT_Iteration) {
                figure.single = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nRedraws, CPU time:\n");
        for (const Redraw& redraw : kRedraws) {
            const auto figure = CpuMicroseconds(redraw.name);
            if (!figure) continue;
            std::printf("  %-24s %8.1f µs (%s)", redraw.what, figure->first, figure->second.c_str());
            if (redraw.targetMicroseconds > 0)
                std::printf("   target ≤ %.0f µs: %s", redraw.targetMicroseconds,
                            figure->first <= redraw.targetMicroseconds ? "met" : "MISSED");
            std::printf("\n");
        }
        Ratio("BM_MonthRedrawRereadingTable", "BM_MonthRedraw");
        Ratio("BM_RokuyoOfAGridRereadingTable", "BM_RokuyoOfAGrid");
    }

private:
    struct Figure {
        std::optional<double> median;
        std::int64_t repetitions = 0;
        std::optional<double> single;
    };
    // The figure in microseconds (the benchmarks report in microseconds) and how it came.
    std::optional<std::pair<double, std::string>> CpuMicroseconds(const std::string& name) const {
        const auto it = figures_.find(name);
        if (it == figures_.end()) return std::nullopt;
        if (it->second.median)
            return std::pair{*it->second.median, "median of " + std::to_string(it->second.repetitions)};
        if (it->second.single) return std::pair{*it->second.single, std::string("one run")};
        return std::nullopt;
    }
    void Ratio(const std::string& slow, const std::string& fast) const {
        const auto s = CpuMicroseconds(slow), f = CpuMicroseconds(fast);
        if (!s || !f || f->first <= 0) return;
        std::printf("CPU time %s / %s = %.1f\n", slow.c_str(), fast.c_str(), s->first / f->first);
    }
    std::map<std::string, Figure> figures_;
};

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    TApplication app(argc, argv);
    // Five repetitions unless told otherwise, so that the summary quotes medians.
    std::vector<char*> args(argv, argv + argc);
    const bool told = std::any_of(args.begin() + 1, args.end(), [](const char* arg) {
        return std::string_view(arg).starts_with("--benchmark_repetitions");
    });
    std::string repetitions = "--benchmark_repetitions=5", aggregatesOnly = "--benchmark_report_aggregates_only=true";
    if (!told) {
        args.push_back(repetitions.data());
        args.push_back(aggregatesOnly.data());
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
