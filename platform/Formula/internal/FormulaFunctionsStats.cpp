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
    const bool constant = c.isScalar(1);
    const double weight = c.number(1);
    const double* a = constant ? nullptr : c.series(1);
    double y = kNaN;
    for (int i = c.from() - 1; i >= 0 && std::isnan(y); --i)
        y = o[i];
    for (int i = c.from(); i < c.count(); ++i) {
        const double w = std::min(constant ? weight : a[i], 1.0);
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
    FormulaSeries::ema(c.series(0), c.count(), c.number(1), o, c.from());
}

void fnMEMA(FormulaCall& c, double* o)
{
    FormulaSeries::sma(c.series(0), c.count(), c.number(1), 1.0, o, c.from());
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

// Running totals of f(k) (no value counting 0): the total of bars a … b
// is t[b + 1] − t[a].
template <class F>
std::vector<double> prefixSums(int n, F f)
{
    std::vector<double> t(size_t(n) + 1, 0.0);
    for (int k = 0; k < n; ++k) {
        const double v = f(k);
        t[size_t(k) + 1] = t[size_t(k)] + (std::isnan(v) ? 0.0 : v);
    }
    return t;
}

// Σ(x − x̄)(y − ȳ) over the p bars ending at each bar (from bar p − 1 on),
// sliding: sums of the deviations from a reference value, taken afresh once
// per window so that rounding cannot pile up. Bars where either line has no
// value count as nothing; callers reject windows holding them.
std::vector<double> comoments(const double* x, const double* y, int n, int p)
{
    std::vector<double> out(size_t(n), kNaN);
    double rx = 0.0, ry = 0.0, sx = 0.0, sy = 0.0, sxy = 0.0;
    const auto step = [&](int k, double sign) {
        if (std::isnan(x[k]) || std::isnan(y[k]))
            return;
        const double dx = x[k] - rx, dy = y[k] - ry;
        sx += sign * dx;
        sy += sign * dy;
        sxy += sign * dx * dy;
    };
    for (int i = 0; i < n; ++i) {
        if (i % p == 0) {
            rx = std::isnan(x[i]) ? 0.0 : x[i];
            ry = std::isnan(y[i]) ? 0.0 : y[i];
            sx = sy = sxy = 0.0;
            for (int k = std::max(0, i - p + 1); k <= i; ++k)
                step(k, 1.0);
        } else {
            step(i, 1.0);
            if (i >= p)
                step(i - p, -1.0);
        }
        if (i >= p - 1)
            out[size_t(i)] = D::subtract(sxy, sx * sy / p);
    }
    return out;
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
    const std::vector<double> total = prefixSums(n, [x](int k) { return x[k]; });
    const int half = std::min(p / 2, n);
    for (int i = 0; i < n; ++i) {
        const int from = std::max(0, i - half);
        const int to = std::min(n - 1, i + half);
        const double sum = total[size_t(to) + 1] - total[size_t(from)];
        o[i] = gaps.full(to, to - from + 1) ? sum / (to - from + 1) : kNaN;
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
    const std::vector<double> inverse
        = prefixSums(c.count(), [x](int k) { return x[k] == 0.0 ? 0.0 : 1.0 / x[k]; });
    const std::vector<double> zeros
        = prefixSums(c.count(), [x](int k) { return x[k] == 0.0 ? 1.0 : 0.0; });
    forFullWindows(c, 1, o, false, [&inverse, &zeros](int i, int first) {
        const size_t a = size_t(first), b = size_t(i) + 1;
        return zeros[b] != zeros[a] ? kNaN : (i - first + 1) / (inverse[b] - inverse[a]);
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
    // Short windows multiply out; long ones add logarithms, counting zeros
    // and negative factors apart.
    constexpr int kDirect = 16;
    const int n = c.count();
    const std::vector<double> logs
        = prefixSums(n, [x](int k) { return x[k] == 0.0 ? 0.0 : std::log(std::fabs(x[k])); });
    const std::vector<double> zeros = prefixSums(n, [x](int k) { return x[k] == 0.0 ? 1.0 : 0.0; });
    const std::vector<double> negatives
        = prefixSums(n, [x](int k) { return x[k] < 0.0 ? 1.0 : 0.0; });
    forFullWindows(c, 1, o, false, [&](int i, int first) {
        if (i - first < kDirect) {
            double product = 1.0;
            for (int k = first; k <= i; ++k)
                product *= x[k];
            return product;
        }
        const size_t a = size_t(first), b = size_t(i) + 1;
        if (zeros[b] != zeros[a])
            return 0.0;
        const double sign = std::fmod(negatives[b] - negatives[a], 2.0) == 0.0 ? 1.0 : -1.0;
        return sign * std::exp(logs[b] - logs[a]);
    });
}

// Least-squares line through the N-bar window (bar positions 0 … N − 1):
// its slope is the comoment of position and value over that of position,
// and it passes through the window's means.
template <class F>
void regression(FormulaCall& c, double* o, F f)
{
    const int n = c.count();
    const int p = periodArg(c, 1);
    if (p < 1)
        return none(n, o);
    const double* y = c.series(0);
    std::vector<double> position(static_cast<size_t>(n)), mean(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        position[size_t(i)] = i;
    FormulaSeries::ma(y, n, p, mean.data());
    const std::vector<double> cyy = comoments(position.data(), y, n, p);
    const double cxx = double(p) * (double(p) * p - 1.0) / 12.0;
    for (int i = 0; i < n; ++i) {
        const double slope = p < 2 ? 0.0 : cyy[size_t(i)] / cxx;
        const double atEnd = mean[size_t(i)] + slope * (p - 1) / 2.0;
        o[i] = std::isnan(mean[size_t(i)]) ? kNaN : clean(f(slope, atEnd));
    }
}

void fnSLOPE(FormulaCall& c, double* o)
{
    regression(c, o, [](double slope, double) { return slope; });
}

void fnFORCAST(FormulaCall& c, double* o)
{
    regression(c, o, [](double, double atEnd) { return atEnd; });
}

// FORCAST + SLOPE: the fitted line one bar ahead.
void fnTSMA(FormulaCall& c, double* o)
{
    regression(c, o, [](double slope, double atEnd) { return atEnd + slope; });
}

enum class Moment { Devsq, VarSample, VarPopulation, StdSample, StdPopulation };

template <Moment m>
void variance(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const int p = std::max(periodArg(c, 1), 1);
    const std::vector<double> sxx = comoments(x, x, c.count(), p);
    forFullWindows(c, 1, o, false, [&sxx, p](int i, int) {
        const double s = std::max(sxx[size_t(i)], 0.0);
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
    const std::vector<double> sxy = comoments(x, y, c.count(), std::max(periodArg(c, 2), 1));
    pairWindow(c, o, 0, [&sxy](int first, int i) { return sxy[size_t(i)] / (i - first + 1); });
}

// Correlation coefficient; no value when a line is flat over the window.
void fnRELATE(FormulaCall& c, double* o)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    const int p = std::max(periodArg(c, 2), 1);
    const std::vector<double> sxx = comoments(x, x, c.count(), p);
    const std::vector<double> syy = comoments(y, y, c.count(), p);
    const std::vector<double> sxy = comoments(x, y, c.count(), p);
    pairWindow(c, o, 0, [&](int, int i) {
        const size_t k = size_t(i);
        return (sxx[k] > 0.0 && syy[k] > 0.0) ? sxy[k] / std::sqrt(sxx[k] * syy[k]) : kNaN;
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
    const int p = std::max(periodArg(c, 2), 1);
    const std::vector<double> syy = comoments(ry.data(), ry.data(), n, p);
    const std::vector<double> sxy = comoments(rx.data(), ry.data(), n, p);
    pairWindow(c, o, 1, [&](int, int i) {
        const size_t k = size_t(i);
        return syy[k] > 0.0 ? sxy[k] / syy[k] : kNaN;
    });
}

const FormulaLibraryEntry kStats[] = {
    {"DMA", 2, 2, -1, fnDMA, 0, true}, {"AMA", 2, 2, -1, fnDMA, 0, true},
    {"TMA", 3, 3, -1, fnTMA},          {"EXPMA", 2, 2, 1, fnEXPMA, 0, true},
    {"EXPMEMA", 2, 2, 1, fnEXPMEMA},   {"MEMA", 2, 2, 1, fnMEMA, 0, true},
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
