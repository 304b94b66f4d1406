// The painters of the indicator pane: one per draw type and line family, and
// the markers of the highest and lowest painted value.
//
// Painting runs on every repaint, so each painter looks its theme pens up
// once per call, builds no pen per item and hands runs of same-pen
// primitives to the painter in one call where that leaves every pixel as
// single calls would (see PrimitiveBatch).

#include "ZtLineLib_Formula.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <DQDFieldId.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHash>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QVarLengthArray>

#include <algorithm>
#include <climits>
#include <cmath>

using namespace ZtUIDataStruct;
using Line = Formulas::formulaLine;

namespace {

// Days of a multi-day intraday chart are 241 minute slots long.
constexpr int kSlotsPerDay = 241;
// With the call-auction band the first two day ends are joined.
constexpr int kFirstBrokenJoinWithAuction = 482;

bool isMarker(float v)
{
    return double(v) == kZtNoValue;
}

// The painters skip NaN along with the marker: a NaN has no y to paint at.
bool isGap(float v)
{
    return isMarker(v) || std::isnan(v);
}

// The pixel columns of window position k.
struct SlotGeometry
{
    double pointW;
    double drawLeft;
    int gap;
    int centreOffset;

    int left(int k) const { return ztPixel(k * pointW + drawLeft); }
    int centre(int k) const { return left(k) + centreOffset; }
    int bodyLeft(int k) const { return left(k) + gap; }
    double unroundedCentre(int k) const { return k * pointW + drawLeft + centreOffset; }
};

// The device's pixels in the painter's coordinates; empty without a device.
QRect deviceArea(QPainter* painter)
{
    const QPaintDevice* d = painter->device();
    if (!d)
        return QRect();
    const QTransform& t = painter->transform();
    return QRect(0, 0, d->width(), d->height()).translated(-int(t.dx()), -int(t.dy()));
}

// Fills rectangles in one colour with one call; pen and brush are put back.
void fillSolid(QPainter* painter, const QColor& colour, const QRect* rects, int count)
{
    const QPen pen = painter->pen();
    const QBrush brush = painter->brush();
    painter->setPen(Qt::NoPen);
    painter->setBrush(colour);
    painter->drawRects(rects, count);
    painter->setBrush(brush);
    painter->setPen(pen);
}

// Collects the primitives of one pen and draws them in as few calls as
// possible. The raster engine paints a batch exactly like the same
// primitives drawn one by one when the pen is solid and opaque, the painter
// does not antialias and composes source-over: each pixel then simply takes
// the pen colour. Otherwise every primitive goes out at once, in order.
//
// Where ztPaintsLikeFilledPixels holds, straight lines and rectangle
// outlines become filled rectangles, which the raster engine fills far
// faster than it strokes; the pixels are the same. Outlines reaching past
// the device stay outlines: there the engine leaves out a corner pixel.
class PrimitiveBatch
{
public:
    PrimitiveBatch(QPainter* painter, const QPen& pen) : m_painter(painter), m_pen(pen)
    {
        m_device = deviceArea(painter);
        configure();
    }
    ~PrimitiveBatch() { flush(); }
    PrimitiveBatch(const PrimitiveBatch&) = delete;
    PrimitiveBatch& operator=(const PrimitiveBatch&) = delete;

    const QPen& pen() const { return m_pen; }
    bool solid() const { return m_solidPixels; }
    // Draws what is pending with the old pen and continues with a new one.
    void setPen(const QPen& pen)
    {
        flush();
        m_pen = pen;
        configure();
    }

