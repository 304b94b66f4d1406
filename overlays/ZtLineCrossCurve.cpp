#include "ZtLineCrossCurve.h"

#include "ZtLineLibTheme.h"
#include "ZtLineLib_Formula.h"
#include "ZtLineLib_Reference.h"
#include "ZtLineLib_Scaleplate.h"
#include "ZtPainterClipGuard.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Truncation toward zero; NaN and positions beyond any device end at 0 or
// the bound instead of an undefined conversion.
int toPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::fmax(-1e9, std::fmin(1e9, v)));
}

QPen pen(const char* key)
{
    return getThemePen(QLatin1String(key), Qt::SolidLine);
}

} // namespace

// A box holds one line; a text a little wider than its box would otherwise
// wrap at a hyphen and lose its second half below the box.
ZtLineCrossCurve::ZtLineCrossCurve()
{
    m_textOption.setWrapMode(QTextOption::NoWrap);
}
ZtLineCrossCurve::~ZtLineCrossCurve() = default;

void ZtLineCrossCurve::appendRefrenc(ZtLineLib_Reference* reference)
{
    if (!m_references.contains(reference))
        m_references.append(reference);
}

void ZtLineCrossCurve::appendScaleplate(ZtLineLib_Scaleplate* scaleplate)
{
    if (!m_scaleplates.contains(scaleplate))
        m_scaleplates.append(scaleplate);
}

bool ZtLineCrossCurve::deleteRefrenc(ZtLineLib_Reference* reference)
{
    return m_references.removeOne(reference);
}

bool ZtLineCrossCurve::deleteScaleplate(ZtLineLib_Scaleplate* scaleplate)
{
    return m_scaleplates.removeOne(scaleplate);
}

void ZtLineCrossCurve::clearRefrenc()
{
    m_references.clear();
}

void ZtLineCrossCurve::clearScaleplate()
{
    m_scaleplates.clear();
}

void ZtLineCrossCurve::clear()
{
    clearRefrenc();
    clearScaleplate();
}

void ZtLineCrossCurve::Fill(QPainter* painter, QPoint pos, int dataIndex, ZtLineLib_Formula* pane)
{
    m_lastValueBoxes.clear();
    m_lastTimeBoxes.clear();
    m_lastLines.clear();
    if (!m_croMouseEnable || !pane || !painter)
        return;
    const int last = pane->getAxisXLastDataIndex();
    const int idx = dataIndex >= last ? last : dataIndex;
    if (idx < 0)
        return;
    const int rel = std::max(idx - pane->dataShowIndex(), 0);
    const int x = toPixel(pane->getX(rel));

    // Over copies of the lists, so that the whole pass sees one set of axes.
    const QList<ZtLineLib_Reference*> references = m_references;
    for (ZtLineLib_Reference* r : references) {
        if (r)
            fillReference(painter, r, pos, x);
    }
    const QList<ZtLineLib_Scaleplate*> scaleplates = m_scaleplates;
    for (ZtLineLib_Scaleplate* s : scaleplates) {
        if (s)
            fillScaleplate(painter, s, idx, x);
    }
}

// One value axis: its share of the vertical line, and the horizontal line
// with the value box when the mouse is inside its band.
void ZtLineCrossCurve::fillReference(QPainter* painter, ZtLineLib_Reference* r, QPoint pos, int x)
{
    const QRectF rect = r->getRect();
    const QRectF area(QPointF(rect.left() + r->fixedPaddingLeft(),
                              rect.top() + r->fixedPaddingTop() - 1),
                      QPointF(rect.right() - r->fixedPaddingRight(),
                              rect.bottom() - r->fixedPaddingBottom() + 1));
    m_textOption.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The box sits in the right padding, beside the band.
    QRectF box(rect.right() - r->fixedPaddingRight(), pos.y(), r->fixedPaddingRight(),
               r->getDataBoxHeight());

    if (m_drawHLine && area.top() < pos.y() && pos.y() < area.bottom()) {
        if (m_drawLineEnable)
            drawLine(painter, QLine(toPixel(area.left()), pos.y(), toPixel(area.right()), pos.y()));
        box.adjust(1, 0, -1, 0);
        // Near the bottom the box goes above the mouse instead of below.
        if (box.bottom() > rect.bottom())
            box.translate(0, -box.height());
        const bool rangeSet = r->maxReference() != kZtNoValue && r->minReference() != kZtNoValueMax;
        if (rangeSet) {
            const QString text = r->getAxisYDataString(pos.y());
            drawBox(painter, box, text);
            m_lastValueBoxes.append({r, box, text});
        }
    }
    if (m_drawLineEnable && area.left() <= x && x <= area.right())
        drawLine(painter, QLine(x, toPixel(area.top() - m_crossPaddingTop), x, toPixel(area.bottom())));
}

// One time axis: the date box under the item, kept clear of the host's
// buttons at both ends.
void ZtLineCrossCurve::fillScaleplate(QPainter* painter, ZtLineLib_Scaleplate* s, int idx, int x)
{
    const QRectF rect = s->getRect();
    if (!(rect.left() <= x && x <= rect.right()))
        return;
    QRectF box = rect;
    box.setWidth(s->getDataBoxWidth());
    box.moveLeft(x);
    const int minLeft = toPixel(rect.left() + m_tooltipMarginForScaleplateBtns);
    const int maxRight = toPixel(rect.right() - m_tooltipMarginForScaleplateBtns);
    if (box.left() < minLeft)
        box.moveLeft(minLeft);
    if (box.right() > maxRight)
        box.moveRight(maxRight);
    box.setBottom(box.bottom() - 2);
    const QString text = s->getDataString(idx);
    drawBox(painter, box, text);
    m_lastTimeBoxes.append({s, box, text});
}

void ZtLineCrossCurve::drawBox(QPainter* painter, const QRectF& box, const QString& text)
{
    painter->fillRect(box, pen("CrossCurveBackground").brush());
    painter->setPen(pen("CrossCurveText"));
    painter->drawText(box, text, m_textOption);
    painter->setPen(pen("CrossCurveBorderPen"));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
}

void ZtLineCrossCurve::drawLine(QPainter* painter, const QLine& line)
{
    const QPen linePen = pen("CrossCurvePen");
    // The crosshair paints without a clip, where stroking a long line costs
    // many times more than filling the same pixels.
    if (ztPaintsLikeFilledPixels(painter, linePen)) {
        ztDrawSolidLine(painter, linePen, line.x1(), line.y1(), line.x2(), line.y2());
    } else {
        painter->setPen(linePen);
        painter->drawLine(line);
    }
    m_lastLines.append(line);
}
