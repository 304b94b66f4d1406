#pragma once

#include "ZtLineLibGlobal.h"

#include <QLine>
#include <QList>
#include <QPoint>
#include <QRectF>
#include <QString>
#include <QTextOption>

class QPainter;
class ZtLineLib_Formula;
class ZtLineLib_Reference;
class ZtLineLib_Scaleplate;

// The crosshair over a chart: a vertical line through the item under the
// mouse in every pane, a horizontal line at the mouse height, a value box on
// each registered value axis and a time box on each registered time axis.
// The axes are the host's; the crosshair only keeps pointers to them, so the
// host unregisters an axis before destroying it.
class ZTLINELIB_EXPORT ZtLineCrossCurve
{
public:
    // A box of the last Fill, for hosts that lay out around it (and for
    // checking the crosshair without reading pixels).
    struct ValueBox
    {
        ZtLineLib_Reference* axis = nullptr;
        QRectF rect;
        QString text;
    };
    struct TimeBox
    {
        ZtLineLib_Scaleplate* axis = nullptr;
        QRectF rect;
        QString text;
    };

    ZtLineCrossCurve();
    ZtLineCrossCurve(const ZtLineCrossCurve&) = default;
    ZtLineCrossCurve(ZtLineCrossCurve&&) = default;
    ZtLineCrossCurve& operator=(const ZtLineCrossCurve&) = default;
    ZtLineCrossCurve& operator=(ZtLineCrossCurve&&) = default;
    ~ZtLineCrossCurve();

    // Registering an axis that is already registered changes nothing.
    void appendRefrenc(ZtLineLib_Reference* reference);
    void appendScaleplate(ZtLineLib_Scaleplate* scaleplate);
    // True when the axis was registered; the axis itself is left alone.
    bool deleteRefrenc(ZtLineLib_Reference* reference);
    bool deleteScaleplate(ZtLineLib_Scaleplate* scaleplate);
    void clearRefrenc();
    void clearScaleplate();
    void clear();

    void setCroMouseEnable(bool enable) { m_croMouseEnable = enable; }
    void setDrawLineEnable(bool enable) { m_drawLineEnable = enable; }
    void setDrawHLine(bool draw) { m_drawHLine = draw; }
    void setCrossPaddingTop(int padding) { m_crossPaddingTop = padding; }
    void setTooltipMarginForScaleplateBtns(int margin) { m_tooltipMarginForScaleplateBtns = margin; }
    int getTooltipMarginForScaleplateBtns() const { return m_tooltipMarginForScaleplateBtns; }

    // Draws the crosshair at item dataIndex (absolute; clamped to the pane's
    // last item with data) and mouse height pos.y. The cross follows the
    // item's centre, not the mouse x.
    void Fill(QPainter* painter, QPoint pos, int dataIndex, ZtLineLib_Formula* pane);

    // What the last Fill drew: boxes in drawing order, and the cross lines.
    QList<ValueBox> lastValueBoxes() const { return m_lastValueBoxes; }
    QList<TimeBox> lastTimeBoxes() const { return m_lastTimeBoxes; }
    QList<QLine> lastLines() const { return m_lastLines; }

private:
    void fillReference(QPainter* painter, ZtLineLib_Reference* r, QPoint pos, int x);
    void fillScaleplate(QPainter* painter, ZtLineLib_Scaleplate* s, int idx, int x);
    void drawBox(QPainter* painter, const QRectF& box, const QString& text);
    void drawLine(QPainter* painter, const QLine& line);

    QList<ZtLineLib_Reference*> m_references;
    QList<ZtLineLib_Scaleplate*> m_scaleplates;
    bool m_croMouseEnable = false;
    bool m_drawLineEnable = false;
    int m_crossPaddingTop = 0;
    QTextOption m_textOption;
    int m_tooltipMarginForScaleplateBtns = 0;
    bool m_drawHLine = false;

    QList<ValueBox> m_lastValueBoxes;
    QList<TimeBox> m_lastTimeBoxes;
    QList<QLine> m_lastLines;
};
