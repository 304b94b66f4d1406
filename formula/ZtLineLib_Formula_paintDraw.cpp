// The painters of formula drawings (draw types 301 and up) and of engine
// lines with a line style (dotted, dashed, dots, steps, areas) or colours
// per bar. Like the other painters they run inside the pane's clip, look up
// pens once per call and hand runs of same-colour primitives to the painter
// in one call; a run ends where the colour changes, so later items still
// cover earlier ones exactly as single calls would.

#include "ZtLineLib_Formula.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <FormulaDrawType.h>

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>

using Line = Formulas::formulaLine;

namespace {

bool isGap(float v)
{
    return double(v) == kZtNoValue || std::isnan(v) || std::isinf(v);
}

// 0x00BBGGRR with a transparency (255 − alpha) in the top byte.
QColor codeColour(int c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 255 - ((c >> 24) & 0xFF));
}

// Lines, rectangles and areas of one colour at a time, drawn when the
// colour changes or the batch ends.
class ColourRun
{
public:
    ColourRun(QPainter* painter, const QPen& pen) : m_painter(painter), m_pen(pen) {}
    ~ColourRun() { flush(); }
    ColourRun(const ColourRun&) = delete;
    ColourRun& operator=(const ColourRun&) = delete;

    ColourRun& colour(const QColor& c)
    {
        if (c != m_pen.color()) {
            flush();
            m_pen.setColor(c);
        }
        return *this;
    }
    void line(const QLineF& l) { m_lines.append(l); }
    void fill(const QRectF& r) { m_fills.append(r); }
    void outline(const QRectF& r) { m_outlines.append(r); }
    void area(const QPolygonF& p) { m_area.addPolygon(p); }
    void ellipse(const QPointF& c, double r) { m_ellipses.addEllipse(c, r, r); }

    void flush()
    {
        if (!m_fills.isEmpty()) {
            m_painter->setPen(Qt::NoPen);
            m_painter->setBrush(m_pen.color());
            m_painter->drawRects(m_fills.constData(), m_fills.size());
        }
        if (!m_area.isEmpty())
            m_painter->fillPath(m_area, m_pen.color());
        m_painter->setPen(m_pen);
        m_painter->setBrush(Qt::NoBrush);
        if (!m_lines.isEmpty())
            m_painter->drawLines(m_lines.constData(), m_lines.size());
        if (!m_outlines.isEmpty())
            m_painter->drawRects(m_outlines.constData(), m_outlines.size());
        if (!m_ellipses.isEmpty())
            m_painter->drawPath(m_ellipses);
        m_lines.clear();
        m_fills.clear();
        m_outlines.clear();
        m_area = QPainterPath();
        m_ellipses = QPainterPath();
    }

private:
    QPainter* m_painter;
    QPen m_pen;
    QVarLengthArray<QLineF, 256> m_lines;
    QVarLengthArray<QRectF, 256> m_fills;
    QVarLengthArray<QRectF, 64> m_outlines;
    QPainterPath m_area;
    QPainterPath m_ellipses;
};

} // namespace

// Geometry and helpers the drawing painters share; a nested class so that it
// reads the pane's geometry directly.
class ZtLineLib_Formula::DrawingPainter
{
public:
    DrawingPainter(ZtLineLib_Formula* pane, QPainter* painter, const Line* line)
        : p(*pane), m_painter(painter), m_line(*line)
    {
        m_pen = line->pen;
        m_pen.setWidth(std::max(line->lineWidth, 0));
        m_end = std::min<qint64>(qint64(p.m_dataShowIndex) + p.m_dataShowLength,
                                 line->values.size());
    }

    // Centre x of data index i, also outside the window.
    double x(qint64 i) const
    {
        return ztPixel((i - p.m_dataShowIndex) * p.m_pointW + p.m_drawLeft) + p.m_barCentreOffset;
    }
    double y(double v) const { return p.getY(v); }
    float at(const QList<float>& s, qint64 i) const
    {
        return (i >= 0 && i < s.size()) ? s.at(int(i)) : float(kZtNoValue);
    }
    QColor colourAt(qint64 i) const
    {
        return i < m_line.colors.size() ? codeColour(m_line.colors.at(int(i))) : m_pen.color();
    }
    qint64 first() const { return std::max(p.m_dataShowIndex, 0); }

    void styledLine();
    void stickLine();
    void candles();
    void segments();
    void polyline();
    void partLine();
    void numbers();
    void fixedText();
    void band();
    void fillRegion();
    void background();
    void vertLines();

private:
    void dots(int kind);

