#pragma once

// A ten-line user formula using ten different functions, evaluated by the
// formula engine the way a pane does (bars converted, then evaluated),
// against a hand loop computing the same ten lines from the quote list.
// Both must agree before either is timed.

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace FormulaLinesBench {

const char* const kName = "BENCH_TEN_LINES";
const char* const kSource = "A:MA(C,10);\n"
                            "B:EMA(C,12);\n"
                            "D:HHV(H,20);\n"
                            "E:LLV(L,20);\n"
                            "F:STD(C,20);\n"
                            "G:SUM(VOL,5);\n"
                            "I:HHVBARS(H,20);\n"
                            "J:BARSLASTCOUNT(C>O);\n"
                            "K:DMA(C,0.1);\n"
                            "M:TR;";

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
using Lines = std::vector<std::vector<double>>;

// Keeps the engine's lines as doubles (no value: NaN).
class Collect : public FormulaResultBase
{
public:
    void parseFromFline(tagFLINES& f) override
    {
        lines.resize(size_t(std::max(f.count, 0)));
        for (int j = 0; j < f.count; ++j) {
            const tagFLINE& r = f.lines[j];
            std::vector<double>& out = lines[size_t(j)];
            out.resize(size_t(r.count));
            for (int i = 0; i < r.count; ++i)
                out[size_t(i)] = r.data1[i] == kFormulaNoValue ? kNaN : double(r.data1[i]);
        }
    }
    Lines lines;
};

struct Engine
{
    CDFormulaManage store;
    ModuleFormular engine;
    CInputData input;
    std::string name = kName;

    Engine()
    {
        TagFormularContent c;
        c.texts[0] = kName;
        c.texts[2] = kSource;
        store.SetFormularContent(c);
    }

    void run(ZtUIDataStruct::DQDDataList& list, Collect& out)
    {
        PBDataChange::LBDG_TagDayVector(&list, 0, list.count(), input.days,
                                        engine.inputColumns(name));
        engine.ComputeDayFormular(name, input, 1, 0, &out);
    }
};

inline std::vector<double> field(const ZtUIDataStruct::DQDDataList& list, unsigned id)
{
    std::vector<double> out(size_t(list.count()));
    for (int i = 0; i < list.count(); ++i)
        out[size_t(i)] = list.at(i)->numberValue(id, kNaN);
    return out;
}

// The ten lines written out as plain loops over the bars.
inline void hand(const ZtUIDataStruct::DQDDataList& list, Lines& r)
{
    using namespace ZtUIDataStruct;
    const std::vector<double> o = field(list, eFieldOpen), h = field(list, eFieldHigh),
                              l = field(list, eFieldLow), c = field(list, eFieldClose),
                              v = field(list, eFieldVolume);
    const size_t n = c.size();
    r.assign(10, std::vector<double>(n, kNaN));
    double ema = kNaN, dma = kNaN, sum10 = 0, sum5 = 0;
    int run = 0;
    for (size_t i = 0; i < n; ++i) {
        sum10 += c[i] - (i >= 10 ? c[i - 10] : 0.0);
        sum5 += v[i] - (i >= 5 ? v[i - 5] : 0.0);
        if (i >= 9)
            r[0][i] = sum10 / 10;
        ema = i == 0 ? c[i] : (2 * c[i] + 11 * ema) / 13;
        r[1][i] = ema;
        if (i >= 19) {
            double hi = h[i], lo = l[i], mean = 0, dev = 0;
            size_t at = i;
            for (size_t k = i - 19; k <= i; ++k) {
                lo = std::min(lo, l[k]);
                mean += c[k];
                if (h[k] >= hi) {
                    hi = h[k];
                    at = k;
                }
            }
            mean /= 20;
            for (size_t k = i - 19; k <= i; ++k)
                dev += (c[k] - mean) * (c[k] - mean);
            r[2][i] = hi;
            r[3][i] = lo;
            r[4][i] = std::sqrt(dev / 19);
            r[6][i] = double(i - at);
        }
        if (i >= 4)
            r[5][i] = sum5;
        run = c[i] > o[i] ? run + 1 : 0;
        r[7][i] = run;
        dma = i == 0 ? c[i] : 0.1 * c[i] + 0.9 * dma;
        r[8][i] = dma;
        if (i >= 1)
            r[9][i] = std::max({h[i] - l[i], std::fabs(c[i - 1] - h[i]), std::fabs(c[i - 1] - l[i])});
    }
}

inline bool same(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return std::fabs(a - b) <= 1e-5 * std::max({std::fabs(a), std::fabs(b), 1.0});
}

// Empty when the engine and the hand loop agree on every bar of every line.
inline std::string check(ZtUIDataStruct::DQDDataList& list)
{
    Engine e;
    Collect ours;
    e.run(list, ours);
    Lines theirs;
    hand(list, theirs);
    if (ours.lines.size() != theirs.size())
        return "formula: " + std::to_string(ours.lines.size()) + " lines, "
               + e.engine.lastError();
    for (size_t j = 0; j < theirs.size(); ++j) {
        for (size_t i = 0; i < theirs[j].size(); ++i) {
            if (i >= ours.lines[j].size() || !same(ours.lines[j][i], theirs[j][i]))
                return "formula line " + std::to_string(j) + " bar " + std::to_string(i)
                       + " differs";
        }
    }
    return {};
}

inline void benchOurs(benchmark::State& state, ZtUIDataStruct::DQDDataList* list)
{
    const std::string problem = check(*list);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    Engine e;
    Collect out;
    for (auto _ : state) {
        e.run(*list, out);
        benchmark::DoNotOptimize(out.lines.data());
    }
    state.counters["bars"] = list->count();
}

inline void benchHand(benchmark::State& state, ZtUIDataStruct::DQDDataList* list)
{
    const std::string problem = check(*list);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    Lines r;
    for (auto _ : state) {
        hand(*list, r);
        benchmark::DoNotOptimize(r.data());
    }
    state.counters["bars"] = list->count();
}

} // namespace FormulaLinesBench
