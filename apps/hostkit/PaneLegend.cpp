#include "PaneLegend.h"

#include <algorithm>
#include <cmath>

#include <ZtLineLibTheme.h>
#include <ZtLineLib_Formula.h>
#include <ZtLineLib_ValueFormat.h>

namespace {

// "label:value↑" with a value of 100000 or more (either sign) in the units
// the value axis shows it in (万, 亿): a balance of 3972393216.00 reads
// 39.72亿 in the legend as on the axis.
QString withAxisUnits(const QString& segment, int prec)
{
    const int colon = segment.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return segment;
    int end = segment.size();
    while (end > colon + 1 && !segment.at(end - 1).isDigit())
        --end;
    bool ok = false;
    const double value = segment.mid(colon + 1, end - colon - 1).toDouble(&ok);
    if (!ok || std::abs(value) <= 99999)
        return segment;
    // Two decimals at least: a volume of whole shares would otherwise
    // read "3亿" for 3.15亿.
    return segment.left(colon + 1) + formatValueText(value, QStringLiteral("d%1w").arg(std::max(prec, 2)))
           + segment.mid(end);
}

} // namespace

QList<PaneLegend::Segment> PaneLegend::split(ZtLineLib_Formula& pane, const QString& text)
{
    QList<Segment> out;
    const int bar = text.indexOf(QLatin1Char('|'));
    const QString title = (bar >= 0 ? text.left(bar) : QString()).trimmed();
    if (!title.isEmpty())
        out.append({title, getThemePen(QStringLiteral("Default")).color(), true});
    QString rest = bar >= 0 ? text.mid(bar + 1) : text;

    // Lines contribute in order: one without showValue gives "name& ", one
    // with showValue and a name gives "label:value,&", one with showValue
    // and no name gives nothing. Walking the lines the same way pairs each
    // segment with the pen of its line.
    const Formulas& lines = pane.formulaLines();
    for (int k = 0; k < lines.lineCount() && !rest.isEmpty(); ++k) {
        const Formulas::formulaLine* line = lines.lineAt(k);
        if (!line || (line->showValue && line->name.isEmpty()))
            continue;
        const QString sep = line->showValue ? QStringLiteral(",&") : QStringLiteral("& ");
        int end = rest.indexOf(sep);
        if (end < 0)
            end = rest.size();
        const QString segment = rest.left(end).trimmed();
        rest = rest.mid(std::min<int>(end + sep.size(), rest.size()));
        if (!segment.isEmpty())
            out.append({withAxisUnits(segment, pane.getPrec()), pane.getLinePenByIndex(k).color(), false});
    }
    return out;
}