    void line(const QLine& l)
    {
        if (m_solidPixels && (l.x1() == l.x2() || l.y1() == l.y2()))
            m_solid.append(QRect(QPoint(std::min(l.x1(), l.x2()), std::min(l.y1(), l.y2())),
                                 QPoint(std::max(l.x1(), l.x2()), std::max(l.y1(), l.y2()))));
        else
            m_lines.append(l);
        afterAppend();
    }
    void lineF(const QLineF& l)
    {
        m_linesF.append(l);
        afterAppend();
    }
    // Outlined with the pen, inside left empty.
    void outline(const QRect& r)
    {
        if (outlineAsFills(r)) {
            const int right = r.left() + r.width();
            const int bottom = r.top() + r.height();
            m_solid.append(QRect(r.left(), r.top(), r.width() + 1, 1));
            m_solid.append(QRect(r.left(), bottom, r.width() + 1, 1));
            m_solid.append(QRect(r.left(), r.top() + 1, 1, r.height() - 1));
            m_solid.append(QRect(right, r.top() + 1, 1, r.height() - 1));
        } else {
            m_outlines.append(r);
        }
        afterAppend();
    }
    // Filled with the pen colour, no outline.
    void fill(const QRect& r)
    {
        m_solid.append(r);
        afterAppend();
    }
    // Filled, then outlined one pixel narrower: a body whose outline adds the
    // row under the fill.
    void filledBody(const QRect& r)
    {
        const QRect o = r.adjusted(0, 0, -1, 0);
        if (r.height() >= 1 && outlineAsFills(o)) {
            m_solid.append(r.adjusted(0, 0, 0, 1));
            afterAppend();
            return;
        }
        fill(r);
        outline(o);
    }

    bool isEmpty() const
    {
        return m_lines.isEmpty() && m_linesF.isEmpty() && m_outlines.isEmpty() && m_solid.isEmpty();
    }

    void flush()
    {
        if (isEmpty())
            return;
        if (!m_solid.isEmpty())
            fillSolid(m_painter, m_pen.color(), m_solid.constData(), m_solid.size());
        m_painter->setPen(m_pen);
        if (!m_lines.isEmpty())
            m_painter->drawLines(m_lines.constData(), m_lines.size());
        if (!m_linesF.isEmpty())
            m_painter->drawLines(m_linesF.constData(), m_linesF.size());
        if (!m_outlines.isEmpty() || m_solidOutlines) {
            // Hollow bodies stay hollow whatever brush an earlier painter
            // left behind.
            m_painter->setBrush(Qt::NoBrush);
            if (!m_outlines.isEmpty())
                m_painter->drawRects(m_outlines.constData(), m_outlines.size());
        }
        m_lines.clear();
        m_linesF.clear();
        m_outlines.clear();
        m_solid.clear();
        m_solidOutlines = false;
    }

private:
    static bool batchable(QPainter* painter, const QPen& pen)
    {
        return !painter->testRenderHint(QPainter::Antialiasing)
               && painter->compositionMode() == QPainter::CompositionMode_SourceOver
               && pen.style() == Qt::SolidLine && pen.brush().style() == Qt::SolidPattern
               && pen.color().alpha() == 255;
    }
    void configure()
    {
        m_direct = !batchable(m_painter, m_pen);
        m_solidPixels = !m_direct && ztPaintsLikeFilledPixels(m_painter, m_pen);
    }
    bool outlineAsFills(const QRect& r)
    {
        // The outline covers width + 1 by height + 1 pixels.
        const bool fits = m_solidPixels && r.width() >= 0 && r.height() >= 1
                          && m_device.contains(QRect(r.topLeft(), QSize(r.width() + 1, r.height() + 1)));
        // Outlines leave the brush empty afterwards, filled or not.
        m_solidOutlines = m_solidOutlines || fits;
        return fits;
    }
    // Drawing what has gathered once a list is full keeps every list in its
    // fixed storage: growing lists of many thousand items cost more in
    // allocation and page faults than the calls saved. Items of one batch
    // keep their order and items of different slots never share a pixel, so
    // the pixels stay the same.
    void afterAppend()
    {
        constexpr int kFull = kChunk - 4; // an outline adds four rectangles
        if (m_direct || m_lines.size() >= kFull || m_linesF.size() >= kFull
            || m_outlines.size() >= kFull || m_solid.size() >= kFull)
            flush();
    }

