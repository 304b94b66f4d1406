#include "PaneLegend.h"

#include <ZtLineLibTheme.h>
#include <ZtLineLib_Formula.h>

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
            out.append({segment, pane.getLinePenByIndex(k).color(), false});
    }
    return out;
}