    ZtLineLib_Formula& p;
    QPainter* m_painter;
    const Line& m_line;
    QPen m_pen;
    qint64 m_end;
};

QRectF ZtLineLib_Formula::drawingBand() const
{
    // The band the bars are drawn in, not the margins an axis may share.
    return QRectF(m_drawLeft, m_rect.top(), m_drawRight - m_drawLeft + 1, m_rect.height());
}

int ZtLineLib_Formula::drawingPass(const Formulas::formulaLine* line)
{
    if (line->useDrawRoutines && line->drawType == eDRAWGBK)
        return 0;
    return (line->lineStyle & eFormulaStyleDrawAbove) ? 2 : 1;
}

bool ZtLineLib_Formula::paintDrawing(QPainter* painter, const Formulas::formulaLine* line)
{
    DrawingPainter d(this, painter, line);
    switch (line->drawType) {
    case eLINE:
        if ((line->lineStyle & eFormulaStyleKindMask) == 0 && line->colors.isEmpty())
            return false;
        d.styledLine();
        return true;
    case eSTICKLINE: d.stickLine(); return true;
    case eDRAWKLINE: d.candles(); return true;
    case eSEGMENT: {
        // These reach in from bars outside the window; they stay in the band.
        ZtPainterClipGuard clip(painter, drawingBand());
        d.segments();
        return true;
    }
    case ePOLYLINE: {
        ZtPainterClipGuard clip(painter, drawingBand());
        d.polyline();
        return true;
    }
    case ePARTLINE: d.partLine(); return true;
    case eDRAWNUMBER: d.numbers(); return true;
    case eNUMBER_FIX:
    case eTEXT_FIX: d.fixedText(); return true;
    case eDRAWBAND: {
        ZtPainterClipGuard clip(painter, drawingBand());
        d.band();
        return true;
    }
    case eFILLRGN: {
        ZtPainterClipGuard clip(painter, drawingBand());
        d.fillRegion();
        return true;
    }
    case eDRAWGBK: d.background(); return true;
    case eVERTLINE: d.vertLines(); return true;
    default: return false;
    }
}

// ---- styled lines ----------------------------------------------------------------

void ZtLineLib_Formula::DrawingPainter::styledLine()
{
    const int kind = m_line.lineStyle & eFormulaStyleKindMask;
    if (kind >= eFormulaStylePoints && kind <= eFormulaStyleUpDown) {
        dots(kind);
        return;
    }
    const QList<float>& v = m_line.values;
    QPen pen = m_pen;
    if (kind == eFormulaStyleDot)
        pen.setStyle(Qt::DotLine);
    else if (kind == eFormulaStyleDash)
        pen.setStyle(Qt::DashLine);
    const double bottom = p.m_rect.bottom();
    QColor areaColour = pen.color();
    areaColour.setAlpha(areaColour.alpha() / 4);

    // Runs of joined points in one colour: a patterned pen flows along a
    // run, and an area closes under it.
    QPolygonF run;
    QColor runColour;
    auto close = [&]() {
        if (run.size() >= 2) {
            if (kind == eFormulaStyleArea) {
                QPolygonF area = run;
                area << QPointF(run.last().x(), bottom) << QPointF(run.first().x(), bottom);
                QPainterPath path;
                path.addPolygon(area);
                m_painter->fillPath(path, areaColour);
            }
            pen.setColor(runColour);
            m_painter->setPen(pen);
            m_painter->drawPolyline(run);
        }
        run.clear();
    };
    for (qint64 i = first(); i + 1 < m_end; ++i) {
        const float a = v.at(int(i));
        const float b = v.at(int(i + 1));
        if (x(i + 1) > p.m_drawRight)
            break;
        if (isGap(a) || isGap(b) || p.isDayBoundary(int(i))) {
            close();
            continue;
        }
        const QColor c = colourAt(i + 1);
        if (!run.isEmpty() && c != runColour) {
            const QPointF last = run.last();
            close();
            run << last;
        }
        runColour = c;
        if (run.isEmpty())
            run << QPointF(x(i), y(a));
        if (kind == eFormulaStyleStep)
            run << QPointF(x(i + 1), run.last().y());
        run << QPointF(x(i + 1), y(b));
    }
    close();
}

