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

// Each routine makes its lines, then walks; the continue* walks start where
// the values end, so a continued computation (resume) runs the same code
// over the records it cut.

void Formulas::eFT_DLINE(double param)
{
    if (param == 1.0)
        addLine(formulaLine(QString(), eLINE,
                            getThemePen(QStringLiteral("DLineAvgLine"), Qt::SolidLine), false));
    addLine(
        formulaLine(QString(), eLINE, getThemePen(QStringLiteral("DLineLine"), Qt::SolidLine), false));
    continueDLINE(param);
}

void Formulas::continueDLINE(double param)
{
    const bool withAverage = (param == 1.0);
    const int average = withAverage ? 0 : -1;
    const int close = withAverage ? 1 : 0;
    const int end = walkEnd();
    for (m_index = walkStart(); m_index < end; ++m_index) {
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
    addLine(formulaLine(QString(), eKLINE, nextListPen(), false));
    addLine(formulaLine(QString(), -1, nextListPen(), false));
    continueKLINE();
}

void Formulas::continueKLINE()
{
    const int end = walkEnd();
    for (m_index = walkStart(); m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        addValue(0, rec.value(eFieldHigh));
        addValue(1, rec.value(eFieldLow));
    }
}

void Formulas::eFT_VOL(const QList<float>& periods)
{
    addLine(formulaLine(QStringLiteral("VOLUME"), eVOLSTICK, nextListPen(), true));
    for (float p : periods) {
        const QString name = QStringLiteral("MA") + QString::number(double(p), 'g', 6);
        addLine(formulaLine(name, eLINE, nextListPen(), true));
    }
    continueVOL(periods);
}

void Formulas::continueVOL(const QList<float>& periods)
{
    QVector<int> maLengths;
    maLengths.reserve(periods.size());
    int longest = 0;
    for (float p : periods) {
        maLengths.append(periodLength(p));
        longest = std::max(longest, maLengths.last());
    }

    // The averages read the volumes back from this column instead of the
    // records: same values, same summation order, no per-value record lookup.
    // A continued walk fills it with the volumes its first averages reach
    // back to (the walk never stopped before them).
    const int from = walkStart();
    const int end = walkEnd();
    const int base = int(std::max<qint64>(qint64(from) - longest + 1, m_startIndex));
    QVector<double> column;
    column.reserve(std::max(end - base, 0));
    for (int i = base; i < from; ++i)
        column.append(WalkRecord{m_data->at(i)}.value(eFieldVolume));
    const auto read = [&](int i) { return column.at(i - base); };

    for (m_index = from; m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        if (rec.key() < 0)
            break;
        const double v = rec.value(eFieldVolume);
        column.append(v);
        addValue(0, v);
        for (int j = 0; j < maLengths.size(); ++j)
            addValue(j + 1, zt::movingAverage(read, m_index, m_startIndex, maLengths.at(j)));
    }
}

void Formulas::eFT_DLINEVOL()
{
    addLine(formulaLine(QString(), eVOLSTICK2, nextListPen(), false));
    continueDLINEVOL();
}

void Formulas::continueDLINEVOL()
{
    const int end = walkEnd();
    for (m_index = walkStart(); m_index < end; ++m_index) {
        const WalkRecord rec{m_data->at(m_index)};
        addValue(0, rec.key() > 0 ? rec.value(eFieldVolume) : kZtNoValue);
    }
}

void Formulas::eFT_CLOSE(unsigned int fieldId)
{
    addLine(formulaLine(QString(), eLINE, nextListPen(), false));
    continueCLOSE(fieldId);
}

void Formulas::continueCLOSE(unsigned int fieldId)
{
    const int end = walkEnd();
    for (m_index = walkStart(); m_index < end; ++m_index) {
        // A slot without data keeps its place in the line as a gap.
        const WalkRecord rec{m_data->at(m_index)};
        const double v = rec.key() < 0 ? kZtNoValue : rec.value(fieldId);
        addValue(0, v);
    }
}
