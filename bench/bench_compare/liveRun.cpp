// The live-update benchmarks: each chart, step and size for ours and the
// hand loop, checked against each other before timing, and their table.

#include "CompareBench.h"
#include "LiveCharts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

namespace LiveBench {

namespace {

// Appends of one run before the list is cut back: the lists keep room for
// them, so that no append moves the whole list.
int appendsPerRun(int records)
{
    return std::max(1000, records / 50);
}

// One chart per kind and size on each side, shared by its three steps.
template <typename T>
T& chartOf(Chart chart, int records)
{
    static std::map<std::pair<int, int>, std::unique_ptr<T>> charts;
    auto& slot = charts[{int(chart), records}];
    if (!slot) {
        if constexpr (std::is_same_v<T, HandChart>) {
            slot = std::make_unique<HandChart>(chart);
            slot->load(CompareBench::barsOf(records));
        } else {
            slot = std::make_unique<OurLiveChart>(chart, CompareBench::barsOf(records));
        }
    }
    return *slot;
}

bool near(double a, double b, double tolerance)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    // The engine works in floats: a long EMA carries their rounding, which a
    // difference such as MACD's DIFF shows against the price scale.
    return std::fabs(a - b) <= tolerance + 1e-5 * std::max({std::fabs(a), std::fabs(b), 10.0});
}

// Empty when our lines' last shown values and our ranges agree with the hand
// loop's after the same step on the same records.
// The window ends at record end − 1: built-in lines end with the window.
std::string compare(const OurLiveChart& ours, const HandChart& hand, int end, const char* after)
{
    const int last = end - 1;
    if (ours.count() != hand.count())
        return std::string("record counts differ after ") + after;
    for (int line = 0; line < hand.lineCount(); ++line) {
        for (int i : {last - 1, last}) {
            if (!near(ours.valueAt(line, i), hand.valueAt(line, i), 0))
                return "line " + std::to_string(line) + " record " + std::to_string(i)
                       + " differs after " + after;
        }
    }
    const std::vector<Range> ranges = ours.ranges();
    const std::vector<int> precs = ours.precisions();
    for (size_t p = 0; p < ranges.size(); ++p) {
        // The pane cuts its ends to its decimals.
        const double cut = 1.0001 * std::pow(10.0, -precs[p]);
        if (!near(ranges[p].lo, hand.ranges()[p].lo, cut)
            || !near(ranges[p].hi, hand.ranges()[p].hi, cut))
            return "range of pane " + std::to_string(p) + " differs after " + after;
    }
    return {};
}

// Runs one step of each kind on ours and on a hand chart loaded from the
// same records, and compares them.
std::string check(OurLiveChart& ours)
{
    HandChart hand(ours.chart());
    hand.load(ours.list());
    const int n = ours.count();
    ours.scroll(n - kShown - 1);
    hand.scroll(n - kShown - 1);
    std::string problem = compare(ours, hand, n - 1, "a scroll step");
    const Bar tick = barForStep(barAt(ours.list(), n - 1), 1);
    ours.tick(tick);
    hand.tick(tick);
    if (problem.empty())
        problem = compare(ours, hand, n, "a tick");
    const Bar next = barForStep(tick, 0);
    ours.append(next);
    hand.append(next);
    if (problem.empty())
        problem = compare(ours, hand, n + 1, "an append");
    ours.truncate(n);
    return problem;
}

template <typename T>
void runSteps(benchmark::State& state, T& chart, Step step, int records)
{
    const int base = chart.count();
    const Bar last = barAt(CompareBench::barsOf(records), records - 1);
    Bar bar = last;
    long k = 0;
    // A live feed appends all day: the first append after a full computation
    // grows what the panes keep to the next size, which later appends then
    // do not pay. The benchmark times the appends after it.
    if (step == eAppend) {
        bar = barForStep(bar, k++);
        chart.append(bar);
    }
    for (auto _ : state) {
        switch (step) {
        case eScroll:
            chart.scroll(base - kShown - int(k & 1));
            break;
        case eTick:
            chart.tick(barForStep(last, k));
            break;
        case eAppend:
            if (chart.count() - base >= appendsPerRun(records)) {
                state.PauseTiming();
                chart.truncate(base);
                bar = last;
                state.ResumeTiming();
            }
            bar = barForStep(bar, k);
            chart.append(bar);
            break;
        }
        ++k;
    }
    if (chart.count() != base)
        chart.truncate(base);
}

void BM_Live(benchmark::State& state, Chart chart, Step step, int records, Way way)
{
    if (way == eHand) {
        runSteps(state, chartOf<HandChart>(chart, records), step, records);
        return;
    }
    OurLiveChart& ours = chartOf<OurLiveChart>(chart, records);
    // Once per chart: a check at a million records recomputes everything.
    static std::map<std::pair<int, int>, std::string> problems;
    const auto key = std::make_pair(int(chart), records);
    if (!problems.count(key))
        problems[key] = check(ours);
    const std::string& problem = problems[key];
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    runSteps(state, ours, step, records);
}

} // namespace

std::string benchmarkName(Chart chart, Step step, int records, Way way)
{
    return std::string("Live/") + kChartNames[chart] + "/" + kStepNames[step] + "/"
           + std::to_string(records) + "/" + kWayNames[way];
}

void registerAll(bool quick)
{
    for (int records : kSizes) {
        if (quick && records > kSizes[0])
            continue;
        for (Chart chart : {eDemo, eEngine}) {
            for (Step step : {eScroll, eTick, eAppend}) {
                for (Way way : {eOurs, eHand}) {
                    benchmark::RegisterBenchmark(benchmarkName(chart, step, records, way).c_str(),
                                                 BM_Live, chart, step, records, way)
                        ->Unit(benchmark::kMicrosecond);
                }
            }
        }
    }
}

void printSummary(const std::function<double(const std::string&)>& micros)
{
    std::printf("\nLive updates, CPU microseconds per step (window of %d)\n", kShown);
    std::printf("  %-10s %-7s %9s %10s %10s %7s  %-36s %s\n", "chart", "step", "records", "ours",
                "hand", "ratio", "goal", "");
    for (Chart chart : {eDemo, eEngine}) {
        for (Step step : {eScroll, eTick, eAppend}) {
            const double small = micros(benchmarkName(chart, step, kSizes[0], eOurs));
            for (int records : kSizes) {
                const double ours = micros(benchmarkName(chart, step, records, eOurs));
                const double hand = micros(benchmarkName(chart, step, records, eHand));
                if (std::isnan(ours) && std::isnan(hand))
                    continue;
                const double ratio = ours / hand;
                std::string goal;
                bool ok = true;
                if (step == eScroll) {
                    goal = "<= 1.5x";
                    ok = ratio <= 1.5;
                    if (records != kSizes[0]) {
                        const double drift = ours / small;
                        char text[48];
                        std::snprintf(text, sizeof text, ", %.2f of 10k (0.8-1.2)", drift);
                        goal += text;
                        ok = ok && drift >= 0.8 && drift <= 1.2;
                    }
                } else {
                    goal = "<= 3x";
                    ok = ratio <= 3.0;
                    if (chart == eDemo && records == kSizes[2]) {
                        goal += ", <= 2000 us";
                        ok = ok && ours <= 2000;
                    }
                }
                std::printf("  %-10s %-7s %9d %10.2f %10.2f %7.2f  %-36s %s\n", kChartNames[chart],
                            kStepNames[step], records, ours, hand, ratio, goal.c_str(),
                            std::isnan(ratio) ? "not run" : ok ? "ok" : "SHORT");
            }
        }
    }
}

} // namespace LiveBench
