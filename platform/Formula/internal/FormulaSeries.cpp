#include "FormulaSeries.h"

#include "FormulaBufferPool.h"
#include "FormulaDecimal.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The last value before bar from (NaN when none): the state a recursion
// carries over bars without a value.
double lastValue(const double* out, int from)
{
    for (int i = from - 1; i >= 0; --i) {
        if (!std::isnan(out[i]))
            return out[i];
    }
    return kNaN;
}

// Bars without a value in the window that ends just before bar start.
int gapsBefore(const double* x, int start, int period)
{
    int gaps = 0;
    for (int k = std::max(0, start - period); k < start; ++k)
        gaps += std::isnan(x[k]) ? 1 : 0;
    return gaps;
}

// Sum over a sliding window of x(i); period 0 is a running total. Bars
// without a value count as 0 in the total and are tracked apart, so the
// window is valid exactly when none of them is inside. The total is summed
// afresh once per window length, so rounding cannot pile up over a long
// series, and a total that is rounding noise of the values it holds
// (0.1 + 0.2 − 0.3) is 0. A resumed pass starts at the last fresh sum at or
// before from, or at the saved state when that is later; returns that bar.
template <class Get>
int slidingSum(Get x, int n, int period, double* out, int from, FormulaSeries::SumMark* mark)
{
    if (period == 0) {
        const double before = lastValue(out, from);
        double total = std::isnan(before) ? 0.0 : before;
        for (int i = from; i < n; ++i) {
            const double v = x(i);
            if (std::isnan(v)) {
                out[i] = kNaN;
                continue;
            }
            total += v;
            out[i] = total;
        }
        return from;
    }
    int start = from - from % period;
    int gaps = 0;
    double total = 0.0;
    double magnitude = 0.0;
    if (mark && mark->at > start && mark->at <= from) {
        start = mark->at;
        gaps = mark->gaps;
        total = mark->total;
        magnitude = mark->magnitude;
    } else {
        for (int k = std::max(0, start - period); k < start; ++k)
            gaps += std::isnan(x(k)) ? 1 : 0;
    }
    if (mark)
        mark->at = -1;
    for (int i = start; i < n; ++i) {
        if (mark && i == n - 1)
            *mark = FormulaSeries::SumMark{total, magnitude, gaps, i};
        const double v = x(i);
        if (std::isnan(v))
            ++gaps;
        const double leaving = i >= period ? x(i - period) : 0.0;
        if (i >= period && std::isnan(leaving))
            --gaps;
        if (i % period == 0) {
            total = 0.0;
            magnitude = 0.0;
            for (int k = std::max(0, i - period + 1); k <= i; ++k) {
                const double w = x(k);
                if (!std::isnan(w)) {
                    total += w;
                    magnitude += std::fabs(w);
                }
            }
        } else {
            if (!std::isnan(v)) {
                total += v;
                magnitude += std::fabs(v);
            }
            if (i >= period && !std::isnan(leaving)) {
                total -= leaving;
                magnitude -= std::fabs(leaving);
            }
        }
        const bool noise = std::fabs(total) <= FormulaDecimal::kTolerance * magnitude;
        out[i] = (i >= period - 1 && gaps == 0) ? (noise ? 0.0 : total) : kNaN;
    }
    return start;
}

} // namespace

int FormulaSeries::period(double value, int n, bool zeroMeansAll)
{
    if (std::isnan(value) || value < 0.0)
        return -1;
    if (value >= double(n) + 1.0)
        return n + 1;
    const int p = int(value);
    if (p == 0 && !zeroMeansAll)
        return -1;
    return p;
}

void FormulaSeries::fill(double* out, int n, double value)
{
    for (int i = 0; i < n; ++i)
        out[i] = value;
}

void FormulaSeries::sum(const double* x, int n, int period, double* out, int from,
                        SumMark* mark)
{
    slidingSum([x](int i) { return x[i]; }, n, period, out, from, mark);
}

