// MACD over 100,000 bars: the formula engine (compile, evaluate, hand the
// lines to a result that copies them) against a hand-written loop computing
// DIFF, DEA and MACD in the same binary. The ratio of the two is what the
// engine costs over ideal code.
//
// Each comparison runs twice: with output storage reused between runs (the
// steady state, pure computation), and with fresh storage every run as a
// pane allocates it. Fresh megabytes of memory fault in page by page, and on
// some machines that costs more than the arithmetic, for both sides alike;
// how much depends on the allocator's state, so compare "Fresh" only with
// "Fresh".

#include "BenchBars.h"

#include <TagDayRun.h>
#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr int kBars = 100000;

std::vector<float> closes(int bars = kBars)
{
    std::vector<float> c;
    c.reserve(size_t(bars));
    std::uint32_t state = 7;
    double price = 10.0;
    for (int i = 0; i < bars; ++i) {
        state = state * 1664525u + 1013904223u;
        price = std::max(1.0, price + (double(state >> 8) / double(1u << 24) - 0.5) * 0.2);
        c.push_back(float(price));
    }
    return c;
}

CInputData input()
{
    CInputData in;
    in.days.resize(kBars);
    TagDay& cols = in.days.front();
    cols.m_close = closes();
    cols.m_open = cols.m_high = cols.m_low = cols.m_close;
    cols.m_volume.assign(kBars, 1000.0f);
    cols.m_valid.assign(kBars, 1);
    return in;
}

// Keeps the lines the way a pane's result does: one LineData per record.
// Assigning into existing lines reuses their storage.
class Result : public FormulaResultBase
{
public:
    void parseFromFline(tagFLINES& f) override
    {
        lineCount = f.count;
        lines.resize(size_t(f.count));
        for (int i = 0; i < f.count; ++i) {
            const tagFLINE& r = f.lines[i];
            LineData& d = lines[size_t(i)];
            d.data1.assign(r.data1, r.data1 + r.count);
            d.name = r.name;
            d.drawType = r.drawType;
            d.color = r.color;
            d.count = r.count;
        }
    }
};

struct HandLines
{
    std::vector<float> diff, dea, macd;
};

void handMacd(const std::vector<float>& c, HandLines& out)
{
    const size_t n = c.size();
    out.diff.resize(n);
    out.dea.resize(n);
    out.macd.resize(n);
    double fast = 0.0, slow = 0.0, signal = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double x = c[i];
        fast = i == 0 ? x : (2.0 * x + 11.0 * fast) / 13.0;
        slow = i == 0 ? x : (2.0 * x + 25.0 * slow) / 27.0;
        const double d = fast - slow;
        signal = i == 0 ? d : (2.0 * d + 8.0 * signal) / 10.0;
        out.diff[i] = float(d);
        out.dea[i] = float(signal);
        out.macd[i] = float((d - signal) * 2.0);
    }
}

void BM_EngineMacd(benchmark::State& state)
{
    CDFormulaManage store;
    ModuleFormular engine;
    CInputData in = input();
    std::string name = "MACD";
    Result r;
    for (auto _ : state) {
        if (!engine.ComputeDayFormular(name, in, 1, 0, &r))
            state.SkipWithError("MACD did not evaluate");
        benchmark::DoNotOptimize(r.lines.data());
    }
    state.SetItemsProcessed(state.iterations() * kBars);
}
BENCHMARK(BM_EngineMacd)->Unit(benchmark::kMicrosecond);

void BM_HandLoopMacd(benchmark::State& state)
{
    const std::vector<float> c = closes();
    HandLines out;
    for (auto _ : state) {
        handMacd(c, out);
        benchmark::DoNotOptimize(out.macd.data());
    }
    state.SetItemsProcessed(state.iterations() * kBars);
}
BENCHMARK(BM_HandLoopMacd)->Unit(benchmark::kMicrosecond);

void BM_EngineMacdFresh(benchmark::State& state)
{
    CDFormulaManage store;
    ModuleFormular engine;
    CInputData in = input();
    std::string name = "MACD";
    for (auto _ : state) {
        Result r;
        if (!engine.ComputeDayFormular(name, in, 1, 0, &r))
            state.SkipWithError("MACD did not evaluate");
        benchmark::DoNotOptimize(r.lines.data());
    }
    state.SetItemsProcessed(state.iterations() * kBars);
}
BENCHMARK(BM_EngineMacdFresh)->Unit(benchmark::kMicrosecond);

void BM_HandLoopMacdFresh(benchmark::State& state)
{
    const std::vector<float> c = closes();
    for (auto _ : state) {
        HandLines out;
        handMacd(c, out);
        benchmark::DoNotOptimize(out.macd.data());
    }
    state.SetItemsProcessed(state.iterations() * kBars);
}
BENCHMARK(BM_HandLoopMacdFresh)->Unit(benchmark::kMicrosecond);

// A live tick on the last of 1,000,000 bars: the host keeps its input and
// splices in the conversion of the changed record, a run of its own. The
// engine resumes from that bar; "Full" gives the big run a new serial each
// time, so the same work is done from scratch. Both hand the three lines of
// 1,000,000 values to a result that copies them.
constexpr int kLiveBars = 1000000;

CInputData liveInput()
{
    CInputData in;
    in.days.resize(kLiveBars);
    TagDay& cols = in.days.front();
    cols.m_close = closes(kLiveBars);
    cols.m_valid.assign(kLiveBars, 1);
    TagDayRun::stamp(cols, TagDayRun::newSerial());
    return in;
}

void tick(CInputData& in, float close)
{
    TagDay last;
    last.m_close = {close};
    last.m_valid = {1};
    TagDayRun::stamp(last, TagDayRun::newSerial());
    in.days.back() = std::move(last);
}

void liveMacd(benchmark::State& state, bool resume)
{
    CDFormulaManage store;
    ModuleFormular engine;
    CInputData in = liveInput();
    std::string name = "MACD";
    Result r;
    engine.ComputeDayFormular(name, in, 1, 0, &r);
    float close = 10.0f;
    for (auto _ : state) {
        tick(in, close += 0.01f);
        if (!resume)
            TagDayRun::stamp(in.days.front(), TagDayRun::newSerial());
        if (!engine.ComputeDayFormular(name, in, 1, 0, &r))
            state.SkipWithError("MACD did not evaluate");
        benchmark::DoNotOptimize(r.lines.data());
    }
}

void BM_EngineMacdTick1MResumed(benchmark::State& state)
{
    liveMacd(state, true);
}
BENCHMARK(BM_EngineMacdTick1MResumed)->Unit(benchmark::kMicrosecond);

void BM_EngineMacdTick1MFull(benchmark::State& state)
{
    liveMacd(state, false);
}
BENCHMARK(BM_EngineMacdTick1MFull)->Unit(benchmark::kMicrosecond);

// The fixed call an engine pane makes on every tick, with nothing else: the
// changed last record converted into a run of its own and spliced in for the
// one it replaces. It bounds from below what a tick of an engine pane costs.
void BM_ConvertTickedBar(benchmark::State& state)
{
    ZtUIDataStruct::DQDDataList list = makeBenchBars(1000);
    std::vector<TagDay> days = PBDataChange::LBDG_TagDayVector(&list, 0, list.count());
    for (auto _ : state) {
        days.pop_back();
        std::vector<TagDay> tail = PBDataChange::LBDG_TagDayVector(&list, list.count() - 1, 1);
        days.push_back(std::move(tail.front()));
        benchmark::DoNotOptimize(days.data());
    }
}
BENCHMARK(BM_ConvertTickedBar);

} // namespace

BENCHMARK_MAIN();
