// A full redraw of the month grid (the shipped holiday lines, 200 special-day lines,
// rokuyo on) and of the week list, into the back buffer; the grid also for a month
// outside the old-calendar table, whose rokuyo are computed. Beside the grid: the same redraw with a
// rokuyo lookup that reads and splits the old-calendar table afresh on every call, the
// simplest lookup one could write. The summary at the end gives each redraw's CPU median
// of five repetitions (unless --benchmark_repetitions says otherwise) beside its target,
// and the ratios to the peers.
#include "window/shipped_lists.h"
#include "bench/median_summary.h"
#include "calendar/monthly_calendar.h"
#include "calendar/old_calendar.h"
#include "calendar/weekly_calendar.h"
#include "diary/day_index.h"
#include "platform/application.h"
#include "platform/convert.h"
#include "platform/sjis.h"
#include "platform/string_list.h"

#include <QLocale>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
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

// A hundred years of entries, every other day, asked as the main window asks its index.
const TDayIndex& EveryOtherDay() {
    static const TDayIndex index = [] {
        TDayIndex i;
        for (TJuliusDay j = YMDToJulius(1950, 1, 1); j < YMDToJulius(2050, 1, 1); j += 2) i.Add(JuliusToYMD(j));
        return i;
    }();
    return index;
}

void WithMarks(TCustomCalendarEx& cal) {
    cal.OnHasEntry = [](std::int32_t y, std::uint8_t m, std::uint8_t d) { return EveryOtherDay().Has({y, m, d}); };
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

void MonthRedraw(benchmark::State& state, bool rereading, TJuliusDay day = YMDToJulius(2000, 1, 20),
                 bool marks = false) {
    BenchMonth cal;
    if (marks) WithMarks(cal);
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
// Half the days carry the mark of an entry.
void BM_MonthRedrawWithMarks(benchmark::State& state) { MonthRedraw(state, false, YMDToJulius(2000, 1, 20), true); }
void BM_MonthRedraw2026WithMarks(benchmark::State& state) { MonthRedraw(state, false, YMDToJulius(2026, 9, 20), true); }

void WeekRedraw(benchmark::State& state, bool marks) {
    BenchWeek cal;
    if (marks) WithMarks(cal);
    Prepare(cal, 360, 160);
    for (auto _ : state) {
        cal.Draw();
        benchmark::DoNotOptimize(cal.BackBuffer().constBits());
    }
}

void BM_WeekRedraw(benchmark::State& state) { WeekRedraw(state, false); }
void BM_WeekRedrawWithMarks(benchmark::State& state) { WeekRedraw(state, true); }

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
BENCHMARK(BM_MonthRedrawWithMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MonthRedraw2026WithMarks)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WeekRedraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WeekRedrawWithMarks)->Unit(benchmark::kMicrosecond);
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
    {"BM_MonthRedrawWithMarks", "month with marks, January 2000", 150},
    {"BM_MonthRedraw2026WithMarks", "month with marks, Sep 2026", 150},
    {"BM_WeekRedraw", "week", 0},
    {"BM_WeekRedrawWithMarks", "week with marks", 0},
};

// Each redraw's CPU median (steadier than wall time on a shared machine) beside its
// target, then the peers as ratios of medians.
void PrintSummary(const TMedianReporter& reporter) {
    std::printf("\nRedraws, CPU time:\n");
    for (const Redraw& redraw : kRedraws) {
        const TMedianTime t = reporter.Median(redraw.name);
        if (t.repetitions == 0) continue;
        const double microseconds = t.cpu * 1e6;
        std::printf("  %-32s %8.1f µs (median of %d)", redraw.what, microseconds, t.repetitions);
        if (redraw.targetMicroseconds > 0)
            std::printf("   target ≤ %.0f µs: %s", redraw.targetMicroseconds,
                        microseconds <= redraw.targetMicroseconds ? "met" : "MISSED");
        std::printf("\n");
    }
    std::printf("\n");
    TMedianReporter::PrintRatioHeader();
    reporter.PrintRatio("month, re-reading the table / kept", "BM_MonthRedrawRereadingTable", "BM_MonthRedraw",
                        "(for comparison)");
    reporter.PrintRatio("month with marks / without", "BM_MonthRedrawWithMarks", "BM_MonthRedraw", "(the marks' cost)");
    reporter.PrintRatio("week with marks / without", "BM_WeekRedrawWithMarks", "BM_WeekRedraw", "(the marks' cost)");
    reporter.PrintRatio("rokuyo of a grid, re-reading the table / kept", "BM_RokuyoOfAGridRereadingTable",
                        "BM_RokuyoOfAGrid", "(for comparison)");
}

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
    PrintLoadAverage("before the run");
    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintSummary(reporter);
    PrintLoadAverage("after the run");
    benchmark::Shutdown();
    return 0;
}
