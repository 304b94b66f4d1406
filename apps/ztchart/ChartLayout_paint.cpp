// Painting of the chart: elements in their order, the title, the legends
// and the chip column's figures.

#include "ChartLayout.h"

#include "ChartData.h"
#include "ChartPane.h"

#include <DataTrans.h>
#include <ZtLineCrossCurve.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Formula.h>
#include <ZtLineLib_InfoBar.h>
#include <ZtLineLib_Scaleplate.h>

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

constexpr double kRowHeight = 16;
constexpr int kChipRows = 4;

QColor themeColor(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

QString dateText(qint64 key)
{
    return DataTrans::getDateTimeFromULL(quint64(key)).toString(QStringLiteral("yyyy-MM-dd"));
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
    for (auto& pane : m_panes) {
        pane->fill(painter, missingDataHint(pane->type()));
        paintLegend(painter, *pane);
    }
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
    const DQDUnionReader* a = list->at(mainPane().pane()->getAxisXFirstDataIndex());
    const DQDUnionReader* b = list->at(mainPane().pane()->getAxisXLastDataIndex());
    if (a && b)
        range = dateText(a->uniqueKey()) + QStringLiteral(" … ") + dateText(b->uniqueKey());
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

void ChartLayout::paintLegend(QPainter* painter, const ChartPane& pane)
{
    const QRectF area = pane.area();
    const double right = area.right() - m_paddingRight;
    const double baseline = area.top() + 15;
    double x = area.left() + m_paddingLeft + 4;
    for (const PaneLegend::Segment& s : pane.legend(legendIndex()))
        x = drawText(painter, x, baseline, right, s.text, s.color) + (s.title ? 12 : 8);
}

void ChartLayout::paintEvents(QPainter* painter)
{
    if (!m_events)
        return;
    // The event bar's rectangle starts at the top of its painter.
    painter->save();
    painter->translate(0, mainPane().area().top());
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
    drawText(painter, column.left() + 4, column.top() + 15, column.right(), QStringLiteral("筹码分布"),
             themeColor("Default"));

    // The figures go under the profile, beside the lower panes; with no
    // lower pane they take the foot of the column and the profile stops
    // above them.
    const double figuresTop = std::min(mainPane().area().bottom(), column.bottom() - kChipRows * kRowHeight - 8);
    painter->save();
    // The profile is drawn from x = 0 of its painter.
    painter->translate(column.left() + 2, 0);
    painter->setClipRect(QRectF(0, column.top(), column.width() - 2, figuresTop - column.top()));
    // The whole profile is one filled shape in the text colour: half
    // strength keeps it a silhouette behind the prices on either face.
    if (m_chip->m_ydcmOutType == eZtYdcmOutAll)
        painter->setOpacity(0.45);
    m_chip->Fill(painter);
    painter->restore();
    paintChipFigures(painter, figuresTop);
}

void ChartLayout::paintChipFigures(QPainter* painter, double top)
{
    const QHash<QString, QVariant>& info = m_chip->ydcmInfo();
    if (info.isEmpty())
        return;
    const QRectF column = m_chipRect;
    const double x0 = column.left() + 6;
    const QColor plain = themeColor("Default");
    painter->setPen(themeColor("Grid1"));
    painter->drawLine(QLineF(column.left(), top, column.right(), top));
    double y = top + kRowHeight;
    auto row = [&](const QString& text) {
        drawText(painter, x0, y, column.right(), text, plain);
        y += kRowHeight;
    };
    row(QStringLiteral("获利比例 %1%").arg(info.value(QStringLiteral("hlbl")).toDouble() * 100, 0, 'f', 1));
    row(QStringLiteral("平均成本 %1").arg(info.value(QStringLiteral("pjcb")).toDouble(), 0, 'f', 2));
    row(QStringLiteral("90%成本 %1-%2").arg(info.value(QStringLiteral("p90min")).toDouble(), 0, 'f', 2)
            .arg(info.value(QStringLiteral("p90max")).toDouble(), 0, 'f', 2));
    row(QStringLiteral("集中度 %1%").arg(info.value(QStringLiteral("p90jzd")).toDouble() * 100, 0, 'f', 1));
}

void ChartLayout::paintTimeAxis(QPainter* painter)
{
    painter->save();
    painter->translate(0, m_timeRect.top());
    m_timeAxis->Fill(painter);
    painter->restore();
}

void ChartLayout::paintCrosshair(QPainter* painter)
{
    if (m_crosshair < 0)
        return;
    ZtLineLib_Formula& main = *mainPane().pane();
    // The horizontal line runs through the item's close on the price chart.
    const int lineIndex = main.formulaType() == ZtLineLib_Formula::eFT_DLINE
                              ? std::max(main.formulaLines().lineCount() - 1, 0)
                              : 0;
    QPoint pos = main.getCrossCurvePointByKlineDataIndex(m_crosshair, lineIndex);
    if (pos.isNull())
        pos = QPoint(int(main.getX(m_crosshair - main.dataShowIndex())), int(main.getRect().center().y()));
    m_cross->Fill(painter, pos, m_crosshair, &main);
}
