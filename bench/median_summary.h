#pragma once
// Google Benchmark's console output, plus each benchmark's median time per iteration (wall
// and CPU) over its repetitions, kept for a closing summary that prints every ratio beside
// its target. A single run, one benchmark reporting a failure, or a missing side makes the
// ratio "n/a" rather than a number.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

// The machine's load average, printed before and after a run: figures taken while other
// work competes for the cores are read beside it.
inline void PrintLoadAverage(const char* when = "") {
    double load[3] = {0, 0, 0};
    if (getloadavg(load, 3) == 3)
        std::printf("load average%s%s (1, 5, 15 min): %.2f %.2f %.2f\n", *when ? " " : "", when, load[0], load[1], load[2]);
    else
        std::printf("load average%s%s: unknown\n", *when ? " " : "", when);
    std::fflush(stdout);
}

struct TMedianTime {
    double wall = 0;  // seconds per iteration
    double cpu = 0;
    int repetitions = 0;
};

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal: a reporter given to RunSpecifiedBenchmarks does not follow
    // --benchmark_color.
    TMedianReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed_.push_back(Key(run));
                continue;
            }
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            const double wall = run.GetAdjustedRealTime() / unit;
            const double cpu = run.GetAdjustedCPUTime() / unit;
            if (run.run_type == Run::RT_Iteration) {
                runs_[Key(run)].push_back({wall, cpu, 1});
            } else if (run.aggregate_name == "median") {
                // Only aggregates reach the reporter under --benchmark_report_aggregates_only.
                aggregated_[Key(run)] = {wall, cpu, static_cast<int>(run.repetitions)};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // The median over the repetitions of `name` (a benchmark's registered name), or
    // repetitions == 0 when it did not run or failed.
    TMedianTime Median(const std::string& name) const {
        if (std::find(failed_.begin(), failed_.end(), name) != failed_.end()) return {};
        auto it = runs_.find(name);
        if (it != runs_.end() && !it->second.empty()) {
            std::vector<double> wall, cpu;
            for (const TMedianTime& t : it->second) {
                wall.push_back(t.wall);
                cpu.push_back(t.cpu);
            }
            return {MedianOf(wall), MedianOf(cpu), static_cast<int>(it->second.size())};
        }
        auto agg = aggregated_.find(name);
        return agg == aggregated_.end() ? TMedianTime{} : agg->second;
    }

    // One line per benchmark: the medians in milliseconds and how many repetitions.
    void PrintMedians(const std::vector<std::pair<std::string, std::string>>& labelled) const {
        std::printf("  %-66s %10s %10s %6s\n", "median per iteration", "wall ms", "CPU ms", "reps");
        for (const auto& [name, label] : labelled) {
            const TMedianTime t = Median(name);
            if (t.repetitions == 0)
                std::printf("  %-66s %10s %10s %6s\n", label.c_str(), "n/a", "n/a", "-");
            else
                std::printf("  %-66s %10.2f %10.2f %6d\n", label.c_str(), t.wall * 1e3, t.cpu * 1e3, t.repetitions);
        }
    }

    // "label   wall ratio   CPU ratio   target" for the medians of two benchmarks.
    void PrintRatio(const std::string& label, const std::string& a, const std::string& b, const char* target) const {
        const TMedianTime ta = Median(a), tb = Median(b);
        if (ta.repetitions == 0 || tb.repetitions == 0 || tb.wall <= 0 || tb.cpu <= 0)
            std::printf("  %-66s %8s %8s   %s\n", label.c_str(), "n/a", "n/a", target);
        else
            std::printf("  %-66s %7.3gx %7.3gx   %s\n", label.c_str(), ta.wall / tb.wall, ta.cpu / tb.cpu, target);
    }
    static void PrintRatioHeader() { std::printf("  %-66s %8s %8s   %s\n", "ratio of medians", "wall", "CPU", "target"); }

    static double MedianOf(std::vector<double> v) {
        if (v.empty()) return 0;
        std::sort(v.begin(), v.end());
        const size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }

private:
    static std::string Key(const Run& run) { return run.run_name.function_name; }

    std::map<std::string, std::vector<TMedianTime>> runs_;
    std::map<std::string, TMedianTime> aggregated_;
    std::vector<std::string> failed_;
};
