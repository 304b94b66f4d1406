// Painting of the chart: elements in their order, legends and the
// stand-ins for elements the library does not provide yet.

#include "ChartLayout.h"

#include "ChartData.h"
#include "ChartLayoutParts.h"
#include "PaneLegend.h"

#include <DQDFieldId.h>
#include <DataTrans.h>
#include <ZtLineLibTheme.h>

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

QColor themeColor(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

QString timeText(qint64 key, bool intraday)
{
    const QDateTime t = DataTrans::getDateTimeFromULL(quint64(key));
    return t.toString(intraday ? QStringLiteral("yyyy-MM-dd HH:mm") : QStringLiteral("yyyy-MM-dd"));
}

// A percent change with its sign.
QString percentText(double value, double base)
{
    if (base == 0)
        return QString();
    const double p = (value / base - 1.0) * 100.0;
    return (p > 0 ? QStringLiteral("+") : QString()) + QString::number(p, 'f', 2) + QLatin1Char('%');
}

QColor changeColor(double value, double base)
{
    return value > base ? themeColor("Up") : value < base ? themeColor("Down") : themeColor("Flat");
}

} // namespace

double ChartLayout::drawText(QPainter* painter, double x, double baseline, double right,
                             const QString& text, const QColor& color)
{
    const double w = QFontMetricsF(painter->font()).horizontalAdvance(text);
    if (x + w > right)
        return right + 1;
    painter->setPen(color);
    painter->drawText(QPointF(x, baseline), text);
    return x + w;
}

void ChartLayout::paint(QPainter* painter)
{
    painter->save();
    painter->setFont(chartFont());
    painter->fillRect(m_rect, themeColor("Background"));
    paintTitle(painter);
    for (auto& slot : m_slots)
        paintSlot(painter, *slot);
    paintEvents(painter);
    paintChipColumn(painter);
    paintTimeAxis(painter);
    paintCrosshair(painter);
    painter->restore();
}

void ChartLayout::paintTitle(QPainter* painter)
{
    const DQDDataList* list = m_data->charted();
    QString range;
    const DQDUnionReader* a = list->at(m_slots.front()->pane->getAxisXFirstDataIndex());
    const DQDUnionReader* b = list->at(m_slots.front()->pane->getAxisXLastDataIndex());
    if (a && b)
        range = timeText(a->uniqueKey(), false) + QStringLiteral(" … ") + timeText(b->uniqueKey(), false);
    const QString kind = m_data->isDLine()
                             ? (m_data->days() > 1 ? QStringLiteral("%1日分时").arg(m_data->days())
                                                   : QStringLiteral("分时"))
                             : QStringLiteral("日线");
    const double baseline = m_titleRect.top() + 14;
    double x = drawText(painter, m_titleRect.left() + 8, baseline, m_titleRect.right(),
                        m_data->code(), themeColor("Default"));
    x = drawText(painter, x + 12, baseline, m_titleRect.right(), kind, themeColor("Klinetag"));
    drawText(painter, x + 12, baseline, m_titleRect.right(), range, themeColor("Klinetag"));
}

void ChartLayout::paintSlot(QPainter* painter, PaneSlot& slot)
{
    slot.axis->Fill(painter);
    slot.pane->Fill(painter);
    for (auto& o : slot.overlays)
        o->Fill(painter);
    paintLegend(painter, slot);
}

void ChartLayout::paintLegend(QPainter* painter, PaneSlot& slot)
{
    const double left = slot.area.left() + m_paddingLeft + 4;
    const double right = slot.area.right() - m_paddingRight;
    const double baseline = slot.area.top() + 15;
    const int index = legendIndex();
    const PaneCatalog::Type type = slot.pane->formulaType();
    double x = left;
    if (slot.main && (type == ZtLineLib_Formula::eFT_KLINE || type == ZtLineLib_Formula::eFT_DLINE)) {
        paintMainLegend(painter, slot, x, baseline);
        return;
    }
    QList<PaneLegend::Segment> parts = PaneLegend::split(*slot.pane, slot.pane->getDataString(index));
    // A pane whose legend is still empty is at least named.
    if (parts.isEmpty() || !parts.first().title) {
        QString name = ZtLineLib_Formula::helpFormulaTypeToQString(type);
        if (name.isEmpty())
            name = PaneCatalog::nameOf(type);
        parts.prepend({name, themeColor("Default"), true});
    }
    for (auto& o : slot.overlays)
        parts += PaneLegend::split(*o, o->getDataString(index));
    for (const PaneLegend::Segment& s : parts)
        x = drawText(painter, x, baseline, right, s.text, s.color) + 8;
}

void ChartLayout::paintMainLegend(QPainter* painter, PaneSlot& slot, double x, double baseline)
{
    const double right = slot.area.right() - m_paddingRight;
    const int index = legendIndex();
    const DQDUnionReader* r = m_data->charted()->at(index);
    if (!r || r->uniqueKey() <= 0)
        return;
    const int prec = slot.pane->getPrec();
    const double pc = r->getValue(eFieldPreClose).toDouble();
    auto value = [&](const char* label, unsigned int field) {
        const double v = r->getValue(field).toDouble();
        x = drawText(painter, x, baseline, right, QString::fromUtf8(label), themeColor("Default")) + 2;
        x = drawText(painter, x, baseline, right, QString::number(v, 'f', prec), changeColor(v, pc)) + 8;
    };
    const QColor plain = themeColor("Default");
    x = drawText(painter, x, baseline, right, timeText(r->uniqueKey(), m_data->isDLine()), plain) + 10;
    const double close = r->getValue(eFieldClose).toDouble();
    if (m_data->isDLine()) {
        value("价", eFieldClose);
        value("均", eFieldAverage);
    } else {
        value("开", eFieldOpen);
        value("高", eFieldHigh);
        value("低", eFieldLow);
        value("收", eFieldClose);
    }
    x = drawText(painter, x, baseline, right, percentText(close, pc), changeColor(close, pc)) + 8;
    const double volume = r->getValue(eFieldVolume).toDouble();
    x = drawText(painter, x, baseline, right,
                 QStringLiteral("量 %1万").arg(QString::number(volume / 10000.0, 'f', 0)), plain) + 12;
    for (auto& o : slot.overlays)
        for (const PaneLegend::Segment& s : PaneLegend::split(*o, o->getDataString(index)))
            x = drawText(painter, x, baseline, right, s.text, s.color) + 8;
}

