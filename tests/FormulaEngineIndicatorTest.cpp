// The classic indicators of the store, evaluated by the engine, against
// series computed here straight from their textbook definitions.

#include "FormulaEngineTestSupport.h"

#include <algorithm>

using namespace FormulaTest;

namespace {

using Series = std::vector<double>;

// ---- textbook references (NaN = no value) ----------------------------------

// The series of n bars with no value before bar first and f(i) from there on.
template <class F>
Series from(size_t n, size_t first, F f)
{
    Series out(n, kNaN);
    for (size_t i = first; i < n; ++i)
        out[i] = f(i);
    return out;
}

// The sum of f(q) over the n bars up to bar i.
template <class F>
double sumOver(size_t i, int n, F f)
{
    double sum = 0.0;
    for (size_t q = i + 1 - size_t(n); q <= i; ++q)
        sum += f(q);
    return sum;
}

Series movingAverage(const Series& x, int n)
{
    // A NaN inside the window stays NaN.
    return from(x.size(), size_t(n - 1), [&](size_t i) { return sumOver(i, n, [&](size_t q) { return x[q]; }) / n; });
}

// Y = (m·X + (n − m)·Y′)/n, seeded with the first value.
Series smoothAverage(const Series& x, int n, int m)
{
    Series out(x.size(), kNaN);
    double y = kNaN;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::isnan(x[i]))
            continue;
        y = std::isnan(y) ? x[i] : (m * x[i] + (n - m) * y) / n;
        out[i] = y;
    }
    return out;
}

// The exponential average of n bars weighs 2/(n + 1).
Series expAverage(const Series& x, int n)
{
    return smoothAverage(x, n + 1, 2);
}

Series sampleDeviation(const Series& x, int n)
{
    const Series mean = movingAverage(x, n);
    return from(x.size(), size_t(n - 1), [&](size_t i) {
        return std::sqrt(sumOver(i, n, [&](size_t q) { return (x[q] - mean[i]) * (x[q] - mean[i]); }) / (n - 1));
    });
}

Series shifted(const Series& x, int k)
{
    return from(x.size(), size_t(k), [&](size_t i) { return x[i - size_t(k)]; });
}

// 100·(HHV(H,n) − C)/(HHV(H,n) − LLV(L,n)).
Series williams(const Bars& b, int n)
{
    return from(b.size(), size_t(n - 1), [&](size_t i) {
        const auto end = [&](const Series& x) { return x.begin() + std::ptrdiff_t(i + 1); };
        const double h = *std::max_element(end(b.high) - n, end(b.high));
        const double l = *std::min_element(end(b.low) - n, end(b.low));
        return 100.0 * (h - b.close[i]) / (h - l);
    });
}

Series strength(const Series& c, int n)
{
    const Series su = smoothAverage(from(c.size(), 1, [&](size_t i) { return std::max(c[i] - c[i - 1], 0.0); }), n, 1);
    const Series sm = smoothAverage(from(c.size(), 1, [&](size_t i) { return std::fabs(c[i] - c[i - 1]); }), n, 1);
    return from(c.size(), 1, [&](size_t i) { return sm[i] == 0.0 ? kNaN : su[i] / sm[i] * 100.0; });
}

// ---- comparison -------------------------------------------------------------

// A line of a stored formula and its expected series.
using Row = std::tuple<const char*, const char*, Series>;

class FormulaEngineIndicators : public ::testing::Test
{
protected:
    void checkRows(const std::vector<Row>& rows, const Bars& bars)
    {
        for (const auto& [formula, lineName, expected] : rows) {
            SCOPED_TRACE(std::string(formula) + " " + lineName);
            CapturedResult r;
            std::string name = formula;
            CInputData input = makeInput(bars);
            ASSERT_TRUE(engine.ComputeDayFormular(name, input, 1, 0, &r)) << engine.lastError();
            const CapturedLine* line = r.line(lineName);
            ASSERT_NE(line, nullptr);
            expectValues(line->d[0], expected, 1e-4, 1e-9);
        }
    }

    // Two-decimal prices and whole volumes: the engine's float columns read
    // back as these very decimals, so the references start from its input.
    const Bars b = randomBars(240, 2024);
    const size_t n = b.size();
    CDFormulaManage store;
    ModuleFormular engine;
};

} // namespace

