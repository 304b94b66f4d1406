// Price signals: true range, parabolic stop and reverse, zigzag turning
// points. ZIG, PEAK, TROUGH and their ...BARS look ahead: a later bar can
// move the last turning point.

#include "FormulaFamilyTools.h"

#include "FormulaNode.h"

#include "../TagDay.h"

using namespace FormulaFamily;

namespace {

// MAX(H − L, |REF(C,1) − H|, |REF(C,1) − L|); from the second bar on. Each
// bar reads only itself and the bar before, so it resumes.
void fnTR(FormulaCall& c, double* o)
{
    const double* h = c.column(FormulaNode::High);
    const double* l = c.column(FormulaNode::Low);
    const double* cl = c.column(FormulaNode::Close);
    for (int i = c.from(); i < c.count(); ++i) {
        if (i == 0 || std::isnan(h[i]) || std::isnan(l[i]) || std::isnan(cl[i - 1])) {
            o[i] = kNaN;
            continue;
        }
        o[i] = std::max({h[i] - l[i], std::fabs(cl[i - 1] - h[i]), std::fabs(cl[i - 1] - l[i])});
    }
}

// Parabolic stop and reverse, N bars to start, step S and limit M in
// percent. The value of a bar is the stop computed at its close, the level
// the next bar is tested against; turn is +1 where it turns up (from a
// short to a long stop), −1 where it turns down, else 0.
void parabolic(FormulaCall& c, double* stop, double* turn)
{
    const int n = c.count();
    const int p = periodArg(c, 0);
    const double step = c.number(1) / 100.0;
    const double limit = c.number(2) / 100.0;
    FormulaSeries::fill(stop, n, kNaN);
    FormulaSeries::fill(turn, n, kNaN);
    if (p < 1 || p > n || !(step > 0.0) || !(limit >= step))
        return;
    const double* h = c.column(FormulaNode::High);
    const double* l = c.column(FormulaNode::Low);
    const double* cl = c.column(FormulaNode::Close);
    const GapWindow gapsH(h, n), gapsL(l, n), gapsC(cl, n);
    if (!gapsH.full(n - 1, 0) || !gapsL.full(n - 1, 0) || !gapsC.full(n - 1, 0))
        return; // a stop cannot step over bars without prices
    const int start = p - 1;
    bool rising = cl[start] >= cl[0];
    double high = h[0], low = l[0];
    for (int k = 1; k <= start; ++k) {
        high = std::max(high, h[k]);
        low = std::min(low, l[k]);
    }
    double sar = rising ? low : high;
    double extreme = rising ? high : low;
    double factor = step;
    stop[start] = sar;
    turn[start] = 0.0;
    for (int i = start + 1; i < n; ++i) {
        turn[i] = 0.0;
        if (rising ? l[i] < sar : h[i] > sar) {
            rising = !rising;
            turn[i] = rising ? 1.0 : -1.0;
            sar = extreme;
            extreme = rising ? h[i] : l[i];
            factor = step;
            stop[i] = sar;
            continue;
        }
        if (rising ? h[i] > extreme : l[i] < extreme) {
            extreme = rising ? h[i] : l[i];
            factor = std::min(factor + step, limit);
        }
        sar += factor * (extreme - sar);
        // The stop never enters the range of this bar or the one before.
        sar = rising ? std::min({sar, l[i], l[i - 1]}) : std::max({sar, h[i], h[i - 1]});
        stop[i] = sar;
    }
}

void fnSAR(FormulaCall& c, double* o)
{
    std::vector<double> turn(static_cast<size_t>(c.count()));
    parabolic(c, o, turn.data());
}

void fnSARTURN(FormulaCall& c, double* o)
{
    std::vector<double> stop(static_cast<size_t>(c.count()));
    parabolic(c, stop.data(), o);
}

// The price a zigzag follows: 0 open, 1 high, 2 low, 3 close, or a line.
const double* zigSource(FormulaCall& c)
{
    if (!c.isScalar(0))
        return c.series(0);
    static const int columns[] = {FormulaNode::Open, FormulaNode::High, FormulaNode::Low,
                                  FormulaNode::Close};
    const double k = c.number(0);
    return c.column(k >= 0.0 && k < 4.0 ? columns[int(k)] : FormulaNode::Close);
}

// Turning points of a move of at least pct percent: bar indices, the first
// and last bars included.
std::vector<int> pivots(const double* x, int n, double pct)
{
    std::vector<int> points;
    int i = 0;
    while (i < n && std::isnan(x[i]))
        ++i;
    if (i >= n || !(pct > 0.0))
        return points;
    points.push_back(i);
    // A move is measured against the size of where it starts, so a line at
    // or below zero (an oscillator) turns like a price does; from 0 any move
    // counts.
    const double up = 1.0 + pct / 100.0;
    const double down = 1.0 - pct / 100.0;
    const auto rises = [&](double from, double to) {
        return to > from && to >= from * (from < 0.0 ? down : up);
    };
    const auto falls = [&](double from, double to) {
        return to < from && to <= from * (from < 0.0 ? up : down);
    };
    int direction = 0; // +1 rising, −1 falling, 0 not known yet
    int extreme = i;
    for (++i; i < n; ++i) {
        const double v = x[i];
        if (std::isnan(v))
            continue;
        const double e = x[extreme];
        if (direction == 0) {
            const double start = x[points.back()];
            if (rises(start, v) || falls(start, v)) {
                direction = v > start ? 1 : -1;
                extreme = i;
            }
        } else if (direction > 0 ? v > e : v < e) {
            extreme = i;
        } else if (direction > 0 ? falls(e, v) : rises(e, v)) {
            points.push_back(extreme);
            direction = -direction;
            extreme = i;
        }
    }
    if (extreme != points.back())
        points.push_back(extreme);
    int last = n - 1;
    while (last > points.back() && std::isnan(x[last]))
        --last;
    if (last != points.back())
        points.push_back(last);
    return points;
}

void fnZIG(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = zigSource(c);
    none(n, o);
    const std::vector<int> points = pivots(x, n, c.number(1));
    if (points.size() == 1)
        o[points[0]] = x[points[0]];
    for (size_t k = 1; k < points.size(); ++k) {
        const int a = points[k - 1], b = points[k];
        for (int i = a; i <= b; ++i)
            o[i] = x[a] + (x[b] - x[a]) * (i - a) / double(b - a);
    }
}

// The M-th last peak (trough) of the zigzag at or before each bar: its value,
// or the bars since it. The zigzag's first and last bars are not turning
// points.
template <bool peak, bool bars>
void turningPoint(FormulaCall& c, double* o)
{
    const int n = c.count();
    const int m = periodArg(c, 2);
    const double* x = zigSource(c);
    none(n, o);
    if (m < 1)
        return;
    const std::vector<int> points = pivots(x, n, c.number(1));
    std::vector<int> turns;
    for (size_t k = 1; k + 1 < points.size(); ++k) {
        const bool isPeak = x[points[k]] > x[points[k - 1]];
        if (isPeak == peak)
            turns.push_back(points[k]);
    }
    size_t seen = 0;
    for (int i = 0; i < n; ++i) {
        while (seen < turns.size() && turns[seen] <= i)
            ++seen;
        if (int(seen) >= m) {
            const int at = turns[seen - size_t(m)];
            o[i] = bars ? double(i - at) : x[at];
        }
    }
}

constexpr unsigned kHLC = eTagDayHigh | eTagDayLow | eTagDayClose;
constexpr unsigned kOHLC = kHLC | eTagDayOpen;

const FormulaLibraryEntry kSignals[] = {
    {"TR", 0, 0, -1, fnTR, kHLC, true},
    {"SAR", 3, 3, 0, fnSAR, kHLC},
    {"SARTURN", 3, 3, 0, fnSARTURN, kHLC},
    {"ZIG", 2, 2, 1, fnZIG, kOHLC},
    {"PEAK", 3, 3, 1, turningPoint<true, false>, kOHLC},
    {"PEAKBARS", 3, 3, 1, turningPoint<true, true>, kOHLC},
    {"TROUGH", 3, 3, 1, turningPoint<false, false>, kOHLC},
    {"TROUGHBARS", 3, 3, 1, turningPoint<false, true>, kOHLC},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::signalFamily()
{
    return {kSignals, std::size(kSignals)};
}
