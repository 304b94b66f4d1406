#pragma once

#include <QPainter>
#include <QRectF>
#include <QRegion>

#include <algorithm>
#include <cmath>

// Narrows a painter's clip to an element's rectangle for one paint and puts
// the previous clip state back afterwards. Lines drawn by the raster engine
// are about ten times cheaper with a clip set than without one; pen and
// brush are left alone because painters do not restore those.
class ZtPainterClipGuard
{
public:
    ZtPainterClipGuard(QPainter* painter, const QRectF& rect)
        : m_painter(painter), m_hadClip(painter->hasClipping())
    {
        if (m_hadClip)
            m_oldClip = painter->clipRegion();
        painter->setClipRect(rect, m_hadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    }
    ~ZtPainterClipGuard()
    {
        if (m_hadClip)
            m_painter->setClipRegion(m_oldClip);
        else
            m_painter->setClipping(false);
    }
    ZtPainterClipGuard(const ZtPainterClipGuard&) = delete;
    ZtPainterClipGuard& operator=(const ZtPainterClipGuard&) = delete;

private:
    QPainter* m_painter;
    bool m_hadClip;
    QRegion m_oldClip;
};

// Truncation toward zero of a pixel position; NaN and values beyond any
// device become 0 or the bound instead of an undefined conversion.
inline int ztPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::fmax(-1e9, std::fmin(1e9, v)));
}

// Whether painter coordinates reach the device's pixels by a whole-pixel
// move at most. The device transform includes a high-DPI device's pixel
// ratio: under a scale a stroked one-pixel line and a filled one-pixel
// rectangle cover different device pixels, and neighbouring slots may share
// one.
inline bool ztMapsToWholeDevicePixels(QPainter* painter)
{
    const QTransform t = painter->deviceTransform();
    return t.type() <= QTransform::TxTranslate && t.dx() == std::floor(t.dx())
           && t.dy() == std::floor(t.dy());
}

// Whether the painter draws horizontal and vertical lines of this pen, and
// rectangle outlines inside the device, on exactly the pixels of filled
// one-pixel rectangles: a solid opaque pen of at most one pixel with square
// caps (both end points painted), no antialiasing, source-over, and a
// device transformation that moves by whole pixels at most.
inline bool ztPaintsLikeFilledPixels(QPainter* painter, const QPen& pen)
{
    if (painter->testRenderHint(QPainter::Antialiasing)
        || painter->compositionMode() != QPainter::CompositionMode_SourceOver
        || pen.style() != Qt::SolidLine || pen.brush().style() != Qt::SolidPattern
        || pen.color().alpha() != 255 || pen.capStyle() != Qt::SquareCap
        || !(pen.widthF() == 0.0 || pen.widthF() == 1.0))
        return false;
    return ztMapsToWholeDevicePixels(painter);
}

// A line of a solid pen at most one pixel wide. Horizontal and vertical
// ones are filled as one-pixel rectangles, endpoints included, which the
// raster engine does several times faster than stroking them; the painter's
// pen is left alone then.
inline void ztDrawSolidLine(QPainter* painter, const QPen& pen, int x1, int y1, int x2, int y2)
{
    const bool plain = pen.style() == Qt::SolidLine && pen.widthF() <= 1.0
                       && pen.brush().style() == Qt::SolidPattern
                       && ztMapsToWholeDevicePixels(painter);
    if (plain && (x1 == x2 || y1 == y2)) {
        const QRect r(QPoint(std::min(x1, x2), std::min(y1, y2)),
                      QPoint(std::max(x1, x2), std::max(y1, y2)));
        painter->fillRect(r, pen.color());
        return;
    }
    painter->setPen(pen);
    painter->drawLine(x1, y1, x2, y2);
}