    static constexpr int kChunk = 512;
    QPainter* m_painter;
    QPen m_pen;
    QRect m_device;
    bool m_direct = false;
    bool m_solidPixels = false;
    bool m_solidOutlines = false;
    QVarLengthArray<QLine, kChunk> m_lines;
    QVarLengthArray<QLineF, kChunk> m_linesF;
    QVarLengthArray<QRect, kChunk> m_outlines;
    QVarLengthArray<QRect, kChunk> m_solid;
};

// Decides when the batches of one painter call are drawn. Items of
// different slots never share a pixel while slots are at least one pixel
// wide, so the batches may go out one after the other.
//
// Narrower slots overlap, and later items must cover earlier ones. Sticks
// (vertical lines, see column) then gather per pixel column: once the next
// column starts, each stick of the finished one keeps only the rows no
// later stick paints, so the pieces of all colours are disjoint and go out
// in one call per colour. Other items draw what the previous batch holds
// before they switch to another batch.
class BatchOrder
{
public:
    // Under a scaled device transform (high DPI) neighbouring slots may share
    // a device pixel, so the order is kept as for narrow slots.
    BatchOrder(QPainter* painter, double pointW)
        : m_painter(painter), m_keepOrder(pointW < 1.0 || !ztMapsToWholeDevicePixels(painter))
    {
    }
    ~BatchOrder() { settle(); }
    BatchOrder(const BatchOrder&) = delete;
    BatchOrder& operator=(const BatchOrder&) = delete;

    PrimitiveBatch& use(PrimitiveBatch& batch)
    {
        settle();
        if (m_keepOrder && m_last && m_last != &batch)
            m_last->flush();
        m_last = &batch;
        return batch;
    }

    // A vertical line of the batch's pen from (x, y1) to (x, y2).
    void column(PrimitiveBatch& batch, int x, int y1, int y2)
    {
        if (!m_keepOrder || !batch.solid()) {
            use(batch).line(QLine(x, y1, x, y2));
            return;
        }
        if (m_last) {
            m_last->flush();
            m_last = nullptr;
        }
        if (!m_column.isEmpty() && m_column.last().x != x)
            settleColumn();
        // A stick left of settled columns must cover what they hold.
        if (x < m_settledRight)
            drawPieces();
        m_column.append({x, std::min(y1, y2), std::max(y1, y2), batch.pen().color().rgba()});
    }

private:
    struct Stick
    {
        int x, top, bottom;
        QRgb colour;
    };
    struct Pieces
    {
        QRgb colour;
        QVarLengthArray<QRect, 512> rects;
    };
    using Rows = QVarLengthArray<QPair<int, int>, 16>;

    void settle()
    {
        settleColumn();
        drawPieces();
    }

    // The last stick first; covered holds the rows already taken.
    void settleColumn()
    {
        if (m_column.isEmpty())
            return;
        Rows covered;
        for (int i = m_column.size() - 1; i >= 0; --i)
            visible(m_column.at(i), &covered);
        m_settledRight = std::max(m_settledRight, m_column.last().x + 1);
        m_column.clear();
    }

    void drawPieces()
    {
        for (Pieces& p : m_pieces) {
            if (!p.rects.isEmpty())
                fillSolid(m_painter, QColor::fromRgba(p.colour), p.rects.constData(), p.rects.size());
            p.rects.clear();
        }
        m_settledRight = INT_MIN;
    }

    void addPiece(const Stick& s, int top, int bottom)
    {
        auto it = std::find_if(m_pieces.begin(), m_pieces.end(),
                               [&](const Pieces& p) { return p.colour == s.colour; });
        if (it == m_pieces.end()) {
            m_pieces.push_back({s.colour, {}});
            it = m_pieces.end() - 1;
        }
        it->rects.append(QRect(s.x, top, 1, bottom - top + 1));
        // Pieces are disjoint: one colour may go out before the others.
        if (it->rects.size() == 512) {
            fillSolid(m_painter, QColor::fromRgba(s.colour), it->rects.constData(), it->rects.size());
            it->rects.clear();
        }
    }

