#include "ZtLineLib_Reference.h"

#include "ZtLineLib_ValueFormat.h"
#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <DQDFieldId.h>

#include <QPainter>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Texts printed with more decimals than this carry no information; a
// hostile precision must not ask for gigabytes of digits.
constexpr int kMaxDecimals = 64;

} // namespace


ZtLineLib_Reference::ZtLineLib_Reference()
    : m_dynaTagPen(getThemePen(QStringLiteral("KFlat"), Qt::SolidLine))
    , m_framePen(getThemePen(QStringLiteral("Grid2"), Qt::SolidLine))
    , m_stubPen(getThemePen(QStringLiteral("Grid1"), Qt::SolidLine))
    , m_imgJHJJ_close(QStringLiteral(":/images/close_dline_jhjj.png"))
{
    m_fixedPaddingTop = 22.0;
    m_fixedPaddingBottom = 8.0;
}

ZtLineLib_Reference::~ZtLineLib_Reference() = default;

void ZtLineLib_Reference::setCrossPaddingTop(int v)
{
    setFixedPaddingTop(v + fixedPaddingTop());
}

void ZtLineLib_Reference::setStyleToDyna(bool on)
{
    if (on) {
        m_dynaTagPen = getThemePen(QStringLiteral("Grid1"), Qt::SolidLine);
        m_framePen = getThemePen(QStringLiteral("Grid1"), Qt::SolidLine);
        m_vGridMajorStep = 120;
        m_vGridMinorStep = 30;
        m_stubsEnable = false;
        m_vGridEnable = true;
    }
    m_styleDyna = on;
}

QString ZtLineLib_Reference::getAxisYDataString(int y)
{
    // The inverse of the mapping the tags are placed by: on a logarithmic
    // axis equal heights are equal ratios, so the box must interpolate the
    // logarithms or it disagrees with the line under the mouse.
    const double height = m_rect.height() - m_fixedPaddingBottom - m_fixedPaddingTop;
    const double fraction = (m_rect.bottom() - m_fixedPaddingBottom - y) / height;
    double v = (m_maxValue - m_minValue) * fraction + m_minValue;
    if (m_coordinateSystem == eLogarithmic && m_minValue > 0 && m_maxValue > 0)
        v = std::exp((std::log(m_maxValue) - std::log(m_minValue)) * fraction + std::log(m_minValue));
    if (m_leftPercentEnable)
        return percentAtValue(v);
    return QString::number(v / scalingDivisor(), 'f', std::clamp(m_prec, 0, kMaxDecimals));
}

QString ZtLineLib_Reference::percentAtValue(double value)
{
    // The same change against the first shown open as the percent tags, but
    // signed: the box has no colour to tell the direction.
    const ZtUIDataStruct::DQDUnionReader* first = getDataByIndex(m_dataShowIndex);
    const double o = first ? roundToPrec(first->getValue(ZtUIDataStruct::eFieldOpen).toDouble(), m_prec) : 0;
    const double v = roundToPrec(value / scalingDivisor(), m_prec);
    const double percent = o != 0 ? (v / o - 1) * 100 : 0;
    // Rounded here so that a tiny loss does not read "-0.00%".
    return QString::number(std::round(percent * 100) / 100 + 0.0, 'f', 2) + QLatin1Char('%');
}

QVector<ZtLineLib_Reference::PaintedTag> ZtLineLib_Reference::paintedTags() const
{
    return QVector<PaintedTag>(m_paintedTags.begin(), m_paintedTags.end());
}

double ZtLineLib_Reference::roundToPrec(double x, int p)
{
    const double scale = std::pow(10.0, p);
    const double eps = x < 0 ? -1e-7 : 1e-7;
    return std::floor((x + 5.0 / std::pow(10.0, p + 1)) * scale + eps) / scale;
}

double ZtLineLib_Reference::truncateToPrec(double x, int p)
{
    const QString text = QVariant(x).toString();
    const int dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return x;
    // Only the digits are cut; an exponent ("1.5e+20") is kept, so a huge
    // or tiny value keeps its magnitude instead of reading back as 0.
    const int e = text.indexOf(QLatin1Char('e'));
    const QString mantissa = e < 0 ? text : text.left(e);
    const QString exponent = e < 0 ? QString() : text.mid(e);
    const int keep = dot + (p < 1 ? 0 : std::min(p, kMaxDecimals) + 1);
    return (mantissa.left(keep) + exponent).toDouble();
}

