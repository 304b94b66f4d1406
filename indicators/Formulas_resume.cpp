// Continuing a computation: the lines stay, the values from a record on are
// computed again, the range follows the shown window.

#include "Formulas.h"

#include "enumDrawType.h"

#include <algorithm>

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

void Formulas::resume(int showIndex, int showLength, int keep)
{
    // Values before the first computed index are the markers addLine laid.
    keep = std::max(keep, std::max(m_startIndex, 0));
    for (formulaLine* line : qAsConst(m_lines)) {
        for (QList<float>* series : {&line->values, &line->values2, &line->values3, &line->values4})
            cutTo(*series, keep);
        cutTo(line->colors, keep);
    }
    cutTo(m_rowLow, keep);
    cutTo(m_rowHigh, keep);
    m_showIndex = showIndex;
    m_showLength = showLength;
    m_maxValue = kZtNoValue;
    m_minValue = kZtNoValueMax;
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
    const int first = std::max(m_showIndex, 0);
    const int end = int(std::min<qint64>(qint64(m_showIndex) + m_showLength, m_rowLow.size()));
    double lo = kZtNoValueMax;
    double hi = kZtNoValue;
    for (int i = first; i < end; ++i) {
        lo = std::min(lo, m_rowLow.at(i));
        hi = std::max(hi, m_rowHigh.at(i));
    }
    if (lo != kZtNoValueMax)
        widenRange(truncToPrec(lo, m_prec));
    if (hi != kZtNoValue)
        widenRange(truncToPrec(hi, m_prec));
}

void Formulas::noteRowsFrom(int from)
{
    // The series rangeOverWindow reads, record by record.
    from = std::clamp(from, 0, int(m_rowLow.size()));
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

void Formulas::rowRangeOverWindow(int index, int length, double* lo, double* hi) const
{
    double low = kZtNoValueMax;
    double high = kZtNoValue;
    const int first = std::max(index, 0);
    const int end = int(std::min<qint64>(qint64(index) + length, m_rowLow.size()));
    for (int i = first; i < end; ++i) {
        low = std::min(low, m_rowLow.at(i));
        high = std::max(high, m_rowHigh.at(i));
    }
    *lo = low;
    *hi = high;
}
