#include "ZtLineLib_Reference.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <DQDFieldId.h>

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// One intraday trading day has 241 minute slots; the call auction before it
// 15 more.
constexpr double kDayMinutes = 241.0;
constexpr double kAuctionMinutes = 15.0;
constexpr int kDaySlots = 241;
constexpr int kAuctionSlots = 15;

QPen themePen(const char* key, Qt::PenStyle style = Qt::SolidLine)
{
    return getThemePen(QLatin1String(key), style);
}

} // namespace

ZtLineLib_Reference::PaintContext ZtLineLib_Reference::makePaintContext(const QPainter* painter) const
{
    PaintContext ctx;
    ctx.metrics = QFontMetricsF(painter->font(), painter->device());
    ctx.rangeSet = rangeIsSet();
    ctx.up = themePen("Up");
    ctx.down = themePen("Down");
    ctx.flat = themePen("Flat");
    ctx.klineTag = themePen("Klinetag");
    ctx.vol = themePen("Vol");
    const Qt::Alignment leanRight = Qt::AlignRight | Qt::AlignVCenter;
    const Qt::Alignment leanLeft = Qt::AlignLeft | Qt::AlignVCenter;
    ctx.mainAlignment = m_mainValueOnRight ? leanLeft : leanRight;
    ctx.secondaryAlignment = m_mainValueOnRight ? leanRight : leanLeft;
    ctx.valueFormat = QStringLiteral("{if#>99999||<-99999;d%1w}d%1").arg(m_prec);
    ctx.zeroFormat = QStringLiteral("d%1").arg(m_prec);
    ctx.qnowRounded = roundToPrec(m_qnowData, m_prec);
    if (m_leftPercentEnable) {
        const ZtUIDataStruct::DQDUnionReader* first = getDataByIndex(m_dataShowIndex);
        if (first)
            ctx.open = roundToPrec(first->getValue(ZtUIDataStruct::eFieldOpen).toDouble(), m_prec);
    }
    return ctx;
}

