// setRange of a volume pane with MA5 and MA10: the work a host triggers on
// every change of the data window.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTextStream>

namespace {

using namespace ZtUIDataStruct;

// n daily bars cycled from the sample quotes (or a synthetic walk when the
// file is missing), with increasing keys.
DQDDataList makeBars(int n)
{
    QVector<QPair<double, double>> sample; // close, volume
    QFile f(QStringLiteral(ZT_SOURCE_DIR "/data/sh600000_day.csv"));
    if (f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QTextStream in(&f);
        in.readLine();
        while (!in.atEnd()) {
            const QStringList c = in.readLine().split(QLatin1Char(','));
            if (c.size() >= 6)
                sample.append(qMakePair(c[4].toDouble(), c[5].toDouble()));
        }
    }
    if (sample.isEmpty()) {
        for (int i = 0; i < 1000; ++i)
            sample.append(qMakePair(10.0 + (i % 37) * 0.01, 4e7 + (i * 7919 % 1000) * 1e4));
    }
    DQDDataList list;
    list.reserve(n);
    for (int i = 0; i < n; ++i) {
        const auto& s = sample[i % sample.size()];
        DQDUnionReader r;
        r.setUniqueValue(19000101000000LL + qint64(i) * 1000000);
        r.setValue(eFieldClose, s.first);
        r.setValue(eFieldVolume, s.second);
        list.append(r);
    }
    return list;
}

class VolPane : public ZtLineLib_Formula
{
public:
    VolPane() : ZtLineLib_Formula(eFT_VOL) {}
    void FillChild(QPainter*) override {}
};

void BM_VolPaneSetRange(benchmark::State& state)
{
    const int n = int(state.range(0));
    DQDDataList list = makeBars(n);
    VolPane pane;
    pane.m_params = {5, 10};
    pane.setRect(0, 0, 1600, 300);
    pane.setPrec(2);
    pane.setData(&list);
    // The host shows the last 200 bars; the lines run from the first bar.
    for (auto _ : state) {
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(n - 200, 200);
        benchmark::DoNotOptimize(pane.maxReference());
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["per_bar"] = benchmark::Counter(
        double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_VolPaneSetRange)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