void ZtLineLib_Formula::DrawingPainter::dots(int kind)
{
    // UPDOWNDOT takes the rising and falling colours of the theme unless the
    // formula coloured the bars itself.
    const QColor up = getThemePen(QStringLiteral("KUp")).color();
    const QColor down = getThemePen(QStringLiteral("KDown")).color();
    const double r = std::max(1.5, m_pen.widthF() + 1.0);
    ColourRun batch(m_painter, QPen(m_pen.color(), 1));
    const QList<float>& v = m_line.values;
    for (qint64 i = first(); i < m_end; ++i) {
        const float value = v.at(int(i));
        if (isGap(value))
            continue;
        QColor c = colourAt(i);
        if (kind == eFormulaStyleUpDown && m_line.colors.isEmpty()) {
            const float before = at(v, i - 1);
            c = (isGap(before) || value >= before) ? up : down;
        }
        const QPointF centre(x(i), y(value));
        ColourRun& b = batch.colour(c);
        if (kind == eFormulaStyleCircles) {
            b.ellipse(centre, r);
        } else if (kind == eFormulaStyleCrosses) {
            b.line(QLineF(centre.x() - r, centre.y() - r, centre.x() + r, centre.y() + r));
            b.line(QLineF(centre.x() - r, centre.y() + r, centre.x() + r, centre.y() - r));
        } else {
            const int side = int(r);
            b.fill(QRectF(int(centre.x()) - side / 2, int(centre.y()) - side / 2, side, side));
        }
    }
}

// ---- sticks and candles ------------------------------------------------------------

void ZtLineLib_Formula::DrawingPainter::stickLine()
{
    // Width in tenths of a slot, at most the candle body; 0 is one pixel.
    // More than ten tenths ends at the body anyway; the cap keeps the product
    // inside int for any width a formula writes.
    const int tenths = std::min(m_line.param1, 10);
    const int width = tenths <= 0 ? 1
        : std::max(1, std::min(int(p.m_pointW * tenths / 10.0), std::max(p.m_barBodyWidth, 1)));
    QPen pen = m_pen;
    pen.setWidth(0);
    if (m_line.param2 < 0)
        pen.setStyle(Qt::DashLine);
    ColourRun batch(m_painter, pen);
    for (qint64 i = first(); i < m_end; ++i) {
        const float a = m_line.values.at(int(i));
        const float b = at(m_line.values2, i);
        if (isGap(a) || isGap(b))
            continue;
        ColourRun& run = batch.colour(colourAt(i));
        const double xc = x(i);
        if (p.m_drawMaxMinTag) {
            p.recordMaxMin(a, int(xc));
            p.recordMaxMin(b, int(xc));
        }
        const double top = std::min(y(a), y(b));
        const double bottom = std::max(y(a), y(b));
        if (width == 1) {
            run.line(QLineF(xc, top, xc, bottom));
            continue;
        }
        const QRectF r(int(xc) - width / 2, int(top), width, std::max(1, int(bottom) - int(top)));
        if (m_line.param2 == 0)
            run.fill(r);
        else
            run.outline(r.adjusted(0, 0, -1, 0));
    }
}

void ZtLineLib_Formula::DrawingPainter::candles()
{
    const QColor up = getThemePen(QStringLiteral("KUp")).color();
    const QColor down = getThemePen(QStringLiteral("KDown")).color();
    const bool thin = p.m_pointW <= 4.0;
    const int style = m_line.param2; // −2 rising hollow / falling filled, 0 filled, 1 hollow
    ColourRun batch(m_painter, QPen(up, 0));
    for (qint64 i = first(); i < m_end; ++i) {
        const float high = m_line.values.at(int(i));
        const float open = at(m_line.values2, i);
        const float low = at(m_line.values3, i);
        const float close = at(m_line.values4, i);
        if (isGap(high) || isGap(open) || isGap(low) || isGap(close))
            continue;
        const bool rising = close >= open;
        const QColor c = i < m_line.colors.size() ? colourAt(i) : (rising ? up : down);
        ColourRun& run = batch.colour(c);
        const int xc = int(x(i));
        if (p.m_drawMaxMinTag) {
            p.recordMax(high, xc);
            p.recordMin(low, xc);
        }
        const double yo = y(open), yc = y(close);
        run.line(QLineF(xc, y(high), xc, std::min(yo, yc)));
        run.line(QLineF(xc, std::max(yo, yc), xc, y(low)));
        if (thin) {
            run.line(QLineF(xc, std::min(yo, yc), xc, std::max(yo, yc)));
            continue;
        }
        const int left = ztPixel((i - p.m_dataShowIndex) * p.m_pointW + p.m_drawLeft) + p.m_barGap;
        const QRectF body(left, int(std::min(yo, yc)), p.m_barBodyWidth,
                          std::max(1, int(std::max(yo, yc)) - int(std::min(yo, yc))));
        const bool hollow = style == 1 || (style == -2 && rising);
        if (hollow)
            run.outline(body.adjusted(0, 0, -1, 0));
        else
            run.fill(body);
    }
}