void ZtLineLib_Reference::FillChild(QPainter* painter)
{
    m_paintedTags.clear();
    if (!painter || !m_data || m_data->count() == 0)
        return;
    ZtPainterClipGuard clip(painter, m_rect);

    const double range = m_maxValue - m_minValue;
    if (range != 0) {
        const double height = m_rect.height() - m_fixedPaddingTop - m_fixedPaddingBottom;
        m_pointH = m_coordinateSystem == eLogarithmic
                       ? height / (std::log(m_maxValue) - std::log(m_minValue))
                       : height / range;
    }
    const auto yOf = [this](double v) { return getY(v) + m_fixedPaddingTop; };
    const double yTop = yOf(m_maxValue);
    const double yBottom = yOf(m_minValue);
    const double mid = m_minValue + range * 0.5;

    const PaintContext ctx = makePaintContext(painter);

    paintBackground(painter, yTop, yBottom);

    // Tag rectangles lean against the band, one font height high.
    const double fh = m_fontHeight;
    QRectF mainRect(m_rect.left(), yTop - fh * 0.5,
                    m_fixedPaddingLeft - m_tagTextMargin - m_stubWidth, fh);
    QRectF secondaryRect(m_drawRight + m_tagTextMargin + m_stubWidth, yTop - fh * 0.5,
                         m_fixedPaddingRight - m_tagTextMargin - m_stubWidth, fh);
    if (!m_stubsEnable) {
        mainRect.moveLeft(m_rect.left() + m_stubWidth);
        secondaryRect.moveLeft(m_drawRight + m_tagTextMargin);
    }
    if (m_mainValueOnRight)
        std::swap(mainRect, secondaryRect);
    const auto centreOn = [&](double y) {
        mainRect.moveTop(y - fh * 0.5);
        secondaryRect.moveTop(y - fh * 0.5);
    };
    const auto fits = [&](const QRectF& r) {
        return r.top() >= m_rect.top() && m_rect.bottom() >= r.bottom();
    };

    drawStubs(painter, m_drawLeft, yTop, m_drawRight);
    drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType,
            truncateToPrec(m_maxValue, m_prec));

    centreOn(yBottom);
    bool bottomDrawn = false;
    if (!m_dataScalingEnable) {
        if (m_rect.bottom() >= mainRect.bottom()) {
            drawStubs(painter, m_drawLeft, yBottom, m_drawRight);
            drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType,
                    truncateToPrec(m_minValue, m_prec));
            bottomDrawn = true;
        }
    } else {
        paintScalingBox(painter, ctx);
    }
    // The bottom percent tag stands alone only where no bottom tag carries
    // one already; drawing it over a drawn tag would garble both texts.
    if (m_rightPercentTagEnable && !bottomDrawn && m_rect.bottom() >= secondaryRect.bottom())
        drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType, 0.0, false);

    // Intervals between top and bottom: at least m_minTagSpace pixels apart,
    // never finer than one step of the last shown decimal, at most
    // m_maxTagLineCount, and never more lines than pixel rows.
    const double span = yBottom - yTop;
    const int rows = std::max(1, ztPixel(span));
    int n;
    double s;
    if (m_binaryStyleEnable) {
        n = std::min(ztPixel(std::floor(span * 0.5 / m_minTagSpace)), m_maxTagLineCount);
        n = std::min(n, rows);
        s = range / n * 0.5;
    } else {
        const int byDigits = ztPixel(std::fabs(range) * std::pow(10.0, m_prec));
        n = std::min({ztPixel(std::floor(span / m_minTagSpace)), byDigits, m_maxTagLineCount, rows});
        s = range / n;
    }

    const int xl = ztPixel(m_drawLeft);
    const int xr = ztPixel(m_drawRight);
    const QPen grid3 = themePen("Grid3");
    for (int i = 1; i < n; ++i) {
        const int y = ztPixel(yOf(m_maxValue - i * s));
        ztDrawSolidLine(painter, grid3, xl, y, xr, y);
        if (m_binaryStyleEnable) {
            const int yb = ztPixel(yOf(m_minValue + i * s));
            ztDrawSolidLine(painter, grid3, xl, yb, xr, yb);
        }
    }

    if (m_vGridEnable && (m_vGridMinorStep != 0 || m_vGridMajorStep != 0)) {
        paintVerticalGrid(painter, themePen("Grid1DotLine", Qt::DotLine), m_vGridMinorStep,
                          yTop, yBottom);
        paintVerticalGrid(painter, themePen("Grid2"), m_vGridMajorStep, yTop, yBottom);
    }

    if (m_binaryStyleEnable) {
        const double ym = yTop + span * 0.5;
        ztDrawSolidLine(painter, themePen("Grid2"), xl, ztPixel(ym), xr, ztPixel(ym));
        drawStubs(painter, m_drawLeft, ym, m_drawRight);
        centreOn(ym);
        drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType, mid);
    }

    for (int i = 1; i < n; ++i) {
        const double v = m_maxValue - i * s;
        const double y = yOf(v);
        centreOn(y);
        if (fits(mainRect)) {
            drawStubs(painter, m_drawLeft, y, m_drawRight);
            drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType, v);
        }
        if (m_binaryStyleEnable) {
            const double yb = yOf(m_minValue + i * s);
            centreOn(yb);
            if (fits(mainRect)) {
                drawStubs(painter, m_drawLeft, yb, m_drawRight);
                drawTag(painter, ctx, mainRect, secondaryRect, m_tagColorType, mid - (n - i) * s);
            }
        }
    }

    const QPen grid1 = themePen("Grid1");
    const int rTop = ztPixel(m_rect.top());
    const int rBottom = ztPixel(m_rect.bottom());
    ztDrawSolidLine(painter, grid1, xl, rTop, xl, rBottom);
    ztDrawSolidLine(painter, grid1, xr, rTop, xr, rBottom);
    ztDrawSolidLine(painter, m_framePen, xl, ztPixel(yTop), xr, ztPixel(yTop));
    ztDrawSolidLine(painter, m_framePen, xl, ztPixel(yBottom), xr, ztPixel(yBottom));

    paintDayLabels(painter, yTop);
}

