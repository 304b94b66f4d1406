// The hand loops: each computes a pane type's lines from the quote list as a
// host would write it, to time the pane against.

#include "HandPieces.h"

#include <ZtChipDistribution.h>

#include <QDate>
#include <QMap>

#include <algorithm>
#include <cmath>
#include <functional>

namespace ComputeBench {

void handMa(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    int line = 0;
    for (int p : {5, 10, 20, 30, 60}) {
        movingAverage(s.c, p, s.a);
        store(r, size_t(line++), s.a);
    }
}

void handMacd(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    ema(s.c, 12, s.a);
    ema(s.c, 26, s.b);
    for (size_t i = 0; i < s.c.size(); ++i)
        s.a[i] -= s.b[i];
    ema(s.a, 9, s.d);
    for (size_t i = 0; i < s.c.size(); ++i)
        s.b[i] = (s.a[i] - s.d[i]) * 2;
    store(r, 0, s.a);
    store(r, 1, s.d);
    store(r, 2, s.b);
}

void handKdj(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    extreme(s.l, 9, false, s.a);
    extreme(s.h, 9, true, s.b);
    s.d.resize(s.c.size());
    for (size_t i = 0; i < s.c.size(); ++i)
        s.d[i] = divide(s.c[i] - s.a[i], s.b[i] - s.a[i]) * 100;
    smooth(s.d, 3, 1, s.e);
    smooth(s.e, 3, 1, s.f);
    s.g.resize(s.c.size());
    for (size_t i = 0; i < s.c.size(); ++i)
        s.g[i] = 3 * s.e[i] - 2 * s.f[i];
    store(r, 0, s.e);
    store(r, 1, s.f);
    store(r, 2, s.g);
}

void handBias(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    int line = 0;
    for (int p : {6, 12, 24}) {
        movingAverage(s.c, p, s.a);
        for (size_t i = 0; i < s.c.size(); ++i)
            s.a[i] = divide(s.c[i] - s.a[i], s.a[i]) * 100;
        store(r, size_t(line++), s.a);
    }
}

void handCci(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    const size_t n = s.c.size();
    const int p = 14;
    s.t.resize(n);
    for (size_t i = 0; i < n; ++i)
        s.t[i] = (s.h[i] + s.l[i] + s.c[i]) / 3;
    movingAverage(s.t, p, s.a);
    s.b.resize(n);
    for (size_t i = 0; i < n; ++i) {
        if (std::isnan(s.a[i])) {
            s.b[i] = kNaN;
            continue;
        }
        double deviation = 0;
        for (size_t k = i + 1 - p; k <= i; ++k)
            deviation += std::fabs(s.t[k] - s.a[i]);
        s.b[i] = divide(s.t[i] - s.a[i], 0.015 * (deviation / p));
    }
    store(r, 0, s.b);
}

void handCr(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    const size_t n = s.h.size();
    s.a.resize(n);
    s.b.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double mid = i > 0 ? (s.h[i - 1] + s.l[i - 1]) / 2 : kNaN;
        s.a[i] = maxOf(0, s.h[i] - mid);
        s.b[i] = maxOf(0, mid - s.l[i]);
    }
    windowSum(s.a, 26, s.d);
    windowSum(s.b, 26, s.e);
    for (size_t i = 0; i < n; ++i)
        s.d[i] = divide(s.d[i], s.e[i]) * 100;
    store(r, 0, s.d);
    int line = 1;
    for (int m : {10, 20, 40, 62}) {
        movingAverage(s.d, m, s.f);
        const size_t shift = size_t(m / 2.5 + 1);
        s.g.resize(n);
        for (size_t i = 0; i < n; ++i)
            s.g[i] = prev(s.f, i, shift);
        store(r, size_t(line++), s.g);
    }
}

void handVr(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    readField(list, eFieldVolume, s.v);
    const size_t n = s.c.size();
    s.a.resize(n);
    s.b.resize(n);
    s.d.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double lc = prev(s.c, i);
        const bool none = std::isnan(lc);
        s.a[i] = none ? kNaN : (s.c[i] > lc ? s.v[i] : 0);
        s.b[i] = none ? kNaN : (s.c[i] < lc ? s.v[i] : 0);
        s.d[i] = none ? kNaN : (s.c[i] == lc ? s.v[i] : 0);
    }
    windowSum(s.a, 26, s.e);
    windowSum(s.b, 26, s.f);
    windowSum(s.d, 26, s.g);
    for (size_t i = 0; i < n; ++i)
        s.e[i] = divide(100 * (s.e[i] * 2 + s.g[i]), s.f[i] * 2 + s.g[i]);
    movingAverage(s.e, 6, s.t);
    store(r, 0, s.e);
    store(r, 1, s.t);
}

void handWr(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    int line = 0;
    for (int p : {10, 6}) {
        extreme(s.h, p, true, s.a);
        extreme(s.l, p, false, s.b);
        for (size_t i = 0; i < s.c.size(); ++i)
            s.a[i] = divide(100 * (s.a[i] - s.c[i]), s.a[i] - s.b[i]);
        store(r, size_t(line++), s.a);
    }
}

