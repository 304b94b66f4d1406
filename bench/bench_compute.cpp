// setRange of every pane type against a hand-written loop that computes the
// same lines from the same data, as a host would write it. Daily types run
// over 100,000 bars. The intraday types run over the five-day minute sample
// (1,205 slots): an intraday chart never holds more than a few days, and a
// longer list of minutes would measure a pane nobody shows.
//
// Before timing, every pair is run once and the pane's lines are compared
// with the hand loop's at a few indexes; a pair that disagrees is reported
// as an error rather than timed. After the runs a table prints ns per bar,
// the ratio ours ÷ hand and the target. The table judges nothing for CI:
// the binary exits 0 whatever the timings.

#include "BenchFormulaLines.h"

#include <ZtChipDistribution.h>
#include <ZtLineLib.h>

#include <benchmark/benchmark.h>

#include <QDate>
#include <QFile>
#include <QGuiApplication>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace ZtUIDataStruct;

namespace {

constexpr int kDailyBars = 100000;
constexpr int kDemoBars = 10000;
constexpr int kShown = 200;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
const QString kCode = QStringLiteral("SH999999");

// ---- data ----------------------------------------------------------------------

// A mean-reverting walk around 10 yuan on consecutive calendar days from
// 1700 on, so that every key is a real date (the feed files are checked).
// Prices have two decimals, as quotes do: the formula engine reads them
// back from floats as those decimals, the hand loops from the doubles of the
// list, and both then see one value.
DQDDataList makeDailyBars(int n)
{
    DQDDataList list;
    list.reserve(n);
    double price = 10.0;
    quint32 seed = 12345;
    auto noise = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return double(seed >> 8) / double(1u << 24) - 0.5;
    };
    const QDate first(1700, 1, 1);
    for (int i = 0; i < n; ++i) {
        const double open = price;
        const auto cents = [](double v) { return std::round(v * 100.0) / 100.0; };
        price = cents(std::max(1.0, price * (1.0 + noise() * 0.04) + (10.0 - price) * 0.01));
        const double high = cents(std::max(open, price) * (1.0 + std::fabs(noise()) * 0.02));
        const double low = cents(std::min(open, price) * (1.0 - std::fabs(noise()) * 0.02));
        const double volume = std::round(1e6 * (1.0 + noise()));
        const QDate d = first.addDays(i);
        const qint64 key = (qint64(d.year()) * 10000 + d.month() * 100 + d.day()) * 1000000;
        DQDUnionReader r;
        r.setUniqueValue(key);
        r.setValue(eFieldDateTime, key);
        r.setValue(eFieldOpen, open);
        r.setValue(eFieldHigh, high);
        r.setValue(eFieldLow, low);
        r.setValue(eFieldClose, price);
        r.setValue(eFieldVolume, volume);
        r.setValue(eFieldAmount, volume * (high + low + price) / 3.0);
        list.append(r);
    }
    return list;
}

// One feed row per bar: a host keeps what it hands the service.
struct FeedRow
{
    qint64 key;
    std::vector<double> values;
};

struct Feed
{
    std::vector<FeedRow> rows;
    QByteArray csv;
};

Feed makeFeed(const DQDDataList& bars, const char* header, int columns, quint32 seed)
{
    Feed f;
    f.csv = QByteArray("date,") + header + '\n';
    f.rows.reserve(size_t(bars.count()));
    for (int i = 0; i < bars.count(); ++i) {
        const qint64 key = bars.at(i)->uniqueKey();
        FeedRow row{key, {}};
        f.csv += QByteArray::number(key / 1000000);
        for (int c = 0; c < columns; ++c) {
            seed = seed * 1664525u + 1013904223u;
            const double v = double(seed >> 12); // whole numbers: text and value agree
            row.values.push_back(v);
            f.csv += ',' + QByteArray::number(v, 'f', 0);
        }
        f.csv += '\n';
        f.rows.push_back(std::move(row));
    }
    return f;
}

struct Fixture
{
    DQDDataList daily;
    DQDDataList demoDaily;
    DQDDataList minutesDay;
    DQDDataList minutesWeek;
    Feed fundFlow, power, chipLock, margin;
    QString error;
};

