// The event row over a daily chart: re-placing the events when the window
// moves, and painting the icons on every repaint.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

namespace {

using namespace ZtUIDataStruct;

// The sample bars with one dividend and one level event every 25 bars.
struct Setup
{
    DQDDataList bars;
    ZtLineLib_InfoBar bar;

    Setup()
    {
        QString error;
        QuoteLoader::loadBars(QStringLiteral(ZT_SOURCE_DIR "/data/sh600000_day.csv"), &bars, &error);
        DQDDataList dividends;
        DQDDataList levels;
        for (int i = 0; i < bars.count(); i += 25) {
            const qint64 t = bars.at(i)->getUniqueValue(0).toLongLong();
            DQDUnionReader d;
            d.setValue(eFieldDividendTime, t);
            dividends.append(d);
            DQDUnionReader l;
            l.setValue(eFieldLevelTime, t + 93000);
            l.setValue(eFieldLevel, qint64(i % 3));
            levels.append(l);
        }
        bar.setRect(0, 0, 1600, 600);
        bar.setData(&bars);
        bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoDividend, dividends);
        bar.addLineInfo(ZtLineLib_InfoBar::eLineInfoLevel, levels);
    }
};

void BM_InfoBarSetRange(benchmark::State& state)
{
    Setup s;
    const int count = s.bars.count();
    int first = 0;
    for (auto _ : state) {
        s.bar.setRange(first, 200);
        first = (first + 1) % std::max(count - 200, 1);
    }
}
BENCHMARK(BM_InfoBarSetRange);

void BM_InfoBarFill(benchmark::State& state)
{
    Setup s;
    s.bar.setRange(std::max(s.bars.count() - 200, 0), 200);
    QImage image(1600, 600, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    for (auto _ : state)
        s.bar.Fill(&painter);
}
BENCHMARK(BM_InfoBarFill);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
