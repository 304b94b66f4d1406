// Continuing a computation: the lines stay, the values from a record on are
// computed again, the range follows the shown window.

#include "Formulas.h"

#include "enumDrawType.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// QList and QVector alike (they are one type under Qt 6).
template <typename Series>
void cutTo(Series& series, int keep)
{
    if (series.size() > keep)
        series.erase(series.begin() + keep, series.end());
}

bool inRange(double v)
{
    return v > kZtNoValue && v < kZtNoValueMax;
}

// f(series) for each series of line that counts for the range
// (ztRangeSeriesOf).
template <typename F>
void forRangeSeries(const Formulas::formulaLine& line, F f)
{
    const int priced = ztRangeSeriesOf(line.drawType);
    int bit = 1;
    for (const QList<float>* series : {&line.values, &line.values2, &line.values3, &line.values4}) {
        if (priced & bit)
            f(*series);
        bit <<= 1;
    }
}

} // namespace

void Formulas::resume(int showIndex, int showLength, int keep, int changedFrom)
{
    // Values before the first computed index are the markers addLine laid.
    keep = std::max(keep, std::max(m_startIndex, 0));
    for (formulaLine* line : qAsConst(m_lines)) {
        for (QList<float>* series : {&line->values, &line->values2, &line->values3, &line->values4})
            cutTo(*series, keep);
        cutTo(line->colors, keep);
    }
    // A record walked again with its old values widens its kept extremes by
    // the same values, so only changed records start afresh; a window moved
    // back and forth then keeps its range (windowFromKept).
    const int rowsKeep = std::max(keep, changedFrom);
    cutTo(m_rowLow, rowsKeep);
    cutTo(m_rowHigh, rowsKeep);
    rowsChangedFrom(rowsKeep);
    m_showIndex = showIndex;
    m_showLength = showLength;
    m_maxValue = kZtNoValue;
    m_minValue = kZtNoValueMax;
    m_rangeByRows = true;
}

int Formulas::walkStart() const
{
    return m_lines.isEmpty() ? m_startIndex : m_lines.first()->values.size();
}

void Formulas::widenOverWindow()
{
    // Cutting to the precision keeps the order of values, so the cut extreme
    // of the window is the extreme of its cut values: only the two ends are
    // cut. A record without values holds the sentinels, which neither end
    // takes.
    double lo = kZtNoValueMax;
    double hi = kZtNoValue;
    rowRangeOverWindow(m_showIndex, m_showLength, &lo, &hi);
    if (lo != kZtNoValueMax)
        widenRange(m_lowCut.of(lo, m_prec));
    if (hi != kZtNoValue)
        widenRange(m_highCut.of(hi, m_prec));
}

double Formulas::CutToPrec::of(double value, int prec)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    if (!m_made || bits != m_bits || prec != m_prec) {
        m_made = true;
        m_bits = bits;
        m_prec = prec;
        m_cut = truncToPrec(value, prec);
    }
    return m_cut;
}

void Formulas::noteRowsFrom(int from)
{
    // The series rangeOverWindow reads, record by record.
    from = std::clamp(from, 0, int(m_rowLow.size()));
    rowsChangedFrom(from);
    int end = from;
    for (const formulaLine* line : qAsConst(m_lines))
        forRangeSeries(*line, [&](const QList<float>& series) { end = std::max(end, int(series.size())); });
    m_rowLow.resize(end);
    m_rowHigh.resize(end);
    std::fill(m_rowLow.begin() + from, m_rowLow.end(), kZtNoValueMax);
    std::fill(m_rowHigh.begin() + from, m_rowHigh.end(), kZtNoValue);
    double* lo = m_rowLow.data();
    double* hi = m_rowHigh.data();
    for (const formulaLine* line : qAsConst(m_lines)) {
        forRangeSeries(*line, [&](const QList<float>& series) {
            for (int i = from; i < series.size(); ++i) {
                const double v = series.at(i);
                if (inRange(v)) {
                    lo[i] = std::min(lo[i], v);
                    hi[i] = std::max(hi[i], v);
                }
            }
        });
    }
}

