// The chip distribution of the indicator pane: volume per price, as lines
// coloured against the current price or as one outlined profile.

#include "ZtLineLib_Formula.h"
#include "ZtPaintBatch.h"

#include "ZtLineLibTheme.h"

#include <QPainter>
#include <QPainterPath>

using namespace ZtUIDataStruct;
using namespace zt;
using Line = Formulas::formulaLine;

// ---- chip distribution ----------------------------------------------------------

void ZtLineLib_Formula::Fill_eYDCM(QPainter* painter, const Line* line)
{
    const QList<QPair<double, double>>& rows = line->chipRows;
    // A profile without a positive largest volume has no scale to draw to.
    if (rows.isEmpty() || !(line->chipMax > 0) || !(m_rect.width() > 0))
        return;
    const double scale = line->chipMax / m_rect.width();
    // Rows grow from the pane's left edge; its top-left corner closes the
    // profile.
    const int x0 = ztPixel(m_rect.left());
    const int y0 = ztPixel(m_rect.top());
    const auto reach = [&](double volume) { return x0 + ztPixel(volume / scale); };

    if (line->chipType == 1) {
        const QPen pens[3] = {getThemePen(QStringLiteral("Up")), getThemePen(QStringLiteral("Down")),
                              getThemePen(QStringLiteral("Flat"))};
        // Rows may overlap when they are denser than the pixels; keep their
        // order.
        PrimitiveBatch batch(painter, pens[0]);
        for (const auto& row : rows) {
            const double price = row.first;
            const int which = price < m_qnowData ? 0 : (price > m_qnowData ? 1 : 2);
            if (batch.pen().color() != pens[which].color())
                batch.setPen(pens[which]);
            const int y = ztPixel(getY(price));
            batch.line(QLine(x0, y, reach(row.second), y));
        }
        return;
    }

    QPainterPath path;
    path.moveTo(x0, y0);
    for (int j = rows.size() - 1; j >= 0; --j)
        path.lineTo(reach(rows.at(j).second), ztPixel(getY(rows.at(j).first)));
    path.lineTo(x0, ztPixel(getY(rows.first().first)));
    const QPen pen = getThemePen(QStringLiteral("Default"));
    painter->setPen(pen);
    painter->setBrush(pen.brush());
    painter->drawPath(path);
}