void handRsi(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    const size_t n = s.c.size();
    s.a.resize(n);
    s.b.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double d = s.c[i] - prev(s.c, i);
        s.a[i] = maxOf(d, 0);
        s.b[i] = std::fabs(d);
    }
    int line = 0;
    for (int p : {6, 12, 24}) {
        smooth(s.a, p, 1, s.d);
        smooth(s.b, p, 1, s.e);
        for (size_t i = 0; i < n; ++i)
            s.d[i] = divide(s.d[i], s.e[i]) * 100;
        store(r, size_t(line++), s.d);
    }
}

void handBoll(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    const size_t n = s.c.size();
    const int p = 20;
    movingAverage(s.c, p, s.a);
    // Sample deviation over the window, as mean and squared deviations.
    s.b.resize(n);
    double mean = 0, m2 = 0;
    int inside = 0;
    for (size_t i = 0; i < n; ++i) {
        const double v = s.c[i];
        ++inside;
        const double d = v - mean;
        mean += d / inside;
        m2 += d * (v - mean);
        if (i >= size_t(p)) {
            const double w = s.c[i - p];
            if (--inside == 0) {
                mean = 0;
                m2 = 0;
            } else {
                const double dw = w - mean;
                mean -= dw / inside;
                m2 -= dw * (w - mean);
            }
        }
        s.b[i] = i + 1 >= size_t(p) ? std::sqrt(std::max(m2, 0.0) / (p - 1)) : kNaN;
    }
    s.d.resize(n);
    s.e.resize(n);
    for (size_t i = 0; i < n; ++i) {
        s.d[i] = s.a[i] + 2 * s.b[i];
        s.e[i] = s.a[i] - 2 * s.b[i];
    }
    store(r, 0, s.a);
    store(r, 1, s.d);
    store(r, 2, s.e);
}

void handDma(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    movingAverage(s.c, 10, s.a);
    movingAverage(s.c, 50, s.b);
    for (size_t i = 0; i < s.c.size(); ++i)
        s.a[i] -= s.b[i];
    movingAverage(s.a, 10, s.d);
    store(r, 0, s.a);
    store(r, 1, s.d);
}

void handMtm(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    s.a.resize(s.c.size());
    for (size_t i = 0; i < s.c.size(); ++i)
        s.a[i] = s.c[i] - prev(s.c, i, 12);
    movingAverage(s.a, 6, s.b);
    store(r, 0, s.a);
    store(r, 1, s.b);
}

void handAb(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldOpen, s.o);
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    readField(list, eFieldClose, s.c);
    const size_t n = s.c.size();
    s.a.resize(n);
    s.b.resize(n);
    s.d.resize(n);
    s.e.resize(n);
    for (size_t i = 0; i < n; ++i) {
        s.a[i] = s.h[i] - s.o[i];
        s.b[i] = s.o[i] - s.l[i];
        const double lc = prev(s.c, i);
        s.d[i] = maxOf(0, s.h[i] - lc);
        s.e[i] = maxOf(0, lc - s.l[i]);
    }
    windowSum(s.a, 26, s.f);
    windowSum(s.b, 26, s.g);
    for (size_t i = 0; i < n; ++i)
        s.f[i] = divide(s.f[i], s.g[i]) * 100;
    store(r, 0, s.f);
    windowSum(s.d, 26, s.f);
    windowSum(s.e, 26, s.g);
    for (size_t i = 0; i < n; ++i)
        s.f[i] = divide(s.f[i], s.g[i]) * 100;
    store(r, 1, s.f);
}

void handKline(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    store(r, 0, s.h);
    store(r, 1, s.l);
}

void handClose(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldClose, s.c);
    store(r, 0, s.c);
}

void handVol(const DQDDataList& list, HandResult& r, Scratch& s)
{
    readField(list, eFieldVolume, s.v);
    store(r, 0, s.v);
    int line = 1;
    for (int p : {5, 10}) {
        movingAverage(s.v, p, s.a);
        store(r, size_t(line++), s.a);
    }
}

// Intraday: the traded minutes from the first slot up to the first one not
// traded yet.
int tradedEnd(const DQDDataList& list)
{
    for (int i = 0; i < list.count(); ++i) {
        if (list.at(i)->uniqueKey() < 0)
            return i;
    }
    return list.count();
}

void handDline(const DQDDataList& list, HandResult& r, Scratch&)
{
    const int end = tradedEnd(list);
    r.lines.resize(2);
    for (auto& line : r.lines)
        line.resize(size_t(end));
    for (int i = 0; i < end; ++i) {
        const DQDUnionReader* bar = list.at(i);
        r.lines[0][size_t(i)] = stored(bar->numberValue(eFieldAverage, kNaN));
        r.lines[1][size_t(i)] = stored(bar->numberValue(eFieldClose, kNaN));
    }
}

void handDlineVol(const DQDDataList& list, HandResult& r, Scratch&)
{
    const int end = tradedEnd(list);
    r.lines.resize(1);
    r.lines[0].resize(size_t(end));
    for (int i = 0; i < end; ++i)
        r.lines[0][size_t(i)] = stored(list.at(i)->numberValue(eFieldVolume, kNaN));
}

