#pragma once

#include "ZtLineLibBase.h"

#include <DQDDataList.h>
#include <DQDUnionReader.h>

#include <QHash>
#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QTextOption>

class QFontMetrics;

// The row of event icons over the price chart: dividend events, dated
// notices and level events, each placed on the bar (or minute) it belongs to.
// The host hands over one event list per type; the element keeps copies.
// Icon rectangles are stored while painting, so the hit tests answer for
// what was last drawn.
class ZTLINELIB_EXPORT ZtLineLib_InfoBar : public ZtLineLibBase
{
public:
    enum ShowLineInfoType {
        eLineInfoAll = 0,       // only as argument of clearLineInfo
        eLineInfoDividend = 2,  // time 34010, text 34060
        eLineInfoLevel = 4,     // time 36020, level 36060
        eLineInfoNotice = 8,    // time 42020, texts 42040 / 42050
    };

    // One placed event. x, y, width and height are those of the painted
    // icon and stay 0 until the icon is painted.
    class LineInfo
    {
    public:
        int type = 0;
        int x = 0;
        int y = 0;
        int width = 0;
        int height = 0;
        int index = 0;  // position of the event's bar within the data window
        qint64 key = 0; // the event's time value
        ZtUIDataStruct::DQDUnionReader record;
    };

    ZtLineLib_InfoBar();
    ZtLineLib_InfoBar(const ZtLineLib_InfoBar&) = default;
    ZtLineLib_InfoBar(ZtLineLib_InfoBar&&) = default;
    ZtLineLib_InfoBar& operator=(const ZtLineLib_InfoBar&) = default;
    ZtLineLib_InfoBar& operator=(ZtLineLib_InfoBar&&) = default;
    ~ZtLineLib_InfoBar();

    // Replaces the event list of a type with a copy of list and re-places
    // the events.
    void addLineInfo(ShowLineInfoType type, ZtUIDataStruct::DQDDataList list);
    // Type 0 forgets everything; another type empties its list and drops its
    // placed events (the others keep their order). Nothing is re-placed.
    void clearLineInfo(ShowLineInfoType type);
    void setCrossPaddingTop(int padding) { m_crossPaddingTop = padding; }

    // The first painted icon containing p, edges included; a LineInfo of
    // type 0 and key 0 when none does.
    LineInfo FindLinfo(QPoint p);
    // Every painted icon containing p, in placing order.
    QList<LineInfo> FindLinfoList(QPoint p);
    // Paints the prompt box with the texts of infos (dividends and notices)
    // above the first info's icon.
    void FillPrompt(QPainter* painter, QList<LineInfo> infos);
    // Where FillPrompt puts its box for infos with the given font; a null
    // rectangle when there is nothing to show. Lets the host repaint just
    // that area.
    QRectF getPromptRect(const QFontMetrics& fm, const QList<LineInfo>& infos) const;

    // The placed events, with their icon rectangles after a paint.
    QList<LineInfo> lineInfos() const { return m_lineInfos; }

protected:
    void calculateChildMaps() override;
    void FillChild(QPainter* painter) override;

private:
    class KeyCache;

    void buildKLine();
    void buildDLine();
    void placeDated(ShowLineInfoType type, const ZtUIDataStruct::DQDUnionReader& e,
                    const KeyCache& keys);
    void placeLevel(const ZtUIDataStruct::DQDUnionReader& e, const KeyCache& keys);
    void appendInfo(int type, int bar, qint64 key, const ZtUIDataStruct::DQDUnionReader& e);
    qint64 lastPlacedKey() const;
    QList<ShowLineInfoType> typesInOrder() const;
    const QPixmap* pixmapFor(const LineInfo& info) const;
    QString promptText(const QFontMetrics& fm, const QList<LineInfo>& infos,
                       int* width, int* height) const;

    QHash<ShowLineInfoType, ZtUIDataStruct::DQDDataList> m_infoData;
    QList<LineInfo> m_lineInfos;
    QPixmap m_pixQxxx;
    QPixmap m_pixGpgm;
    QPixmap m_pixDilei1;
    QPixmap m_pixDilei2;
    int m_crossPaddingTop = 0;
    QTextOption m_textOption;
};