// ---- lines between bars --------------------------------------------------------------

void ZtLineLib_Formula::DrawingPainter::segments()
{
    // A segment may start far left of the window and end inside it, so every
    // bar is looked at; the test per bar is one comparison.
    const QList<float>& v = m_line.values;
    const double leftEdge = p.m_rect.left();
    const double rightEdge = p.m_rect.right();
    ColourRun batch(m_painter, m_pen);
    const qint64 windowFirst = first();
    for (qint64 i = 0; i < v.size(); ++i) {
        const float p1 = v.at(int(i));
        if (isGap(p1))
            continue;
        const float p2 = at(m_line.values2, i);
        const float to = at(m_line.values3, i);
        const float from = at(m_line.values4, i);
        if (isGap(p2) || isGap(to) || isGap(from))
            continue;
        const qint64 a = i + qint64(from), b = i + qint64(to);
        if (std::max(a, b) < windowFirst - 1 && !(m_line.param1 & 1))
            continue;
        QLineF l(x(a), y(p1), x(b), y(p2));
        if (l.dx() != 0) {
            // Carried on along its own slope to the pane's edges.
            const double slope = l.dy() / l.dx();
            if (m_line.param1 & 1)
                l.setP2(QPointF(rightEdge, l.y2() + slope * (rightEdge - l.x2())));
            if (m_line.param1 & 2)
                l.setP1(QPointF(leftEdge, l.y1() + slope * (leftEdge - l.x1())));
        }
        batch.line(l);
    }
}

void ZtLineLib_Formula::DrawingPainter::polyline()
{
    // The line joins the points it has, so the nearest points outside the
    // window carry it to the window's edges.
    const QList<float>& v = m_line.values;
    QPolygonF points;
    qint64 before = first() - 1;
    while (before >= 0 && isGap(v.at(int(before))))
        --before;
    if (before >= 0)
        points << QPointF(x(before), y(v.at(int(before))));
    for (qint64 i = first(); i < m_end; ++i) {
        if (!isGap(v.at(int(i))))
            points << QPointF(x(i), y(v.at(int(i))));
    }
    qint64 after = std::max(m_end, first());
    while (after < v.size() && isGap(v.at(int(after))))
        ++after;
    if (after < v.size())
        points << QPointF(x(after), y(v.at(int(after))));
    if (points.size() < 2)
        return;
    m_painter->setPen(m_pen);
    m_painter->drawPolyline(points);
}

void ZtLineLib_Formula::DrawingPainter::partLine()
{
    ColourRun batch(m_painter, m_pen);
    const QList<float>& v = m_line.values;
    for (qint64 i = std::max<qint64>(first(), 1); i < m_end; ++i) {
        const float a = v.at(int(i - 1));
        const float b = v.at(int(i));
        if (isGap(a) || isGap(b) || at(m_line.values2, i) != 1.0f || p.isDayBoundary(int(i - 1)))
            continue;
        batch.colour(colourAt(i)).line(QLineF(x(i - 1), y(a), x(i), y(b)));
    }
}

// ---- numbers and texts -----------------------------------------------------------------

void ZtLineLib_Formula::DrawingPainter::numbers()
{
    const int decimals = m_line.param1 < 0 ? p.m_prec : m_line.param1;
    const int lift = int(p.m_fontHeight) / 3;
    QPen pen(m_pen.color());
    m_painter->setPen(pen);
    for (qint64 i = first(); i < m_end; ++i) {
        const float where = m_line.values.at(int(i));
        const float number = at(m_line.values2, i);
        if (isGap(where) || isGap(number))
            continue;
        const QColor c = colourAt(i);
        if (c != pen.color()) {
            pen.setColor(c);
            m_painter->setPen(pen);
        }
        m_painter->drawText(int(x(i)), ztPixel(y(where) + lift),
                            QString::number(double(number), 'f', decimals));
    }
}

