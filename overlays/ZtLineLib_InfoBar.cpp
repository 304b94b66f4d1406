#include "ZtLineLib_InfoBar.h"

#include "ZtLineLibTheme.h"
#include "ZtPainterClipGuard.h"

#include <DQDFieldId.h>
#include <DataTrans.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QVector>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

QPixmap loadIcon(const char* path)
{
    return QPixmap::fromImage(QImage(QLatin1String(path)));
}

// yyyymmdd of a time value; 0 for an empty slot, so that a placeholder never
// counts as a date after the event's.
qint64 dateOf(qint64 time)
{
    return time > 0 ? DataTrans::getDateYYYYMMDDFromULL(quint64(time)) : 0;
}

// The last moment a bar covers: a daily key (time of day 000000) stands for
// its whole date, any other key for itself.
qint64 barEnd(qint64 key)
{
    return key > 0 && key % 1000000 == 0 ? key + 235959 : key;
}

qint64 timeField(const DQDUnionReader& r, unsigned int field)
{
    return r.getValue(field).toLongLong();
}

} // namespace

ZtLineLib_InfoBar::ZtLineLib_InfoBar()
    : m_pixQxxx(loadIcon(":/images/lineinfo_qxxx.png"))
    , m_pixGpgm(loadIcon(":/images/lineinfo_gpgm.png"))
    , m_pixDilei1(loadIcon(":/images/dilei1.png"))
    , m_pixDilei2(loadIcon(":/images/dilei2.png"))
{
    m_fixedPaddingTop = 22.0;
    m_fixedPaddingBottom = 8.0;
    // The prompt box is exactly as wide as its widest line; wrapping would
    // break that line and push the rest out of the box.
    m_textOption.setWrapMode(QTextOption::NoWrap);
}

ZtLineLib_InfoBar::~ZtLineLib_InfoBar() = default;

void ZtLineLib_InfoBar::addLineInfo(ShowLineInfoType type, DQDDataList list)
{
    m_infoData.insert(type, list);
    calculateChildMaps();
}

void ZtLineLib_InfoBar::clearLineInfo(ShowLineInfoType type)
{
    if (type == eLineInfoAll) {
        m_lineInfos.clear();
        m_infoData.clear();
        return;
    }
    auto it = m_infoData.find(type);
    if (it != m_infoData.end())
        it->DataClear();
    m_lineInfos.erase(std::remove_if(m_lineInfos.begin(), m_lineInfos.end(),
                                     [type](const LineInfo& info) { return info.type == type; }),
                      m_lineInfos.end());
}

// ---- placing ---------------------------------------------------------------

void ZtLineLib_InfoBar::calculateChildMaps()
{
    m_lineInfos.clear();
    if (!m_data)
        return;
    if (m_isDLine)
        buildDLine();
    else
        buildKLine();
}

// The hash has no order of its own; walking the types in ascending order makes
// the outcome (which of two equal-time events wins) repeatable.
QList<ZtLineLib_InfoBar::ShowLineInfoType> ZtLineLib_InfoBar::typesInOrder() const
{
    QList<ShowLineInfoType> types = m_infoData.keys();
    std::sort(types.begin(), types.end());
    return types;
}

qint64 ZtLineLib_InfoBar::lastPlacedKey() const
{
    return m_lineInfos.isEmpty() ? 0 : m_lineInfos.last().key;
}

void ZtLineLib_InfoBar::appendInfo(int type, int bar, qint64 key, const DQDUnionReader& e)
{
    LineInfo info;
    info.type = type;
    info.index = bar - m_dataShowIndex;
    info.key = key;
    info.record = e.copy();
    m_lineInfos.append(info);
}

// Record keys of one index span, read once per rebuild instead of once per
// event and bar (a key is parsed from text).
class ZtLineLib_InfoBar::KeyCache
{
public:
    KeyCache(const ZtLineLib_InfoBar& bar, int from, int to) : m_from(from)
    {
        for (int i = from; i <= to; ++i)
            m_keys.append(bar.keyAt(i));
    }
    // 0, like a record without data, outside the span.
    qint64 at(int i) const
    {
        const int k = i - m_from;
        return k >= 0 && k < m_keys.size() ? m_keys.at(k) : 0;
    }

private:
    int m_from;
    QVector<qint64> m_keys;
};

