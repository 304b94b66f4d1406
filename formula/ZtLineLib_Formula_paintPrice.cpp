// The price painters of the indicator pane: candles, and the markers of the
// highest and lowest painted value.

#include "ZtLineLib_Formula.h"
#include "ZtPaintBatch.h"

#include "ZtLineLibTheme.h"

#include <DQDFieldId.h>

#include <QFontMetrics>
#include <QPainter>

#include <iterator>

using namespace ZtUIDataStruct;
using namespace zt;
using Line = Formulas::formulaLine;

void ZtLineLib_Formula::Fill_eKLINE(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch up(painter, m_useFixedPen ? m_fixedPen : getThemePen(QStringLiteral("KUp")));
    PrimitiveBatch down(painter, m_useFixedPen ? m_fixedPen : getThemePen(QStringLiteral("KDown")));
    BatchOrder order(painter, m_pointW);
    const bool thin = m_pointW <= 4.0;
    const bool tags = m_drawMaxMinTag;

    const int size = line->values.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        if (isMarker(line->values.at(i)))
            continue;
        const DQDUnionReader* r = m_data->at(i);
        if (!r)
            return;
        const double open = fieldOf(r, eFieldOpen);
        const double close = fieldOf(r, eFieldClose);
        const double high = fieldOf(r, eFieldHigh);
        const double low = fieldOf(r, eFieldLow);
        const double yOpen = getY(open);
        const double yClose = getY(close);
        const int yHigh = ztPixel(getY(high));
        const int yLow = ztPixel(getY(low));
        const int xc = g.centre(k);
        if (tags) {
            recordMax(high, xc);
            recordMin(low, xc);
        }

        const bool rising =
            open < close || (open == close && fieldOf(r, eFieldPreClose) <= open);
        if (thin) {
            order.column(rising ? up : down, xc, yHigh, yLow);
            continue;
        }
        PrimitiveBatch& b = order.use(rising ? up : down);

        const int left = g.bodyLeft(k);
        const int width = widthUpTo(left, m_barBodyWidth, m_drawRight);
        if (width < 1)
            continue;
        const int yo = ztPixel(yOpen);
        const int yc = ztPixel(yClose);
        if (std::fabs(yOpen - yClose) < 1.0) {
            // A body without height is a dash across the slot.
            const int dash = std::min(m_barBodyWidth & ~1, width - 1);
            b.line(QLine(left, yc, left + dash, yc));
        } else {
            const QRect body(left, std::min(yo, yc), width, std::abs(yo - yc));
            if (rising)
                b.outline(body.adjusted(0, 0, -1, 0));
            else
                b.filledBody(body);
        }
        // Wicks from the body's top and bottom edges.
        const int yTop = rising ? yc : yo;
        const int yBottom = rising ? yo : yc;
        b.line(QLine(xc, yHigh, xc, yTop));
        b.line(QLine(xc, yBottom, xc, yLow));
    }
}

// ---- max/min markers -------------------------------------------------------------

void ZtLineLib_Formula::DrawMaxMinTag(QPainter* painter)
{
    painter->setPen(getThemePen(QStringLiteral("Default")));
    const QFontMetrics fm = painter->fontMetrics();
    // A marker that no painter recorded has nothing to point at.
    if (m_maxTagValue > kZtNoValue)
        drawTag(painter, fm, m_maxTagX, m_maxTagValue);
    if (m_minTagValue < kZtNoValueMax)
        drawTag(painter, fm, m_minTagX, m_minTagValue);
}

void ZtLineLib_Formula::drawTag(QPainter* painter, const QFontMetrics& fm, int x, double value)
{
    constexpr int kArm = 15;
    constexpr int kHead = 3;
    const QString text = QString::number(value, 'f', m_prec);
    const int y = ztPixel(getY(value));
    const int h = fm.height();
    const int baseline = y + (h - h / 3) / 2;
    const int textWidth = fm.horizontalAdvance(text);
    // Room is measured to the pane's right edge, wherever the pane sits.
    const bool right = m_rect.right() - x > textWidth + kArm;
    const int dir = right ? 1 : -1;
    const QLine lines[3] = {QLine(x, y, x + dir * kArm, y), QLine(x, y, x + dir * kHead, y - kHead),
                            QLine(x, y, x + dir * kHead, y + kHead)};
    painter->drawLines(lines, int(std::size(lines)));
    painter->drawText(right ? x + kArm : x - kArm - textWidth, baseline, text);
}