void ZtLineLib_Reference::paintBackground(QPainter* painter, double yTop, double yBottom)
{
    double w;
    QColor colour;
    if (m_showDRFS > 1) {
        w = ztPixel((m_showDRFS - 1) * m_pointW * kDayMinutes - m_pointW);
        colour = themePen("DRFS_BG").color();
    } else if (m_showJHJJ) {
        w = ztPixel(m_barGap + m_pointW * kAuctionMinutes);
        colour = themePen("JHJJ_BG").color();
    } else {
        return;
    }
    painter->fillRect(QRectF(m_drawLeft, yTop, w, yBottom - yTop), colour);
    const int x = ztPixel(m_drawLeft + w);
    ztDrawSolidLine(painter, themePen("Grid2"), x, ztPixel(yTop), x, ztPixel(yBottom));
}

void ZtLineLib_Reference::paintScalingBox(QPainter* painter, const PaintContext& ctx)
{
    const QString digits = QString::number(m_dataScaling);
    const QString text = QLatin1Char('X') + digits;
    const int digitCount = digits.size() - (m_dataScaling < 0 ? 1 : 0);
    const double w = digitCount * m_digitWidth + m_cjkHalfWidth;
    const QRectF box(m_drawLeft - w - 4.0, m_rect.bottom() - 4.0 - m_fontHeight, w, m_fontHeight);
    painter->setPen(themePen("Klinetag"));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
    painter->setPen(themePen("Grid1"));
    drawAligned(painter, ctx.metrics, box, text, ctx.mainAlignment);

    PaintedTag tag;
    tag.value = m_dataScaling;
    tag.y = box.center().y();
    tag.text = text;
    tag.color = painter->pen().color();
    tag.scalingBox = true;
    m_paintedTags.push_back(tag);
}

void ZtLineLib_Reference::paintVerticalGrid(QPainter* painter, const QPen& pen, int step,
                                            double yTop, double yBottom)
{
    // A zero step would never advance.
    if (step <= 0)
        return;
    const int start = step + (m_showJHJJ && m_showDRFS == 1 ? kAuctionSlots : 0);
    const int shift = kDaySlots % step;
    const int y0 = ztPixel(yTop);
    const int y1 = ztPixel(yBottom);
    // Lines closer than a pixel would fill the band, and a huge window would
    // spin for billions of slots: neither draws a grid.
    if (!(m_pointW * step >= 1.0))
        return;
    // No screen is wider than this many pixels, so no grid has more lines.
    const qint64 end = std::min(qint64(m_dataShowLength) - step, qint64(step) * 32768);
    for (qint64 i = start; i < end; i += step) {
        // Each further day restarts its grid at its own first minute.
        const qint64 k = i + (i / kDaySlots) * shift;
        const double xd = k * m_pointW + m_drawLeft + m_barCentreOffset;
        // Lines right of the band are clipped away anyway.
        if (xd > m_drawRight)
            break;
        const int x = ztPixel(xd);
        ztDrawSolidLine(painter, pen, x, y0, x, y1);
    }
}

void ZtLineLib_Reference::paintDayLabels(QPainter* painter, double yTop)
{
    if (m_showDRFS <= 1 || !m_isMainChat)
        return;
    painter->setPen(themePen("Default"));
    const int y = ztPixel(m_fontHeight + yTop);
    for (int k = 1; k < m_showDRFS; ++k) {
        const double x = (k - 1) * m_pointW * kDayMinutes + m_drawLeft + 5.0;
        // Days beyond the band are invisible; a huge day count must not spin.
        if (x > m_drawRight)
            break;
        painter->drawText(ztPixel(x), y, QStringLiteral("前%1日").arg(m_showDRFS - k));
    }
}