bool ZtLineLib_Reference::rangeIsSet() const
{
    return m_maxValue != kZtNoValue && m_minValue != kZtNoValueMax;
}

void ZtLineLib_Reference::drawTag(QPainter* painter, const PaintContext& ctx,
                                  const QRectF& mainRect, const QRectF& secondaryRect,
                                  enumTagColorType type, double value, bool withMainText)
{
    switch (type) {
    case eTagColorKline:
        painter->setPen(ctx.klineTag);
        break;
    case eTagColorVol:
        painter->setPen(ctx.vol);
        break;
    case eTagColorByQnow:
        if (value == m_qnowData || roundToPrec(value, m_prec) == ctx.qnowRounded)
            painter->setPen(ctx.flat);
        else
            painter->setPen(value > m_qnowData ? ctx.up : ctx.down);
        break;
    case eTagColorBySign:
        if (value == 0)
            painter->setPen(ctx.flat);
        else
            painter->setPen(value > 0 ? ctx.up : ctx.down);
        break;
    }

    const double v = roundToPrec(value / scalingDivisor(), m_prec);
    if (!ctx.rangeSet)
        painter->setPen(ctx.up);

    QString text;
    if (m_leftPercentEnable) {
        double percent = 0;
        if (ctx.rangeSet) {
            const double o = ctx.open;
            if (o != 0)
                percent = (v / o - 1) * 100;
            if (o > v) {
                percent = -percent + 0.0; // no "-0.00%"
                painter->setPen(ctx.down);
            } else {
                painter->setPen(v > o ? ctx.up : ctx.flat);
            }
        }
        text = formattedValue(percent, QStringLiteral("d2[ls:%]"));
    } else {
        text = ctx.rangeSet ? formattedValue(v, ctx.valueFormat)
                            : formatValueText(0, ctx.zeroFormat);
    }
    if (withMainText)
        drawAligned(painter, ctx.metrics, mainRect, text, ctx.mainAlignment);
    else
        text.clear();

    QString percentText;
    if (m_rightPercentTagEnable) {
        if (ctx.rangeSet && m_qnowData != 0 && value != 0) {
            const double change = std::fabs(value - m_qnowData) / std::fabs(m_qnowData) * 100;
            percentText = QString::number(change, 'f', 2) + QLatin1Char('%');
        } else {
            percentText = QStringLiteral("0.00%");
        }
        drawAligned(painter, ctx.metrics, secondaryRect, percentText, ctx.secondaryAlignment);
    }

    PaintedTag tag;
    tag.value = value;
    tag.y = mainRect.center().y();
    tag.text = text;
    tag.percentText = percentText;
    tag.color = painter->pen().color();
    m_paintedTags.push_back(tag);
}

QString ZtLineLib_Reference::formattedValue(double value, const QString& format) const
{
    // The same tags come back on every repaint while the range stays; the
    // format language is the costly part of a tag, so recent results are
    // kept. Values compare by their bits: -0.0 and 0.0 may read differently.
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    for (const FormattedValue& f : m_formatted) {
        if (f.bits == bits && f.format == format)
            return f.text;
    }
    const QString text = formatValueText(value, format);
    constexpr size_t kKept = 32;
    if (m_formatted.size() >= kKept)
        m_formatted.erase(m_formatted.begin());
    m_formatted.push_back({bits, format, text});
    return text;
}

void ZtLineLib_Reference::drawAligned(QPainter* painter, const QFontMetricsF& metrics,
                                      const QRectF& rect, const QString& text,
                                      Qt::Alignment alignment)
{
    double x = rect.left();
    if (alignment & Qt::AlignRight)
        x = rect.right() - metrics.horizontalAdvance(text);
    else if (alignment & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - metrics.horizontalAdvance(text)) / 2;
    const double baseline = rect.top() + (rect.height() - metrics.height()) / 2 + metrics.ascent();
    painter->drawText(QPointF(x, baseline), text);
}

void ZtLineLib_Reference::drawStubs(QPainter* painter, double left, double y, double right)
{
    if (!m_stubsEnable)
        return;
    painter->setPen(m_stubPen);
    const int yi = ztPixel(y);
    if (!m_mainValueOnRight || m_rightPercentTagEnable)
        painter->drawLine(ztPixel(left - m_stubWidth), yi, ztPixel(left), yi);
    if (m_mainValueOnRight || m_rightPercentTagEnable)
        painter->drawLine(ztPixel(right), yi, ztPixel(m_stubWidth + right), yi);
}