Fixture& fixture()
{
    static Fixture* f = [] {
        auto* x = new Fixture;
        x->daily = makeDailyBars(kDailyBars);
        x->demoDaily = makeDailyBars(kDemoBars);
        const QString minutes = QStringLiteral(ZT_SOURCE_DIR "/data/sh600000_dline5.csv");
        QuoteLoader::MinuteOptions one;
        one.days = 1;
        QuoteLoader::MinuteOptions five;
        five.days = 5;
        if (!QuoteLoader::loadMinutes(minutes, &x->minutesDay, one, &x->error)
            || !QuoteLoader::loadMinutes(minutes, &x->minutesWeek, five, &x->error))
            return x;
        x->fundFlow = makeFeed(x->daily, "bigbuy,bigsell", 2, 11);
        x->power = makeFeed(x->daily, "buyer,seller", 2, 22);
        x->chipLock = makeFeed(x->daily, "5dpjl,sdlCJ,sdlWT,spj,sdl,d5lb", 6, 33);
        x->margin = makeFeed(x->daily, "rzye,rqye,rzrqye", 3, 44);

        PBDataChange::registerInstrument(kCode, QStringLiteral("Bench"), x->daily, DQDDataList(),
                                         {});
        QTemporaryDir dir;
        const auto attach = [&](const char* name, const Feed& feed, auto call) {
            const QString path = dir.filePath(QLatin1String(name));
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(feed.csv) != feed.csv.size()) {
                x->error = QStringLiteral("cannot write ") + path;
                return;
            }
            file.close();
            QString why;
            if (!call(kCode, path, &why))
                x->error = why;
        };
        attach("flow.csv", x->fundFlow, &PBDataChange::attachFundFlowFeed);
        attach("power.csv", x->power, &PBDataChange::attachPowerFeed);
        attach("lock.csv", x->chipLock, &PBDataChange::attachChipLockFeed);
        attach("margin.csv", x->margin, &PBDataChange::attachMarginFeed);
        return x;
    }();
    return *f;
}

// ---- hand loops: shared pieces -------------------------------------------------

using Series = std::vector<double>;
using Lines = std::vector<std::vector<float>>;

// What a hand loop leaves behind: the lines as a pane stores them (float,
// the no-value marker where there is none) and the range over the window.
struct HandResult
{
    Lines lines;
    double lo = kZtNoValueMax;
    double hi = kZtNoValue;
};

float stored(double v)
{
    return (std::isfinite(v) && std::fabs(v) < kZtNoValueMax) ? float(v) : float(kZtNoValue);
}

