// Paint cost of the value axis and the time axis on a full-size frame.
#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QDate>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

using namespace ZtUIDataStruct;

namespace {

void setTheme()
{
    auto& t = PubCacheCustom::mCustomColor;
    const char* keys[][2] = {
        {"Up", "#ff3232"}, {"Down", "#00e600"}, {"Flat", "#d0d0d0"}, {"Klinetag", "#d0d0d0"},
        {"Vol", "#c0c000"}, {"Grid1", "#7a1a1a"}, {"Grid2", "#7a1a1a"}, {"Grid3", "#3a1010"},
        {"Grid1DotLine", "#5a1515"}, {"Default", "#d0d0d0"}, {"DRFS_BG", "#181818"},
        {"JHJJ_BG", "#1c1c24"}, {"ScaleplateText", "#c0c0c0"},
        {"ScaleplateMastText", "#ffcc00"}, {"ScaleplateSubText", "#808080"}};
    for (const auto& k : keys)
        t[QLatin1String(k[0])] = QStringList{QLatin1String(k[1])};
}

qint64 dayKey(const QDate& d)
{
    return qint64(d.year()) * 10000000000LL + qint64(d.month()) * 100000000LL
           + qint64(d.day()) * 1000000LL;
}

// 200 trading days of bars.
DQDDataList dailyBars()
{
    DQDDataList list;
    double price = 10;
    for (QDate d(2023, 6, 1); list.count() < 200; d = d.addDays(1)) {
        if (d.dayOfWeek() > 5)
            continue;
        DQDUnionReader r;
        r.setUniqueValue(dayKey(d));
        r.setValue(eFieldDateTime, dayKey(d));
        r.setValue(eFieldOpen, price);
        price += 0.05;
        r.setValue(eFieldClose, price);
        list.append(r);
    }
    return list;
}

struct Frame {
    QImage image{1600, 900, QImage::Format_ARGB32_Premultiplied};
    DQDDataList bars = dailyBars();
};

void BM_ValueAxisPaint(benchmark::State& state)
{
    setTheme();
    Frame f;
    ZtLineLib_Reference axis;
    axis.setRect(0, 0, 1600, 600);
    axis.setFixedPaddingLeft(70);
    axis.setFixedPaddingRight(70);
    axis.setFixedPaddingBottom(12);
    axis.setData(&f.bars);
    axis.setPrec(2);
    axis.setTagColorType(ZtLineLib_Reference::eTagColorByQnow);
    axis.setQnowData(12);
    axis.setRightPercentTagEnable(state.range(0) != 0);
    axis.SetMaxMinValue(20.0, 10.0);
    axis.setRange(0, f.bars.count());
    QPainter p(&f.image);
    for (auto _ : state) {
        axis.Fill(&p);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ValueAxisPaint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_ValueAxisIntradayPaint(benchmark::State& state)
{
    setTheme();
    Frame f;
    DQDDataList minutes;
    for (int i = 0; i < 3 * 241; ++i) {
        DQDUnionReader r;
        r.setUniqueValue(20240102093000LL + i);
        minutes.append(r);
    }
    ZtLineLib_Reference axis;
    axis.setRect(0, 0, 1600, 600);
    axis.setFixedPaddingLeft(70);
    axis.setFixedPaddingRight(70);
    axis.setData(&minutes);
    axis.setPrec(2);
    axis.setStyleToDyna(true);
    axis.setShowDRFS(3);
    axis.setIsMainChat(true);
    axis.setRightPercentTagEnable(true);
    axis.setQnowData(10);
    axis.SetMaxMinValue(11.0, 9.0);
    axis.setRange(0, minutes.count());
    QPainter p(&f.image);
    for (auto _ : state) {
        axis.Fill(&p);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ValueAxisIntradayPaint)->Unit(benchmark::kMicrosecond);

ZtLineLib_Scaleplate makeTimeAxis(DQDDataList* bars)
{
    ZtLineLib_Scaleplate axis;
    axis.setRect(0, 0, 1600, 30);
    axis.setFixedPaddingLeft(70);
    axis.setFixedPaddingRight(70);
    axis.setMastDateFormat(QStringLiteral("yyyy"));
    axis.setSubDateFormat(QStringLiteral("dd"));
    axis.setData(bars);
    axis.setRange(0, bars->count());
    return axis;
}

// Every paint renders afresh, as after each window change.
void BM_TimeAxisPaintUncached(benchmark::State& state)
{
    setTheme();
    Frame f;
    ZtLineLib_Scaleplate axis = makeTimeAxis(&f.bars);
    QPainter p(&f.image);
    p.translate(0, 870);
    for (auto _ : state) {
        axis.setRange(0, f.bars.count());
        axis.Fill(&p);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TimeAxisPaintUncached)->Unit(benchmark::kMicrosecond);

// Repaints of an unchanged window only copy the picture.
void BM_TimeAxisPaintCached(benchmark::State& state)
{
    setTheme();
    Frame f;
    ZtLineLib_Scaleplate axis = makeTimeAxis(&f.bars);
    QPainter p(&f.image);
    p.translate(0, 870);
    axis.Fill(&p);
    for (auto _ : state) {
        axis.Fill(&p);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_TimeAxisPaintCached)->Unit(benchmark::kMicrosecond);

void BM_FormatAxisTag(benchmark::State& state)
{
    const QString format = QStringLiteral("{if#>99999||<-99999;d2w}d2");
    double v = 12345.678;
    for (auto _ : state) {
        benchmark::DoNotOptimize(formatValueText(v, format));
        v += 1000;
        if (v > 1e6)
            v = 12345.678;
    }
}
BENCHMARK(BM_FormatAxisTag)->Unit(benchmark::kMicrosecond);

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
