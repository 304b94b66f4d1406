// The legend row of a pane: the values of the crosshair item (or of the last
// shown one) in the colours of their lines; and why a formula failed.

#include "PaneWidget.h"

#include "ChartData.h"
#include "PaneCatalog.h"

#include <DQDFieldId.h>
#include <DataTrans.h>
#include <ZtLineLibTheme.h>

#include <QFontMetricsF>
#include <QPainter>

using namespace ZtUIDataStruct;

namespace {

QColor themeColor(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

QColor changeColor(double value, double base)
{
    return value > base ? themeColor("Up") : value < base ? themeColor("Down") : themeColor("Flat");
}

QString percentText(double value, double base)
{
    if (base == 0)
        return QString();
    const double p = (value / base - 1.0) * 100.0;
    return (p > 0 ? QStringLiteral("+") : QString()) + QString::number(p, 'f', 2) + QLatin1Char('%');
}

QString volumeText(double volume)
{
    if (volume >= 1e8)
        return QString::number(volume / 1e8, 'f', 2) + QStringLiteral("亿");
    if (volume >= 1e4)
        return QString::number(volume / 1e4, 'f', 0) + QStringLiteral("万");
    return QString::number(volume, 'f', 0);
}

} // namespace

int PaneWidget::legendIndex() const
{
    if (m_crossIndex >= 0)
        return m_crossIndex;
    const int last = m_pane->getAxisXLastDataIndex();
    return last >= 0 ? last : m_first + m_count - 1;
}

QList<PaneLegend::Segment> PaneWidget::legend() const
{
    const int index = legendIndex();
    const bool price = type() == ZtLineLib_Formula::eFT_KLINE || type() == ZtLineLib_Formula::eFT_DLINE;
    QList<PaneLegend::Segment> parts = m_main && price ? priceLegend(index) : indicatorLegend(index);
    for (auto& o : m_overlays)
        parts += PaneLegend::split(*o, o->getDataString(index));
    return parts;
}

QString PaneWidget::legendText() const
{
    QStringList texts;
    for (const PaneLegend::Segment& s : legend())
        texts.append(s.text);
    return texts.join(QLatin1Char(' '));
}

QList<PaneLegend::Segment> PaneWidget::priceLegend(int index) const
{
    QList<PaneLegend::Segment> parts;
    const DQDUnionReader* r = m_data->charted()->at(index);
    if (!r || r->uniqueKey() <= 0)
        return parts;
    const QColor plain = themeColor("Default");
    const QString time = DataTrans::getDateTimeFromULL(quint64(r->uniqueKey()))
                             .toString(m_data->isDLine() ? QStringLiteral("yyyy-MM-dd HH:mm")
                                                         : QStringLiteral("yyyy-MM-dd"));
    parts.append({time, plain, true});
    const int prec = m_pane->getPrec();
    const double pc = r->getValue(eFieldPreClose).toDouble();
    auto value = [&](const QString& label, unsigned int field) {
        const double v = r->getValue(field).toDouble();
        parts.append({label + QString::number(v, 'f', prec), changeColor(v, pc), false});
    };
    if (m_data->isDLine()) {
        value(QStringLiteral("价 "), eFieldClose);
        value(QStringLiteral("均 "), eFieldAverage);
    } else {
        value(QStringLiteral("开 "), eFieldOpen);
        value(QStringLiteral("高 "), eFieldHigh);
        value(QStringLiteral("低 "), eFieldLow);
        value(QStringLiteral("收 "), eFieldClose);
    }
    const double close = r->getValue(eFieldClose).toDouble();
    parts.append({percentText(close, pc), changeColor(close, pc), false});
    parts.append({QStringLiteral("量 ") + volumeText(r->getValue(eFieldVolume).toDouble()), plain, false});
    return parts;
}

QList<PaneLegend::Segment> PaneWidget::indicatorLegend(int index) const
{
    QList<PaneLegend::Segment> parts = PaneLegend::split(*m_pane, m_pane->getDataString(index));
    // A pane whose value text is still empty is at least named.
    if (parts.isEmpty() || !parts.first().title) {
        QString name = ZtLineLib_Formula::helpFormulaTypeToQString(type());
        if (name.isEmpty())
            name = PaneCatalog::nameOf(type());
        parts.prepend({name, themeColor("Default"), true});
    }
    return parts;
}

void PaneWidget::paintLegend(QPainter* painter)
{
    const QFontMetricsF fm(painter->font());
    const double right = width() - kPaddingRight - 4;
    const double baseline = (kLegendHeight + fm.ascent() - fm.descent()) / 2.0;
    double x = paddingLeft() + 4;
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
    std::vector<const ZtLineLib_Formula*> panes{m_pane.get()};
    for (const auto& o : m_overlays)
        panes.push_back(o.get());
    QStringList messages;
    for (const ZtLineLib_Formula* p : panes)
        if (!p->lastFormulaError().isEmpty())
            messages.append(ZtLineLib_Formula::helpFormulaTypeToQString(p->formulaType())
                            + QStringLiteral(": ") + p->lastFormulaError());
    if (messages.isEmpty())
        return;
    const QRectF band = m_pane->getRect().adjusted(paddingLeft() + 8, 0, -kPaddingRight - 8, 0);
    painter->setPen(getThemePen(QStringLiteral("Up")).color());
    painter->drawText(band, Qt::AlignCenter | Qt::TextWordWrap, messages.join(QLatin1Char('\n')));
}
