#include "ZtLineLibBase.h"

#include <DQDFieldId.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ZtUIDataStruct;

ZtLineLibBase::ZtLineLibBase() = default;
ZtLineLibBase::~ZtLineLibBase() = default;

void ZtLineLibBase::setRange(int index, int length, bool dataUnchanged)
{
    if (!m_data)
        return;
    m_dataShowIndex = index;
    m_dataShowLength = length;
    m_rangeDataUnchanged = dataUnchanged;
    setPointSize();
    calculateChildMaps();
    // The announcements are spent: the element is now up to date with them.
    m_rangeDataUnchanged = false;
    m_appended = false;
    m_changedFrom = kZtNoChange;
}

void ZtLineLibBase::recordsChanged(int from)
{
    m_changedFrom = std::min(m_changedFrom, std::max(from, 0));
}

void ZtLineLibBase::recordsAppended()
{
    m_appended = true;
}

int ZtLineLibBase::dataLength() const
{
    return m_data ? m_data->count() : 0;
}

DQDUnionReader* ZtLineLibBase::getDataByIndex(int i) const
{
    return m_data ? m_data->at(i) : nullptr;
}

qint64 ZtLineLibBase::keyAt(int i) const
{
    const DQDUnionReader* r = getDataByIndex(i);
    return r ? r->getUniqueValue(0).toLongLong() : 0;
}

void ZtLineLibBase::SetMaxMinValue(double max, double min)
{
    m_maxValue = max;
    m_minValue = min;
    setPointSize();
}

void ZtLineLibBase::setPointSize()
{
    if (!m_data)
        return;
    if (m_data->count() > 0) {
        if (m_dataShowIndex < 0)
            m_dataShowIndex = 0;
        setPointSizeAcross();
    }
    const double span = m_maxValue - m_minValue;
    if (span == 0)
        return;
    const double height = m_rect.height() - m_fixedPaddingTop - m_fixedPaddingBottom;
    if (m_coordinateSystem == eLogarithmic)
        m_pointH = height / (std::log(m_maxValue) - std::log(m_minValue));
    else
        m_pointH = height / span;
}

void ZtLineLibBase::setPointSizeAcross()
{
    const AcrossInputs in{m_rect.left(), m_rect.width(), m_fixedPaddingLeft, m_fixedPaddingRight,
                          m_maxPointW, m_dataShowLength};
    if (m_acrossMade && in == m_across)
        return;
    m_across = in;
    m_acrossMade = true;
    const double width = m_rect.width() - m_fixedPaddingLeft - m_fixedPaddingRight;
    m_pointW = width / double(m_dataShowLength);
    // A zero length divides to infinity (or NaN for a zero width); both
    // end at the bound so that the integer geometry below stays defined.
    if (!(m_pointW <= m_maxPointW))
        m_pointW = m_maxPointW;
    m_drawLeft = m_rect.left() + m_fixedPaddingLeft + 1;
    m_drawRight = m_rect.right() - m_fixedPaddingRight - 1;
    // A negative width (paddings wider than the rectangle) would make the
    // casts below undefined for huge values; the bound keeps them sane.
    m_barGap = std::min(int(std::max(m_pointW * 0.2, -m_maxPointW)), 5);
    int body = int(std::max(m_pointW - m_barGap, -m_maxPointW));
    if (body % 2 != 1)
        body -= 1;
    m_barBodyWidth = body;
    m_barCentreOffset = (m_barBodyWidth - 1) / 2 + m_barGap;
}

double ZtLineLibBase::getX(int i) const
{
    return i * m_pointW + m_barCentreOffset + m_drawLeft;
}

double ZtLineLibBase::getY(double value) const
{
    double m = m_maxValue;
    if (m_coordinateSystem == eLogarithmic) {
        value = std::log(value);
        m = std::log(m_maxValue);
    }
    const double y = (m - value) * m_pointH + m_rect.top();
    if (m_rect.top() > y)
        return m_rect.top();
    return std::min(m_rect.bottom(), y);
}

QString ZtLineLibBase::getDataString(int index)
{
    if (!m_data || m_data->count() == 0 || m_dataShowIndex < 0)
        return QString();
    // The last valid record is count − 1; an index equal to count names none.
    if (index < 0 || index >= m_data->count())
        return QString();
    return getChildDataString(index);
}

QString ZtLineLibBase::getAxisXDataString(int x)
{
    // Summed in 64 bits: a window starting near the int limit would overflow.
    const qint64 index = qint64(getAxisXDataIndex(x, true)) + m_dataShowIndex;
    return index > std::numeric_limits<int>::max() ? QString() : getDataString(int(index));
}

QString ZtLineLibBase::getAxisXFirstDataString()
{
    return getChildDataString(getAxisXFirstDataIndex());
}

