// The value text of an indicator pane: the legend of one data item.

#include "ZtLineLib_Formula.h"

#include "ZtLineLibTheme.h"

#include <FormulaDrawType.h>

#include <cmath>

namespace {

const QString kSegmentEnd = QStringLiteral(",&");
const QString kNameOnlyEnd = QStringLiteral("& ");

bool hasValue(const QList<float>& values, int index)
{
    if (index < 0 || index >= values.size())
        return false;
    const float v = values.at(index);
    return double(v) != kZtNoValue && !std::isnan(v);
}

} // namespace

QString ZtLineLib_Formula::legendTitle(const QList<float>& params) const
{
    QString title = helpFormulaTypeToQString(m_formulaType);
    if (title == QLatin1String("VOL"))
        title.clear();
    if (title.isEmpty() || params.isEmpty())
        return QStringLiteral(" |");
    title += QLatin1Char('(');
    for (float p : params)
        title += QString::number(double(p), 'g', 6) + QLatin1Char(',');
    title.chop(1);
    title += QStringLiteral(") |");
    return title;
}

QString ZtLineLib_Formula::getChildDataString(int index)
{
    const QList<float> params = getThisCFormulaParams();
    const QString title = legendTitle(params);
    const int lineCount = m_formulaLines.lineCount();
    if (lineCount == 0)
        return title;

    // An index past the records (the base lets index = count through) has
    // no values, whatever padding the lines carry.
    const bool inData = m_data && index < m_data->count();
    // A scaling of 0 means none; dividing by it would print inf or nan.
    const float scaling = m_dataScaling == 0 ? 1.0f : float(m_dataScaling);

    QString text;
    for (int i = 0; i < lineCount; ++i) {
        const Formulas::formulaLine* line = m_formulaLines.lineAt(i);
        if (!line->showValue) {
            text += line->name + kNameOnlyEnd;
            continue;
        }
        if (line->name.isEmpty() || (line->lineStyle & eFormulaStyleNoText))
            continue;
        QString label = line->name;
        if (m_formulaType == eFT_MA && i < params.size())
            label = QStringLiteral("MA") + QString::number(double(params.at(i)), 'g', 6);

        const QList<float>& values = line->values;
        if (!inData || !hasValue(values, index)) {
            const bool untitled = line->lineStyle & eFormulaStyleNoTitle;
            text += (untitled ? QStringLiteral("--") : label + QStringLiteral(":--")) + kSegmentEnd;
            continue;
        }
        const float v = values.at(index) / scaling;
        if (line->lineStyle & eFormulaStyleNoTitle)
            text += QString::number(double(v), 'f', m_prec);
        else
            text += label + QLatin1Char(':') + QString::number(double(v), 'f', m_prec);
        const bool falling = index >= 1 && values.at(index) < values.at(index - 1);
        text += falling ? ztArrowDown() : ztArrowUp();
        text += kSegmentEnd;
    }
    text.chop(2);
    return title + text;
}
