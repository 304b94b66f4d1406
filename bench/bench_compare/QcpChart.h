#pragma once

// The frame drawn with the peer widget library, where it was built.

#include "OurChart.h"

#if ZT_BENCH_PEER
#include <qcustomplot.h>
#endif

namespace CompareBench {

#if ZT_BENCH_PEER

// Tick labels of the bar index axis: the bar's year and month.
class MonthTicker : public QCPAxisTicker
{
public:
    explicit MonthTicker(const std::vector<int>* month) : m_month(month) {}

protected:
    QString getTickLabel(double tick, const QLocale&, QChar, int) override
    {
        const long i = std::lround(tick);
        if (i < 0 || i >= long(m_month->size()))
            return QString();
        const int m = (*m_month)[size_t(i)];
        return QStringLiteral("%1-%2").arg(m / 100).arg(m % 100, 2, 10, QLatin1Char('0'));
    }

private:
    const std::vector<int>* m_month;
};

class QcpChart
{
public:
    explicit QcpChart(const Series& s)
    {
        m_plot.resize(kWidth, kHeight);
        // The frame clears the image for all three ways; a plot background
        // would clear it a second time.
        m_plot.setBackground(Qt::NoBrush);
        // Our elements and the hand loop paint without antialiasing.
        m_plot.setNotAntialiasedElements(QCP::aeAll);
        m_plot.plotLayout()->clear();
        m_plot.plotLayout()->setRowSpacing(0);
        QCPAxisRect* price = addRect(0, s);
        QCPAxisRect* volume = addRect(1, s);
        QCPAxisRect* macd = addRect(2, s);
        m_plot.plotLayout()->setRowStretchFactors({520, 160, 190 + kTimeHeight});
        for (QCPAxisRect* r : {price, volume})
            r->axis(QCPAxis::atBottom)->setTickLabels(false);
        macd->axis(QCPAxis::atBottom)->setTicker(QSharedPointer<QCPAxisTicker>(new MonthTicker(&s.month)));

        addCandles(price, s);
        addLines(price, s.averages);
        addVolume(volume, s);
        addLines(volume, s.volumeAverages);
        addMacd(macd, s);

        price->axis(QCPAxis::atRight)->setRange(s.priceMin, s.priceMax);
        volume->axis(QCPAxis::atRight)->setRange(0, s.volumeMax);
        macd->axis(QCPAxis::atRight)->setRange(-s.macdReach, s.macdReach);
        addCrosshair({price, volume, macd}, s);
        addMaxMin(price, s);
    }

    void paint(QImage* image)
    {
        QCPPainter p(image);
        m_plot.toPainter(&p, kWidth, kHeight);
    }

private:
    QCPAxisRect* addRect(int row, const Series& s)
    {
        auto* rect = new QCPAxisRect(&m_plot, true);
        m_plot.plotLayout()->addElement(row, 0, rect);
        rect->setAutoMargins(QCP::msNone);
        rect->setMargins(QMargins(0, 0, kAxisWidth, row == 2 ? kTimeHeight : 0));
        rect->axis(QCPAxis::atLeft)->setVisible(false);
        rect->axis(QCPAxis::atTop)->setVisible(false);
        QCPAxis* value = rect->axis(QCPAxis::atRight);
        value->setVisible(true);
        value->setTickLabels(true);
        value->setTickLabelColor(themeColor("ScaleplateText"));
        value->setBasePen(getThemePen(QStringLiteral("Grid1")));
        value->setTickPen(getThemePen(QStringLiteral("Grid1")));
        value->grid()->setPen(getThemePen(QStringLiteral("Grid1DotLine"), Qt::DotLine));
        QCPAxis* key = rect->axis(QCPAxis::atBottom);
        key->setRange(s.first - 0.5, s.first + s.count - 0.5);
        key->setTickLabelColor(themeColor("ScaleplateText"));
        key->setBasePen(getThemePen(QStringLiteral("Grid1")));
        key->grid()->setVisible(false);
        return rect;
    }

    static QVector<double> keys(size_t n)
    {
        QVector<double> k(static_cast<int>(n));
        for (int i = 0; i < k.size(); ++i)
            k[i] = i;
        return k;
    }

