#pragma once

// The drawing kit the pane's painters share: the pixel columns of a slot,
// and batches that hand runs of same-pen primitives to the painter in as
// few calls as leave every pixel as single calls would.

#include "ZtLineLibGlobal.h"
#include "ZtPainterClipGuard.h"

#include <DQDUnionReader.h>

#include <QColor>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QRect>
#include <QVarLengthArray>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace zt {

inline bool isMarker(float v)
{
    return double(v) == kZtNoValue;
}

// The painters skip NaN along with the marker: a NaN has no y to paint at.
inline bool isGap(float v)
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
QRect deviceArea(QPainter* painter);

// Fills rectangles in one colour with one call; pen and brush are put back.
void fillSolid(QPainter* painter, const QColor& colour, const QRect* rects, int count);

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

    void flush();

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
    void settleColumn();
    void drawPieces();
    void addPiece(const Stick& s, int top, int bottom);
    // Adds the rows of s outside covered as pieces and s to covered (kept
    // sorted and merged).
    void visible(const Stick& s, Rows* covered);

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

inline double fieldOf(const ZtUIDataStruct::DQDUnionReader* r, unsigned int field)
{
    // The number without a variant; 0 where the text conversion gives 0.
    return r->numberValue(field, 0.0);
}

// Cuts a rectangle that starts at left with the given width so that it ends
// at drawRight at the latest; the narrowed width.
int widthUpTo(int left, int width, double drawRight);

} // namespace zt
