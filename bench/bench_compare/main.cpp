// One daily chart frame drawn three ways, on the same 1600 × 900 ARGB32
// premultiplied image:
//   ours  - the library's elements: candles with five moving averages, volume
//           with two, MACD, three value axes, the time axis and a crosshair;
//   qcp   - the same picture with QCustomPlot (candles, graphs, bars, axes
//           with tick labels, items for the crosshair), rendered with
//           toPainter;
//   hand  - the least QPainter code that draws the picture, batched by
//           colour.
// Windows: the last 200 of 10,000 bars, all 10,000, the last 200 of
// 1,000,000. A frame is a repaint: the window and the lines are computed
// beforehand (as setRange does when the window moves), the frame clears the
// image and paints everything.
//
// After the runs a table prints microseconds per frame and the ratios
// against the goals. `--compare_images=DIR` also writes each way's picture
// of each window to DIR for a look. Built without QCustomPlot
// (ZT_BENCH_PEER 0: no build of it for the Qt in use), the qcp rows are left
// out and the output says so.
//
// The live-update benchmarks (LiveBench.h) follow: a scroll step, a tick and
// an appended record at 10,000 to 1,000,000 bars, ours against a hand loop,
// with their own table. Under BENCH_QUICK=1 they keep to 10,000 bars.

#include "CompareBench.h"
#include "LiveBench.h"

#include <QApplication>
#include <QDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <string>
#include <vector>

using namespace CompareBench;

namespace {

// Keeps the CPU time per frame of every run besides printing it.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            // Microseconds: every frame benchmark reports in them.
            m_times[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
        }
    }

    // The median over repetitions; NaN when the run did not happen.
    double micros(const std::string& name) const
    {
        const auto it = m_times.find(name);
        if (it == m_times.end() || it->second.empty())
            return std::nan("");
        std::vector<double> t = it->second;
        std::nth_element(t.begin(), t.begin() + long(t.size() / 2), t.end());
        return t[t.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> m_times;
};

std::string frameName(int caseIndex, Way way)
{
    return std::string("Frame/") + kCases[caseIndex].name + "/" + kWayNames[way];
}

void printRatio(const char* what, double ratio, double goal)
{
    const char* verdict = std::isnan(ratio) ? "not run" : ratio <= goal ? "ok" : "SHORT";
    std::printf("  %-44s %6.2f  (goal <= %.1f)  %s\n", what, ratio, goal, verdict);
}

void printSummary(const CollectingReporter& r)
{
    std::printf("\nMicroseconds of CPU per 1600x900 frame\n");
    std::printf("  %-12s %12s %12s %12s\n", "window", "ours", "qcp", "hand");
    for (int c = 0; c < 3; ++c) {
        std::printf("  %-12s %12.1f %12.1f %12.1f\n", kCases[c].name, r.micros(frameName(c, eOurs)),
                    r.micros(frameName(c, eQcp)), r.micros(frameName(c, eHand)));
    }
    std::printf("\nRatios\n");
    const double goals[][2] = {{0.5, 1.5}, {0.5, 2.0}};
    for (int c = 0; c < 2; ++c) {
        const double ours = r.micros(frameName(c, eOurs));
        const std::string name = kCases[c].name;
        printRatio((name + ": ours / qcp").c_str(), ours / r.micros(frameName(c, eQcp)), goals[c][0]);
        printRatio((name + ": ours / hand").c_str(), ours / r.micros(frameName(c, eHand)), goals[c][1]);
    }
    if (!kHavePeer)
        std::printf("  (qcp: not built; no QCustomPlot for Qt %d was found)\n", QT_VERSION_MAJOR);
    printRatio("ours 200_of_1M / ours 200_of_10k", r.micros(frameName(2, eOurs)) / r.micros(frameName(0, eOurs)),
               1.2);
}

// Writes each way's picture of each case, so that the three can be compared
// by eye.
bool writeImages(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return false;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (int c = 0; c < 3; ++c) {
        for (Way way : kWays) {
            drawFrame(sceneOf(c), way, &image);
            const QString file = QStringLiteral("%1/%2_%3.png").arg(dir, kCases[c].name, kWayNames[way]);
            if (!image.save(file)) {
                std::fprintf(stderr, "bench_compare: cannot write %s\n", qPrintable(file));
                return false;
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!kHavePeer)
        std::printf("bench_compare: no QCustomPlot for Qt %d; the qcp rows are left out\n", QT_VERSION_MAJOR);
    // QCustomPlot is a widget; offscreen needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString imageDir;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QLatin1String("--compare_images=")))
            imageDir = a.mid(int(sizeof("--compare_images=")) - 1);
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    QApplication app(n, args.data());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;

    for (int c = 0; c < 3; ++c) {
        for (Way way : kWays) {
            benchmark::RegisterBenchmark(frameName(c, way).c_str(), BM_Frame, c, way)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int part = 0; part < int(std::size(kPartNames)); ++part) {
            const std::string name = std::string("Part/") + kCases[c].name + "/" + kPartNames[part];
            benchmark::RegisterBenchmark(name.c_str(), BM_Part, c, part)->Unit(benchmark::kMicrosecond);
        }
    }
    // CI runs every benchmark briefly to keep it working: the live steps
    // then stay at 10,000 records, whose charts build in well under a second.
    LiveBench::registerAll(qgetenv("BENCH_QUICK") == "1");
    if (!imageDir.isEmpty() && !writeImages(imageDir))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    LiveBench::printSummary([&](const std::string& name) { return reporter.micros(name); });
    return 0;
}
