// The stick painters of the indicator pane: volume sticks, their one-pixel
// kind coloured by the close, and colour sticks around the middle.

#include "ZtLineLib_Formula.h"
#include "ZtPaintBatch.h"

#include "ZtLineLibTheme.h"

#include <DQDFieldId.h>

#include <QPainter>

using namespace ZtUIDataStruct;
using namespace zt;
using Line = Formulas::formulaLine;

// ---- volume sticks -------------------------------------------------------------

void ZtLineLib_Formula::Fill_eVOLSTICK(QPainter* painter, const Line* line)
{
    paintVolumeSticks(painter, line, false);
}

void ZtLineLib_Formula::Draw_eVOLSTICK(QPainter* painter, const Line* line)
{
    paintVolumeSticks(painter, line, true);
}

void ZtLineLib_Formula::paintVolumeSticks(QPainter* painter, const Line* line, bool barColours)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch up(painter, getThemePen(QStringLiteral("KUp")));
    PrimitiveBatch down(painter, getThemePen(QStringLiteral("KDown")));
    CodedBatch coded(painter);
    BatchOrder order(painter, m_pointW);

    const bool thin = m_pointW <= 4.0;
    const bool tags = m_drawMaxMinTag;
    const double bottom = m_rect.bottom();
    const int yBottom = ztPixel(bottom);
    const int size = line->values.size();
    const int colourCount = barColours ? line->colors.size() : 0;
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float v = line->values.at(i);
        if (isGap(v) || v == 0.0f)
            continue;
        const DQDUnionReader* r = m_data->at(i);
        if (!r)
            return;
        const bool rising = fieldOf(r, eFieldChange) >= 0;
        PrimitiveBatch& batch = i < colourCount ? coded.forCode(line->colors.at(i))
                                                : (rising ? up : down);
        const double y = getY(v);
        if (thin) {
            const int xc = g.centre(k);
            order.column(batch, xc, ztPixel(y), yBottom);
            if (tags)
                recordMaxMin(v, xc);
            continue;
        }
        PrimitiveBatch& b = order.use(batch);
        const int left = g.bodyLeft(k);
        const int width = widthUpTo(left, m_barBodyWidth, m_drawRight);
        if (width < 1)
            continue;
        const QRect stick(left, ztPixel(y), width, ztPixel(std::max(bottom - y, 1.0)));
        if (rising)
            b.outline(stick.adjusted(0, 0, -1, 0));
        else
            b.fill(stick);
        if (tags)
            recordMaxMin(v, ztPixel(left + width * 0.5));
    }
}

void ZtLineLib_Formula::Fill_eVOLSTICK2(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch flat(painter, getThemePen(QStringLiteral("Default")));
    PrimitiveBatch up(painter, getThemePen(QStringLiteral("Up")));
    PrimitiveBatch down(painter, getThemePen(QStringLiteral("Down")));
    BatchOrder order(painter, m_pointW);

    const bool tags = m_drawMaxMinTag;
    const int yBottom = ztPixel(m_rect.bottom());
    const int count = m_data->count();
    const int size = line->values.size();
    double close = 0;
    int closeIndex = -2;
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float v = line->values.at(i);
        if (isGap(v) || v == 0.0f)
            continue;
        PrimitiveBatch* b = &flat;
        if (i > 0 && i < count) {
            // The close read for the item before is reused when it was read.
            const double before =
                closeIndex == i - 1 ? close : fieldOf(m_data->at(i - 1), eFieldClose);
            close = fieldOf(m_data->at(i), eFieldClose);
            closeIndex = i;
            if (close > before)
                b = &up;
            else if (close < before)
                b = &down;
        }
        const int x = g.centre(k);
        order.column(*b, x, ztPixel(getY(v)), yBottom);
        if (tags)
            recordMaxMin(v, x);
    }
}

void ZtLineLib_Formula::Draw_eVOLSTICK2(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch up(painter, QPen(getThemePen(QStringLiteral("KUp")).color()));
    PrimitiveBatch down(painter, QPen(getThemePen(QStringLiteral("KDown")).color()));
    CodedBatch coded(painter);
    BatchOrder order(painter, m_pointW);

    const bool tags = m_drawMaxMinTag;
    const int yBottom = ztPixel(m_rect.bottom());
    const int size = line->values.size();
    const int colourCount = line->colors.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float v = line->values.at(i);
        if (isGap(v) || v == 0.0f)
            continue;
        PrimitiveBatch* b;
        if (i < colourCount) {
            b = &coded.forCode(line->colors.at(i));
        } else {
            const DQDUnionReader* r = m_data->at(i);
            const bool rising = r && fieldOf(r, eFieldClose) >= fieldOf(r, eFieldOpen);
            b = rising ? &up : &down;
        }
        const int x = ztPixel(g.unroundedCentre(k));
        order.column(*b, x, ztPixel(getY(v)), yBottom);
        if (tags)
            recordMaxMin(v, x);
    }
}

// ---- colour sticks -------------------------------------------------------------

void ZtLineLib_Formula::Fill_eCOLORSTICK(QPainter* painter, const Line* line)
{
    paintColourSticks(painter, line, false);
}

void ZtLineLib_Formula::Draw_eCOLORSTICK(QPainter* painter, const Line* line)
{
    paintColourSticks(painter, line, true);
}

void ZtLineLib_Formula::paintColourSticks(QPainter* painter, const Line* line, bool barColours)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    PrimitiveBatch up(painter, getThemePen(QStringLiteral("KUp")));
    PrimitiveBatch down(painter, getThemePen(QStringLiteral("KDown")));
    CodedBatch coded(painter);
    BatchOrder order(painter, m_pointW);

    const bool tags = m_drawMaxMinTag;
    const double middle = m_rect.top() + m_rect.height() * 0.5;
    const int size = line->values.size();
    const int colourCount = barColours ? line->colors.size() : 0;
    const RoundedSticks* rounded = roundedSticksFor(line);
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        const double v = rounded && i >= rounded->from && i < rounded->to ? rounded->values[size_t(i)]
                                                                          : roundToPrec(raw, m_prec);
        const double y = getY(v);
        const double x = g.unroundedCentre(k);
        if (i < colourCount) {
            order.use(coded.forCode(line->colors.at(i))).lineF(QLineF(x, middle, x, y));
        } else {
            // A zero value is a dot at its own height.
            order.use(v >= 0 ? up : down).lineF(QLineF(x, v == 0 ? y : middle, x, y));
        }
        if (tags)
            recordMaxMin(v, ztPixel(x));
    }
}
