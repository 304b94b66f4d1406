// Renders a price pane of the sample daily bars to <out>/demo.png, with the
// event icons of data/sh600000_events.csv and the crosshair on a dividend bar.
//
// Usage: ztdemo <output folder> [daily bar file]

#include <ZtLineLib.h>

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>

using namespace ZtUIDataStruct;

namespace {

// A minimal candle pane on the element base, until the indicator pane takes
// over: the range spans the shown highs and lows, rising candles are hollow
// red, falling ones solid green.
class CandlePane : public ZtLineLibBase
{
protected:
    void calculateChildMaps() override
    {
        double high = kZtNoValue;
        double low = kZtNoValueMax;
        for (int i = m_dataShowIndex; i < m_dataShowIndex + m_dataShowLength; ++i) {
            const DQDUnionReader* r = getDataByIndex(i);
            if (!r || keyAt(i) <= 0)
                continue;
            high = std::max(high, r->getValue(eFieldHigh).toDouble());
            low = std::min(low, r->getValue(eFieldLow).toDouble());
        }
        SetMaxMinValue(high, low);
    }

    QString getChildDataString(int index) override
    {
        const DQDUnionReader* r = getDataByIndex(index);
        if (!r)
            return QString();
        const quint64 time = r->getValue(eFieldDateTime).toULongLong();
        return DataTrans::getDateTimeFromULL(time).toString(QStringLiteral("yyyy-MM-dd"));
    }

