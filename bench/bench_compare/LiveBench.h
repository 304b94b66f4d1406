#pragma once

// Live updates of a chart, the library against a hand loop: a scroll step
// (the window moves by one item over unchanged data), a tick (the last
// record's close, high, low and volume change) and an appended record, each
// at 10,000, 100,000 and 1,000,000 daily bars with a window of 200. Two
// charts: the demo chart (KLINE, MA, VOL, MACD panes) and one engine pane
// with a ten-line user formula.
//
// Ours runs the host's quote callback: change or append the record, announce
// it (recordsChanged / recordsAppended) and call SetMaxMinValue and
// setRange(first, 200, true) on every pane. The hand loop keeps the lines as
// plain arrays and does the least work that leaves them and the range of the
// window right: a scroll scans the window, a tick or an append computes the
// last value of each line from the values before it and scans the window.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace LiveBench {

enum Chart { eDemo, eEngine };
enum Step { eScroll, eTick, eAppend };
enum Way { eOurs, eHand };

inline const char* const kChartNames[] = {"demo", "formula10"};
inline const char* const kStepNames[] = {"scroll", "tick", "append"};
inline const char* const kWayNames[] = {"ours", "hand"};
inline const int kSizes[] = {10000, 100000, 1000000};
constexpr int kShown = 200;

std::string benchmarkName(Chart chart, Step step, int records, Way way);

// Registers every live benchmark; quick (CI) keeps to 10,000 records.
void registerAll(bool quick);

// Prints the table of ratios and targets; micros(name) gives the median CPU
// microseconds per iteration of a run, NaN when it did not run.
void printSummary(const std::function<double(const std::string&)>& micros);

} // namespace LiveBench