void store(HandResult& out, size_t line, const Series& s)
{
    if (out.lines.size() <= line)
        out.lines.resize(line + 1);
    std::vector<float>& dst = out.lines[line];
    dst.resize(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        dst[i] = stored(s[i]);
}

void windowRange(HandResult& out, int first, int end)
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

void readField(const DQDDataList& list, unsigned id, Series& out)
{
    const int n = list.count();
    out.resize(size_t(n));
    for (int i = 0; i < n; ++i)
        out[size_t(i)] = list.at(i)->numberValue(id, kNaN);
}

// Window sum with bars without a value kept apart (none inside: a value).
void windowSum(const Series& x, int p, Series& out)
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

void movingAverage(const Series& x, int p, Series& out)
{
    windowSum(x, p, out);
    for (double& v : out)
        v /= p;
}

// Y = (M·X + (N − M)·Y′) / N from the first value on; EMA is N + 1, M = 2
// written as weights.
void smooth(const Series& x, double n, double m, Series& out)
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

void ema(const Series& x, double p, Series& out)
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
void extreme(const Series& x, int p, bool highest, Series& out)
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

double divide(double x, double y)
{
    return y == 0.0 ? kNaN : x / y;
}

double maxOf(double a, double b)
{
    return (std::isnan(a) || std::isnan(b)) ? kNaN : std::max(a, b);
}

double prev(const Series& x, size_t i, size_t shift = 1)
{
    return i >= shift ? x[i - shift] : kNaN;
}

// ---- hand loops: one per type --------------------------------------------------

struct Scratch
{
    Series o, h, l, c, v, a, b, d, e, f, g, t;
};

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

// Chip distribution at the last bar: turnover is volume over a float of 100
// mean volumes (no float shares known), triangles peaking at amount ÷ volume,
// decay applied lazily through one scale factor.
struct ChipHand
{
    std::vector<std::pair<double, double>> rows; // price, volume
};

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

// ---- panes ---------------------------------------------------------------------

using Type = ZtLineLib_Formula::enumFormulaType;

// The painting is not measured here; the pane only computes.
class Pane : public ZtLineLib_Formula
{
public:
    explicit Pane(Type type) : ZtLineLib_Formula(type) {}
    void FillChild(QPainter*) override {}
};

struct Case
{
    const char* name;
    Type type;
    bool engine;
    bool intraday;
    void (*hand)(const DQDDataList&, HandResult&, Scratch&);
};

const Case kCases[] = {
    {"DLINE", Type::eFT_DLINE, false, true, handDline},
    {"KLINE", Type::eFT_KLINE, false, false, handKline},
    {"MA", Type::eFT_MA, true, false, handMa},
    {"VOL", Type::eFT_VOL, false, false, handVol},
    {"DLINEVOL", Type::eFT_DLINEVOL, false, true, handDlineVol},
    {"MACD", Type::eFT_MACD, true, false, handMacd},
    {"KDJ", Type::eFT_KDJ, true, false, handKdj},
    {"BIAS", Type::eFT_BIAS, true, false, handBias},
    {"CCI", Type::eFT_CCI, true, false, handCci},
    {"CR", Type::eFT_CR, true, false, handCr},
    {"VR", Type::eFT_VR, true, false, handVr},
    {"WR", Type::eFT_WR, true, false, handWr},
    {"RSI", Type::eFT_RSI, true, false, handRsi},
    {"BOLL", Type::eFT_BOLL, true, false, handBoll},
    {"DMA", Type::eFT_DMA, true, false, handDma},
    {"MTM", Type::eFT_MTM, true, false, handMtm},
    {"AB", Type::eFT_AB, true, false, handAb},
    {"ZJLX", Type::eFT_ZJLX, false, false, handZjlx},
    {"MMLD", Type::eFT_MMLD, false, false, handMmld},
    {"CMSD", Type::eFT_CMSD, false, false, handCmsd},
    {"RZRQ", Type::eFT_RZRQ, false, false, handRzrq},
    {"YDCM", Type::eFT_YDCM, false, false, nullptr},
    {"CLOSE", Type::eFT_CLOSE, false, false, handClose},
};

DQDDataList& listOf(const Case& c)
{
    return c.intraday ? fixture().minutesWeek : fixture().daily;
}

void configure(Pane& pane, const Case& c, DQDDataList* list)
{
    pane.setRect(0, 0, 1600, 300);
    pane.setPrec(2);
    pane.setData(list);
    if (c.intraday) {
        pane.setIsDLine(true);
        pane.setShowDRFS(5);
    }
    switch (c.type) {
    case Type::eFT_DLINE: pane.m_params = {1}; break;
    case Type::eFT_VOL: pane.m_params = {5, 10}; break;
    case Type::eFT_YDCM: pane.m_ydcmCount = 1; break;
    case Type::eFT_ZJLX:
    case Type::eFT_MMLD:
    case Type::eFT_CMSD:
    case Type::eFT_RZRQ: pane.m_codeList = QStringList{kCode}; break;
    default: break;
    }
}

void runPane(Pane& pane, const DQDDataList& list, bool intraday)
{
    pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    if (intraday)
        pane.setRange(0, list.count());
    else
        pane.setRange(list.count() - kShown, kShown);
}

bool close(double a, double b)
{
    const bool na = !(a > kZtNoValue && a < kZtNoValueMax);
    const bool nb = !(b > kZtNoValue && b < kZtNoValueMax);
    if (na || nb)
        return na && nb;
    return std::fabs(a - b) <= 1e-5 * std::max({std::fabs(a), std::fabs(b), 1.0});
}

// Empty when the pane's lines and the hand loop's agree at the probed indexes.
std::string compareLines(const Pane& pane, const HandResult& hand)
{
    const Formulas& f = pane.formulaLines();
    if (f.lineCount() != int(hand.lines.size()))
        return "line count " + std::to_string(f.lineCount()) + " vs "
               + std::to_string(hand.lines.size());
    for (int j = 0; j < f.lineCount(); ++j) {
        const QList<float>& ours = f.lineAt(j)->values;
        const std::vector<float>& theirs = hand.lines[size_t(j)];
        const int n = int(theirs.size());
        for (int i : {0, 1, 30, 99, n / 2, n - 2, n - 1}) {
            if (i < 0 || i >= n)
                continue;
            const double a = i < ours.size() ? double(ours.at(i)) : double(kZtNoValue);
            if (!close(a, theirs[size_t(i)]))
                return "line " + std::to_string(j) + " index " + std::to_string(i) + ": "
                       + std::to_string(a) + " vs " + std::to_string(theirs[size_t(i)]);
        }
    }
    return {};
}

std::string compareChips(const Pane& pane, const ChipHand& hand)
{
    const Formulas& f = pane.formulaLines();
    if (f.lineCount() != 1)
        return "expected one chip line, got " + std::to_string(f.lineCount());
    const auto& rows = f.lineAt(0)->chipRows;
    if (rows.size() != int(hand.rows.size()))
        return "chip rows " + std::to_string(rows.size()) + " vs " + std::to_string(hand.rows.size());
    for (int i = 0; i < rows.size(); ++i) {
        if (!close(rows.at(i).first, hand.rows[size_t(i)].first)
            || !close(rows.at(i).second, hand.rows[size_t(i)].second))
            return "chip row " + std::to_string(i) + " differs";
    }
    return {};
}

std::string check(const Case& c)
{
    if (!fixture().error.isEmpty())
        return fixture().error.toStdString();
    DQDDataList& list = listOf(c);
    Pane pane(c.type);
    configure(pane, c, &list);
    runPane(pane, list, c.intraday);
    Scratch s;
    if (c.type == Type::eFT_YDCM) {
        ChipHand hand;
        handYdcm(list, hand, s);
        return compareChips(pane, hand);
    }
    HandResult hand;
    c.hand(list, hand, s);
    return compareLines(pane, hand);
}

void benchOurs(benchmark::State& state, const Case& c)
{
    const std::string problem = check(c);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    DQDDataList& list = listOf(c);
    Pane pane(c.type);
    configure(pane, c, &list);
    for (auto _ : state) {
        runPane(pane, list, c.intraday);
        benchmark::DoNotOptimize(pane.maxReference());
    }
    state.counters["bars"] = list.count();
}

void benchHand(benchmark::State& state, const Case& c)
{
    const std::string problem = check(c);
    if (!problem.empty()) {
        state.SkipWithError(problem.c_str());
        return;
    }
    const DQDDataList& list = listOf(c);
    const int n = list.count();
    Scratch s;
    HandResult r;
    ChipHand chips;
    for (auto _ : state) {
        if (c.type == Type::eFT_YDCM) {
            handYdcm(list, chips, s);
            benchmark::DoNotOptimize(chips.rows.data());
            continue;
        }
        c.hand(list, r, s);
        if (c.intraday)
            windowRange(r, 0, n);
        else
            windowRange(r, n - kShown, n);
        benchmark::DoNotOptimize(r.hi);
    }
    state.counters["bars"] = n;
}

// The demo's panes: daily candles, averages, volume and MACD over 10,000
// bars, and the intraday price and volume panes of its one-day and
// five-day charts.
void benchDemo(benchmark::State& state)
{
    Fixture& fx = fixture();
    if (!fx.error.isEmpty()) {
        state.SkipWithError(fx.error.toUtf8().constData());
        return;
    }
    std::vector<std::unique_ptr<Pane>> daily;
    for (Type t : {Type::eFT_KLINE, Type::eFT_MA, Type::eFT_VOL, Type::eFT_MACD}) {
        daily.emplace_back(new Pane(t));
        daily.back()->setRect(0, 0, 1280, 300);
        daily.back()->setPrec(2);
        daily.back()->setData(&fx.demoDaily);
        if (t == Type::eFT_VOL)
            daily.back()->m_params = {5, 10};
    }
    std::vector<std::pair<std::unique_ptr<Pane>, DQDDataList*>> intraday;
    for (auto days : {std::make_pair(1, &fx.minutesDay), std::make_pair(5, &fx.minutesWeek)}) {
        for (Type t : {Type::eFT_DLINE, Type::eFT_DLINEVOL}) {
            auto pane = std::make_unique<Pane>(t);
            pane->setRect(0, 0, 1280, 250);
            pane->setPrec(2);
            pane->setIsDLine(true);
            pane->setIsMainChat(true);
            pane->setShowDRFS(days.first);
            pane->setData(days.second);
            if (t == Type::eFT_DLINE)
                pane->m_params = {1};
            intraday.emplace_back(std::move(pane), days.second);
        }
    }
    for (auto _ : state) {
        for (auto& p : daily)
            runPane(*p, fx.demoDaily, false);
        for (auto& p : intraday)
            runPane(*p.first, *p.second, true);
        benchmark::DoNotOptimize(daily.back()->maxReference());
    }
}

// ---- summary -------------------------------------------------------------------

// Keeps the time of every repetition of every run while the console
// reporter prints as usual; the summary takes the median.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    struct Result
    {
        std::vector<double> ns; // per iteration, one per repetition
        double bars = 0;
        std::string error;

        double median() const
        {
            std::vector<double> v = ns;
            std::sort(v.begin(), v.end());
            if (v.empty())
                return 0;
            const size_t m = v.size() / 2;
            return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
        }
    };
    std::map<std::string, Result> results;

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration)
                continue;
            Result& r = results[run.benchmark_name()];
            if (run.error_occurred) {
                r.error = run.error_message;
                continue;
            }
            const double ns = run.GetAdjustedCPUTime()
                              * benchmark::GetTimeUnitMultiplier(benchmark::kNanosecond)
                              / benchmark::GetTimeUnitMultiplier(run.time_unit);
            r.ns.push_back(ns);
            const auto bars = run.counters.find("bars");
            if (bars != run.counters.end())
                r.bars = bars->second;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