TEST_F(FormulaEngineIndicators, AveragesOscillatorsAndBands)
{
    const Series& c = b.close;
    const Series e12 = expAverage(c, 12), e26 = expAverage(c, 26);
    const Series diff = from(n, 0, [&](size_t i) { return e12[i] - e26[i]; });
    const Series dea = expAverage(diff, 9);
    const Series wr9 = williams(b, 9);
    const Series rsv = from(n, 8, [&](size_t i) { return 100.0 - wr9[i]; });
    const Series k = smoothAverage(rsv, 3, 1), d = smoothAverage(k, 3, 1);
    const auto bias = [&](int p) {
        const Series m = movingAverage(c, p);
        return from(n, 0, [&](size_t i) { return (c[i] - m[i]) / m[i] * 100.0; });
    };
    const Series typical = from(n, 0, [&](size_t i) { return (b.high[i] + b.low[i] + c[i]) / 3.0; });
    const Series tm = movingAverage(typical, 14);
    const Series cci = from(n, 13, [&](size_t i) {
        const double dev = sumOver(i, 14, [&](size_t q) { return std::fabs(typical[q] - tm[i]); });
        return (typical[i] - tm[i]) / (0.015 * dev / 14.0);
    });
    const Series mid = movingAverage(c, 20), sd = sampleDeviation(c, 20);
    const auto band = [&](double w) { return from(n, 0, [&](size_t i) { return mid[i] + w * sd[i]; }); };
    const Series ma10 = movingAverage(c, 10), ma50 = movingAverage(c, 50);
    const Series dif = from(n, 0, [&](size_t i) { return ma10[i] - ma50[i]; });
    const Series mtm = from(n, 12, [&](size_t i) { return c[i] - c[i - 12]; });
    checkRows({
        {"MA", "MA1", movingAverage(c, 5)},   {"MA", "MA2", ma10},
        {"MA", "MA3", mid},                   {"MA", "MA4", movingAverage(c, 30)},
        {"MA", "MA5", movingAverage(c, 60)},  {"MACD", "DIFF", diff},
        {"MACD", "DEA", dea},
        {"MACD", "MACD", from(n, 0, [&](size_t i) { return (diff[i] - dea[i]) * 2.0; })},
        {"KDJ", "K", k},                      {"KDJ", "D", d},
        {"KDJ", "J", from(n, 0, [&](size_t i) { return 3.0 * k[i] - 2.0 * d[i]; })},
        {"BIAS", "BIAS1", bias(6)},           {"BIAS", "BIAS2", bias(12)},
        {"BIAS", "BIAS3", bias(24)},          {"CCI", "CCI", cci},
        {"WR", "WR1", williams(b, 10)},       {"WR", "WR2", williams(b, 6)},
        {"RSI", "RSI1", strength(c, 6)},      {"RSI", "RSI2", strength(c, 12)},
        {"RSI", "RSI3", strength(c, 24)},     {"BOLL", "BOLL", mid},
        {"BOLL", "UB", band(2.0)},            {"BOLL", "LB", band(-2.0)},
        {"DMA", "DIF", dif},                  {"DMA", "DIFMA", movingAverage(dif, 10)},
        {"MTM", "MTM", mtm},                  {"MTM", "MAMTM", movingAverage(mtm, 6)},
    }, b);
}

TEST_F(FormulaEngineIndicators, RatiosOverTheBarBefore)
{
    const int w = 26;
    // 100 times the sum of up(q) over the sum of down(q), the last w bars.
    const auto ratio = [&](size_t first, auto up, auto down) {
        return from(n, first, [&](size_t i) { return sumOver(i, w, up) / sumOver(i, w, down) * 100.0; });
    };
    const auto mid = [&](size_t q) { return (b.high[q - 1] + b.low[q - 1]) / 2.0; };
    const Series cr = ratio(w, [&](size_t q) { return std::max(0.0, b.high[q] - mid(q)); },
                            [&](size_t q) { return std::max(0.0, mid(q) - b.low[q]); });
    // The volume of the bars that rose (1), fell (−1) or stayed (0).
    const auto volumeOf = [&](int move) {
        return [&, move](size_t q) {
            return (b.close[q] > b.close[q - 1]) - (b.close[q] < b.close[q - 1]) == move ? b.volume[q] : 0.0;
        };
    };
    const Series vr = ratio(w, [&](size_t q) { return 2.0 * volumeOf(1)(q) + volumeOf(0)(q); },
                            [&](size_t q) { return 2.0 * volumeOf(-1)(q) + volumeOf(0)(q); });
    const Series ar = ratio(w - 1, [&](size_t q) { return b.high[q] - b.open[q]; },
                            [&](size_t q) { return b.open[q] - b.low[q]; });
    const Series br = ratio(w, [&](size_t q) { return std::max(0.0, b.high[q] - b.close[q - 1]); },
                            [&](size_t q) { return std::max(0.0, b.close[q - 1] - b.low[q]); });
    // CR's averages of 10, 20, 40, 62 bars moved back by M/2.5 + 1 bars: 5, 9, 17, 25.
    checkRows({
        {"CR", "CR", cr},
        {"CR", "MA1", shifted(movingAverage(cr, 10), 5)}, {"CR", "MA2", shifted(movingAverage(cr, 20), 9)},
        {"CR", "MA3", shifted(movingAverage(cr, 40), 17)}, {"CR", "MA4", shifted(movingAverage(cr, 62), 25)},
        {"VR", "VR", vr},  {"VR", "MAVR", movingAverage(vr, 6)},
        {"AB", "AR", ar},  {"AB", "BR", br},
    }, b);
}

TEST_F(FormulaEngineIndicators, KdjWorkedByHandWithStoredParameters)
{
    // N = 3: RSV on bar 2 = (11 − 8)/(12 − 8)·100 = 75 seeds K and D; on bar
    // 3 RSV = (9 − 9)/(12 − 9)·100 = 0, K = (0 + 2·75)/3 = 50,
    // D = (50 + 2·75)/3 = 66.667, J = 3·50 − 2·66.667 = 16.667.
    std::string name = "KDJ";
    TagFormularContent* kdj = store.GetFormularContent(name);
    ASSERT_NE(kdj, nullptr);
    kdj->params[2][0] = 3.0f;

    Bars bars = closesOnly({9, 10, 11, 9});
    bars.high = {10, 11, 12, 12};
    bars.low = {8, 9, 10, 9};
    checkRows({{"KDJ", "K", {kNaN, kNaN, 75.0, 50.0}},
               {"KDJ", "D", {kNaN, kNaN, 75.0, 200.0 / 3.0}},
               {"KDJ", "J", {kNaN, kNaN, 75.0, 50.0 / 3.0}}}, bars);
}
