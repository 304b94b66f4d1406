#pragma once

#include "ZtLineLibGlobal.h"

#include <DQDDataList.h>

#include <QFont>
#include <QSize>
#include <QPen>
#include <QPoint>
#include <QRectF>
#include <QString>

class QPainter;

enum enumCoordinateSystem {
    eLinear = 0,
    eLogarithmic = 1,
};

// The base of every chart element: rectangle and paddings, a non-owning
// pointer to the host's data list, the data window, the value range and the
// pixel geometry derived from them. Pixel positions are computed in doubles
// and truncated toward zero.
class ZTLINELIB_EXPORT ZtLineLibBase
{
public:
    ZtLineLibBase(const ZtLineLibBase&) = default;
    ZtLineLibBase(ZtLineLibBase&&) = default;
    ZtLineLibBase& operator=(const ZtLineLibBase&) = default;
    ZtLineLibBase& operator=(ZtLineLibBase&&) = default;
    ~ZtLineLibBase();

    virtual void SetMaxMinValue(double max, double min);
    virtual QString getAxisXFirstDataString();
    virtual QString getAxisXLastDataString();
    // The item under x, relative to the data window (−1 for none); outside
    // the rectangle the first or last shown item with data.
    virtual int getAxisXDataIndex(int x, bool skipEmpty);
    virtual bool checkAxisContainsPos(QPoint p);
    virtual int getAxisXFirstDataIndex();
    virtual int getAxisXLastDataIndex();

protected:
    virtual void calculateChildMaps();
    virtual QString getChildDataString(int index);
    virtual void FillChild(QPainter* painter) = 0;
    virtual void resetMaxMinValue();
    virtual void setPointSize();

public:
    int dataShowIndex() const { return m_dataShowIndex; }
    void setDataShowIndex(int index) { m_dataShowIndex = index; }
    int dataShowLength() const { return m_dataShowLength; }
    void setDataShowLength(int length) { m_dataShowLength = length; }

    double fixedPaddingTop() const { return m_fixedPaddingTop; }
    double fixedPaddingBottom() const { return m_fixedPaddingBottom; }
    double fixedPaddingLeft() const { return m_fixedPaddingLeft; }
    double fixedPaddingRight() const { return m_fixedPaddingRight; }
    void setFixedPaddingTop(double v) { m_fixedPaddingTop = v; }
    void setFixedPaddingBottom(double v) { m_fixedPaddingBottom = v; }
    void setFixedPaddingLeft(double v) { m_fixedPaddingLeft = v; }
    void setFixedPaddingRight(double v) { m_fixedPaddingRight = v; }

    double getPointW() const { return m_pointW; }
    double getPointH() const { return m_pointH; }

    int getPrec() const { return m_prec; }
    void setPrec(int prec) { m_prec = prec; }
    int getDataScaling() const { return m_dataScaling; }
    void setDataScaling(int scaling) { m_dataScaling = scaling; }
    enumCoordinateSystem getCoordinateSystem() const { return m_coordinateSystem; }
    void setCoordinateSystem(const enumCoordinateSystem& system) { m_coordinateSystem = system; }

    bool getDrawMaxMinTag() const { return m_drawMaxMinTag; }
    void setDrawMaxMinTag(bool draw) { m_drawMaxMinTag = draw; }
    bool getIsMainChat() const { return m_isMainChat; }
    void setIsMainChat(bool main) { m_isMainChat = main; }
    bool getIsDLine() const { return m_isDLine; }
    void setIsDLine(bool dline) { m_isDLine = dline; }
    bool getShowJHJJ() const { return m_showJHJJ; }
    void setShowJHJJ(bool show) { m_showJHJJ = show; }
    int getShowDRFS() const { return m_showDRFS; }
    void setShowDRFS(int days) { m_showDRFS = days; }

    QPen getPen() const { return m_pen; }
    void setPen(const QPen& pen) { m_pen = pen; }
    QRectF getRect() const { return m_rect; }
    void setRect(QRectF rect) { m_rect = rect; }
    void setRect(int x, int y, int w, int h) { m_rect = QRectF(QRect(x, y, w, h)); }

    double maxReference() const { return m_maxValue; }
    double minReference() const { return m_minValue; }
    void setQnowData(double value) { m_qnowData = value; }

    void setData(ZtUIDataStruct::DQDDataList* data) { m_data = data; }