void FormulaSeries::ma(const double* x, int n, int period, double* out, int from,
                       SumMark* mark)
{
    const int start = slidingSum([x](int i) { return x[i]; }, n, period, out, from, mark);
    for (int i = start; i < n; ++i)
        out[i] /= period;
}

void FormulaSeries::wma(const double* x, int n, int period, double* out)
{
    // weighted = Σ k·x over the window with weights 1 (oldest) … period
    // (newest); shifting the window lowers every weight by one, i.e.
    // subtracts the plain total.
    double total = 0.0;
    double weighted = 0.0;
    int gaps = 0;
    const double divisor = double(period) * (double(period) + 1.0) / 2.0;
    for (int i = 0; i < n; ++i) {
        const double v = std::isnan(x[i]) ? 0.0 : x[i];
        gaps += std::isnan(x[i]) ? 1 : 0;
        weighted += period * v - total;
        total += v;
        if (i >= period) {
            const double leaving = x[i - period];
            if (std::isnan(leaving))
                --gaps;
            else
                total -= leaving;
        }
        out[i] = (i >= period - 1 && gaps == 0) ? weighted / divisor : kNaN;
    }
}

void FormulaSeries::ema(const double* x, int n, double period, double* out, int from)
{
    if (!(period >= 1.0)) {
        fill(out + from, n - from, kNaN);
        return;
    }
    // Y = (2·X + (N − 1)·Y′) / (N + 1), seeded with the first value.
    double y = lastValue(out, from);
    const double a = 2.0 / (period + 1.0);
    const double b = (period - 1.0) / (period + 1.0);
    for (int i = from; i < n; ++i) {
        const double v = x[i];
        if (std::isnan(v)) {
            out[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? v : a * v + b * y;
        out[i] = y;
    }
}

void FormulaSeries::sma(const double* x, int n, double period, double weight, double* out,
                        int from)
{
    if (!(period > 0.0) || !(weight > 0.0)) {
        fill(out + from, n - from, kNaN);
        return;
    }
    // Y = (M·X + (N − M)·Y′) / N, seeded with the first value. A weight of
    // N or more follows X itself: beyond N the formula would swing ever
    // wider around X rather than smooth it.
    weight = std::min(weight, period);
    double y = lastValue(out, from);
    for (int i = from; i < n; ++i) {
        const double v = x[i];
        if (std::isnan(v)) {
            out[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? v : (weight * v + (period - weight) * y) / period;
        out[i] = y;
    }
}

void FormulaSeries::ref(const double* x, int n, int shift, double* out, int from)
{
    for (int i = from; i < n; ++i)
        out[i] = (shift >= 0 && i >= shift) ? x[i - shift] : kNaN;
}

void FormulaSeries::refSeries(const double* x, const double* shift, int n, double* out, int from)
{
    for (int i = from; i < n; ++i) {
        const double s = shift[i];
        out[i] = (s >= 0.0 && s <= double(i)) ? x[i - int(s)] : kNaN;
    }
}

void FormulaSeries::extreme(const double* x, int n, int period, bool highest, double* out,
                            int from)
{
    const auto better = [highest](double a, double b) { return highest ? a >= b : a <= b; };
    if (period == 0) {
        double best = lastValue(out, from);
        for (int i = from; i < n; ++i) {
            if (std::isnan(x[i])) {
                out[i] = kNaN;
                continue;
            }
            if (std::isnan(best) || better(x[i], best))
                best = x[i];
            out[i] = best;
        }
        return;
    }
    // A tick computes a bar or two: reading their windows directly beats
    // setting up the queue over the window before them.
    if (n - from <= 2) {
        for (int i = from; i < n; ++i) {
            double best = i >= period - 1 ? x[i] : kNaN;
            for (int k = i - period + 1; k <= i && !std::isnan(best); ++k)
                best = std::isnan(x[k]) ? kNaN : (better(x[k], best) ? x[k] : best);
            out[i] = best;
        }
        return;
    }
    // Monotonic queue of indices: each bar enters and leaves once. The
    // extreme of a window does not depend on the bars before it, so a
    // resumed pass starts one window before from.
    const int start = std::max(0, from - period + 1);
    std::vector<int> queue(size_t(std::max(n - start, 0)));
    size_t head = 0;
    size_t tail = 0;
    int gaps = gapsBefore(x, start, period);
    for (int i = start; i < n; ++i) {
        if (std::isnan(x[i])) {
            ++gaps;
        } else {
            while (tail > head && better(x[i], x[queue[tail - 1]]))
                --tail;
            queue[tail++] = i;
        }
        if (i >= period && std::isnan(x[i - period]))
            --gaps;
        while (tail > head && queue[head] <= i - period)
            ++head;
        if (i >= from)
            out[i] = (i >= period - 1 && gaps == 0) ? x[queue[head]] : kNaN;
    }
}

void FormulaSeries::count(const double* x, int n, int period, double* out, int from,
                          SumMark* mark)
{
    const auto hit = [x](int i) { return std::isnan(x[i]) ? kNaN : (x[i] != 0.0 ? 1.0 : 0.0); };
    slidingSum(hit, n, period, out, from, mark);
}

void FormulaSeries::stdev(const double* x, int n, int period, double* out, int from,
                          StdMarks* marks)
{
    // Sample deviation over a sliding window, kept as mean and sum of
    // squared deviations (Welford) to avoid the cancellation of Σx² − (Σx)²/N.
    // The state carries the rounding of every bar before, so a resumed pass
    // starts from the latest saved one at or before from.
    StdMark st;
    int start = 0;
    if (marks) {
        if (!marks->every.empty()) {
            const size_t mark = std::min(size_t(from / kStdMarkEvery), marks->every.size() - 1);
            st = marks->every[mark];
            start = int(mark) * kStdMarkEvery;
        }
        if (marks->lastAt > start && marks->lastAt <= from) {
            st = marks->last;
            start = marks->lastAt;
        }
        marks->every.resize(std::min(marks->every.size(),
                                     size_t((start + kStdMarkEvery - 1) / kStdMarkEvery)));
        marks->lastAt = -1;
    }
    for (int i = start; i < n; ++i) {
        if (marks && i % kStdMarkEvery == 0)
            marks->every.push_back(st);
        if (marks && i == n - 1) {
            marks->last = st;
            marks->lastAt = i;
        }
        const double v = x[i];
        if (std::isnan(v)) {
            ++st.gaps;
        } else {
            ++st.inside;
            const double d = v - st.mean;
            st.mean += d / st.inside;
            st.m2 += d * (v - st.mean);
        }
        if (i >= period) {
            const double w = x[i - period];
            if (std::isnan(w)) {
                --st.gaps;
            } else if (--st.inside == 0) {
                st.mean = 0.0;
                st.m2 = 0.0;
            } else {
                const double d = w - st.mean;
                st.mean -= d / st.inside;
                st.m2 -= d * (w - st.mean);
            }
        }
        if (i < from)
            continue;
        if (i >= period - 1 && st.gaps == 0 && period > 1)
            out[i] = std::sqrt(std::max(st.m2, 0.0) / (period - 1));
        else
            out[i] = kNaN;
    }
}

void FormulaSeries::avedev(const double* x, int n, int period, double* out, int from)
{
    // The means as MA computes them: from a fresh sum at or before from.
    const FormulaBufferPool<double>::Buffer buffer = FormulaBufferPool<double>::acquire(size_t(std::max(n, 0)));
    double* mean = buffer->data();
    ma(x, n, period, mean, from);
    for (int i = from; i < n; ++i) {
        const double m = mean[i];
        if (std::isnan(m)) {
            out[i] = kNaN;
            continue;
        }
        double deviation = 0.0;
        for (int k = i - period + 1; k <= i; ++k)
            deviation += std::fabs(x[k] - m);
        out[i] = deviation / period;
    }
}

void FormulaSeries::barsLast(const double* x, int n, double* out, int from)
{
    int last = (from > 0 && !std::isnan(out[from - 1])) ? from - 1 - int(out[from - 1]) : -1;
    for (int i = from; i < n; ++i) {
        if (!std::isnan(x[i]) && x[i] != 0.0)
            last = i;
        out[i] = last < 0 ? kNaN : double(i - last);
    }
}

void FormulaSeries::cross(const double* a, const double* b, int n, double* out, int from)
{
    // A crosses above B: strictly below it on the bar before, above it now;
    // leaving a tie is not a cross.
    for (int i = from; i < n; ++i) {
        if (i == 0 || std::isnan(a[i]) || std::isnan(b[i]) || std::isnan(a[i - 1])
            || std::isnan(b[i - 1])) {
            out[i] = kNaN;
            continue;
        }
        out[i] = (FormulaDecimal::less(a[i - 1], b[i - 1]) && FormulaDecimal::less(b[i], a[i]))
            ? 1.0 : 0.0;
    }
}

void FormulaSeries::windowByBar(Window kind, const double* x, const double* period, int n,
                                double* out)
{
    // Prefix totals (values, magnitudes, true bars, bars without a value) so
    // any window's total is one difference.
    const size_t size = size_t(n > 0 ? n : 0) + 1;
    std::vector<double> total(size, 0.0), magnitude(size, 0.0), trues(size, 0.0);
    std::vector<int> gaps(size, 0);
    for (int i = 0; i < n; ++i) {
        const bool gap = std::isnan(x[i]);
        total[size_t(i) + 1] = total[size_t(i)] + (gap ? 0.0 : x[i]);
        magnitude[size_t(i) + 1] = magnitude[size_t(i)] + (gap ? 0.0 : std::fabs(x[i]));
        trues[size_t(i) + 1] = trues[size_t(i)] + (!gap && x[i] != 0.0 ? 1.0 : 0.0);
        gaps[size_t(i) + 1] = gaps[size_t(i)] + (gap ? 1 : 0);
    }
    // Sparse table of extremes: level k holds the extreme of 2^k bars.
    const bool extreme = kind == Window::Highest || kind == Window::Lowest;
    std::vector<std::vector<double>> levels;
    const auto pick = [kind](double a, double b) {
        return kind == Window::Highest ? std::max(a, b) : std::min(a, b);
    };
    if (extreme && n > 0) {
        levels.emplace_back(x, x + n);
        for (int span = 2; span <= n; span *= 2) {
            const std::vector<double>& below = levels.back();
            std::vector<double> level(size_t(n - span + 1));
            for (size_t i = 0; i < level.size(); ++i)
                level[i] = pick(below[i], below[i + size_t(span / 2)]);
            levels.push_back(std::move(level));
        }
    }
    for (int i = 0; i < n; ++i) {
        const double v = period[i];
        int p = (std::isnan(v) || v < 0.0 || v > double(i) + 1.0) ? -1 : int(v);
        if (p == 0)
            p = kind == Window::Mean ? -1 : i + 1;
        const int first = i - p + 1;
        if (p < 1 || gaps[size_t(i) + 1] != gaps[size_t(first)]) {
            out[i] = kNaN;
            continue;
        }
        if (extreme) {
            int k = 0;
            while ((2 << k) <= p)
                ++k;
            const std::vector<double>& level = levels[size_t(k)];
            out[i] = pick(level[size_t(first)], level[size_t(i - (1 << k) + 1)]);
            continue;
        }
        if (kind == Window::Count) {
            out[i] = trues[size_t(i) + 1] - trues[size_t(first)];
            continue;
        }
        const double sum = total[size_t(i) + 1] - total[size_t(first)];
        const double scale = magnitude[size_t(i) + 1] - magnitude[size_t(first)];
        // The difference of two long prefixes carries their rounding.
        const bool noise = std::fabs(sum) <= 1e-12 * magnitude[size_t(i) + 1]
            || std::fabs(sum) <= FormulaDecimal::kTolerance * scale;
        out[i] = (noise ? 0.0 : sum) / (kind == Window::Mean ? p : 1);
    }
}
