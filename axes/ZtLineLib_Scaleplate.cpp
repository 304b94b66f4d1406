#include "ZtLineLib_Scaleplate.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <DataTrans.h>
#include <DQDFieldId.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// A picture larger than this in either direction comes from a broken
// rectangle, not from a screen; it is not allocated.
constexpr int kMaxPictureSide = 16384;

QDateTime dateTimeOf(const ZtUIDataStruct::DQDUnionReader* record)
{
    if (!record)
        return QDateTime();
    const qint64 code = record->getValue(ZtUIDataStruct::eFieldDateTime).toLongLong();
    return ZtUIDataStruct::DataTrans::getDateTimeFromULL(quint64(code));
}

// The date-time of a record as a UTC value with the fields that
// DataTrans::getDateTimeFromULL gives. Local date-times consult the time
// zone database when they are made, which costs microseconds per item; the
// fields, and so every text without a zone name ("t"), are the same.
QDateTime utcDateTimeOf(const ZtUIDataStruct::DQDUnionReader* record)
{
    if (!record)
        return QDateTime();
    const quint64 code = quint64(record->getValue(ZtUIDataStruct::eFieldDateTime).toLongLong());
    const quint64 ymd = code / 1000000;
    const QDate date(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100));
    const QTime time(int(code / 10000 % 100), int(code / 100 % 100), int(code % 100));
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time, Qt::UTC);
}

QString formatted(const QDateTime& dt, const QString& pattern)
{
    return pattern.isEmpty() ? QString() : dt.toString(pattern);
}

} // namespace

ZtLineLib_Scaleplate::ZtLineLib_Scaleplate()
    : m_textPen(getThemePen(QStringLiteral("ScaleplateText"), Qt::SolidLine))
    , m_mastTextPen(getThemePen(QStringLiteral("ScaleplateMastText"), Qt::SolidLine))
    , m_subTextPen(getThemePen(QStringLiteral("ScaleplateSubText"), Qt::SolidLine))
{
}

ZtLineLib_Scaleplate::~ZtLineLib_Scaleplate() = default;

ZtLineLib_Scaleplate& ZtLineLib_Scaleplate::operator<<(const QString& text)
{
    m_fixedTagTexts.append(text);
    return *this;
}

ZtLineLib_Scaleplate& ZtLineLib_Scaleplate::operator<<(const int& index)
{
    m_fixedTagIndices.append(index);
    return *this;
}

void ZtLineLib_Scaleplate::clearFixedTags()
{
    m_fixedTagTexts.clear();
    m_fixedTagIndices.clear();
}

QString ZtLineLib_Scaleplate::getAxisXFirstDataString()
{
    return QStringLiteral("--");
}

QString ZtLineLib_Scaleplate::getAxisXLastDataString()
{
    return QStringLiteral("--");
}

QVector<ZtLineLib_Scaleplate::DrawnLabel> ZtLineLib_Scaleplate::drawnLabels() const
{
    return QVector<DrawnLabel>(m_axisPixmap.labels.begin(), m_axisPixmap.labels.end());
}

void ZtLineLib_Scaleplate::calculateChildMaps()
{
    if (m_data && m_data->count() > 0)
        m_axisPixmap.clear();
}

QString ZtLineLib_Scaleplate::getChildDataString(int index)
{
    const ZtUIDataStruct::DQDUnionReader* record = getDataByIndex(index);
    if (!record)
        return QString();
    return dateTimeOf(record).toString(m_tagDateFormat);
}

ZtLineLib_Scaleplate::LabelTexts ZtLineLib_Scaleplate::labelTextsAt(int index, bool withSub,
                                                                   bool zoneNames) const
{
    const ZtUIDataStruct::DQDUnionReader* record = getDataByIndex(index);
    const QDateTime dt = zoneNames ? dateTimeOf(record) : utcDateTimeOf(record);
    return {formatted(dt, m_dateFormat), formatted(dt, m_mastDateFormat),
            withSub ? formatted(dt, m_subDateFormat) : QString()};
}

void ZtLineLib_Scaleplate::FillChild(QPainter* painter)
{
    if (!painter)
        return;
    if (!m_axisPixmap.valid)
        render(painter);
    if (!m_axisPixmap.pixmap.isNull())
        painter->drawPixmap(0, 0, m_axisPixmap.pixmap);
}

