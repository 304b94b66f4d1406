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
    // Sets the data window and recomputes geometry and content. The bool is
    // accepted for compatibility and not used.
    void setRange(int index, int length, bool = false);
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
};