namespace {

// Widens [*lo, *hi] by low[from, to) and high[from, to). Runs on every scroll
// step: four independent minima and maxima let the comparisons of
// neighbouring entries overlap instead of waiting on one another; the rows
// hold finite values or the sentinels, never NaN, so the order of comparing
// does not change the result.
void widenBy(const double* low, const double* high, qint64 from, qint64 to, double* lo, double* hi)
{
    double l0 = *lo, l1 = kZtNoValueMax, l2 = kZtNoValueMax, l3 = kZtNoValueMax;
    double h0 = *hi, h1 = kZtNoValue, h2 = kZtNoValue, h3 = kZtNoValue;
    qint64 i = from;
    for (; i + 4 <= to; i += 4) {
        l0 = std::min(l0, low[i]);
        l1 = std::min(l1, low[i + 1]);
        l2 = std::min(l2, low[i + 2]);
        l3 = std::min(l3, low[i + 3]);
        h0 = std::max(h0, high[i]);
        h1 = std::max(h1, high[i + 1]);
        h2 = std::max(h2, high[i + 2]);
        h3 = std::max(h3, high[i + 3]);
    }
    for (; i < to; ++i) {
        l0 = std::min(l0, low[i]);
        h0 = std::max(h0, high[i]);
    }
    *lo = std::min(std::min(l0, l1), std::min(l2, l3));
    *hi = std::max(std::max(h0, h1), std::max(h2, h3));
}

} // namespace

void Formulas::keepBlocks(qint64 from, qint64 to) const
{
    // The kept blocks stay one run: a window apart from them starts a new one.
    if (m_blocksFrom >= m_blocksTo || to < m_blocksFrom || from > m_blocksTo)
        m_blocksFrom = m_blocksTo = from;
    if (qint64(m_blockLow.size()) < to) {
        m_blockLow.resize(size_t(to));
        m_blockHigh.resize(size_t(to));
    }
    const auto make = [this](qint64 b) {
        m_blockLow[size_t(b)] = kZtNoValueMax;
        m_blockHigh[size_t(b)] = kZtNoValue;
        widenBy(m_rowLow.constData(), m_rowHigh.constData(), b * kRowBlock, (b + 1) * kRowBlock,
                &m_blockLow[size_t(b)], &m_blockHigh[size_t(b)]);
    };
    for (qint64 b = from; b < m_blocksFrom; ++b)
        make(b);
    for (qint64 b = m_blocksTo; b < to; ++b)
        make(b);
    m_blocksFrom = std::min(m_blocksFrom, from);
    m_blocksTo = std::max(m_blocksTo, to);
}

void Formulas::rowRangeOverWindow(int index, int length, double* lo, double* hi) const
{
    const qint64 first = std::max(index, 0);
    const qint64 end = std::min<qint64>(qint64(index) + length, m_rowLow.size());
    const double* low = m_rowLow.constData();
    const double* high = m_rowHigh.constData();
    *lo = kZtNoValueMax;
    *hi = kZtNoValue;
    if (windowFromKept(first, end, lo, hi))
        return;
    // The whole blocks inside the window, and the records on either side.
    const qint64 b0 = (first + kRowBlock - 1) / kRowBlock;
    const qint64 b1 = end / kRowBlock;
    if (b1 - b0 < 2) {
        widenBy(low, high, first, end, lo, hi);
    } else {
        keepBlocks(b0, b1);
        widenBy(low, high, first, b0 * kRowBlock, lo, hi);
        widenBy(m_blockLow.data(), m_blockHigh.data(), b0, b1, lo, hi);
        widenBy(low, high, b1 * kRowBlock, end, lo, hi);
    }
    m_keptWindow = {first, end, *lo, *hi};
}

bool Formulas::windowFromKept(qint64 first, qint64 end, double* lo, double* hi) const
{
    // Only a short move pays: a longer one reads its blocks instead.
    constexpr qint64 kMostMoved = 8;
    const KeptWindow& kept = m_keptWindow;
    if (kept.end < kept.first || first >= end || first >= kept.end || end <= kept.first
        || std::abs(first - kept.first) + std::abs(end - kept.end) > kMostMoved)
        return false;
    const double* low = m_rowLow.constData();
    const double* high = m_rowHigh.constData();
    // A record that leaves may hold an extreme (ties included): read it all.
    const auto holdsNoExtreme = [&](qint64 from, qint64 to) {
        for (qint64 i = from; i < to; ++i) {
            if (low[i] <= kept.lo || high[i] >= kept.hi)
                return false;
        }
        return true;
    };
    if (!holdsNoExtreme(kept.first, first) || !holdsNoExtreme(end, kept.end))
        return false;
    *lo = kept.lo;
    *hi = kept.hi;
    widenBy(low, high, first, kept.first, lo, hi);
    widenBy(low, high, kept.end, end, lo, hi);
    m_keptWindow = {first, end, *lo, *hi};
    return true;
}
