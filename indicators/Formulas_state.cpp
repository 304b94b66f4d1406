// The computation state of a pane: setup, line creation, adding values with
// range widening, and reading quote fields.

#include "Formulas.h"
#include "Formulas_ma.h"

#include "ZtLineLibTheme.h"
#include "ZtDecimalCut.h"
#include "ZtSpareLists.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <stdexcept>

using ZtUIDataStruct::DQDUnionReader;

namespace {

constexpr int kCurrentIndex = -9999999;
const char kIndexError[] = "指标计算是发生Index错误。";

using zt::kMaxExactPow10;
using zt::kPow10;

// The reference cut on the shortest plain decimal text; used where the
// arithmetic below cannot be exact.
double truncByText(double value, int prec)
{
    QString text = QString::number(value, 'f', QLocale::FloatingPointShortest);
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        text.truncate(prec < 1 ? dot : dot + 1 + prec);
    return text.toDouble();
}

bool inRange(double v)
{
    return v > kZtNoValue && v < kZtNoValueMax;
}

} // namespace

void Formulas::setup(ZtUIDataStruct::DQDDataList* data, bool isDLine, int startIndex,
                     int showIndex, int showLength, int prec)
{
    clearLines();
    m_ydcmLayers.clear();
    m_ydcmInfo.clear();
    m_data = data;
    m_isDLine = isDLine;
    m_startIndex = startIndex;
    m_showIndex = showIndex;
    m_showLength = showLength;
    m_prec = qint16(prec);
    m_index = startIndex;
    m_rangeByRows = false;
    m_maxValue = kZtNoValue;
    m_minValue = kZtNoValueMax;
    m_colorIndex = 0;
    m_rowLow.clear();
    m_rowHigh.clear();
    rowsChangedFrom(0);
}

int Formulas::addLine(formulaLine line)
{
    // Value k belongs to record k: the records before the first computed one
    // get markers.
    const int fill = std::max(m_startIndex, 0);
    // Room for one value per index up to the walk's end (a hint only).
    if (line.values.isEmpty())
        line.values = ZtSpareLists::takeEmpty(std::max(walkEnd(), fill));
    else
        line.values.reserve(std::max(walkEnd(), fill));
    for (int i = 0; i < fill; ++i)
        line.values.append(float(kZtNoValue));
    m_lines.append(new formulaLine(std::move(line)));
    return m_lines.size() - 1;
}

void Formulas::addValue(int lineIndex, double value)
{
    if (m_index < m_startIndex)
        throw std::runtime_error(kIndexError);
    formulaLine* line = lineAt(lineIndex);
    if (!line)
        return;
    if (!inRange(value)) {
        value = kZtNoValue;
    } else {
        if (!m_rangeByRows && line->values.size() >= m_showIndex && !wellInsideRange(value))
            widenRange(truncToPrec(value, m_prec));
        noteRowValue(value);
    }
    line->values.append(float(value));
}

void Formulas::noteRowValue(double value)
{
    rowsChangedFrom(std::min<qint64>(m_rowLow.size(), m_index));
    // Records walked without a value keep the sentinels.
    if (m_rowLow.size() <= m_index) {
        const int old = m_rowLow.size();
        m_rowLow.resize(m_index + 1);
        m_rowHigh.resize(m_index + 1);
        std::fill(m_rowLow.begin() + old, m_rowLow.end(), kZtNoValueMax);
        std::fill(m_rowHigh.begin() + old, m_rowHigh.end(), kZtNoValue);
    }
    double& lo = m_rowLow[m_index];
    double& hi = m_rowHigh[m_index];
    lo = std::min(lo, value);
    hi = std::max(hi, value);
}

bool Formulas::wellInsideRange(double v) const
{
    // The ends of the range so far are cut values, and cutting keeps the
    // order of values (it moves each toward zero to the next number of prec
    // decimals, and a cut value stays as it is). So a value strictly inside
    // the range cuts to one inside it too: it cannot widen it and is not
    // worth cutting.
    return v > m_minValue && v < m_maxValue;
}