    // Adds the rows of s outside covered as pieces and s to covered (kept
    // sorted and merged).
    void visible(const Stick& s, Rows* covered)
    {
        int from = s.top;
        for (const auto& c : *covered) {
            if (c.second < from)
                continue;
            if (c.first > s.bottom)
                break;
            if (c.first > from)
                addPiece(s, from, c.first - 1);
            from = std::max(from, c.second + 1);
        }
        if (from <= s.bottom)
            addPiece(s, from, s.bottom);

        Rows merged;
        QPair<int, int> add(s.top, s.bottom);
        bool placed = false;
        for (const auto& c : *covered) {
            if (c.second + 1 < add.first) {
                merged.append(c);
            } else if (add.second + 1 < c.first) {
                if (!placed)
                    merged.append(add);
                placed = true;
                merged.append(c);
            } else {
                add.first = std::min(add.first, c.first);
                add.second = std::max(add.second, c.second);
            }
        }
        if (!placed)
            merged.append(add);
        *covered = merged;
    }

    QPainter* m_painter;
    bool m_keepOrder;
    PrimitiveBatch* m_last = nullptr;
    QVarLengthArray<Stick, 64> m_column;
    std::vector<Pieces> m_pieces;
    int m_settledRight = INT_MIN; // right of every column with pieces not drawn yet
};

// Joins vertical line segments of one pen in one pixel column into filled
// rectangles. For a segment from (x, y1) to (x, y2) with a whole-pixel x,
// the raster engine's one-pixel stroker paints, in column x, the rows
// trunc(lo·64) >> 6 … trunc(hi·64) >> 6 (lo, hi: the smaller and larger y,
// in 26.6 fixed point), nothing when both ends fall on one fixed-point
// value, and a single dot at row (trunc(y·64) + 32) >> 6 for a segment of
// length zero. That holds for y ≥ 0 in device pixels, under any clip; it
// was checked against the engine on millions of segments. Segments of one
// line share one colour, so their order does not matter.
class VerticalRun
{
public:
    VerticalRun(PrimitiveBatch& batch, bool enabled) : m_batch(batch), m_enabled(enabled) {}
    ~VerticalRun() { close(); }
    VerticalRun(const VerticalRun&) = delete;
    VerticalRun& operator=(const VerticalRun&) = delete;

    // Takes the segment; false when it has to be stroked.
    bool add(int x, double y1, double y2)
    {
        if (!m_enabled || !(y1 >= 0) || !(y2 >= 0) || y1 > kMaxY || y2 > kMaxY)
            return false;
        const double lo = std::min(y1, y2);
        const double hi = std::max(y1, y2);
        const int fixedLo = int(lo * 64);
        const int fixedHi = int(hi * 64);
        int top, bottom;
        if (lo == hi) {
            top = bottom = (fixedLo + 32) >> 6;
        } else if (fixedLo == fixedHi) {
            return true; // the engine paints nothing
        } else {
            top = fixedLo >> 6;
            bottom = fixedHi >> 6;
        }
        if (m_open && x == m_x && top <= m_bottom + 1 && bottom >= m_top - 1) {
            m_top = std::min(m_top, top);
            m_bottom = std::max(m_bottom, bottom);
            return true;
        }
        close();
        m_open = true;
        m_x = x;
        m_top = top;
        m_bottom = bottom;
        return true;
    }

private:
    // Far below any device, yet far from overflowing the fixed-point rows.
    static constexpr double kMaxY = 1 << 24;

    void close()
    {
        if (m_open)
            m_batch.fill(QRect(m_x, m_top, 1, m_bottom - m_top + 1));
        m_open = false;
    }