    // ---- the data window and live updates -----------------------------------
    // Sets the data window and recomputes the pixel geometry and what the
    // records and the window require.
    // dataUnchanged = false (the default): every line is recomputed from the
    //   records, as a host that calls setRange after any data change expects.
    // dataUnchanged = true: the host promises the records are as at the
    //   element's last computation, except what it announced with
    //   recordsChanged() / recordsAppended(). The element then recomputes only
    //   the tail from the first announced record and re-derives what depends
    //   on the window (the value range over the shown items, the geometry).
    //   Records beyond the last computed count count as appended even when not
    //   announced. With nothing computed yet, another data list, or another
    //   type, parameters or precision, it computes everything.
    // Announcements take effect at the next setRange (either form), which
    // consumes them. A quote callback:
    //     list->append(...) or edit record k;
    //     pane.recordsAppended();        // or pane.recordsChanged(k)
    //     pane.SetMaxMinValue(kZtNoValue, kZtNoValueMax);
    //     pane.setRange(first, shown, true);
    void setRange(int index, int length, bool dataUnchanged = false);
    // Records from `from` on changed: a tick on the last record is count − 1,
    // an edit of record k is k, a replaced list is 0. Several calls before the
    // next setRange keep the smallest; a negative from counts as 0.
    void recordsChanged(int from);
    // Records were appended after those the element last computed (on an
    // intraday list: slots after the last one with data were filled).
    void recordsAppended();
    int dataLength() const;
    ZtUIDataStruct::DQDUnionReader* getDataByIndex(int i) const;

    double getX(int i) const;
    double getY(double value) const;

    QString getDataString(int index);
    QString getAxisXDataString(int x);

    void Fill(QPainter* painter);

protected:
    ZtLineLibBase();

    // The record key of item i as a number; 0 when there is no such record.
    qint64 keyAt(int i) const;

    // During setRange: whether the host promised unchanged records, and the
    // first record it announced as changed (kZtNoChange for none). An element
    // that keeps nothing between computations ignores both.
    static constexpr int kZtNoChange = 0x7fffffff;
    bool rangeDataUnchanged() const { return m_rangeDataUnchanged; }
    int announcedChangeFrom() const { return m_changedFrom; }
    // Whether recordsAppended() was called since the last setRange.
    bool recordsWereAppended() const { return m_appended; }

    ZtUIDataStruct::DQDDataList* m_data = nullptr;
    QFont m_font;
    QRectF m_rect;
    QPen m_pen;
    double m_qnowData = kZtNoValue;
    bool m_drawMaxMinTag = false;
    bool m_isMainChat = false;
    bool m_isDLine = false;
    bool m_showJHJJ = false;
    int m_showDRFS = 1;
    double m_cjkHalfWidth = 0;
    double m_fontHeight = 0;
    double m_digitWidth = 0;
    double m_digitHeight = 0;
    // The font and resolution the four sizes above were measured for.
    QSize m_fontSizesDpi;
    bool m_fontSizesValid = false;
    enumCoordinateSystem m_coordinateSystem = eLinear;
    double m_maxValue = kZtNoValue;
    double m_minValue = kZtNoValueMax;
    int m_dataScaling = 1;
    int m_prec = 0;
    double m_fixedPaddingTop = 0;
    double m_fixedPaddingBottom = 0;
    double m_fixedPaddingLeft = 0;
    double m_fixedPaddingRight = 0;
    double m_maxPointW = 2100.0;
    double m_pointW = 0;
    double m_pointH = 0;
    double m_drawLeft = 0;
    double m_drawRight = 0;
    int m_barBodyWidth = 0;
    int m_barGap = 0;
    int m_barCentreOffset = 0;
    int m_dataShowIndex = 0;
    int m_dataShowLength = 0;

private:
    void setPointSizeAcross();
    // What the horizontal geometry was last made from: SetMaxMinValue and
    // setRange both make it on every scroll step, mostly from the same.
    struct AcrossInputs
    {
        double left, width, paddingLeft, paddingRight, maxPointW;
        int length;
        bool operator==(const AcrossInputs& o) const
        {
            return left == o.left && width == o.width && paddingLeft == o.paddingLeft
                   && paddingRight == o.paddingRight && maxPointW == o.maxPointW && length == o.length;
        }
    };
    AcrossInputs m_across{};
    bool m_acrossMade = false;
    bool m_rangeDataUnchanged = false;
    bool m_appended = false;
    int m_changedFrom = kZtNoChange;
};