// Data-service lines: the host's feed rows joined with the bars by date
// (both ascending), one value per bar and line.
template <typename Row>
void joinFeed(const DQDDataList& list, const Feed& feed, int lines, Row row, HandResult& r)
{
    const int n = list.count();
    r.lines.resize(size_t(lines));
    for (auto& line : r.lines)
        line.resize(size_t(n));
    std::vector<double> values(static_cast<size_t>(lines));
    size_t k = 0;
    for (int i = 0; i < n; ++i) {
        const qint64 day = list.at(i)->uniqueKey() / 1000000 * 1000000;
        while (k < feed.rows.size() && feed.rows[k].key < day)
            ++k;
        const bool has = k < feed.rows.size() && feed.rows[k].key == day;
        if (has)
            row(feed.rows[k].values, values.data());
        else
            std::fill(values.begin(), values.end(), kNaN);
        for (int j = 0; j < lines; ++j)
            r.lines[size_t(j)][size_t(i)] = stored(values[size_t(j)]);
    }
}

void handZjlx(const DQDDataList& list, HandResult& r, Scratch&)
{
    joinFeed(list, fixture().fundFlow, 3, [](const std::vector<double>& v, double* out) {
        out[0] = v[0];
        out[1] = v[1];
        out[2] = v[0] - v[1];
    }, r);
}

void handMmld(const DQDDataList& list, HandResult& r, Scratch&)
{
    joinFeed(list, fixture().power, 3, [](const std::vector<double>& v, double* out) {
        out[0] = v[0];
        out[1] = v[1];
        out[2] = v[0] - v[1];
    }, r);
}

void handCmsd(const DQDDataList& list, HandResult& r, Scratch&)
{
    joinFeed(list, fixture().chipLock, 6, [](const std::vector<double>& v, double* out) {
        std::copy(v.begin(), v.end(), out);
    }, r);
}

void handRzrq(const DQDDataList& list, HandResult& r, Scratch&)
{
    joinFeed(list, fixture().margin, 3, [](const std::vector<double>& v, double* out) {
        std::copy(v.begin(), v.end(), out);
    }, r);
}


void handYdcm(const DQDDataList& list, ChipHand& out, Scratch& s)
{
    readField(list, eFieldHigh, s.h);
    readField(list, eFieldLow, s.l);
    readField(list, eFieldClose, s.c);
    readField(list, eFieldVolume, s.v);
    readField(list, eFieldAmount, s.a);
    const size_t n = s.c.size();
    double meanVolume = 0;
    for (double v : s.v)
        meanVolume += v / double(n);
    const double shares = 100.0 * meanVolume;
    double low = s.l[0], high = s.h[0];
    for (size_t i = 0; i < n; ++i) {
        low = std::min(low, s.l[i]);
        high = std::max(high, s.h[i]);
    }
    const double step = ZtChipDistribution::gridStep(low, high);
    const double origin = std::floor(low / step + 1e-9) * step;
    const qint64 originLL = std::llround(origin * 1e5);
    const qint64 stepLL = std::llround(step * 1e5);
    const int rows = int(std::llround((high - origin) / step)) + 1;
    const auto rowOf = [&](double p) {
        return int(std::clamp<qint64>(std::llround((p - origin) / step), 0, rows - 1));
    };
    std::vector<double> held(size_t(rows), 0.0), w;
    double scale = 1.0;
    int lo = rows, hi = -1;
    for (size_t i = 0; i < n; ++i) {
        const double t = std::min(1.0, s.v[i] / shares);
        scale *= 1.0 - t;
        if (scale < 1e-200) {
            for (int r = lo; r <= hi; ++r)
                held[size_t(r)] *= scale;
            scale = 1.0;
        }
        const double avg = s.a[i] / s.v[i];
        const int a = rowOf(s.l[i]);
        const int b = std::max(rowOf(s.h[i]), a);
        const double peak = std::clamp((avg - origin) / step, double(a), double(b));
        w.assign(size_t(b - a + 1), 0.0);
        double sum = 0;
        for (int r = a; r <= b; ++r) {
            const double side = r <= peak ? peak - a : b - peak;
            w[size_t(r - a)] = std::max(0.0, 1.0 - std::abs(r - peak) / (side + 1.0));
            sum += w[size_t(r - a)];
        }
        for (int r = a; r <= b; ++r)
            held[size_t(r)] += w[size_t(r - a)] * (t / sum) / scale;
        lo = std::min(lo, a);
        hi = std::max(hi, b);
    }
    double total = 0;
    for (int r = lo; r <= hi; ++r)
        total += held[size_t(r)] * scale;
    out.rows.clear();
    for (int r = lo; r <= hi; ++r) {
        const double v = held[size_t(r)] * scale;
        if (v > total * 1e-9)
            out.rows.emplace_back(double(originLL + r * stepLL) / 1e5, v * shares);
    }
}

} // namespace ComputeBench