void Formulas::widenRange(double v)
{
    if (v == kZtNoValue)
        return;
    m_minValue = std::min(m_minValue, v);
    m_maxValue = std::max(m_maxValue, v);
}

double Formulas::truncToPrec(double value, int prec)
{
    // A whole number prints without a point and so keeps its value; so do
    // infinities and NaN, which have no digits to cut.
    if (!std::isfinite(value) || value == std::trunc(value))
        return value;
    const int p = std::max(prec, 0);
    const double a = std::fabs(value);
    if (p > kMaxExactPow10 || a * kPow10[std::min(p, kMaxExactPow10)] >= 0x1p52)
        return truncByText(value, p);

    // Below 2^52 the rounding interval of a is narrower than 10^-p, so it
    // holds at most one number of p decimals. When it holds one, the
    // shortest text is that number and the cut gives a back; otherwise the
    // cut is floor(a·10^p) / 10^p, taken on the exact product.
    const double s = kPow10[p];
    const double k = zt::exactFloorTimes(a, s);
    const double r = ((k + 1) / s == a) ? a : k / s;
    return value < 0 ? -r : r;
}

QPen Formulas::nextListPen()
{
    static const QString key = QStringLiteral("FormulasList");
    const int n = getThemeColorCount(key);
    if (m_colorIndex >= n)
        m_colorIndex = 0;
    return getThemePenAt(key, m_colorIndex++);
}

double Formulas::getValue(unsigned int fieldId, int index) const
{
    if (index == kCurrentIndex)
        index = m_index;
    const DQDUnionReader* r = m_data ? m_data->at(index) : nullptr;
    if (!r)
        return kZtNoValue;
    // A missing or non-numeric field reads as 0, as its variant would.
    return r->numberValue(fieldId, 0.0);
}

double Formulas::getMA(unsigned int fieldId, int n) const
{
    return zt::movingAverage([&](int i) { return getValue(fieldId, i); }, m_index, m_startIndex,
                             n);
}

qint64 Formulas::keyAt(int i) const
{
    // The reader keeps the key as a number beside its text; reading the
    // number spares a text conversion per record.
    const DQDUnionReader* r = m_data ? m_data->at(i) : nullptr;
    return r ? r->uniqueKey() : 0;
}

int Formulas::walkEnd() const
{
    if (!m_data)
        return 0;
    const qint64 end = qint64(m_showIndex) + m_showLength;
    return int(std::min<qint64>(end, m_data->count()));
}

void Formulas::rangeOverWindow(int index, int length, double* lo, double* hi) const
{
    // One pass for both ends: a live step re-derives the range of every
    // shown value, so reading them once matters.
    double low = kZtNoValueMax;
    double high = kZtNoValue;
    const qint64 first = std::max(index, 0);
    const qint64 end = qint64(index) + length;
    for (const Formulas::formulaLine* line : m_lines) {
        const int priced = ztRangeSeriesOf(line->drawType);
        int bit = 1;
        for (const QList<float>* series :
             {&line->values, &line->values2, &line->values3, &line->values4}) {
            const bool skip = !(priced & bit);
            bit <<= 1;
            if (skip)
                continue;
            const qint64 stop = std::min<qint64>(end, series->size());
            for (qint64 i = first; i < stop; ++i) {
                const double v = series->at(int(i));
                if (inRange(v)) {
                    low = std::min(low, v);
                    high = std::max(high, v);
                }
            }
        }
    }
    *lo = low;
    *hi = high;
}

double Formulas::minOverWindow(int index, int length) const
{
    double lo, hi;
    rangeOverWindow(index, length, &lo, &hi);
    return lo;
}

double Formulas::maxOverWindow(int index, int length) const
{
    double lo, hi;
    rangeOverWindow(index, length, &lo, &hi);
    return hi;
}
