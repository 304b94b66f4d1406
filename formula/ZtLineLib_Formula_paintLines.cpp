// The line painters of the indicator pane: plain lines joining the slot
// centres, and smooth lines curving through them.

#include "ZtLineLib_Formula.h"
#include "ZtPaintBatch.h"

#include <QPainter>
#include <QPainterPath>

using namespace ZtUIDataStruct;
using namespace zt;
using Line = Formulas::formulaLine;

// ---- lines -------------------------------------------------------------------

void ZtLineLib_Formula::Fill_eLINE(QPainter* painter, const Line* line)
{
    paintPolyline(painter, line, m_useFixedPen ? m_fixedPen : line->pen);
}

void ZtLineLib_Formula::Draw_eLINE(QPainter* painter, const Line* line)
{
    QPen pen = m_useFixedPen ? m_fixedPen : line->pen;
    // A negative width from a formula is no width Qt defines; 0 is the
    // thinnest line.
    pen.setWidth(std::max(line->lineWidth, 0));
    paintPolyline(painter, line, pen);
}

void ZtLineLib_Formula::paintPolyline(QPainter* painter, const Line* line, const QPen& pen)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch batch(painter, pen);
    // Segments within one pixel column are vertical; with more items than
    // pixels most are. Their rows are known exactly (see VerticalRun), so
    // a run of them is filled as one rectangle instead of stroked one by one.
    VerticalRun run(batch, batch.solid() && painter->deviceTransform().type() == QTransform::TxNone);
    const bool tags = m_drawMaxMinTag;
    const QList<float>& values = line->values;
    const int last = values.size() - 1;
    // Each point ends one segment and starts the next: its x and y carry
    // over instead of being mapped twice.
    int x2 = g.centre(0);
    double y2 = 0;
    bool y2Known = false;
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < last; ++i, ++k) {
        const int x1 = x2;
        x2 = g.centre(k + 1);
        const float a = values.at(i);
        const float b = values.at(i + 1);
        const bool known = y2Known;
        y2Known = false;
        if (isGap(a) || isGap(b) || isDayBoundary(i))
            continue;
        if (x2 > m_drawRight)
            break;
        const double y1 = known ? y2 : getY(a);
        y2 = getY(b);
        y2Known = true;
        if (x1 != x2 || !run.add(x1, y1, y2))
            batch.lineF(QLineF(x1, y1, x2, y2));
        if (tags) {
            recordMaxMin(a, x1);
            recordMaxMin(b, x1);
        }
    }
}

void ZtLineLib_Formula::Fill_eSMOOTHLINE(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    const bool tags = m_drawMaxMinTag;
    QVarLengthArray<QPointF, 256> points;
    const int size = line->values.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float v = line->values.at(i);
        if (isGap(v) || isDayBoundary(i))
            continue;
        const int x = g.centre(k);
        points.append(QPointF(x, getY(v)));
        if (tags)
            recordMaxMin(v, x);
    }
    if (points.isEmpty())
        return;

    QPainterPath path(points.first());
    for (int j = 1; j < points.size(); ++j) {
        const QPointF& p = points.at(j - 1);
        const QPointF& q = points.at(j);
        const double m = (p.x() + q.x()) * 0.5;
        path.cubicTo(QPointF(m, p.y()), QPointF(m, q.y()), q);
    }
    const QPen pen = m_useFixedPen ? m_fixedPen : line->pen;
    painter->setPen(pen);
    painter->strokePath(path, pen);
    painter->setBrush(pen.brush());
}
