#pragma once

#include "ZtLineLibBase.h"

#include <QList>
#include <QPen>
#include <QPixmap>
#include <QString>
#include <QVector>

#include <vector>

// The time axis under a chart: date labels of the shown items, each with a
// short tick at the top edge, or a fixed set of labels at fixed positions.
// It shares the data list and window of the pane above it.
//
// The axis renders once into a cached picture and copies that picture on
// every later paint; setRange (through calculateChildMaps) drops it. Setters
// of formats, pens and fixed labels do not: their changes show after the
// next setRange.
//
// The picture is drawn with its top-left corner at the painter's origin and
// holds the rectangle's coordinates unchanged. A host therefore paints the
// axis through a painter translated to the axis strip, with a rectangle
// whose top is 0 in that painter, e.g.
//     painter.save();
//     painter.translate(0, stripTop);
//     scaleplate.Fill(&painter); // rect (left, 0, width, stripHeight)
//     painter.restore();
class ZTLINELIB_EXPORT ZtLineLib_Scaleplate : public ZtLineLibBase
{
public:
    // A label of the cached picture, for hosts that place their own marks
    // against the axis (and for checking it without reading pixels).
    struct DrawnLabel {
        enum enumKind { eMain, eMaster, eSub, eFixed };
        QString text;
        double x = 0;     // left edge of the text
        int width = 0;    // text width in the font
        enumKind kind = eMain;
        int item = -1;    // relative index of the item; -1 for fixed labels
    };

    ZtLineLib_Scaleplate();
    ZtLineLib_Scaleplate(const ZtLineLib_Scaleplate&) = default;
    ZtLineLib_Scaleplate(ZtLineLib_Scaleplate&&) = default;
    ZtLineLib_Scaleplate& operator=(const ZtLineLib_Scaleplate&) = default;
    ZtLineLib_Scaleplate& operator=(ZtLineLib_Scaleplate&&) = default;
    ~ZtLineLib_Scaleplate();

    QString dateFormat() const { return m_dateFormat; }
    void setDateFormat(const QString& format) { m_dateFormat = format; }
    QString getMastDateFormat() const { return m_mastDateFormat; }
    void setMastDateFormat(const QString& format) { m_mastDateFormat = format; }
    QString getSubDateFormat() const { return m_subDateFormat; }
    void setSubDateFormat(const QString& format) { m_subDateFormat = format; }
    QString tagDateFormat() const { return m_tagDateFormat; }
    void setTagDateFormat(const QString& format) { m_tagDateFormat = format; }
    int minSpaceWidth() const { return m_minSpaceWidth; }
    void setMinSpaceWidth(int w) { m_minSpaceWidth = w; }
    int stubHeight() const { return m_stubHeight; }
    void setStubHeight(int h) { m_stubHeight = h; }
    int textTagMarginW() const { return m_textTagMarginW; }
    void setTextTagMarginW(int w) { m_textTagMarginW = w; }
    int getDataBoxWidth() const { return m_dataBoxWidth; }
    void setDataBoxWidth(int w) { m_dataBoxWidth = w; }
    int getFixedAlignment() const { return m_fixedAlignment; }
    void setFixedAlignment(int alignment) { m_fixedAlignment = alignment; }
    // The pen of the main and fixed labels (the base's pen is left alone).
    void setPen(const QPen& pen) { m_textPen = pen; }

    // Fixed labels: texts and their item positions, relative to the first
    // shown item. Texts without a position are spread over the window.
    ZtLineLib_Scaleplate& operator<<(const QString& text);
    ZtLineLib_Scaleplate& operator<<(const int& index);
    void clearFixedTags();

    // The time axis has no first or last value text of its own.
    QString getAxisXFirstDataString() override;
    QString getAxisXLastDataString() override;

    // The labels in the cached picture; empty while there is none.
    QVector<DrawnLabel> drawnLabels() const;
    bool hasCachedPicture() const { return m_axisPixmap.valid; }

protected:
    void calculateChildMaps() override;
    QString getChildDataString(int index) override;
    void FillChild(QPainter* painter) override;

    // The rendered axis with the labels in it. A copied axis starts without
    // a picture and renders its own; a moved one takes the picture along.
    struct CachedPicture {
        QPixmap pixmap;
        std::vector<DrawnLabel> labels;
        bool valid = false;

        CachedPicture() = default;
        CachedPicture(const CachedPicture&) {}
        CachedPicture(CachedPicture&& other) noexcept { take(other); }
        CachedPicture& operator=(const CachedPicture& other)
        {
            if (this != &other)
                clear();
            return *this;
        }
        CachedPicture& operator=(CachedPicture&& other) noexcept
        {
            if (this != &other)
                take(other);
            return *this;
        }
        void clear()
        {
            pixmap = QPixmap();
            labels.clear();
            valid = false;
        }
        void take(CachedPicture& other)
        {
            pixmap.swap(other.pixmap);
            labels.swap(other.labels);
            valid = other.valid;
            other.clear();
        }
    };

    QString m_dateFormat = QStringLiteral("MM");
    QString m_mastDateFormat;
    QString m_subDateFormat;
    QString m_tagDateFormat = QStringLiteral("yyyy-MM-dd");
    int m_minSpaceWidth = 50;
    int m_stubHeight = 2;
    int m_textTagMarginW = 2;
    int m_textTopOffset = 0;
    int m_dataBoxWidth = 78;
    QList<QString> m_fixedTagTexts;
    QList<int> m_fixedTagIndices;
    int m_fixedAlignment = 0;
    QPen m_textPen;
    QPen m_mastTextPen;
    QPen m_subTextPen;
    CachedPicture m_axisPixmap;

private:
    struct LabelTexts {
        QString main;
        QString mast;
        QString sub;
    };

    void render(QPainter* target);
    void paintFixedLabels(QPainter* p, double xBase, const QRectF& band);
    void paintDateLabels(QPainter* p, double xBase, const QRectF& band);
    LabelTexts labelTextsAt(int index, bool withSub, bool zoneNames) const;
};