void ZtLineLib_Scaleplate::render(QPainter* target)
{
    m_axisPixmap.clear();
    m_axisPixmap.valid = true;
    const int w = ztPixel(m_drawRight + 100.0);
    const int h = ztPixel(m_rect.height());
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide)
        return;
    m_axisPixmap.pixmap = QPixmap(w, h);
    m_axisPixmap.pixmap.fill(Qt::transparent);

    const bool fixed = !m_fixedTagTexts.isEmpty();
    const bool hasData = m_data && m_data->count() > 0;
    if (!fixed && !hasData)
        return;

    QPainter p(&m_axisPixmap.pixmap);
    // Lines are far cheaper to rasterise with a clip set.
    p.setClipRect(QRect(0, 0, w, h));
    p.setFont(target->font());
    p.setPen(m_textPen);
    const double xBase = m_drawLeft + m_barCentreOffset;
    const double bandTop = m_rect.top() + m_stubHeight + m_textTopOffset;
    const QRectF band(0, bandTop, w, m_rect.bottom() - bandTop);
    if (fixed)
        paintFixedLabels(&p, xBase, band);
    else
        paintDateLabels(&p, xBase, band);
}

void ZtLineLib_Scaleplate::paintFixedLabels(QPainter* p, double xBase, const QRectF& band)
{
    const QFontMetrics fm = p->fontMetrics();
    const QTextOption centred(Qt::AlignCenter);
    const int count = m_fixedTagTexts.size();
    double lastRight = kZtNoValue;
    int position = 0;
    for (int i = 0; i < count; ++i) {
        const QString& text = m_fixedTagTexts.at(i);
        const int w = fm.horizontalAdvance(text);
        if (i < m_fixedTagIndices.size())
            position = m_fixedTagIndices.at(i);
        else if (i == 0)
            position = 0;
        else if (i == count - 1)
            position = m_dataShowLength;
        else
            position += (m_dataShowLength - position) / (count - i);

        double x;
        if (m_fixedAlignment == -1)
            x = position * m_pointW + xBase - w;
        else if (m_fixedAlignment == 0)
            x = xBase - (w / 2) + position * m_pointW;
        else
            x = position * m_pointW + xBase;
        // A text that would overlap the one before is left out.
        if (lastRight > x)
            continue;
        p->drawText(QRectF(x, band.top(), w, band.height()), text, centred);
        lastRight = x + w;
        m_axisPixmap.labels.push_back({text, x, w, DrawnLabel::eFixed, -1});
    }
}

void ZtLineLib_Scaleplate::paintDateLabels(QPainter* p, double xBase, const QRectF& band)
{
    const QFontMetrics fm = p->fontMetrics();
    const QPen tickPen = getThemePen(QStringLiteral("Grid1"), Qt::SolidLine);
    const bool subFits = !m_subDateFormat.isEmpty()
                         && m_pointW > fm.horizontalAdvance(m_subDateFormat) + 2 * m_textTagMarginW;
    const int tickTop = ztPixel(m_rect.top());
    const int tickBottom = ztPixel(m_rect.top() + m_stubHeight);

    // Sub texts matter only when sub labels fit; zone names need the local
    // date-time.
    const QLatin1Char zone('t');
    const bool zoneNames = m_dateFormat.contains(zone) || m_mastDateFormat.contains(zone)
                           || m_subDateFormat.contains(zone);
    LabelTexts previous;
    if (m_dataShowIndex > 0)
        previous = labelTextsAt(m_dataShowIndex - 1, subFits, zoneNames);

    const qint64 count = m_data->count();
    for (qint64 i = m_dataShowIndex, k = 0; i < count && k < m_dataShowLength; ++i, ++k) {
        LabelTexts current = labelTextsAt(int(i), subFits, zoneNames);
        const QString* label = nullptr;
        const QPen* pen = &m_textPen;
        DrawnLabel::enumKind kind = DrawnLabel::eMain;
        const bool mainChanged = !m_dateFormat.isEmpty() && current.main != previous.main;
        if (!m_mastDateFormat.isEmpty() && current.mast != previous.mast) {
            label = &current.mast;
            pen = &m_mastTextPen;
            kind = DrawnLabel::eMaster;
        } else if (mainChanged) {
            label = &current.main;
        } else if (subFits) {
            label = &current.sub;
            pen = &m_subTextPen;
            kind = DrawnLabel::eSub;
        }
        if (!label)
            continue;

        const double x = k * m_pointW + xBase;
        const double textLeft = x + m_textTagMarginW;
        p->setPen(*pen);
        p->drawText(QRectF(textLeft, band.top(), m_drawRight - textLeft, band.height()),
                     Qt::AlignLeft | Qt::AlignTop, *label);
        p->setPen(tickPen);
        const int xi = ztPixel(x);
        p->drawLine(xi, tickBottom, xi, tickTop);
        p->setPen(m_textPen);

        const int width = fm.horizontalAdvance(*label);
        m_axisPixmap.labels.push_back({*label, textLeft, width, kind, int(k)});
        previous = std::move(current);
        // Items under the label just drawn get none of their own. A
        // negative item width (paddings wider than the rectangle) must not
        // walk backwards.
        const qint64 skip = std::max(0, ztPixel(std::floor((width + 2 * m_textTagMarginW) / m_pointW)));
        i += skip;
        k += skip;
    }
}
