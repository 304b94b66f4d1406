#pragma once

// The building blocks of the hand loops: series read from the list, window
// sums and averages, and the values stored as a pane stores them.

#include "ComputeBench.h"

#include <algorithm>
#include <cmath>

namespace ComputeBench {

inline float stored(double v)
{
    return (std::isfinite(v) && std::fabs(v) < kZtNoValueMax) ? float(v) : float(kZtNoValue);
}

inline void store(HandResult& out, size_t line, const Series& s)
{
    if (out.lines.size() <= line)
        out.lines.resize(line + 1);
    std::vector<float>& dst = out.lines[line];
    dst.resize(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        dst[i] = stored(s[i]);
}

inline void windowRange(HandResult& out, int first, int end)
{
    out.lo = kZtNoValueMax;
    out.hi = kZtNoValue;
    for (const std::vector<float>& line : out.lines) {
        for (int i = std::max(first, 0); i < std::min<int>(end, int(line.size())); ++i) {
            const double v = line[size_t(i)];
            if (v > kZtNoValue && v < kZtNoValueMax) {
                out.lo = std::min(out.lo, v);
                out.hi = std::max(out.hi, v);
            }
        }
    }
}

inline void readField(const DQDDataList& list, unsigned id, Series& out)
{
    const int n = list.count();
    out.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        out[size_t(i)] = list.at(i)->numberValue(id, kNaN);
}

// Window sum with bars without a value kept apart (none inside: a value).
inline void windowSum(const Series& x, int p, Series& out)
{
    const size_t n = x.size();
    out.resize(n);
    double total = 0;
    int gaps = 0;
    for (size_t i = 0; i < n; ++i) {
        if (std::isnan(x[i]))
            ++gaps;
        else
            total += x[i];
        if (i >= size_t(p)) {
            if (std::isnan(x[i - size_t(p)]))
                --gaps;
            else
                total -= x[i - size_t(p)];
        }
        out[i] = (i + 1 >= size_t(p) && gaps == 0) ? total : kNaN;
    }
}

inline void movingAverage(const Series& x, int p, Series& out)
{
    windowSum(x, p, out);
    for (double& v : out)
        v /= p;
}

// Y = (M·X + (N − M)·Y′) / N from the first value on; EMA is N + 1, M = 2
// written as weights.
inline void smooth(const Series& x, double n, double m, Series& out)
{
    out.resize(x.size());
    double y = kNaN;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::isnan(x[i])) {
            out[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? x[i] : (m * x[i] + (n - m) * y) / n;
        out[i] = y;
    }
}

inline void ema(const Series& x, double p, Series& out)
{
    out.resize(x.size());
    const double a = 2.0 / (p + 1.0);
    const double b = (p - 1.0) / (p + 1.0);
    double y = kNaN;
    for (size_t i = 0; i < x.size(); ++i) {
        if (std::isnan(x[i])) {
            out[i] = kNaN;
            continue;
        }
        y = std::isnan(y) ? x[i] : a * x[i] + b * y;
        out[i] = y;
    }
}

// Highest (or lowest) of the last p values; small windows, so a plain scan.
inline void extreme(const Series& x, int p, bool highest, Series& out)
{
    out.resize(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        if (i + 1 < size_t(p)) {
            out[i] = kNaN;
            continue;
        }
        double best = x[i];
        for (size_t k = i + 1 - size_t(p); k < i; ++k)
            best = highest ? std::max(best, x[k]) : std::min(best, x[k]);
        out[i] = best;
    }
}

inline double divide(double x, double y)
{
    return y == 0.0 ? kNaN : x / y;
}

inline double maxOf(double a, double b)
{
    return (std::isnan(a) || std::isnan(b)) ? kNaN : std::max(a, b);
}

inline double prev(const Series& x, size_t i, size_t shift = 1)
{
    return i >= shift ? x[i - shift] : kNaN;
}

} // namespace ComputeBench