void printSummary(const CollectingReporter& reporter)
{
    std::printf("\n%-9s %7s %12s %12s %7s %7s  %s\n", "type", "bars", "ours ns/bar",
                "hand ns/bar", "ratio", "target", "");
    for (const Case& c : kCases) {
        const auto ours = reporter.results.find(std::string("ours/") + c.name);
        const auto hand = reporter.results.find(std::string("hand/") + c.name);
        if (ours == reporter.results.end() || hand == reporter.results.end())
            continue; // filtered out
        const double target = c.engine ? 5.0 : 3.0;
        if (!ours->second.error.empty() || !hand->second.error.empty()) {
            std::printf("%-9s  ERROR %s\n", c.name,
                        (ours->second.error.empty() ? hand->second.error : ours->second.error).c_str());
            continue;
        }
        const double bars = std::max(ours->second.bars, 1.0);
        const double o = ours->second.median() / bars;
        const double h = hand->second.median() / bars;
        const double ratio = o / h;
        std::printf("%-9s %7.0f %12.2f %12.2f %7.2f %6.0fx  %s\n", c.name, bars, o, h, ratio,
                    target, ratio <= target ? "ok" : "SHORT");
    }
    const auto ours = reporter.results.find("ours/FORMULA10");
    const auto hand = reporter.results.find("hand/FORMULA10");
    if (ours != reporter.results.end() && hand != reporter.results.end()) {
        if (!ours->second.error.empty()) {
            std::printf("FORMULA10  ERROR %s\n", ours->second.error.c_str());
        } else {
            const double ratio = ours->second.median() / std::max(hand->second.median(), 1.0);
            std::printf("\nten-line formula, ten functions, %d bars: ours %.2f ms, hand %.2f ms, "
                        "ratio %.2f  target 5x  %s\n",
                        kDailyBars, ours->second.median() / 1e6, hand->second.median() / 1e6,
                        ratio, ratio <= 5.0 ? "ok" : "SHORT");
        }
    }
    const auto demo = reporter.results.find("demo/setRange10k");
    if (demo != reporter.results.end() && demo->second.error.empty()) {
        const double ms = demo->second.median() / 1e6;
        std::printf("\ndemo chart, every pane's setRange (10,000 daily bars; 1- and 5-day "
                    "minutes): %.3f ms  target 5 ms  %s\n",
                    ms, ms <= 5.0 ? "ok" : "SHORT");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("ours/") + c.name).c_str(), benchOurs, c)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("hand/") + c.name).c_str(), benchHand, c)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("demo/setRange10k", benchDemo)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("ours/FORMULA10", FormulaLinesBench::benchOurs, &fixture().daily)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("hand/FORMULA10", FormulaLinesBench::benchHand, &fixture().daily)
        ->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    return 0;
}
