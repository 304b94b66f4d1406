// setRange of every pane type against a hand-written loop that computes the
// same lines from the same data, as a host would write it. Daily types run
// over 100,000 bars. The intraday types run over the five-day minute sample
// (1,205 slots): an intraday chart never holds more than a few days, and a
// longer list of minutes would measure a pane nobody shows.
//
// Before timing, every pair is run once and the pane's lines are compared
// with the hand loop's at a few indexes; a pair that disagrees is reported
// as an error rather than timed. After the runs a table prints ns per bar,
// the ratio ours ÷ hand and the target. The table judges nothing for CI:
// the binary exits 0 whatever the timings.

#include "BenchFormulaLines.h"
#include "ComputeBench.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace ComputeBench;

namespace {

// Keeps the time of every repetition of every run while the console
// reporter prints as usual; the summary takes the median.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    struct Result
    {
        std::vector<double> ns; // per iteration, one per repetition
        double bars = 0;
        std::string error;

        double median() const
        {
            std::vector<double> v = ns;
            std::sort(v.begin(), v.end());
            if (v.empty())
                return 0;
            const size_t m = v.size() / 2;
            return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
        }
    };
    std::map<std::string, Result> results;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            Result& r = results[run.benchmark_name()];
            if (run.error_occurred) {
                r.error = run.error_message;
                continue;
            }
            const double ns = run.GetAdjustedCPUTime()
                              * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond)
                              / benchmark::GetTimeUnitMultiplier(run.time_unit);
            r.ns.push_back(ns);
            const auto bars = run.counters.find("bars");
            if (bars != run.counters.end())
                r.bars = bars->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void printSummary(const CollectingReporter& reporter)
{
    std::printf("\n%-9s %7s %12s %12s %7s %7s  %s\n", "type", "bars", "ours ns/bar",
                "hand ns/bar", "ratio", "target", "");
    for (const Case& c : kCases) {
        const auto ours = reporter.results.find(std::string("ours/") + c.name);
        const auto hand = reporter.results.find(std::string("hand/") + c.name);
        if (ours == reporter.results.end() || hand == reporter.results.end())
            continue; // filtered out
        const double target = c.engine ? 5.0 : 3.0;
        if (!ours->second.error.empty() || !hand->second.error.empty()) {
            std::printf("%-9s  ERROR %s\n", c.name,
                        (ours->second.error.empty() ? hand->second.error : ours->second.error).c_str());
            continue;
        }
        const double bars = std::max(ours->second.bars, 1.0);
        const double o = ours->second.median() / bars;
        const double h = hand->second.median() / bars;
        const double ratio = o / h;
        std::printf("%-9s %7.0f %12.2f %12.2f %7.2f %6.0fx  %s\n", c.name, bars, o, h, ratio,
                    target, ratio <= target ? "ok" : "SHORT");
    }
    const auto ours = reporter.results.find("ours/FORMULA10");
    const auto hand = reporter.results.find("hand/FORMULA10");
    if (ours != reporter.results.end() && hand != reporter.results.end()) {
        if (!ours->second.error.empty()) {
            std::printf("FORMULA10  ERROR %s\n", ours->second.error.c_str());
        } else {
            const double ratio = ours->second.median() / std::max(hand->second.median(), 1.0);
            std::printf("\nten-line formula, ten functions, %d bars: ours %.2f ms, hand %.2f ms, "
                        "ratio %.2f  target 5x  %s\n",
                        kDailyBars, ours->second.median() / 1e6, hand->second.median() / 1e6,
                        ratio, ratio <= 5.0 ? "ok" : "SHORT");
        }
    }
    const auto demo = reporter.results.find("demo/setRange10k");
    if (demo != reporter.results.end() && demo->second.error.empty()) {
        const double ms = demo->second.median() / 1e6;
        std::printf("\ndemo chart, every pane's setRange (10,000 daily bars; 1- and 5-day "
                    "minutes): %.3f ms  target 5 ms  %s\n",
                    ms, ms <= 5.0 ? "ok" : "SHORT");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("ours/") + c.name).c_str(), benchOurs, c)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("hand/") + c.name).c_str(), benchHand, c)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("demo/setRange10k", benchDemo)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ours/FORMULA10", FormulaLinesBench::benchOurs, &fixture().daily)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("hand/FORMULA10", FormulaLinesBench::benchHand, &fixture().daily)
        ->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