void ChartLayout::paintEvents(QPainter* painter)
{
    if (!m_events)
        return;
    // The event bar's rectangle starts at the top of its painter.
    painter->save();
    painter->translate(0, m_slots.front()->area.top());
    m_events->Fill(painter);
    painter->restore();
}

void ChartLayout::paintChipColumn(QPainter* painter)
{
    if (!m_chip)
        return;
    const QRectF column = m_chipRect;
    painter->setPen(themeColor("Grid1"));
    painter->drawLine(QLineF(column.left(), column.top(), column.left(), column.bottom()));
    const double x0 = column.left() + 4;
    drawText(painter, x0, column.top() + 15, column.right(), QStringLiteral("筹码分布"), themeColor("Default"));

    painter->save();
    // The profile is drawn from x = 0 of its painter.
    painter->translate(column.left() + 2, 0);
    painter->setClipRect(QRectF(0, column.top(), column.width() - 2, column.height()));
    m_chip->Fill(painter);
    painter->restore();

    const QHash<QString, QVariant>& info = m_chip->ydcmInfo();
    if (info.isEmpty())
        return;
    const QColor plain = themeColor("Klinetag");
    double y = column.bottom() - 4 - 3 * 16;
    auto row = [&](const QString& text) {
        drawText(painter, x0, y, column.right(), text, plain);
        y += 16;
    };
    row(QStringLiteral("获利比例 %1%").arg(info.value(QStringLiteral("hlbl")).toDouble() * 100, 0, 'f', 1));
    row(QStringLiteral("平均成本 %1").arg(info.value(QStringLiteral("pjcb")).toDouble(), 0, 'f', 2));
    row(QStringLiteral("90%成本 %1-%2").arg(info.value(QStringLiteral("p90min")).toDouble(), 0, 'f', 2)
            .arg(info.value(QStringLiteral("p90max")).toDouble(), 0, 'f', 2));
    row(QStringLiteral("集中度 %1%").arg(info.value(QStringLiteral("p90jzd")).toDouble() * 100, 0, 'f', 1));
}

void ChartLayout::paintTimeAxis(QPainter* painter)
{
#if ZTCHART_HAS_SCALEPLATE
    painter->save();
    painter->translate(0, m_timeRect.top());
    m_extras->timeAxis->Fill(painter);
    painter->restore();
#else
    // Stand-in until the time axis exists: the dates at both ends.
    ZtLineLib_Formula& main = *m_slots.front()->pane;
    const DQDDataList* list = m_data->charted();
    const DQDUnionReader* a = list->at(main.getAxisXFirstDataIndex());
    const DQDUnionReader* b = list->at(main.getAxisXLastDataIndex());
    const double baseline = m_timeRect.top() + 15;
    const QColor color = themeColor("ScaleplateText");
    if (a)
        drawText(painter, m_timeRect.left() + m_paddingLeft + 2, baseline, m_timeRect.right(),
                 timeText(a->uniqueKey(), m_data->isDLine()), color);
    if (b) {
        const QString text = timeText(b->uniqueKey(), m_data->isDLine());
        const double w = QFontMetricsF(painter->font()).horizontalAdvance(text);
        drawText(painter, m_timeRect.right() - m_paddingRight - w - 2, baseline, m_timeRect.right(), text, color);
    }
#endif
}

void ChartLayout::paintCrosshair(QPainter* painter)
{
    if (m_crosshair < 0)
        return;
    ZtLineLib_Formula& main = *m_slots.front()->pane;
    // The horizontal line runs through the item's close on the price chart.
    const int lineIndex = main.formulaType() == ZtLineLib_Formula::eFT_DLINE
                              ? std::max(main.formulaLines().lineCount() - 1, 0)
                              : 0;
    QPoint pos = main.getCrossCurvePointByKlineDataIndex(m_crosshair, lineIndex);
    if (pos.isNull())
        pos = QPoint(int(main.getX(m_crosshair - main.dataShowIndex())), int(main.getRect().center().y()));
#if ZTCHART_HAS_CROSSCURVE
    m_extras->cross->Fill(painter, pos, m_crosshair, &main);
#else
    // Stand-in until the crosshair exists: the two lines.
    painter->setPen(getThemePen(QStringLiteral("CrossCurvePen")));
    const double x = main.getX(m_crosshair - main.dataShowIndex());
    for (const auto& slot : m_slots) {
        const QRectF band = slot->pane->getRect();
        painter->drawLine(QLineF(x, band.top(), x, band.bottom()));
    }
    const QRectF band = main.getRect();
    painter->drawLine(QLineF(band.left() + m_paddingLeft, pos.y(), band.right() - m_paddingRight, pos.y()));
#endif
}
