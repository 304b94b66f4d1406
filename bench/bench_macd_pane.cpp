// A MACD pane's setRange over 100,000 bars (the formula engine path: bar
// conversion, parse, evaluation, lines, padding, range) against a hand loop
// computing the same three lines from the same list.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <vector>

namespace {

using namespace ZtUIDataStruct;

DQDDataList makeBars(int n)
{
    DQDDataList list;
    list.reserve(n);
    double price = 10.0;
    quint32 seed = 12345;
    for (int i = 0; i < n; ++i) {
        seed = seed * 1664525u + 1013904223u;
        price = std::max(1.0, price * (1.0 + (double(seed >> 8) / double(1u << 24) - 0.5) * 0.04));
        DQDUnionReader r;
        const qint64 t = 19000101000000LL + qint64(i) * 1000000;
        r.setUniqueValue(t);
        r.setValue(eFieldDateTime, t);
        for (unsigned id : {eFieldOpen, eFieldHigh, eFieldLow, eFieldClose})
            r.setValue(id, price);
        r.setValue(eFieldVolume, 1e6);
        list.append(r);
    }
    return list;
}

class MacdPane : public ZtLineLib_Formula
{
public:
    MacdPane() : ZtLineLib_Formula(eFT_MACD) {}
};

void BM_MacdPaneSetRange(benchmark::State& state)
{
    const int n = int(state.range(0));
    DQDDataList list = makeBars(n);
    MacdPane pane;
    pane.setRect(0, 0, 1600, 200);
    pane.setData(&list);
    for (auto _ : state) {
        pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
        pane.setRange(n - 200, 200);
        benchmark::DoNotOptimize(pane.maxReference());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

// DIFF, DEA and MACD written out by hand, reading the closes from the list.
void BM_MacdHandLoop(benchmark::State& state)
{
    const int n = int(state.range(0));
    DQDDataList list = makeBars(n);
    const size_t count = size_t(n);
    std::vector<float> diff(count), dea(count), macd(count);
    for (auto _ : state) {
        double e12 = 0, e26 = 0, d9 = 0;
        for (int i = 0; i < n; ++i) {
            const double c = list.at(i)->getValue(eFieldClose).toDouble();
            e12 = i == 0 ? c : (2 * c + 11 * e12) / 13;
            e26 = i == 0 ? c : (2 * c + 25 * e26) / 27;
            const double d = e12 - e26;
            d9 = i == 0 ? d : (2 * d + 8 * d9) / 10;
            diff[size_t(i)] = float(d);
            dea[size_t(i)] = float(d9);
            macd[size_t(i)] = float((d - d9) * 2);
        }
        benchmark::DoNotOptimize(macd.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

} // namespace

BENCHMARK(BM_MacdPaneSetRange)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MacdHandLoop)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
