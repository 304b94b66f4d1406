// Moving averages and window statistics. Warm-up: a window function over N
// bars starts N − 1 bars after its input (BETA2 one bar later, it works on
// returns); the recursive averages (DMA AMA TMA MEMA EXPMA) start with their
// input, seeded with its first value, and step over bars without a value
// keeping their state.

#include "FormulaFamilyTools.h"

using namespace FormulaFamily;
namespace D = FormulaDecimal;

namespace {

// Y = A·X + (1 − A)·Y′ with A a number or a line; a weight outside (0, 1]
// is clamped to 1 above and gives no value at or below 0.
void fnDMA(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* a = c.series(1);
    double y = kNaN;
    for (int i = 0; i < c.count(); ++i) {
        const double w = std::min(a[i], 1.0);
        if (std::isnan(x[i]) || !(w > 0.0)) {
            o[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? x[i] : w * x[i] + (1.0 - w) * y;
        o[i] = y;
    }
}

// Y = A·Y′ + B·X, seeded with the first value.
void fnTMA(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* a = c.series(1);
    const double* b = c.series(2);
    double y = kNaN;
    for (int i = 0; i < c.count(); ++i) {
        if (std::isnan(x[i]) || std::isnan(a[i]) || std::isnan(b[i])) {
            o[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? x[i] : clean(a[i] * y + b[i] * x[i]);
        o[i] = y;
    }
}

void fnEXPMA(FormulaCall& c, double* o)
{
    FormulaSeries::ema(c.series(0), c.count(), c.number(1), o);
}

void fnMEMA(FormulaCall& c, double* o)
{
    FormulaSeries::sma(c.series(0), c.count(), c.number(1), 1.0, o);
}

// An EMA seeded with the N-bar mean, so it starts N − 1 bars in.
void fnEXPMEMA(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const double* x = c.series(0);
    FormulaSeries::ma(x, n, p, o);
    double y = kNaN;
    for (int i = 0; i < n; ++i) {
        if (std::isnan(y)) {
            y = o[i];
            continue;
        }
        if (std::isnan(x[i])) {
            o[i] = kNaN;
            continue;
        }
        y = (2.0 * x[i] + (p - 1.0) * y) / (p + 1.0);
        o[i] = y;
    }
}

// MA(MA(X, N1), N2) with N1 + N2 = N + 1: N = 10 gives MA(MA(X,5),6).
void fnTRMA(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const int first = (p + 1) / 2;
    const int second = p + 1 - first;
    std::vector<double> inner(static_cast<size_t>(n));
    FormulaSeries::ma(c.series(0), n, first, inner.data());
    FormulaSeries::ma(inner.data(), n, second, o);
}

// Mean of the bars from i − N/2 to i + N/2 that exist: the window is centred
// and shrinks at both ends of the series (it looks ahead).
void fnXMA(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const double* x = c.series(0);
    const GapWindow gaps(x, n);
    const int half = std::min(p / 2, n);
    for (int i = 0; i < n; ++i) {
        const int from = std::max(0, i - half);
        const int to = std::min(n - 1, i + half);
        if (!gaps.full(to, to - from + 1)) {
            o[i] = kNaN;
            continue;
        }
        double total = 0.0;
        for (int k = from; k <= to; ++k)
            total += x[k];
        o[i] = total / (to - from + 1);
    }
}

// Calls f(i, first) for every bar whose N-bar window holds values only.
template <class F>
void forFullWindows(FormulaCall& c, size_t arg, double* o, bool zeroMeansAll, F f)
{
    const int n = c.count();
    const int p = periodArg(c, arg, zeroMeansAll);
    if (p < 0)
        return none(n, o);
    const GapWindow gaps(c.series(0), n);
    for (int i = 0; i < n; ++i) {
        const int first = p == 0 ? 0 : i - p + 1;
        o[i] = gaps.full(i, p) ? clean(f(i, first)) : kNaN;
    }
}

// N ÷ Σ 1/X; a window holding 0 has no value.
void fnHARMEAN(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    forFullWindows(c, 1, o, false, [x](int i, int first) {
        double inverse = 0.0;
        for (int k = first; k <= i; ++k) {
            if (x[k] == 0.0)
                return kNaN;
            inverse += 1.0 / x[k];
        }
        return (i - first + 1) / inverse;
    });
}

// Product of the window (N = 0: of all bars so far).
void fnMULAR(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    if (periodArg(c, 1, true) == 0) {
        double product = 1.0;
        for (int i = 0; i < c.count(); ++i) {
            product = std::isnan(x[i]) || std::isnan(product) ? kNaN : product * x[i];
            o[i] = clean(product);
        }
        return;
    }
    forFullWindows(c, 1, o, false, [x](int i, int first) {
        double product = 1.0;
        for (int k = first; k <= i; ++k)
            product *= x[k];
        return product;
    });
}

// Least-squares line through the window, bar positions 0 … N − 1.
struct Fit
{
    double slope;
    double atEnd;
};

Fit fit(const double* y, int first, int i)
{
    const double p = i - first + 1;
    if (p < 2)
        return {0.0, y[i]};
    double sy = 0.0, sky = 0.0;
    for (int k = first; k <= i; ++k) {
        sy += y[k];
        sky += (k - first) * y[k];
    }
    const double sk = p * (p - 1) / 2;
    const double skk = (p - 1) * p * (2 * p - 1) / 6;
    const double slope = D::subtract(p * sky, sk * sy) / (p * skk - sk * sk);
    return {slope, (sy - slope * sk) / p + slope * (p - 1)};
}

void fnSLOPE(FormulaCall& c, double* o)
{
    const double* y = c.series(0);
    forFullWindows(c, 1, o, false, [y](int i, int first) { return fit(y, first, i).slope; });
}

void fnFORCAST(FormulaCall& c, double* o)
{
    const double* y = c.series(0);
    forFullWindows(c, 1, o, false, [y](int i, int first) { return fit(y, first, i).atEnd; });
}

// FORCAST + SLOPE: the fitted line one bar ahead.
void fnTSMA(FormulaCall& c, double* o)
{
    const double* y = c.series(0);
    forFullWindows(c, 1, o, false, [y](int i, int first) {
        const Fit f = fit(y, first, i);
        return f.atEnd + f.slope;
    });
}

// Σ(x − x̄)(y − ȳ) over the window, with x̄ and ȳ the window's means.
double comoment(const double* x, const double* y, int first, int i)
{
    const int p = i - first + 1;
    double mx = 0.0, my = 0.0;
    for (int k = first; k <= i; ++k) {
        mx += x[k];
        my += y[k];
    }
    mx /= p;
    my /= p;
    double s = 0.0;
    for (int k = first; k <= i; ++k)
        s += D::subtract(x[k], mx) * D::subtract(y[k], my);
    return s;
}

enum class Moment { Devsq, VarSample, VarPopulation, StdSample, StdPopulation };

template <Moment m>
void variance(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    forFullWindows(c, 1, o, false, [x](int i, int first) {
        const int p = i - first + 1;
        const double s = comoment(x, x, first, i);
        switch (m) {
        case Moment::Devsq: return s;
        case Moment::VarSample: return p > 1 ? s / (p - 1) : kNaN;
        case Moment::VarPopulation: return s / p;
        case Moment::StdSample: return p > 1 ? std::sqrt(s / (p - 1)) : kNaN;
        case Moment::StdPopulation: return std::sqrt(s / p);
        }
        return kNaN;
    });
}

// Two-line statistics: the window must hold values of both lines.
template <class F>
void pairWindow(FormulaCall& c, double* o, int skip, F f)
{
    const int n = c.count();
    const int p = periodArg(c, 2);
    if (p < 1)
        return none(n, o);
    const double* x = c.series(0);
    const double* y = c.series(1);
    std::vector<double> both(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        both[size_t(i)] = std::isnan(x[i]) || std::isnan(y[i]) ? kNaN : 0.0;
    const GapWindow gaps(both.data(), n);
    for (int i = 0; i < n; ++i)
        o[i] = (i - p + 1 - skip >= 0 && gaps.full(i, p + skip)) ? clean(f(i - p + 1, i)) : kNaN;
}

void fnCOVAR(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    pairWindow(c, o, 0, [x, y](int first, int i) {
        return comoment(x, y, first, i) / (i - first + 1);
    });
}

// Correlation coefficient; no value when a line is flat over the window.
void fnRELATE(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    pairWindow(c, o, 0, [x, y](int first, int i) {
        const double sxx = comoment(x, x, first, i);
        const double syy = comoment(y, y, first, i);
        return (sxx > 0.0 && syy > 0.0) ? comoment(x, y, first, i) / std::sqrt(sxx * syy) : kNaN;
    });
}

// Covariance of the bar-to-bar returns of X and Y over N ÷ variance of Y's.
void fnBETA2(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    const double* y = c.series(1);
    std::vector<double> rx(size_t(n), kNaN), ry(size_t(n), kNaN);
    for (int i = 1; i < n; ++i) {
        if (x[i - 1] != 0.0)
            rx[size_t(i)] = x[i] / x[i - 1] - 1.0;
        if (y[i - 1] != 0.0)
            ry[size_t(i)] = y[i] / y[i - 1] - 1.0;
    }
    pairWindow(c, o, 1, [&rx, &ry](int first, int i) {
        const double vy = comoment(ry.data(), ry.data(), first, i);
        return vy > 0.0 ? comoment(rx.data(), ry.data(), first, i) / vy : kNaN;
    });
}

const FormulaLibraryEntry kStats[] = {
    {"DMA", 2, 2, -1, fnDMA},          {"AMA", 2, 2, -1, fnDMA},
    {"TMA", 3, 3, -1, fnTMA},          {"EXPMA", 2, 2, 1, fnEXPMA},
    {"EXPMEMA", 2, 2, 1, fnEXPMEMA},   {"MEMA", 2, 2, 1, fnMEMA},
    {"TRMA", 2, 2, 1, fnTRMA},         {"TSMA", 2, 2, 1, fnTSMA},
    {"XMA", 2, 2, 1, fnXMA},           {"HARMEAN", 2, 2, 1, fnHARMEAN},
    {"MULAR", 2, 2, 1, fnMULAR},       {"SLOPE", 2, 2, 1, fnSLOPE},
    {"FORCAST", 2, 2, 1, fnFORCAST},   {"STDDEV", 2, 2, 1, variance<Moment::StdSample>},
    {"STDP", 2, 2, 1, variance<Moment::StdPopulation>},
    {"VAR", 2, 2, 1, variance<Moment::VarSample>},
    {"VARP", 2, 2, 1, variance<Moment::VarPopulation>},
    {"DEVSQ", 2, 2, 1, variance<Moment::Devsq>},
    {"COVAR", 3, 3, 2, fnCOVAR},       {"RELATE", 3, 3, 2, fnRELATE},
    {"BETA2", 3, 3, 2, fnBETA2},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::statsFamily()
{
    return {kStats, std::size(kStats)};
}