void ZtLineLib_InfoBar::buildKLine()
{
    // The window and one record on either side (the neighbours the rules read).
    const int count = m_data->count();
    const int from = int(std::max<qint64>(qint64(m_dataShowIndex) - 1, 0));
    // Never below from - 1: a window far left of the data would otherwise
    // wrap to a huge index in int and make the span billions long.
    const int to = int(std::max<qint64>(
        std::min<qint64>(qint64(m_dataShowIndex) + m_dataShowLength, count - 1), from - 1));
    const KeyCache keys(*this, from, to);
    for (ShowLineInfoType type : typesInOrder()) {
        const DQDDataList& events = m_infoData[type];
        for (int i = 0; i < events.count(); ++i) {
            const DQDUnionReader& e = *events.at(i);
            if (type == eLineInfoDividend || type == eLineInfoNotice)
                placeDated(type, e, keys);
            else if (type == eLineInfoLevel)
                placeLevel(e, keys);
        }
    }
}

// A dated event lands on the first shown bar whose date is not earlier than
// its own; an event with the time of the event placed just before is a
// duplicate and is dropped.
void ZtLineLib_InfoBar::placeDated(ShowLineInfoType type, const DQDUnionReader& e,
                                   const KeyCache& keys)
{
    const unsigned int field = type == eLineInfoDividend ? eFieldDividendTime : eFieldNoticeTime;
    const qint64 t = timeField(e, field);
    if (t <= 0 || lastPlacedKey() == t)
        return;
    const int count = m_data->count();
    const int first = m_dataShowIndex;
    const int last = int(std::max<qint64>(
        std::min<qint64>(qint64(first) + m_dataShowLength - 1, count - 1), 0));
    if (keys.at(last) < t || (first >= 1 && keys.at(first) > t))
        return;
    const qint64 d = dateOf(t);
    for (int b = first; b <= last && b < count; ++b) {
        const qint64 db = dateOf(keys.at(b));
        const qint64 dn = b + 1 < count ? dateOf(keys.at(b + 1)) : db;
        if (db == d || (db > d && dn >= d)) {
            appendInfo(type, b, t, e);
            return;
        }
    }
}

// A level event lands on the bar whose key interval (previous key, own key]
// holds its time, searching from the newest shown bar. A daily bar's key is
// its date at 00:00 but the bar covers the whole day, so an event at 10:30
// belongs to it rather than to the next day's bar. Before the first
// record the previous key is taken as 0, so an earlier event goes to the
// first bar, as dated events do when the window starts at the first record.
void ZtLineLib_InfoBar::placeLevel(const DQDUnionReader& e, const KeyCache& keys)
{
    const qint64 t = timeField(e, eFieldLevelTime);
    if (t <= 0)
        return;
    const int count = m_data->count();
    const int first = m_dataShowIndex;
    const int last = int(std::max<qint64>(
        std::min<qint64>(qint64(first) + m_dataShowLength - 1, count - 1), -1));
    if (last < 0 || barEnd(keys.at(last)) < t || (first >= 1 && keys.at(first) > t))
        return;
    for (int b = last; b >= first; --b) {
        const qint64 kb = keys.at(b);
        const qint64 kp = b > 0 ? barEnd(keys.at(b - 1)) : 0;
        if (t == kb || (kp < t && t <= barEnd(kb) && lastPlacedKey() != kb)) {
            appendInfo(eLineInfoLevel, b, t, e);
            return;
        }
    }
}

// Intraday events match a minute exactly by field 36020, whatever their type.
void ZtLineLib_InfoBar::buildDLine()
{
    const int count = m_data->count();
    for (ShowLineInfoType type : typesInOrder()) {
        const DQDDataList& events = m_infoData[type];
        if (events.count() == 0)
            continue;
        for (int d = 0; d < count; ++d) {
            const qint64 kd = keyAt(d);
            if (kd <= 0)
                continue;
            for (int i = 0; i < events.count(); ++i) {
                const DQDUnionReader& e = *events.at(i);
                const qint64 t = timeField(e, eFieldLevelTime);
                if (t == kd && lastPlacedKey() != t)
                    appendInfo(type, d, t, e);
            }
        }
    }
}

// ---- painting --------------------------------------------------------------

const QPixmap* ZtLineLib_InfoBar::pixmapFor(const LineInfo& info) const
{
    switch (info.type) {
    case eLineInfoDividend:
        return &m_pixQxxx;
    case eLineInfoNotice:
        return &m_pixGpgm;
    case eLineInfoLevel:
        return info.record.getValue(eFieldLevel).toLongLong() >= 2 ? &m_pixDilei2 : &m_pixDilei1;
    default:
        return nullptr;
    }
}