    PrimitiveBatch& m_batch;
    bool m_enabled;
    bool m_open = false;
    int m_x = 0, m_top = 0, m_bottom = 0;
};

// A batch for bars that carry their own colour code: its pen changes only
// when the code does.
class CodedBatch : public PrimitiveBatch
{
public:
    explicit CodedBatch(QPainter* painter) : PrimitiveBatch(painter, QPen()) {}
    PrimitiveBatch& forCode(int code)
    {
        if (!m_set || code != m_code) {
            setPen(QPen(QColor(code & 0xFF, (code >> 8) & 0xFF, (code >> 16) & 0xFF)));
            m_code = code;
            m_set = true;
        }
        return *this;
    }

private:
    int m_code = 0;
    bool m_set = false;
};

double fieldOf(const DQDUnionReader* r, unsigned int field)
{
    // The number without a variant; 0 where the text conversion gives 0.
    return r->numberValue(field, 0.0);
}

// Cuts a rectangle that starts at left with the given width so that it ends
// at drawRight at the latest; the narrowed width.
int widthUpTo(int left, int width, double drawRight)
{
    // In doubles: a huge left or an infinite edge must not overflow; when
    // nothing is left the width is 0, which the painters skip.
    const double excess = double(left) + width - 1 - drawRight;
    if (!(excess > 0))
        return width;
    return excess >= width ? 0 : width - int(std::ceil(excess));
}

} // namespace

// ---- entry -----------------------------------------------------------------

void ZtLineLib_Formula::FillChild(QPainter* painter)
{
    if (!painter || !m_data || m_data->count() < 1)
        return;
    if (m_formulaLines.lineCount() == 0)
        return;

    // Clipping to the pane makes every line far cheaper for the raster
    // engine and keeps the markers inside the pane.
    ZtPainterClipGuard clip(painter, m_rect);

    m_maxTagValue = kZtNoValue;
    m_minTagValue = kZtNoValueMax;
    m_maxTagX = -1;
    m_minTagX = -1;

    for (int pass = 0; pass < 3; ++pass)
    for (int n = 0; n < m_formulaLines.lineCount(); ++n) {
        const Line* line = m_formulaLines.lineAt(n);
        if (drawingPass(line) != pass)
            continue;
        if (line->useDrawRoutines) {
            if (paintDrawing(painter, line))
                continue;
            switch (line->drawType) {
            case eLINE: Draw_eLINE(painter, line); break;
            case eVOLSTICK: Draw_eVOLSTICK(painter, line); break;
            case eVOLSTICK2: Draw_eVOLSTICK2(painter, line); break;
            case eCOLORSTICK: Draw_eCOLORSTICK(painter, line); break;
            case eDRAWTEXT: Draw_eDRAWTEXT(painter, line); break;
            case eDRAWICON: Draw_eDRAWICON(painter, line); break;
            default: break;
            }
        } else {
            switch (line->drawType) {
            case eLINE: Fill_eLINE(painter, line); break;
            case eSMOOTHLINE: Fill_eSMOOTHLINE(painter, line); break;
            case eVOLSTICK: Fill_eVOLSTICK(painter, line); break;
            case eVOLSTICK2: Fill_eVOLSTICK2(painter, line); break;
            case eCOLORSTICK: Fill_eCOLORSTICK(painter, line); break;
            case eKLINE: Fill_eKLINE(painter, line); break;
            case eYDCM: Fill_eYDCM(painter, line); break;
            default: break;
            }
        }
    }

    if (getDrawMaxMinTag())
        DrawMaxMinTag(painter);
}

// ---- shared helpers ----------------------------------------------------------

void ZtLineLib_Formula::recordMax(double value, int x)
{
    if (value > m_maxTagValue) {
        m_maxTagValue = value;
        m_maxTagX = x;
    }
}

void ZtLineLib_Formula::recordMin(double value, int x)
{
    if (value < m_minTagValue) {
        m_minTagValue = value;
        m_minTagX = x;
    }
}

void ZtLineLib_Formula::recordMaxMin(double value, int x)
{
    recordMax(value, x);
    recordMin(value, x);
}

bool ZtLineLib_Formula::isDayBoundary(int i) const
{
    return m_isDLine && m_isMainChat && m_showDRFS != 0 && (i + 1) % kSlotsPerDay == 0
           && (!m_showJHJJ || i >= kFirstBrokenJoinWithAuction);
}

