// The legend row of a pane: the values of the crosshair item (or of the last
// shown one) in the colours of their lines; and why a formula failed.

#include "PaneWidget.h"

#include <QFontMetricsF>
#include <ZtLineLibTheme.h>
#include <QPainter>

int PaneWidget::legendIndex() const
{
    if (m_crossIndex >= 0)
        return m_crossIndex;
    const int last = formulaPane()->getAxisXLastDataIndex();
    return last >= 0 ? last : m_first + m_count - 1;
}

QList<PaneLegend::Segment> PaneWidget::legend() const
{
    return m_chart->legend(legendIndex());
}

QString PaneWidget::legendText() const
{
    QStringList texts;
    for (const PaneLegend::Segment& s : legend())
        texts.append(s.text);
    return texts.join(QLatin1Char(' '));
}

void PaneWidget::paintLegend(QPainter* painter)
{
    const QFontMetricsF fm(painter->font());
    const double right = width() - m_paddingRight - 4;
    const double baseline = (kLegendHeight + fm.ascent() - fm.descent()) / 2.0;
    double x = m_paddingLeft + 4;
    for (const PaneLegend::Segment& s : legend()) {
        const double w = fm.horizontalAdvance(s.text);
        if (x + w > right)
            break;
        painter->setPen(s.color);
        painter->drawText(QPointF(x, baseline), s.text);
        x += w + (s.title ? 14 : 10);
    }
}

void PaneWidget::paintFormulaError(QPainter* painter)
{
    const QStringList messages = m_chart->formulaErrors();
    if (messages.isEmpty())
        return;
    const QRectF band = formulaPane()->getRect().adjusted(m_paddingLeft + 8, 0, -m_paddingRight - 8, 0);
    painter->setPen(getThemePen(QStringLiteral("Up")).color());
    painter->drawText(band, Qt::AlignCenter | Qt::TextWordWrap, messages.join(QLatin1Char('\n')));
}
