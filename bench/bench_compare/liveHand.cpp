// The hand loop of the live-update benchmark: the lines of a chart as plain
// arrays, each value computed from the values before it, and for each pane
// the extremes of every record, so that a window's range is one scan of
// 200 rows per pane.

#include "LiveCharts.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace LiveBench {

using namespace ZtUIDataStruct;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Demo chart lines: candles (high, low), MA 5 10 20 30 60, volume with MA 5
// 10, MACD (DIFF, DEA, MACD); helpers EMA 12 and 26.
enum DemoLine { eHigh, eLow, eMa5, eVolume = 7, eVma5, eVma10, eDiff, eDea, eMacd, eEma12, eEma26 };
const int kMaPeriods[] = {5, 10, 20, 30, 60};

double windowSum(const std::vector<double>& x, size_t i, size_t p)
{
    if (i + 1 < p)
        return kNaN;
    double s = 0;
    for (size_t k = i + 1 - p; k <= i; ++k)
        s += x[k];
    return s;
}

double ema(double x, double before, double p, size_t i)
{
    return i == 0 ? x : (2 * x + (p - 1) * before) / (p + 1);
}

} // namespace

Bar barAt(const DQDDataList& list, int i)
{
    const DQDUnionReader* r = list.at(i);
    return {r->numberValue(eFieldOpen, 0), r->numberValue(eFieldHigh, 0),
            r->numberValue(eFieldLow, 0), r->numberValue(eFieldClose, 0),
            r->numberValue(eFieldVolume, 0)};
}

Bar barForStep(const Bar& before, long step)
{
    const double factor = step % 2 ? 1.3 : 0.77;
    Bar b;
    b.open = before.close;
    b.close = std::round(before.close * factor * 100) / 100;
    b.high = std::max(b.open, b.close) + 0.01;
    b.low = std::min(b.open, b.close) - 0.01;
    b.volume = std::round(before.volume * (step % 2 ? 3.0 : 0.3));
    return b;
}

HandChart::HandChart(Chart chart) : m_chart(chart)
{
    if (chart == eDemo) {
        m_shownLines = 13;
        m_lines.resize(15);
        m_panes = {{eHigh, eLow}, {2, 3, 4, 5, 6}, {eVolume, eVma5, eVma10}, {eDiff, eDea, eMacd}};
        m_paneFloor = {kZtNoValueMax, kZtNoValueMax, 0.0, kZtNoValueMax};
    } else {
        m_shownLines = 10;
        m_lines.resize(10);
        m_panes = {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}};
        m_paneFloor = {kZtNoValueMax};
    }
    m_rowLow.resize(m_panes.size());
    m_rowHigh.resize(m_panes.size());
    m_ranges.resize(m_panes.size());
}

void HandChart::resizeTo(size_t n)
{
    for (auto* v : {&m_o, &m_h, &m_l, &m_c, &m_v})
        v->resize(n);
    for (auto& line : m_lines)
        line.resize(n, kNaN);
    for (size_t p = 0; p < m_panes.size(); ++p) {
        m_rowLow[p].resize(n);
        m_rowHigh[p].resize(n);
    }
}

void HandChart::load(const DQDDataList& list)
{
    const size_t n = size_t(list.count());
    // Room for the appends of a run, so that no append moves the arrays.
    for (auto* v : {&m_o, &m_h, &m_l, &m_c, &m_v})
        v->reserve(n + n / 50 + 1024);
    for (auto& line : m_lines)
        line.reserve(n + n / 50 + 1024);
    for (size_t p = 0; p < m_panes.size(); ++p) {
        m_rowLow[p].reserve(n + n / 50 + 1024);
        m_rowHigh[p].reserve(n + n / 50 + 1024);
    }
    resizeTo(n);
    for (size_t i = 0; i < n; ++i) {
        storeAt(i, barAt(list, int(i)));
    }
    rangeOver(int(n) - kShown);
}

void HandChart::storeAt(size_t i, const Bar& bar)
{
    m_o[i] = bar.open;
    m_h[i] = bar.high;
    m_l[i] = bar.low;
    m_c[i] = bar.close;
    m_v[i] = bar.volume;
    computeAt(i);
}

void HandChart::computeAt(size_t i)
{
    if (m_chart == eDemo)
        computeDemoAt(i);
    else
        computeFormulaAt(i);
    noteRow(i);
}