void ZtLineLib_InfoBar::FillChild(QPainter* painter)
{
    m_textOption.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    ZtPainterClipGuard clip(painter, m_rect);
    const int levelHalf = (m_isDLine ? m_pixDilei2.height() : m_crossPaddingTop) / 2;
    for (LineInfo& info : m_lineInfos) {
        const QPixmap* pix = pixmapFor(info);
        if (!pix)
            continue;
        // Events placed outside the window (an intraday list is matched in
        // full) are not shown, so they must not answer hit tests either.
        if (info.index < 0 || info.index >= m_dataShowLength) {
            info.x = info.y = info.width = info.height = 0;
            continue;
        }
        const double xu = info.index * m_pointW + m_drawLeft + m_barCentreOffset;
        // Clamped casts: NaN or huge paddings must not make them undefined.
        const int left = ztPixel(xu - pix->width() / 2);
        const int top = info.type == eLineInfoLevel
                            ? ztPixel(m_rect.top() + m_fixedPaddingTop - levelHalf)
                            : ztPixel(m_rect.bottom() - pix->height());
        painter->drawPixmap(left, top, *pix);
        info.x = left;
        info.y = top;
        info.width = pix->width();
        info.height = pix->height();
    }
}

// ---- hit tests and prompt --------------------------------------------------

namespace {

// An icon never painted has no rectangle and is never hit.
bool iconContains(const ZtLineLib_InfoBar::LineInfo& info, QPoint p)
{
    if (info.width <= 0 || info.height <= 0)
        return false;
    return info.x <= p.x() && p.x() <= info.x + info.width && info.y <= p.y()
           && p.y() <= info.y + info.height;
}

} // namespace

ZtLineLib_InfoBar::LineInfo ZtLineLib_InfoBar::FindLinfo(QPoint p)
{
    for (const LineInfo& info : qAsConst(m_lineInfos)) {
        if (iconContains(info, p))
            return info;
    }
    return LineInfo();
}

QList<ZtLineLib_InfoBar::LineInfo> ZtLineLib_InfoBar::FindLinfoList(QPoint p)
{
    QList<LineInfo> found;
    for (const LineInfo& info : qAsConst(m_lineInfos)) {
        if (iconContains(info, p))
            found.append(info);
    }
    return found;
}

// Two lines per event; the first event of a type without texts ends the list.
QString ZtLineLib_InfoBar::promptText(const QFontMetrics& fm, const QList<LineInfo>& infos,
                                      int* width, int* height) const
{
    QStringList lines;
    *width = 0;
    *height = 0;
    for (const LineInfo& info : infos) {
        QString line1;
        QString line2;
        if (info.type == eLineInfoDividend) {
            const qint64 t = timeField(info.record, eFieldDividendTime);
            const QString date = DataTrans::getDateTimeFromULL(quint64(std::max<qint64>(t, 0)))
                                     .toString(QStringLiteral("yyyy-MM-dd"));
            line1 = QStringLiteral("派息 : %1").arg(date);
            line2 = info.record.getValue(eFieldDividendText).toString();
        } else if (info.type == eLineInfoNotice) {
            line1 = info.record.getValue(eFieldNoticeText1).toString();
            line2 = info.record.getValue(eFieldNoticeText2).toString();
        } else {
            break;
        }
        lines << line1 << line2;
        *width = std::max({*width, fm.horizontalAdvance(line1), fm.horizontalAdvance(line2)});
        *height += 2 * fm.height();
    }
    return lines.join(QLatin1Char('\n'));
}

QRectF ZtLineLib_InfoBar::getPromptRect(const QFontMetrics& fm, const QList<LineInfo>& infos) const
{
    int w = 0;
    int h = 0;
    promptText(fm, infos, &w, &h);
    if (h == 0)
        return QRectF();
    const LineInfo& first = infos.first();
    QRectF box(first.x + m_pixQxxx.width() - 10, first.y - h - 5, w, h);
    // Near the right edge the box opens on the other side of the icon.
    if (box.right() > m_rect.right())
        box.moveLeft(first.x - (w + m_pixQxxx.width()));
    box.setBottom(box.bottom() - 2);
    return box;
}

void ZtLineLib_InfoBar::FillPrompt(QPainter* painter, QList<LineInfo> infos)
{
    if (!painter || infos.isEmpty())
        return;
    const QFontMetrics fm = painter->fontMetrics();
    int w = 0;
    int h = 0;
    const QString text = promptText(fm, infos, &w, &h);
    const QRectF box = getPromptRect(fm, infos);
    if (box.isNull())
        return;
    painter->fillRect(box, getThemePen(QStringLiteral("CrossCurveBackground")).brush());
    painter->setPen(getThemePen(QStringLiteral("CrossCurveText")));
    painter->drawText(box, text, m_textOption);
    painter->setPen(getThemePen(QStringLiteral("CrossCurveBorderPen")));
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(box);
}
