// The three ways of one case drawn into one image, and the benchmarks of a
// whole frame and of each element of ours.

#include "HandChart.h"
#include "QcpChart.h"

#include <map>
#include <memory>

namespace CompareBench {

DQDDataList& barsOf(int n)
{
    static std::map<int, std::unique_ptr<DQDDataList>> lists;
    auto& list = lists[n];
    if (!list)
        list = std::make_unique<DQDDataList>(makeBenchBars(n));
    return *list;
}

struct Scene
{
    explicit Scene(const Case& c)
        : data(barsOf(c.bars))
        , ours(&data, c.bars - c.shown, c.shown)
        , series(data, ours, c.bars - c.shown, c.shown)
        , qcp(series)
        , hand(series)
    {
    }
    DQDDataList& data;
    OurChart ours;
    Series series;
    QcpChart qcp;
    HandChart hand;
};

QImage& frameImage();

Scene& sceneOf(int caseIndex)
{
    static std::map<int, std::unique_ptr<Scene>> scenes;
    auto& scene = scenes[caseIndex];
    if (!scene) {
        scene = std::make_unique<Scene>(kCases[caseIndex]);
        // The first frame loads fonts and fills glyph caches; no way should
        // pay for that inside its timing.
        for (Way way : kWays)
            drawFrame(*scene, way, &frameImage());
    }
    return *scene;
}

void drawFrame(Scene& scene, Way way, QImage* image)
{
    image->fill(themeColor("Background"));
    if (way == eQcp) {
        scene.qcp.paint(image);
        return;
    }
    QPainter p(image);
    if (way == eOurs)
        scene.ours.paint(&p);
    else
        scene.hand.paint(&p);
}

// One image for every run: a fresh one page-faults its 5.8 MB on the first
// clear, which a run of a single frame would count.
QImage& frameImage()
{
    static QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    return image;
}

void BM_Frame(benchmark::State& state, int caseIndex, Way way)
{
    Scene& scene = sceneOf(caseIndex);
    if (scene.ours.averages.formulaLines().lineCount() != 5 || scene.ours.macd.formulaLines().lineCount() < 3) {
        state.SkipWithError("the formula engine gave no moving averages or MACD");
        return;
    }
    QImage& image = frameImage();
    for (auto _ : state) {
        drawFrame(scene, way, &image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bars"] = kCases[caseIndex].shown;
}


void paintPart(OurChart& chart, int part, QImage* image)
{
    if (part == 0) {
        image->fill(themeColor("Background"));
        return;
    }
    QPainter p(image);
    switch (part) {
    case 1:
        for (ZtLineLib_Reference* axis : {&chart.priceAxis, &chart.volumeAxis, &chart.macdAxis})
            axis->Fill(&p);
        break;
    case 2: chart.candles.Fill(&p); break;
    case 3: chart.averages.Fill(&p); break;
    case 4: chart.volume.Fill(&p); break;
    case 5: chart.macd.Fill(&p); break;
    case 6:
        p.translate(0, kTimeTop);
        chart.timeAxis.Fill(&p);
        break;
    default:
        chart.paneCross.Fill(&p, chart.mouse, chart.crossIndex, &chart.candles);
        p.translate(0, kTimeTop);
        chart.timeCross.Fill(&p, chart.mouse, chart.crossIndex, &chart.candles);
        break;
    }
}

void BM_Part(benchmark::State& state, int caseIndex, int part)
{
    Scene& scene = sceneOf(caseIndex);
    QImage& image = frameImage();
    image.fill(Qt::black);
    for (auto _ : state) {
        paintPart(scene.ours, part, &image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

} // namespace CompareBench
