// Price and volume lines, read straight from the quote fields.
//
// Every walk runs from the first computed index to the end of the shown
// window, but never past the last record: an index without a record has no
// key and no fields, so a window reaching beyond the data yields lines that
// end with the data (the painters stop at the end of a line).

#include "Formulas.h"
#include "Formulas_ma.h"

#include "ZtLineLibTheme.h"

#include <DQDFieldId.h>

#include <QVector>

#include <climits>
#include <cmath>

using namespace ZtUIDataStruct;

namespace {

// A period as a whole count of records, truncated toward zero; NaN and
// anything below 1 give 0 (a line of markers only).
int periodLength(float p)
{
    if (!(p >= 1.0f))
        return 0;
    if (p >= float(INT_MAX))
        return INT_MAX;
    return int(p);
}

// Record i of the walk, read once for its key and its fields: the key as
// keyAt gives it, a field as getValue gives it.
struct WalkRecord
{
    const DQDUnionReader* r;
    qint64 key() const { return r ? r->uniqueKey() : 0; }
    double value(unsigned int fieldId) const
    {
        return r ? r->numberValue(fieldId, 0.0) : kZtNoValue;
    }
};

} // namespace

void Formulas::eFT_DLINE(double param)
{
    const bool withAverage = (param == 1.0);
    int average = -1;
    if (withAverage)
        average = addLine(formulaLine(QString(), eLINE,
                                      getThemePen(QStringLiteral("DLineAvgLine"), Qt::SolidLine),
                                      false));
    const int close = addLine(
        formulaLine(QString(), eLINE, getThemePen(QStringLiteral("DLineLine"), Qt::SolidLine), false));

    const int end = walkEnd();
    for (m_index = m_startIndex; m_index < end; ++m_index) {
        // A minute without data (not traded, or a late opening) has no value.
        const WalkRecord rec{m_data->at(m_index)};
        const bool traded = rec.key() > 0;
        addValue(close, traded ? rec.value(eFieldClose) : kZtNoValue);
        if (withAverage)
            addValue(average, traded ? rec.value(eFieldAverage) : kZtNoValue);
    }
}

void Formulas::eFT_KLINE()
{
    // Never painted as values: they make the range span the shown highs and
    // lows, the candle painter reads the record itself.
    const int high = addLine(formulaLine(QString(), eKLINE, nextListPen(), false));
    const int low = addLine(formulaLine(QString(), -1, nextListPen(), false));

    const int end = walkEnd();
    for (m_index = m_startIndex; m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        addValue(high, rec.value(eFieldHigh));
        addValue(low, rec.value(eFieldLow));
    }
}

void Formulas::eFT_VOL(const QList<float>& periods)
{
    const int volume = addLine(formulaLine(QStringLiteral("VOLUME"), eVOLSTICK, nextListPen(), true));
    QVector<int> maLines;
    QVector<int> maLengths;
    maLines.reserve(periods.size());
    maLengths.reserve(periods.size());
    for (float p : periods) {
        const QString name = QStringLiteral("MA") + QString::number(double(p), 'g', 6);
        maLines.append(addLine(formulaLine(name, eLINE, nextListPen(), true)));
        maLengths.append(periodLength(p));
    }

    // The averages read the volumes back from this column instead of the
    // records: same values, same summation order, no per-value record lookup.
    const int end = walkEnd();
    QVector<double> column;
    column.reserve(std::max(end - m_startIndex, 0));
    const int base = m_startIndex;
    const auto read = [&](int i) { return column.at(i - base); };

    for (m_index = m_startIndex; m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        if (rec.key() < 0)
            break;
        const double v = rec.value(eFieldVolume);
        column.append(v);
        addValue(volume, v);
        for (int j = 0; j < maLines.size(); ++j)
            addValue(maLines.at(j), zt::movingAverage(read, m_index, m_startIndex, maLengths.at(j)));
    }
}

void Formulas::eFT_DLINEVOL()
{
    const int volume = addLine(formulaLine(QString(), eVOLSTICK2, nextListPen(), false));
    const int end = walkEnd();
    for (m_index = m_startIndex; m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        addValue(volume, rec.key() > 0 ? rec.value(eFieldVolume) : kZtNoValue);
    }
}

void Formulas::eFT_CLOSE(unsigned int fieldId)
{
    const int close = addLine(formulaLine(QString(), eLINE, nextListPen(), false));
    const int end = walkEnd();
    for (m_index = m_startIndex; m_index < end; ++m_index) {
        // A slot without data keeps its place in the line as a gap.
        const WalkRecord rec{m_data->at(m_index)};
        const double v = rec.key() < 0 ? kZtNoValue : rec.value(fieldId);
        addValue(close, v);
    }
}
