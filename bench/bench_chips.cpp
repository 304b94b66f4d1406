// Moving chip distribution over 5,000 daily bars on a 0.01 price grid.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kBars = 5000;
constexpr double kFloat = 2e8;

// A reproducible random walk kept between 5 and 45 yuan, so the whole span
// fits the grid at 0.01 (at most 5,000 rows), with 0.5 % … 5 % turnover.
ZtUIDataStruct::DQDDataList makeBars()
{
    using namespace ZtUIDataStruct;
    DQDDataList list;
    quint32 seed = 12345;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24);
    };
    double close = 20.0;
    QDate day(2000, 1, 3);
    for (int i = 0; i < kBars; ++i) {
        const double open = close;
        close = std::clamp(close * (1.0 + (next() - 0.5) * 0.06), 5.5, 44.5);
        const double high = std::round(std::max(open, close) * (1.0 + next() * 0.02) * 100) / 100;
        const double low = std::round(std::min(open, close) * (1.0 - next() * 0.02) * 100) / 100;
        const double volume = kFloat * (0.005 + next() * 0.045);
        DQDUnionReader r;
        const qint64 key = qint64(day.year() * 10000 + day.month() * 100 + day.day()) * 1000000;
        r.setUniqueValue(key);
        r.setValue(eFieldDateTime, key);
        r.setValue(eFieldHigh, high);
        r.setValue(eFieldLow, low);
        r.setValue(eFieldClose, std::round(close * 100) / 100);
        r.setValue(eFieldVolume, volume);
        r.setValue(eFieldAmount, volume * (high + low) / 2);
        list.append(r);
        day = day.addDays(day.dayOfWeek() == 5 ? 3 : 1);
    }
    return list;
}

struct Fixture
{
    ZtUIDataStruct::DQDDataList bars = makeBars();
    ZtUIDataStruct::DQDUnionReader reader;
    Fixture()
    {
        PBDataChange::registerInstrument("BENCH", "Bench", bars, {}, {{20000101, kFloat}});
        reader = PBDataChange::LBDG_QNowSingle("BENCH", false);
    }
};

const Fixture& fixture()
{
    static const Fixture f;
    return f;
}

void runChips(benchmark::State& state, ZtE_YDCMJS_OUT_TYPE out, ZtE_YDCMJS_CMFB_TYPE shape,
              int count, const QVector<int>& periods)
{
    const Fixture& f = fixture();
    int rows = 0;
    for (auto _ : state) {
        const auto msg = ZtZB_Ydcmjs::Ydcmjs(f.bars, f.reader, 0, out, count, shape, 1.0, periods);
        rows = msg.rdydcmdata(0).rdydcmsjfb(0).rdydcmjgfb_size();
        benchmark::DoNotOptimize(msg);
    }
    const auto check = ZtZB_Ydcmjs::Ydcmjs(f.bars, f.reader, 0, out, 1, shape, 1.0, periods);
    const auto& items = check.rdydcmdata(0).rdydcmsjfb(0).rdydcmjgfb();
    if (items.size() < 2 || items.Get(1).price() - items.Get(0).price() != 1000)
        state.SkipWithError("the grid is not 0.01");
    state.counters["rows"] = rows;
    state.counters["bars"] = kBars;
}

void BM_ChipsUniform(benchmark::State& state)
{
    runChips(state, eZtYdcmOutAll, eZtYdcmUniform, 1, {});
}

void BM_ChipsTriangular(benchmark::State& state)
{
    runChips(state, eZtYdcmOutAll, eZtYdcmTriangular, 1, {});
}

// What a pane asks by default (ten distributions) with six time layers.
void BM_ChipsTriangularTenWithLayers(benchmark::State& state)
{
    runChips(state, eZtYdcmOutYounger, eZtYdcmTriangular, 10, {5, 10, 20, 60, 120, 250});
}

} // namespace

BENCHMARK(BM_ChipsUniform)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChipsTriangular)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChipsTriangularTenWithLayers)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
