// The legend row of a pane: the values of one item in the colours of their
// lines, the price chart's own figures on the main pane.

#include "ChartPane.h"

#include "ChartData.h"
#include "PaneCatalog.h"

#include <DQDFieldId.h>
#include <DataTrans.h>
#include <ZtLineLibTheme.h>

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

QList<PaneLegend::Segment> ChartPane::legend(int index) const
{
    QList<PaneLegend::Segment> parts = isPriceChart() ? priceLegend(index) : indicatorLegend(index);
    for (const auto& o : m_overlays)
        parts += PaneLegend::split(*o, o->getDataString(index));
    return parts;
}

QList<PaneLegend::Segment> ChartPane::priceLegend(int index) const
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

QList<PaneLegend::Segment> ChartPane::indicatorLegend(int index) const
{
    QList<PaneLegend::Segment> parts = PaneLegend::split(*m_pane, m_pane->getDataString(index));
    // A pane whose value text is still empty is at least named; one without
    // data shows its name only, not a row of "--".
    if (parts.isEmpty() || !parts.first().title) {
        QString name = ZtLineLib_Formula::helpFormulaTypeToQString(type());
        if (name.isEmpty())
            name = PaneCatalog::nameOf(type());
        parts.prepend({name, themeColor("Default"), true});
    }
    if (!missingData().isEmpty())
        return parts.mid(0, 1);
    return parts;
}