void HandChart::computeDemoAt(size_t i)
{
    auto& L = m_lines;
    L[eHigh][i] = m_h[i];
    L[eLow][i] = m_l[i];
    for (int k = 0; k < 5; ++k)
        L[size_t(eMa5 + k)][i] = windowSum(m_c, i, size_t(kMaPeriods[k])) / kMaPeriods[k];
    L[eVolume][i] = m_v[i];
    L[eVma5][i] = windowSum(m_v, i, 5) / 5;
    L[eVma10][i] = windowSum(m_v, i, 10) / 10;
    const double before12 = i ? L[eEma12][i - 1] : 0, before26 = i ? L[eEma26][i - 1] : 0;
    L[eEma12][i] = ema(m_c[i], before12, 12, i);
    L[eEma26][i] = ema(m_c[i], before26, 26, i);
    L[eDiff][i] = L[eEma12][i] - L[eEma26][i];
    L[eDea][i] = ema(L[eDiff][i], i ? L[eDea][i - 1] : 0, 9, i);
    L[eMacd][i] = (L[eDiff][i] - L[eDea][i]) * 2;
}

// A:MA(C,10) B:EMA(C,12) D:HHV(H,20) E:LLV(L,20) F:STD(C,20) G:SUM(VOL,5)
// I:HHVBARS(H,20) J:BARSLASTCOUNT(C>O) K:DMA(C,0.1) M:TR
void HandChart::computeFormulaAt(size_t i)
{
    auto& L = m_lines;
    L[0][i] = windowSum(m_c, i, 10) / 10;
    L[1][i] = ema(m_c[i], i ? L[1][i - 1] : 0, 12, i);
    if (i >= 19) {
        double hi = m_h[i], lo = m_l[i], mean = 0, dev = 0;
        size_t at = i;
        for (size_t k = i - 19; k <= i; ++k) {
            lo = std::min(lo, m_l[k]);
            mean += m_c[k];
            if (m_h[k] >= hi) {
                hi = m_h[k];
                at = k;
            }
        }
        mean /= 20;
        for (size_t k = i - 19; k <= i; ++k)
            dev += (m_c[k] - mean) * (m_c[k] - mean);
        L[2][i] = hi;
        L[3][i] = lo;
        L[4][i] = std::sqrt(dev / 19);
        L[6][i] = double(i - at);
    }
    L[5][i] = windowSum(m_v, i, 5);
    L[7][i] = m_c[i] > m_o[i] ? (i ? L[7][i - 1] : 0) + 1 : 0;
    L[8][i] = i == 0 ? m_c[i] : 0.1 * m_c[i] + 0.9 * L[8][i - 1];
    if (i >= 1)
        L[9][i] = std::max({m_h[i] - m_l[i], std::fabs(m_c[i - 1] - m_h[i]),
                            std::fabs(m_c[i - 1] - m_l[i])});
}

void HandChart::noteRow(size_t i)
{
    for (size_t p = 0; p < m_panes.size(); ++p) {
        double lo = kZtNoValueMax, hi = kZtNoValue;
        for (int line : m_panes[p]) {
            const double v = m_lines[size_t(line)][i];
            if (!std::isnan(v)) {
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        }
        m_rowLow[p][i] = lo;
        m_rowHigh[p][i] = hi;
    }
}

void HandChart::rangeOver(int first)
{
    const size_t from = size_t(std::max(first, 0));
    const size_t end = std::min(m_c.size(), size_t(std::max(first, 0) + kShown));
    for (size_t p = 0; p < m_panes.size(); ++p) {
        Range r{m_paneFloor[p], kZtNoValue};
        const double* low = m_rowLow[p].data();
        const double* high = m_rowHigh[p].data();
        for (size_t i = from; i < end; ++i) {
            r.lo = std::min(r.lo, low[i]);
            r.hi = std::max(r.hi, high[i]);
        }
        m_ranges[p] = r;
    }
}

void HandChart::scroll(int first)
{
    rangeOver(first);
}

void HandChart::tick(const Bar& bar)
{
    const size_t i = m_c.size() - 1;
    m_h[i] = bar.high;
    m_l[i] = bar.low;
    m_c[i] = bar.close;
    m_v[i] = bar.volume;
    computeAt(i);
    rangeOver(int(m_c.size()) - kShown);
}

void HandChart::append(const Bar& bar)
{
    const size_t i = m_c.size();
    resizeTo(i + 1);
    storeAt(i, bar);
    rangeOver(int(m_c.size()) - kShown);
}

void HandChart::truncate(int n)
{
    resizeTo(size_t(n));
    rangeOver(n - kShown);
}

} // namespace LiveBench
