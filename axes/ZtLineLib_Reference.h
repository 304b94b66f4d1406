#pragma once

#include "ZtLineLibBase.h"

#include <QColor>
#include <QImage>
#include <QPen>
#include <QString>
#include <QFontMetricsF>
#include <QVector>

#include <vector>

// The value axis of a chart pane. The host gives it the pane's rectangle,
// paddings, data list, window and value range; it paints the value tags in
// the side paddings, tick stubs beside the drawing band, the horizontal grid,
// the band's frame and, for intraday charts, the bands of earlier days or of
// the call auction with their labels and a vertical time grid. Tag texts go
// through the value format language.
class ZTLINELIB_EXPORT ZtLineLib_Reference : public ZtLineLibBase
{
public:
    enum enumTagColorType {
        eTagColorKline = 0,  // pen of "Klinetag"
        eTagColorVol = 1,    // pen of "Vol"
        eTagColorByQnow = 2, // "Flat", "Up" or "Down" against m_qnowData
        eTagColorBySign = 3, // "Flat", "Up" or "Down" by the sign of the value
    };

    // One tag of the last paint, for hosts that lay out their own boxes next
    // to the axis (and for checking the axis without reading pixels).
    struct PaintedTag {
        double value = 0;     // the value handed to the tag, before scaling
        double y = 0;         // centre line of the tag in painter coordinates
        QString text;         // main text; empty for a percent-only tag
        QString percentText;  // secondary percent text, empty when not drawn
        QColor color;         // colour of the pen the texts were drawn with
        bool scalingBox = false; // the "X<scaling>" box that replaced the bottom tag
    };

    ZtLineLib_Reference();
    ZtLineLib_Reference(const ZtLineLib_Reference&) = default;
    ZtLineLib_Reference(ZtLineLib_Reference&&) = default;
    ZtLineLib_Reference& operator=(const ZtLineLib_Reference&) = default;
    ZtLineLib_Reference& operator=(ZtLineLib_Reference&&) = default;
    ~ZtLineLib_Reference();

    bool getBinaryStyleEnable() const { return m_binaryStyleEnable; }
    void setBinaryStyleEnable(bool on) { m_binaryStyleEnable = on; }
    int getDataBoxHeight() const { return m_dataBoxHeight; }
    void setDataBoxHeight(int h) { m_dataBoxHeight = h; }
    bool getDataScalingEnable() const { return m_dataScalingEnable; }
    void setDataScalingEnable(bool on) { m_dataScalingEnable = on; }
    bool getLeftPercentEnable() const { return m_leftPercentEnable; }
    void setLeftPercentEnable(bool on) { m_leftPercentEnable = on; }
    bool getMainValueOnRight() const { return m_mainValueOnRight; }
    void setMainValueOnRight(bool on) { m_mainValueOnRight = on; }
    int getMaxTagLineCount() const { return m_maxTagLineCount; }
    void setMaxTagLineCount(int n) { m_maxTagLineCount = n; }
    bool getRightPercentTagEnable() const { return m_rightPercentTagEnable; }
    void setRightPercentTagEnable(bool on) { m_rightPercentTagEnable = on; }
    double minTagSpace() const { return m_minTagSpace; }
    void setMinTagSpace(double space) { m_minTagSpace = space; }
    int stubWidth() const { return m_stubWidth; }
    void setStubWidth(int w) { m_stubWidth = w; }
    QImage getImgJHJJ_close() const { return m_imgJHJJ_close; }
    void setTagColorType(const enumTagColorType& type) { m_tagColorType = type; }

    // Adds v to the top padding (each call adds again).
    void setCrossPaddingTop(int v);
    // The look of the intraday chart: grid-coloured frame, no stubs and a
    // vertical time grid every 30 and 120 minutes. Turning it off only
    // records the flag.
    void setStyleToDyna(bool on);

    // The value at pixel row y on the axis's scale (linear or logarithmic),
    // scaled and with m_prec decimals; on a percent axis the signed change
    // against the first shown open.
    QString getAxisYDataString(int y);

    // The tags of the last paint, top tag first.
    QVector<PaintedTag> paintedTags() const;

    // Rounding half up at p decimals, nudged away from representation error.
    static double roundToPrec(double x, int p);
    // The value's shortest text cut after p decimals and read back.
    static double truncateToPrec(double x, int p);

protected:
    // What one paint looks up once and every tag shares.
    struct PaintContext {
        QPen up;
        QPen down;
        QPen flat;
        QPen klineTag;
        QPen vol;
        QFontMetricsF metrics{QFont()};
        Qt::Alignment mainAlignment;
        Qt::Alignment secondaryAlignment;
        QString valueFormat;
        QString zeroFormat;
        double open = 0;        // rounded open of the first shown record
        double qnowRounded = 0; // m_qnowData rounded to m_prec
        bool rangeSet = false;
    };

    void FillChild(QPainter* painter) override;
    PaintContext makePaintContext(const QPainter* painter) const;

    void drawTag(QPainter* painter, const PaintContext& ctx, const QRectF& mainRect,
                 const QRectF& secondaryRect, enumTagColorType type, double value,
                 bool withMainText = true);
    void drawStubs(QPainter* painter, double left, double y, double right);
    // Text at a point computed from the rectangle and alignment: the
    // rectangle forms of drawText lay text out and clip it for every call,
    // which costs several times more.
    static void drawAligned(QPainter* painter, const QFontMetricsF& metrics, const QRectF& rect,
                            const QString& text, Qt::Alignment alignment);

    enumTagColorType m_tagColorType = eTagColorKline;
    int m_stubWidth = 2;
    double m_minTagSpace = 60.0;
    int m_maxTagLineCount = 7;
    int m_tagTextMargin = 2;
    bool m_dataScalingEnable = false;
    bool m_rightPercentTagEnable = false;
    bool m_leftPercentEnable = false;
    bool m_binaryStyleEnable = false;
    bool m_mainValueOnRight = false;
    int m_dataBoxHeight = 15;
    QPen m_dynaTagPen;
    QPen m_framePen;
    QPen m_stubPen;
    bool m_vGridEnable = false;
    int m_vGridMajorStep = 0;
    int m_vGridMinorStep = 0;
    bool m_stubsEnable = true;
    bool m_styleDyna = false;
    QImage m_imgJHJJ_close;

private:
    // A scaling of 0 means none: dividing by it would print inf or nan.
    double scalingDivisor() const { return m_dataScaling == 0 ? 1.0 : m_dataScaling; }
    bool rangeIsSet() const;
    void paintBackground(QPainter* painter, double yTop, double yBottom);
    void paintScalingBox(QPainter* painter, const PaintContext& ctx);
    void paintVerticalGrid(QPainter* painter, const QPen& pen, int step, double yTop,
                           double yBottom);
    void paintDayLabels(QPainter* painter, double yTop);

    std::vector<PaintedTag> m_paintedTags;

    // Recent tag texts of the value format language, oldest first.
    struct FormattedValue
    {
        quint64 bits;
        QString format;
        QString text;
    };
    QString formattedValue(double value, const QString& format) const;
    QString percentAtValue(double value);
    mutable std::vector<FormattedValue> m_formatted;
};