    void addCandles(QCPAxisRect* rect, const Series& s)
    {
        auto* candles = new QCPFinancial(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
        candles->setChartStyle(QCPFinancial::csCandlestick);
        candles->setWidth(0.7);
        candles->setTwoColored(true);
        candles->setPenPositive(getThemePen(QStringLiteral("KUp")));
        candles->setBrushPositive(Qt::NoBrush);
        candles->setPenNegative(getThemePen(QStringLiteral("KDown")));
        candles->setBrushNegative(themeColor("KDown"));
        const QVector<double> k = keys(s.open.size());
        candles->setData(k, QVector<double>(s.open.begin(), s.open.end()),
                         QVector<double>(s.high.begin(), s.high.end()),
                         QVector<double>(s.low.begin(), s.low.end()),
                         QVector<double>(s.close.begin(), s.close.end()), true);
    }

    void addLines(QCPAxisRect* rect, const std::vector<Series::Line>& lines)
    {
        for (const Series::Line& line : lines) {
            auto* graph = new QCPGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
            graph->setPen(line.pen);
            graph->setData(keys(line.values.size()),
                           QVector<double>(line.values.begin(), line.values.end()), true);
        }
    }

    void addVolume(QCPAxisRect* rect, const Series& s)
    {
        auto* up = new QCPBars(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
        auto* down = new QCPBars(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
        up->setPen(getThemePen(QStringLiteral("KUp")));
        up->setBrush(Qt::NoBrush);
        down->setPen(getThemePen(QStringLiteral("KDown")));
        down->setBrush(themeColor("KDown"));
        QVector<double> upKeys, upValues, downKeys, downValues;
        for (size_t i = 0; i < s.volume.size(); ++i) {
            (s.rising[i] ? upKeys : downKeys).append(double(i));
            (s.rising[i] ? upValues : downValues).append(s.volume[i]);
        }
        for (QCPBars* bars : {up, down})
            bars->setWidth(0.7);
        up->setData(upKeys, upValues, true);
        down->setData(downKeys, downValues, true);
    }

    void addMacd(QCPAxisRect* rect, const Series& s)
    {
        // Sticks from zero, red above and green below: one impulse graph per
        // colour.
        QVector<double> posKeys, posValues, negKeys, negValues;
        for (size_t i = 0; i < s.macd.size(); ++i) {
            if (std::isnan(s.macd[i]))
                continue;
            (s.macd[i] >= 0 ? posKeys : negKeys).append(double(i));
            (s.macd[i] >= 0 ? posValues : negValues).append(s.macd[i]);
        }
        const QPen pens[] = {getThemePen(QStringLiteral("Up")), getThemePen(QStringLiteral("Down"))};
        const QVector<double>* data[][2] = {{&posKeys, &posValues}, {&negKeys, &negValues}};
        for (int j = 0; j < 2; ++j) {
            auto* sticks = new QCPGraph(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
            sticks->setLineStyle(QCPGraph::lsImpulse);
            sticks->setPen(pens[j]);
            sticks->setData(*data[j][0], *data[j][1], true);
        }
        addLines(rect, s.macdLines);
    }

    void addCrosshair(std::initializer_list<QCPAxisRect*> rects, const Series& s)
    {
        const double key = s.first + s.count / 2;
        const QPen pen = getThemePen(QStringLiteral("CrossCurvePen"));
        QCPAxisRect* price = *rects.begin();
        for (QCPAxisRect* r : rects) {
            auto* vertical = new QCPItemStraightLine(&m_plot);
            vertical->setClipAxisRect(r);
            vertical->setPen(pen);
            for (QCPItemPosition* pos : {vertical->point1, vertical->point2})
                pos->setAxes(r->axis(QCPAxis::atBottom), r->axis(QCPAxis::atRight));
            vertical->point1->setCoords(key, 0);
            vertical->point2->setCoords(key, 1);
        }
        const double mid = (s.priceMax + s.priceMin) / 2;
        auto* horizontal = new QCPItemStraightLine(&m_plot);
        horizontal->setClipAxisRect(price);
        horizontal->setPen(pen);
        for (QCPItemPosition* pos : {horizontal->point1, horizontal->point2})
            pos->setAxes(price->axis(QCPAxis::atBottom), price->axis(QCPAxis::atRight));
        horizontal->point1->setCoords(s.first, mid);
        horizontal->point2->setCoords(s.first + 1, mid);

        addBox(QPointF(kWidth - kAxisWidth + 1, kPriceArea.center().y()), Qt::AlignLeft | Qt::AlignVCenter,
               QString::number(mid, 'f', 2));
        const int m = s.month[size_t(key)];
        addBox(QPointF(kWidth / 2, kTimeTop + 2), Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("%1-%2").arg(m / 100).arg(m % 100, 2, 10, QLatin1Char('0')));
    }

    void addBox(QPointF at, Qt::Alignment align, const QString& text)
    {
        auto* box = new QCPItemText(&m_plot);
        box->setClipToAxisRect(false);
        box->position->setType(QCPItemPosition::ptAbsolute);
        box->position->setCoords(at);
        box->setPositionAlignment(align);
        box->setText(text);
        box->setColor(themeColor("CrossCurveText"));
        box->setBrush(getThemePen(QStringLiteral("CrossCurveBackground")).brush());
        box->setPen(getThemePen(QStringLiteral("CrossCurveBorderPen")));
    }

    void addMaxMin(QCPAxisRect* rect, const Series& s)
    {
        size_t hi = size_t(s.first), lo = size_t(s.first);
        for (size_t i = size_t(s.first); i < size_t(s.first + s.count); ++i) {
            if (s.high[i] > s.high[hi])
                hi = i;
            if (s.low[i] < s.low[lo])
                lo = i;
        }
        const std::pair<size_t, double> tags[] = {{hi, s.high[hi]}, {lo, s.low[lo]}};
        for (const auto& tag : tags) {
            auto* text = new QCPItemText(&m_plot);
            text->setClipAxisRect(rect);
            text->position->setAxes(rect->axis(QCPAxis::atBottom), rect->axis(QCPAxis::atRight));
            text->position->setCoords(double(tag.first), tag.second);
            text->setText(QString::number(tag.second, 'f', 2));
            text->setColor(themeColor("Default"));
        }
    }

    QCustomPlot m_plot;
};
#else
// Never drawn: the qcp rows are not registered.
struct QcpChart
{
    explicit QcpChart(const Series&) {}
    void paint(QImage*) {}
};
#endif

} // namespace CompareBench