QString ZtLineLibBase::getAxisXLastDataString()
{
    return getChildDataString(getAxisXLastDataIndex());
}

int ZtLineLibBase::getAxisXDataIndex(int x, bool skipEmpty)
{
    // An empty window (length ≤ 0) has no slot under any x.
    if (!m_data || m_data->count() == 0 || m_dataShowIndex < 0 || m_dataShowLength <= 0 || x < 0)
        return -1;
    // Every path answers relative to the window, so callers add the window
    // start exactly once; at the edges that is the first/last item with data.
    if (m_rect.left() >= x || x >= m_rect.right()) {
        const int edge = m_rect.left() >= x ? getAxisXFirstDataIndex() : getAxisXLastDataIndex();
        return edge < 0 ? -1 : edge - m_dataShowIndex;
    }

    // The slot bounds are truncated pixel positions, so the quotient can be
    // off by one in either direction; the two checks settle it.
    const double q = (x - m_drawLeft) / m_pointW;
    if (!std::isfinite(q))
        return -1;
    int k = int(std::clamp(q, -1e9, 1e9));
    // Truncated in doubles: with huge paddings the bounds leave the int range.
    if (x < std::trunc(k * m_pointW + m_drawLeft))
        k += 1;
    if (!(x < std::trunc((k + 1) * m_pointW + m_drawLeft)))
        k += 1;
    if (k >= m_dataShowLength)
        k = m_dataShowLength - 1;
    const qint64 a64 = qint64(std::max(k, 0)) + m_dataShowIndex;
    const int count = m_data->count();
    if (m_dataShowIndex >= count)
        return -1;
    // A window reaching past the data ends at the last record.
    int a = int(std::min<qint64>(a64, count - 1));
    if (!skipEmpty)
        return a - m_dataShowIndex;
    for (; a >= m_dataShowIndex; --a) {
        if (keyAt(a) > 0)
            return a - m_dataShowIndex;
    }
    return -1;
}

int ZtLineLibBase::getAxisXFirstDataIndex()
{
    if (!m_data || m_data->count() == 0 || m_dataShowIndex < 0)
        return -1;
    const int count = m_data->count();
    if (m_dataShowIndex >= count)
        return -1;
    const qint64 end = std::min<qint64>(qint64(m_dataShowIndex) + m_dataShowLength, count);
    for (int a = m_dataShowIndex; a < end; ++a) {
        if (keyAt(a) > 0)
            return a;
    }
    return -1;
}

int ZtLineLibBase::getAxisXLastDataIndex()
{
    if (!m_data || m_data->count() == 0 || m_dataShowIndex < 0)
        return -1;
    const qint64 last = std::min<qint64>(m_data->count() - 1,
                                         qint64(m_dataShowIndex) + m_dataShowLength - 1);
    for (qint64 a = last; a >= m_dataShowIndex && a >= 0; --a) {
        if (keyAt(int(a)) > 0)
            return int(a);
    }
    return -1;
}

bool ZtLineLibBase::checkAxisContainsPos(QPoint p)
{
    const int i = getAxisXDataIndex(p.x(), true);
    if (i < 0)
        return false;
    const qint64 index = qint64(m_dataShowIndex) + i;
    const DQDUnionReader* r =
        index > std::numeric_limits<int>::max() ? nullptr : getDataByIndex(int(index));
    if (!r)
        return false;
    const double yLow = getY(r->getValue(eFieldLow).toDouble());
    const double yHigh = getY(r->getValue(eFieldHigh).toDouble());
    return yLow + 5.0 >= p.y() && p.y() >= yHigh - 5.0;
}

void ZtLineLibBase::calculateChildMaps() {}

QString ZtLineLibBase::getChildDataString(int)
{
    return QString();
}

void ZtLineLibBase::resetMaxMinValue() {}

void ZtLineLibBase::Fill(QPainter* painter)
{
    if (!painter)
        return;
    // Measuring text shapes it, which costs more than painting a pane of
    // lines; the sizes are kept until the font or the device's resolution
    // changes.
    const QPaintDevice* device = painter->device();
    const QSize dpi = device ? QSize(device->logicalDpiX(), device->logicalDpiY()) : QSize();
    const QFont font = painter->font();
    if (!m_fontSizesValid || dpi != m_fontSizesDpi || font != m_font) {
        m_font = font;
        const QFontMetrics fm = painter->fontMetrics();
        m_cjkHalfWidth = fm.horizontalAdvance(QStringLiteral("测")) / 2;
        m_fontHeight = fm.height();
        m_digitWidth = fm.horizontalAdvance(QLatin1Char('2'));
        m_digitHeight = fm.height();
        m_fontSizesDpi = dpi;
        m_fontSizesValid = true;
    }
    if (m_data) {
        setPointSize();
        FillChild(painter);
    }
}