double ZtLineLib_Formula::roundToPrec(double value, int prec)
{
    // Exact powers of ten up to the largest a double holds exactly.
    static constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    // QString::number gives six decimals for a negative precision.
    const int p = prec < 0 ? 6 : prec;
    const double a = std::fabs(value);
    if (!std::isfinite(value) || p > 22 || a * kPow10[p] >= 0x1p52)
        return QString::number(value, 'f', p).toDouble();

    // The text is the exact binary value rounded to p decimals, halves away
    // from zero. k = floor(a·10^p) is settled on the exact product, then
    // compared with the half; below 2^52 k/10^p is the double nearest to the
    // decimal, as reading the text gives.
    const double s = kPow10[p];
    double k = std::floor(a * s);
    if (std::fma(a, s, -k) < 0)
        k -= 1;
    else if (std::fma(a, s, -(k + 1)) >= 0)
        k += 1;
    if (std::fma(a, s, -(k + 0.5)) >= 0)
        k += 1;
    const double r = k / s;
    return std::signbit(value) ? -r : r;
}

// ---- candles ---------------------------------------------------------------

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
    const int roundedEnd = rounded ? rounded->first + rounded->values.size() : 0;
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        const double v = rounded && i >= rounded->first && i < roundedEnd
                             ? rounded->values.at(i - rounded->first)
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

// ---- formula text and icons ---------------------------------------------------

void ZtLineLib_Formula::Draw_eDRAWTEXT(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    const bool tags = m_drawMaxMinTag;
    const int lift = int(m_fontHeight) / 3;
    const QColor lineColour = line->pen.color();
    QPen pen(lineColour);
    painter->setPen(pen);
    QColor current = lineColour;

    const int size = line->values.size();
    const int colourCount = line->colors.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        const double v = roundToPrec(raw, m_prec);
        const QColor c = i < colourCount ? getColorByInt(line->colors.at(i)) : lineColour;
        if (c != current) {
            pen.setColor(c);
            painter->setPen(pen);
            current = c;
        }
        const int x = ztPixel(g.unroundedCentre(k));
        painter->drawText(x, ztPixel(getY(v) + lift), line->text);
        if (tags)
            recordMaxMin(v, x);
    }
}

void ZtLineLib_Formula::Draw_eDRAWICON(QPainter* painter, const Line* line)
{
    const SlotGeometry g{m_pointW, m_drawLeft, m_barGap, m_barCentreOffset};
    const bool tags = m_drawMaxMinTag;
    const QString folder = QCoreApplication::applicationDirPath()
                           + QStringLiteral("/formulaicon/KLINE_DRAWICON_");
    QHash<int, QPixmap> icons;

    const int size = line->values.size();
    for (int i = m_dataShowIndex, k = 0; k < m_dataShowLength && i < size; ++i, ++k) {
        const float raw = line->values.at(i);
        if (isGap(raw))
            continue;
        // A missing, negative or unreadable icon ends the line.
        if (i >= line->values2.size())
            return;
        const float n = line->values2.at(i);
        if (std::isnan(n) || n < 0)
            return;
        const int key = n >= float(INT_MAX) ? INT_MAX : int(n);
        auto it = icons.find(key);
        if (it == icons.end()) {
            const QString file = folder + QString::number(double(n), 'g', 6) + QStringLiteral(".bmp");
            if (!QFileInfo::exists(file))
                return;
            it = icons.insert(key, QPixmap::fromImage(QImage(file)));
        }
        const QPixmap& icon = it.value();
        if (icon.isNull())
            return;

        const double v = roundToPrec(raw, m_prec);
        const int x = ztPixel(g.unroundedCentre(k) - icon.width() / 2);
        const int y = ztPixel(getY(v) + icon.height() / 2);
        painter->drawPixmap(x, y, icon);
        if (tags)
            recordMaxMin(v, x);
    }
}

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
    painter->drawLines(lines, 3);
    painter->drawText(right ? x + kArm : x - kArm - textWidth, baseline, text);
}