void ZtLineLib_Formula::DrawingPainter::fixedText()
{
    // The last bar of the window on which the condition holds.
    qint64 i = m_end - 1;
    while (i >= first() && isGap(m_line.values.at(int(i))))
        --i;
    if (i < first())
        return;
    const float fx = at(m_line.values2, i);
    const float fy = at(m_line.values3, i);
    if (isGap(fx) || isGap(fy))
        return;
    const QString text = m_line.drawType == eNUMBER_FIX
        ? QString::number(double(m_line.values.at(int(i))), 'f',
                          m_line.param2 < 0 ? p.m_prec : m_line.param2)
        : m_line.text;
    const QFontMetrics fm = m_painter->fontMetrics();
    const QRectF r = p.drawingBand();
    // (x, y) is where the text starts (type 0) or ends (type 1), y its top.
    int left = ztPixel(r.left() + double(fx) * r.width());
    if (m_line.param1 == 1)
        left -= fm.horizontalAdvance(text);
    m_painter->setPen(QPen(colourAt(i)));
    m_painter->drawText(left, ztPixel(r.top() + double(fy) * r.height()) + fm.ascent(), text);
}

// ---- areas ----------------------------------------------------------------------------------

void ZtLineLib_Formula::DrawingPainter::band()
{
    // Two paths, one per colour; where the lines cross inside a slot the
    // area splits at the crossing.
    QPainterPath above, below;
    const QList<float>& v1 = m_line.values;
    for (qint64 i = std::max<qint64>(first() - 1, 0); i + 1 < m_line.values.size() && i < m_end; ++i) {
        const float a1 = v1.at(int(i)), b1 = v1.at(int(i + 1));
        const float a2 = at(m_line.values2, i), b2 = at(m_line.values2, i + 1);
        if (isGap(a1) || isGap(b1) || isGap(a2) || isGap(b2))
            continue;
        const double d0 = double(a1) - a2, d1 = double(b1) - b2;
        const QPointF p1(x(i), y(a1)), q1(x(i + 1), y(b1));
        const QPointF p2(x(i), y(a2)), q2(x(i + 1), y(b2));
        if ((d0 > 0 && d1 < 0) || (d0 < 0 && d1 > 0)) {
            const double t = d0 / (d0 - d1);
            const QPointF cross = p1 + (q1 - p1) * t;
            (d0 > 0 ? above : below).addPolygon(QPolygonF({p1, cross, p2}));
            (d1 > 0 ? above : below).addPolygon(QPolygonF({cross, q1, q2}));
            continue;
        }
        if (d0 == 0 && d1 == 0)
            continue;
        (d0 + d1 > 0 ? above : below).addPolygon(QPolygonF({p1, q1, q2, p2}));
    }
    above.setFillRule(Qt::WindingFill);
    below.setFillRule(Qt::WindingFill);
    m_painter->fillPath(above, codeColour(m_line.param1));
    m_painter->fillPath(below, codeColour(m_line.param2));
}

void ZtLineLib_Formula::DrawingPainter::fillRegion()
{
    ColourRun batch(m_painter, m_pen);
    const QList<float>& v1 = m_line.values;
    for (qint64 i = std::max<qint64>(first() - 1, 0); i + 1 < v1.size() && i < m_end; ++i) {
        const float a1 = v1.at(int(i)), b1 = v1.at(int(i + 1));
        const float a2 = at(m_line.values2, i), b2 = at(m_line.values2, i + 1);
        if (isGap(a1) || isGap(b1) || isGap(a2) || isGap(b2))
            continue;
        batch.colour(colourAt(i + 1))
            .area(QPolygonF({QPointF(x(i), y(a1)), QPointF(x(i + 1), y(b1)),
                             QPointF(x(i + 1), y(b2)), QPointF(x(i), y(a2))}));
    }
}

void ZtLineLib_Formula::DrawingPainter::background()
{
    // Shown while the condition holds on the last bar of the window.
    const qint64 last = m_end - 1;
    if (last < first() || isGap(m_line.values.at(int(last))))
        return;
    const QRectF r = p.drawingBand();
    const bool horizontal = at(m_line.values2, last) == 1.0f;
    QLinearGradient gradient(r.topLeft(), horizontal ? r.topRight() : r.bottomLeft());
    gradient.setColorAt(0, codeColour(m_line.param1));
    gradient.setColorAt(1, codeColour(m_line.param2));
    m_painter->fillRect(r, m_line.param1 == m_line.param2 ? QBrush(codeColour(m_line.param1))
                                                          : QBrush(gradient));
}

void ZtLineLib_Formula::DrawingPainter::vertLines()
{
    ColourRun batch(m_painter, m_pen);
    const double top = p.m_rect.top(), bottom = p.m_rect.bottom();
    for (qint64 i = first(); i < m_end; ++i) {
        if (!isGap(m_line.values.at(int(i))))
            batch.colour(colourAt(i)).line(QLineF(x(i), top, x(i), bottom));
    }
}
