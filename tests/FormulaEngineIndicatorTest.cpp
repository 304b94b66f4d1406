// The classic indicators of the store, evaluated by the engine, against
// series computed here straight from their textbook definitions.

#include "FormulaEngineTestSupport.h"

#include <algorithm>

using namespace FormulaTest;

namespace {

using Series = std::vector<double>;

// ---- textbook references (NaN = no value) ----------------------------------

// The series of f(0) … f(n − 1).
template <class F>
Series each(size_t n, F f)
{
    Series out(n);
    for (size_t i = 0; i < n; ++i)
        out[i] = f(i);
    return out;
}

// The series of n bars with no value before bar first and f(i) from there on.
template <class F>
Series from(size_t n, size_t first, F f)
{
    return each(n, [&](size_t i) { return i < first ? kNaN : f(i); });
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

Series expAverage(const Series& x, int n)
{
    Series out(x.size(), kNaN);
    double y = kNaN;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::isnan(x[i]))
            continue;
        y = std::isnan(y) ? x[i] : (2.0 * x[i] + (n - 1) * y) / (n + 1);
        out[i] = y;
    }
    return out;
}

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

Series sampleDeviation(const Series& x, int n)
{
    const Series mean = movingAverage(x, n);
    return from(x.size(), size_t(n - 1), [&](size_t i) {
        return std::sqrt(sumOver(i, n, [&](size_t q) { return (x[q] - mean[i]) * (x[q] - mean[i]); }) / (n - 1));
    });
}

// The extreme of the n values up to bar i.
double highest(const Series& x, size_t i, int n)
{
    return *std::max_element(x.begin() + std::ptrdiff_t(i + 1) - n, x.begin() + std::ptrdiff_t(i + 1));
}

double lowest(const Series& x, size_t i, int n)
{
    return *std::min_element(x.begin() + std::ptrdiff_t(i + 1) - n, x.begin() + std::ptrdiff_t(i + 1));
}

Series shifted(const Series& x, int k)
{
    return from(x.size(), size_t(k), [&](size_t i) { return x[i - size_t(k)]; });
}

