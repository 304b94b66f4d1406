// One repaint of a 1600 × 900 daily chart: candles with five moving averages,
// volume with MA5 and MA10, and MACD, over 10,000 bars, showing the last 200
// or all of them. A frame clears the image and calls Fill on every pane; the
// lines are computed once beforehand, as setRange does when the window moves.

#include "BenchBars.h"

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using namespace ZtUIDataStruct;

constexpr int kBars = 10000;
constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kAxisWidth = 72;

// The panes of the chart with their ranges set for one window.
struct Chart
{
    ZtLineLib_Formula candles{ZtLineLib_Formula::eFT_KLINE};
    ZtLineLib_Formula averages{ZtLineLib_Formula::eFT_MA};
    ZtLineLib_Formula volume{ZtLineLib_Formula::eFT_VOL};
    ZtLineLib_Formula macd{ZtLineLib_Formula::eFT_MACD};
    std::vector<std::unique_ptr<ZtLineLib_Reference>> axes;

    Chart(DQDDataList* data, int first, int count, bool withAxes)
    {
        const QRect price(0, 0, kWidth, 540);
        const QRect vol(0, 540, kWidth, 180);
        const QRect osc(0, 720, kWidth, 180);
        for (ZtLineLib_Formula* pane : {&candles, &averages, &volume, &macd})
            pane->setPrec(2);
        candles.setDrawMaxMinTag(true);
        volume.m_params = {5, 10};

        place(candles, price, data, first, count, kZtNoValueMax);
        place(averages, price, data, first, count, kZtNoValueMax);
        const double high = std::max(candles.maxReference(), averages.maxReference());
        const double low = std::min(candles.minReference(), averages.minReference());
        candles.SetMaxMinValue(high, low);
        averages.SetMaxMinValue(high, low);
        place(volume, vol, data, first, count, 0);
        place(macd, osc, data, first, count, kZtNoValueMax);
        const double reach = std::max(std::fabs(macd.maxReference()), std::fabs(macd.minReference()));
        macd.SetMaxMinValue(reach, -reach);

        if (!withAxes)
            return;
        const ZtLineLib_Formula* owners[] = {&candles, &volume, &macd};
        const QRect areas[] = {price, vol, osc};
        for (int j = 0; j < 3; ++j) {
            auto axis = std::make_unique<ZtLineLib_Reference>();
            axis->setRect(QRectF(areas[j]));
            axis->setFixedPaddingRight(kAxisWidth);
            axis->setMainValueOnRight(true);
            axis->setPrec(2);
            axis->setData(data);
            axis->SetMaxMinValue(owners[j]->maxReference(), owners[j]->minReference());
            axis->setRange(first, count);
            axes.push_back(std::move(axis));
        }
    }

    static void place(ZtLineLib_Formula& pane, const QRect& area, DQDDataList* data, int first,
                      int count, double min)
    {
        pane.setRect(QRectF(area.adjusted(0, 0, -kAxisWidth, 0)));
        pane.setData(data);
        pane.SetMaxMinValue(kZtNoValue, min);
        pane.setRange(first, count);
    }

    void paint(QPainter* p)
    {
        for (auto& axis : axes)
            axis->Fill(p);
        for (ZtLineLib_Formula* pane : {&candles, &averages, &volume, &macd})
            pane->Fill(p);
    }
};

DQDDataList& bars()
{
    static DQDDataList list = makeBenchBars(kBars);
    return list;
}

void runFrames(benchmark::State& state, bool withAxes)
{
    const int shown = int(state.range(0));
    Chart chart(&bars(), kBars - shown, shown, withAxes);
    if (chart.averages.formulaLines().lineCount() != 5 || chart.macd.formulaLines().lineCount() == 0)
        state.SkipWithError("the formula engine gave no moving averages or MACD");
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const QColor background = getThemePen(QStringLiteral("Background")).color();
    for (auto _ : state) {
        image.fill(background);
        QPainter p(&image);
        chart.paint(&p);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bars"] = shown;
}

// Clearing the image alone, the floor under every frame.
void BM_ClearOnly(benchmark::State& state)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::black);
        QPainter p(&image);
        p.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

void BM_PanesFrame(benchmark::State& state)
{
    runFrames(state, false);
}

void BM_PanesAndAxesFrame(benchmark::State& state)
{
    runFrames(state, true);
}

} // namespace

BENCHMARK(BM_ClearOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanesFrame)->Arg(200)->Arg(kBars)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PanesAndAxesFrame)->Arg(200)->Arg(kBars)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // Fonts and the raster engine need a GUI application; offscreen needs
    // no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