    void FillChild(QPainter* painter) override
    {
        for (int i = 0; i < m_dataShowLength; ++i) {
            const DQDUnionReader* r = getDataByIndex(m_dataShowIndex + i);
            if (r && keyAt(m_dataShowIndex + i) > 0)
                drawCandle(painter, i, *r);
        }
    }

private:
    void drawCandle(QPainter* painter, int i, const DQDUnionReader& r)
    {
        const double open = r.getValue(eFieldOpen).toDouble();
        const double close = r.getValue(eFieldClose).toDouble();
        const bool rising = close > open || (close == open && r.getValue(eFieldChange).toDouble() >= 0);
        const QPen pen = getThemePen(rising ? QStringLiteral("KUp") : QStringLiteral("KDown"),
                                     Qt::SolidLine);
        painter->setPen(pen);
        const int x = int(getX(i));
        const int yHigh = int(getY(r.getValue(eFieldHigh).toDouble()));
        const int yLow = int(getY(r.getValue(eFieldLow).toDouble()));
        const int yTop = int(getY(std::max(open, close)));
        const int yBottom = int(getY(std::min(open, close)));
        if (m_barBodyWidth < 3) {
            painter->drawLine(x, yHigh, x, yLow);
            return;
        }
        const int left = x - (m_barBodyWidth - 1) / 2;
        painter->drawLine(x, yHigh, x, yTop);
        painter->drawLine(x, yBottom, x, yLow);
        if (rising) {
            painter->setBrush(Qt::NoBrush);
            painter->drawRect(left, yTop, m_barBodyWidth - 1, std::max(yBottom - yTop, 1));
        } else {
            painter->fillRect(left, yTop, m_barBodyWidth, std::max(yBottom - yTop, 1) + 1,
                              pen.color());
        }
    }
};


// The overlays: event icons over the candles with the prompt of the newest
// dividend open, and the crosshair on that dividend's bar. The crosshair
// follows the item layout of an indicator pane laid out like the candles.
void drawOverlays(QPainter* painter, DQDDataList* bars, const ZtLineLibBase& candles,
                  ZtLineLib_Reference* axis, ZtLineLib_Scaleplate* timeAxis, QPointF timeOrigin)
{
    QMap<int, DQDDataList> events;
    QString error;
    if (!EventLoader::loadEvents(QStringLiteral(ZT_DATA_DIR "/sh600000_events.csv"), &events,
                                 &error)) {
        std::fprintf(stderr, "ztdemo: %s\n", qPrintable(error));
        return;
    }
    ZtLineLib_InfoBar infoBar;
    infoBar.setRect(candles.getRect());
    infoBar.setFixedPaddingLeft(candles.fixedPaddingLeft());
    infoBar.setFixedPaddingRight(candles.fixedPaddingRight());
    infoBar.setData(bars);
    infoBar.setRange(candles.dataShowIndex(), candles.dataShowLength());
    for (int type : events.keys())
        infoBar.addLineInfo(ZtLineLib_InfoBar::ShowLineInfoType(type), events.value(type));
    infoBar.Fill(painter);

    int dividend = -1;
    QList<ZtLineLib_InfoBar::LineInfo> prompt;
    for (const auto& info : infoBar.lineInfos()) {
        if (info.type == ZtLineLib_InfoBar::eLineInfoDividend) {
            dividend = candles.dataShowIndex() + info.index;
            prompt = infoBar.FindLinfoList(QPoint(info.x, info.y));
        }
    }
    if (dividend < 0)
        return;

    ZtLineLib_Formula layout;
    layout.setRect(candles.getRect());
    layout.setFixedPaddingLeft(candles.fixedPaddingLeft());
    layout.setFixedPaddingRight(candles.fixedPaddingRight());
    layout.setData(bars);
    layout.setRange(candles.dataShowIndex(), candles.dataShowLength());
    ZtLineCrossCurve cross;
    cross.setCroMouseEnable(true);
    cross.setDrawLineEnable(true);
    cross.setDrawHLine(true);
    cross.appendRefrenc(axis);
    const QPoint mouse(0, int(candles.getRect().center().y()));
    cross.Fill(painter, mouse, dividend, &layout);

    // The time axis lives in its own strip at timeOrigin; so does its box.
    ZtLineLib_Formula stripLayout = layout;
    stripLayout.setRect(candles.getRect().translated(-timeOrigin.x(), 0));
    stripLayout.setRange(candles.dataShowIndex(), candles.dataShowLength());
    timeAxis->setDataBoxWidth(painter->fontMetrics().horizontalAdvance(QStringLiteral("2024-07-18")) + 8);
    ZtLineCrossCurve timeCross;
    timeCross.setCroMouseEnable(true);
    timeCross.appendScaleplate(timeAxis);
    painter->save();
    painter->translate(timeOrigin);
    timeCross.Fill(painter, mouse, dividend, &stripLayout);
    painter->restore();

    infoBar.FillPrompt(painter, prompt);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: ztdemo <output folder> [daily bar file]\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const QString barFile = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                     : QStringLiteral(ZT_DATA_DIR "/sh600000_day.csv");

    DQDDataList bars;
    QString error;
    if (!QuoteLoader::loadBars(barFile, &bars, &error)) {
        std::fprintf(stderr, "ztdemo: %s\n", qPrintable(error));
        return 1;
    }

    QImage image(1200, 600, QImage::Format_ARGB32_Premultiplied);
    image.fill(getThemePen(QStringLiteral("Background")).color());
    QPainter painter(&image);

    // The pane area: tag column on the left, the time axis strip below.
    // The value axis takes the whole area with its paddings; the candles
    // take the band between those paddings, so both map a value to the
    // same row.
    const QRect frame(10, 30, 1180, 560);
    const int timeAxisHeight = 24;
    const QRectF area(frame.left() + 1, frame.top() + 1, frame.width() - 2,
                      frame.height() - 2 - timeAxisHeight);
    ZtLineLib_Reference axis;
    axis.setRect(area);
    axis.setFixedPaddingLeft(64);
    axis.setFixedPaddingRight(8);
    axis.setFixedPaddingBottom(12);
    axis.setPrec(2);
    axis.setData(&bars);

    CandlePane pane;
    pane.setRect(area.adjusted(0, axis.fixedPaddingTop(), 0, -axis.fixedPaddingBottom()));
    pane.setFixedPaddingLeft(axis.fixedPaddingLeft());
    pane.setFixedPaddingRight(axis.fixedPaddingRight());
    pane.setData(&bars);
    const int shown = std::min(120, bars.count());
    const int first = bars.count() - shown;
    pane.setRange(first, shown);
    axis.SetMaxMinValue(pane.maxReference(), pane.minReference());
    axis.setRange(first, shown);

    ZtLineLib_Scaleplate timeAxis;
    timeAxis.setRect(0, 0, int(area.width()), timeAxisHeight);
    timeAxis.setFixedPaddingLeft(axis.fixedPaddingLeft());
    timeAxis.setFixedPaddingRight(axis.fixedPaddingRight());
    timeAxis.setMastDateFormat(QStringLiteral("yyyy"));
    timeAxis.setData(&bars);
    timeAxis.setRange(first, shown);

    painter.setPen(getThemePen(QStringLiteral("Grid2")));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(getThemePen(QStringLiteral("Default")));
    painter.drawText(14, 20, QStringLiteral("600000.SH  %1 … %2")
                                 .arg(pane.getAxisXFirstDataString(), pane.getAxisXLastDataString()));
    axis.Fill(&painter);
    pane.Fill(&painter);
    // The time axis paints at the painter's origin: translate to its strip.
    painter.save();
    painter.translate(area.left(), area.bottom());
    timeAxis.Fill(&painter);
    painter.restore();
    drawOverlays(&painter, &bars, pane, &axis, &timeAxis, QPointF(area.left(), area.bottom()));
    painter.end();

    if (!QDir().mkpath(outDir)) {
        std::fprintf(stderr, "ztdemo: cannot create %s\n", qPrintable(outDir));
        return 1;
    }
    const QString outFile = QDir(outDir).filePath(QStringLiteral("demo.png"));
    if (!image.save(outFile)) {
        std::fprintf(stderr, "ztdemo: cannot write %s\n", qPrintable(outFile));
        return 1;
    }
    std::printf("%s\n", qPrintable(outFile));
    return 0;
}