Series williams(const Bars& b, int n)
{
    return from(b.size(), size_t(n - 1), [&](size_t i) {
        const double h = highest(b.high, i, n), l = lowest(b.low, i, n);
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

void expectLine(const CapturedResult& r, const std::string& name, const Series& expected,
                int warmUp)
{
    SCOPED_TRACE(name);
    const CapturedLine* line = r.line(name);
    ASSERT_NE(line, nullptr);
    // The documented warm-up: the reference starts where the rule says.
    const auto first = std::find_if(expected.begin(), expected.end(), [](double v) { return !std::isnan(v); });
    EXPECT_EQ(first - expected.begin(), warmUp);
    expectValues(line->d[0], expected, 1e-4, 1e-9);
}

class FormulaEngineIndicators : public ::testing::Test
{
protected:
    void SetUp() override
    {
        raw = b = randomBars(240, 2024);
        for (Series* column : {&b.open, &b.high, &b.low, &b.close, &b.volume})
            *column = asRead(*column);
    }

    CapturedResult compute(const std::string& formula)
    {
        CapturedResult r;
        std::string name = formula;
        CInputData input = makeInput(raw);
        EXPECT_TRUE(engine.ComputeDayFormular(name, input, 1, 0, &r)) << engine.lastError();
        EXPECT_EQ(r.calls, 1);
        return r;
    }

    Bars raw;
    Bars b;
    CDFormulaManage store;
    ModuleFormular engine;
};

} // namespace

TEST_F(FormulaEngineIndicators, MovingAveragesAndMacd)
{
    const CapturedResult ma = compute("MA");
    ASSERT_EQ(ma.captured.size(), 5u);
    const int periods[] = {5, 10, 20, 30, 60};
    for (int k = 0; k < 5; ++k)
        expectLine(ma, "MA" + std::to_string(k + 1), movingAverage(b.close, periods[k]),
                   periods[k] - 1);

    const CapturedResult macd = compute("MACD");
    const Series e12 = expAverage(b.close, 12), e26 = expAverage(b.close, 26);
    const Series diff = each(b.size(), [&](size_t i) { return e12[i] - e26[i]; });
    const Series dea = expAverage(diff, 9);
    const Series macdLine = each(b.size(), [&](size_t i) { return (diff[i] - dea[i]) * 2.0; });
    expectLine(macd, "DIFF", diff, 0);
    expectLine(macd, "DEA", dea, 0);
    expectLine(macd, "MACD", macdLine, 0);
    EXPECT_EQ(macd.line("MACD")->drawType, eFormulaColorStick);
    EXPECT_EQ(macd.line("DIFF")->drawType, eFormulaLine);
}

TEST_F(FormulaEngineIndicators, KdjBiasCciWr)
{
    const Series rsv = from(b.size(), 8, [&](size_t i) {
        const double h = highest(b.high, i, 9), l = lowest(b.low, i, 9);
        return (b.close[i] - l) / (h - l) * 100.0;
    });
    const Series k = smoothAverage(rsv, 3, 1);
    const Series d = smoothAverage(k, 3, 1);
    const Series j = each(b.size(), [&](size_t i) { return 3.0 * k[i] - 2.0 * d[i]; });
    const CapturedResult kdj = compute("KDJ");
    expectLine(kdj, "K", k, 8);
    expectLine(kdj, "D", d, 8);
    expectLine(kdj, "J", j, 8);

    const CapturedResult bias = compute("BIAS");
    const int biasPeriods[] = {6, 12, 24};
    for (int n = 0; n < 3; ++n) {
        const Series m = movingAverage(b.close, biasPeriods[n]);
        const Series expected = each(b.size(), [&](size_t i) { return (b.close[i] - m[i]) / m[i] * 100.0; });
        expectLine(bias, "BIAS" + std::to_string(n + 1), expected, biasPeriods[n] - 1);
    }

    const Series typical = each(b.size(), [&](size_t i) { return (b.high[i] + b.low[i] + b.close[i]) / 3.0; });
    const Series tm = movingAverage(typical, 14);
    const Series cci = from(b.size(), 13, [&](size_t i) {
        const double dev = sumOver(i, 14, [&](size_t q) { return std::fabs(typical[q] - tm[i]); });
        return (typical[i] - tm[i]) / (0.015 * dev / 14.0);
    });
    expectLine(compute("CCI"), "CCI", cci, 13);

    const CapturedResult wr = compute("WR");
    expectLine(wr, "WR1", williams(b, 10), 9);
    expectLine(wr, "WR2", williams(b, 6), 5);
}

TEST_F(FormulaEngineIndicators, CrVrAb)
{
    const int n = 26;
    const auto mid = [&](size_t q) { return (b.high[q - 1] + b.low[q - 1]) / 2.0; };
    const Series cr = from(b.size(), n, [&](size_t i) {
        return sumOver(i, n, [&](size_t q) { return std::max(0.0, b.high[q] - mid(q)); })
               / sumOver(i, n, [&](size_t q) { return std::max(0.0, mid(q) - b.low[q]); }) * 100.0;
    });
    const CapturedResult crResult = compute("CR");
    expectLine(crResult, "CR", cr, n);
    // Averages of 10, 20, 40, 62 bars moved back by M/2.5 + 1 bars: 5, 9, 17, 25.
    const int m[] = {10, 20, 40, 62};
    const int shift[] = {5, 9, 17, 25};
    for (int q = 0; q < 4; ++q)
        expectLine(crResult, "MA" + std::to_string(q + 1),
                   shifted(movingAverage(cr, m[q]), shift[q]), n + m[q] - 1 + shift[q]);

    // The volume of the bars in the window that rose (1), fell (−1) or stayed (0).
    const auto volumeOf = [&](size_t i, int move) {
        return sumOver(i, n, [&](size_t q) {
            return (b.close[q] > b.close[q - 1]) - (b.close[q] < b.close[q - 1]) == move ? b.volume[q] : 0.0;
        });
    };
    const Series vr = from(b.size(), n, [&](size_t i) {
        return 100.0 * (2.0 * volumeOf(i, 1) + volumeOf(i, 0)) / (2.0 * volumeOf(i, -1) + volumeOf(i, 0));
    });
    const CapturedResult vrResult = compute("VR");
    expectLine(vrResult, "VR", vr, n);
    expectLine(vrResult, "MAVR", movingAverage(vr, 6), n + 5);

    const Series ar = from(b.size(), size_t(n - 1), [&](size_t i) {
        return sumOver(i, n, [&](size_t q) { return b.high[q] - b.open[q]; })
               / sumOver(i, n, [&](size_t q) { return b.open[q] - b.low[q]; }) * 100.0;
    });
    const Series br = from(b.size(), size_t(n), [&](size_t i) {
        return sumOver(i, n, [&](size_t q) { return std::max(0.0, b.high[q] - b.close[q - 1]); })
               / sumOver(i, n, [&](size_t q) { return std::max(0.0, b.close[q - 1] - b.low[q]); }) * 100.0;
    });
    const CapturedResult ab = compute("AB");
    expectLine(ab, "AR", ar, n - 1);
    expectLine(ab, "BR", br, n);
}

TEST_F(FormulaEngineIndicators, RsiBollDmaMtm)
{
    const CapturedResult rsi = compute("RSI");
    expectLine(rsi, "RSI1", strength(b.close, 6), 1);
    expectLine(rsi, "RSI2", strength(b.close, 12), 1);
    expectLine(rsi, "RSI3", strength(b.close, 24), 1);

    const Series mid = movingAverage(b.close, 20);
    const Series sd = sampleDeviation(b.close, 20);
    const Series ub = each(b.size(), [&](size_t i) { return mid[i] + 2.0 * sd[i]; });
    const Series lb = each(b.size(), [&](size_t i) { return mid[i] - 2.0 * sd[i]; });
    const CapturedResult boll = compute("BOLL");
    expectLine(boll, "BOLL", mid, 19);
    expectLine(boll, "UB", ub, 19);
    expectLine(boll, "LB", lb, 19);

    const Series ma10 = movingAverage(b.close, 10), ma50 = movingAverage(b.close, 50);
    const Series dif = each(b.size(), [&](size_t i) { return ma10[i] - ma50[i]; });
    const CapturedResult dma = compute("DMA");
    expectLine(dma, "DIF", dif, 49);
    expectLine(dma, "DIFMA", movingAverage(dif, 10), 58);

    const Series mtm = from(b.size(), 12, [&](size_t i) { return b.close[i] - b.close[i - 12]; });
    const CapturedResult m = compute("MTM");
    expectLine(m, "MTM", mtm, 12);
    expectLine(m, "MAMTM", movingAverage(mtm, 6), 17);
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
    CInputData input = makeInput(bars);
    CapturedResult r;
    ASSERT_TRUE(engine.ComputeDayFormular(name, input, 1, 0, &r)) << engine.lastError();
    expectLine(r, "K", {kNaN, kNaN, 75.0, 50.0}, 2);
    expectLine(r, "D", {kNaN, kNaN, 75.0, 200.0 / 3.0}, 2);
    expectLine(r, "J", {kNaN, kNaN, 75.0, 50.0 / 3.0}, 2);
}
