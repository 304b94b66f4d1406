// One daily chart frame drawn three ways, on the same 1600 × 900 ARGB32
// premultiplied image:
//   ours  - the library's elements: candles with five moving averages, volume
//           with two, MACD, three value axes, the time axis and a crosshair;
//   qcp   - the same picture with QCustomPlot (candles, graphs, bars, axes
//           with tick labels, items for the crosshair), rendered with
//           toPainter;
//   hand  - the least QPainter code that draws the picture, batched by
//           colour.
// Windows: the last 200 of 10,000 bars, all 10,000, the last 200 of
// 1,000,000. A frame is a repaint: the window and the lines are computed
// beforehand (as setRange does when the window moves), the frame clears the
// image and paints everything.
//
// After the runs a table prints microseconds per frame and the ratios
// against the goals. `--compare_images=DIR` also writes each way's picture
// of each window to DIR for a look. Built without QCustomPlot
// (ZT_BENCH_PEER 0: no build of it for the Qt in use), the qcp rows are left
// out and the output says so.

#include "BenchBars.h"

#include <ZtLineLib.h>

#include <benchmark/benchmark.h>
#if ZT_BENCH_PEER
#include <qcustomplot.h>
#endif

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace ZtUIDataStruct;

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kAxisWidth = 72;
constexpr int kTimeHeight = 30;
const QRect kPriceArea(0, 0, kWidth, 520);
const QRect kVolumeArea(0, 520, kWidth, 160);
const QRect kMacdArea(0, 680, kWidth, 190);
constexpr int kTimeTop = 870;

QColor themeColor(const char* key)
{
    return getThemePen(QLatin1String(key)).color();
}

// ---- the cases ----------------------------------------------------------------

struct Case
{
    const char* name;
    int bars;
    int shown;
};

const Case kCases[] = {
    {"200_of_10k", 10000, 200},
    {"all_10k", 10000, 10000},
    {"200_of_1M", 1000000, 200},
};

DQDDataList& barsOf(int n)
{
    static std::map<int, std::unique_ptr<DQDDataList>> lists;
    auto& list = lists[n];
    if (!list)
        list = std::make_unique<DQDDataList>(makeBenchBars(n));
    return *list;
}

// ---- ours ---------------------------------------------------------------------

struct OurChart
{
    ZtLineLib_Formula candles{ZtLineLib_Formula::eFT_KLINE};
    ZtLineLib_Formula averages{ZtLineLib_Formula::eFT_MA};
    ZtLineLib_Formula volume{ZtLineLib_Formula::eFT_VOL};
    ZtLineLib_Formula macd{ZtLineLib_Formula::eFT_MACD};
    ZtLineLib_Reference priceAxis, volumeAxis, macdAxis;
    ZtLineLib_Scaleplate timeAxis;
    ZtLineCrossCurve paneCross, timeCross;
    QPoint mouse;
    int crossIndex = 0;

    OurChart(DQDDataList* data, int first, int count)
    {
        for (ZtLineLib_Formula* pane : {&candles, &averages, &volume, &macd})
            pane->setPrec(2);
        // MACD values are small: three decimals, as a client shows them.
        macd.setPrec(3);
        candles.setDrawMaxMinTag(true);
        volume.m_params = {5, 10};

        place(candles, kPriceArea, data, first, count, kZtNoValueMax);
        place(averages, kPriceArea, data, first, count, kZtNoValueMax);
        const double high = std::max(candles.maxReference(), averages.maxReference());
        const double low = std::min(candles.minReference(), averages.minReference());
        candles.SetMaxMinValue(high, low);
        averages.SetMaxMinValue(high, low);
        place(volume, kVolumeArea, data, first, count, 0);
        place(macd, kMacdArea, data, first, count, kZtNoValueMax);
        const double reach = std::max(std::fabs(macd.maxReference()), std::fabs(macd.minReference()));
        macd.SetMaxMinValue(reach, -reach);

        placeAxis(priceAxis, kPriceArea, candles, data, first, count);
        placeAxis(volumeAxis, kVolumeArea, volume, data, first, count);
        placeAxis(macdAxis, kMacdArea, macd, data, first, count);
        timeAxis.setRect(0, 0, kWidth - kAxisWidth, kTimeHeight);
        timeAxis.setData(data);
        timeAxis.setRange(first, count);

        for (ZtLineCrossCurve* cross : {&paneCross, &timeCross}) {
            cross->setCroMouseEnable(true);
            cross->setDrawLineEnable(true);
            cross->setDrawHLine(true);
        }
        for (ZtLineLib_Reference* axis : {&priceAxis, &volumeAxis, &macdAxis})
            paneCross.appendRefrenc(axis);
        timeCross.appendScaleplate(&timeAxis);
        crossIndex = first + count / 2;
        mouse = QPoint(int(candles.getX(count / 2)), kPriceArea.center().y());
    }

    static void place(ZtLineLib_Formula& pane, const QRect& area, DQDDataList* data, int first,
                      int count, double min)
    {
        pane.setRect(QRectF(area.adjusted(0, 0, -kAxisWidth, 0)));
        pane.setData(data);
        pane.SetMaxMinValue(kZtNoValue, min);
        pane.setRange(first, count);
    }

    static void placeAxis(ZtLineLib_Reference& axis, const QRect& area, const ZtLineLib_Formula& pane,
                          DQDDataList* data, int first, int count)
    {
        axis.setRect(QRectF(area));
        axis.setFixedPaddingRight(kAxisWidth);
        axis.setMainValueOnRight(true);
        axis.setPrec(pane.getPrec());
        axis.setData(data);
        axis.SetMaxMinValue(pane.maxReference(), pane.minReference());
        axis.setRange(first, count);
    }

    void paint(QPainter* p)
    {
        for (ZtLineLib_Reference* axis : {&priceAxis, &volumeAxis, &macdAxis})
            axis->Fill(p);
        for (ZtLineLib_Formula* pane : {&candles, &averages, &volume, &macd})
            pane->Fill(p);
        paneCross.Fill(p, mouse, crossIndex, &candles);
        // The time axis and its box paint at the painter's origin.
        p->save();
        p->translate(0, kTimeTop);
        timeAxis.Fill(p);
        timeCross.Fill(p, mouse, crossIndex, &candles);
        p->restore();
    }
};

// ---- the lines as plain numbers, for the other two ways --------------------------

// What the picture shows, read once from the bars and from our panes' lines
// (so that all three ways draw the same values).
struct Series
{
    int first = 0;
    int count = 0;
    std::vector<double> open, high, low, close, volume;
    std::vector<bool> rising;
    std::vector<int> month; // yyyymm of each bar
    struct Line
    {
        std::vector<double> values;
        QPen pen;
    };
    std::vector<Line> averages, volumeAverages, macdLines; // MACD: DIFF, DEA
    std::vector<double> macd;
    double priceMax = 0, priceMin = 0, volumeMax = 0, macdReach = 0;

    Series(const DQDDataList& data, const OurChart& chart, int first, int count)
        : first(first), count(count)
    {
        const int n = data.count();
        for (std::vector<double>* v : {&open, &high, &low, &close, &volume})
            v->resize(size_t(n));
        rising.resize(size_t(n));
        month.resize(size_t(n));
        for (int i = 0; i < n; ++i) {
            const DQDUnionReader* r = data.at(i);
            const size_t k = size_t(i);
            open[k] = r->getValue(eFieldOpen).toDouble();
            high[k] = r->getValue(eFieldHigh).toDouble();
            low[k] = r->getValue(eFieldLow).toDouble();
            close[k] = r->getValue(eFieldClose).toDouble();
            volume[k] = r->getValue(eFieldVolume).toDouble();
            rising[k] = open[k] < close[k]
                        || (open[k] == close[k] && r->getValue(eFieldPreClose).toDouble() <= open[k]);
            month[k] = int(r->uniqueKey() / 100000000LL);
        }
        averages = linesOf(chart.averages, 0, 5);
        volumeAverages = linesOf(chart.volume, 1, 2);
        macdLines = linesOf(chart.macd, 0, 3);
        macd = macdLines.back().values;
        macdLines.pop_back();
        priceMax = chart.candles.maxReference();
        priceMin = chart.candles.minReference();
        volumeMax = chart.volume.maxReference();
        macdReach = chart.macd.maxReference();
    }

    // Lines from..from+n of a pane, the no-value marker as NaN.
    static std::vector<Line> linesOf(const ZtLineLib_Formula& pane, int from, int n)
    {
        std::vector<Line> out;
        for (int j = from; j < from + n && j < pane.formulaLines().lineCount(); ++j) {
            const Formulas::formulaLine* source = pane.formulaLines().lineAt(j);
            Line line{std::vector<double>(size_t(source->values.size())), source->pen};
            for (int i = 0; i < source->values.size(); ++i) {
                const float v = source->values.at(i);
                line.values[size_t(i)] = ztIsNoValue(v) ? std::nan("") : double(v);
            }
            out.push_back(std::move(line));
        }
        out.resize(size_t(n));
        return out;
    }
};

// ---- QCustomPlot --------------------------------------------------------------------
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
constexpr bool kHavePeer = ZT_BENCH_PEER;

// ---- the hand loop ---------------------------------------------------------------------

// Maps values of one band to pixels.
struct Band
{
    QRect rect;
    double max, min;
    double y(double v) const { return rect.bottom() - (v - min) / (max - min) * rect.height(); }
};

class HandChart
{
public:
    explicit HandChart(const Series& s)
        : m_s(s)
        , m_price{kPriceArea.adjusted(0, 0, -kAxisWidth, 0), s.priceMax, s.priceMin}
        , m_volume{kVolumeArea.adjusted(0, 0, -kAxisWidth, 0), s.volumeMax, 0}
        , m_macd{kMacdArea.adjusted(0, 0, -kAxisWidth, 0), s.macdReach, -s.macdReach}
        , m_slot(double(m_price.rect.width()) / s.count)
    {
        m_up = themeColor("KUp");
        m_down = themeColor("KDown");
        m_grid = getThemePen(QStringLiteral("Grid1DotLine"), Qt::DotLine);
        m_text = themeColor("ScaleplateText");
    }

    // Each band paints under a clip to itself: the raster engine strokes
    // lines far faster with a clip rectangle than without one.
    void paint(QPainter* p)
    {
        axis(p, m_price, 5, 2);
        axis(p, m_volume, 3, 0);
        axis(p, m_macd, 3, 3);
        p->setClipRect(m_price.rect);
        candles(p);
        polylines(p, m_price, m_s.averages);
        p->setClipRect(m_volume.rect);
        volume(p);
        polylines(p, m_volume, m_s.volumeAverages);
        p->setClipRect(m_macd.rect);
        macd(p);
        polylines(p, m_macd, m_s.macdLines);
        p->setClipping(false);
        timeAxis(p);
        crosshair(p);
    }

private:
    int centre(int k) const { return int(k * m_slot + m_slot / 2); }
    int bodyWidth() const { return std::max(1, int(m_slot * 0.7)); }

    void axis(QPainter* p, const Band& b, int ticks, int decimals)
    {
        p->setPen(m_grid);
        p->setBrush(Qt::NoBrush);
        QVarLengthArray<QLine, 8> lines;
        for (int t = 0; t <= ticks; ++t) {
            const int y = b.rect.top() + b.rect.height() * t / ticks;
            lines.append(QLine(b.rect.left(), y, b.rect.right(), y));
        }
        p->drawLines(lines.constData(), lines.size());
        p->setPen(m_text);
        for (int t = 0; t <= ticks; ++t) {
            const int y = b.rect.top() + b.rect.height() * t / ticks;
            const double v = b.max - (b.max - b.min) * t / ticks;
            p->drawText(b.rect.right() + 4, y + 5, QString::number(v, 'f', decimals));
        }
    }

    // Hollow rising bodies, filled falling ones, wicks; one call per colour
    // and primitive.
    void candles(QPainter* p)
    {
        QVector<QLine> upLines, downLines;
        QVector<QRect> upBodies, downBodies;
        const bool thin = m_slot <= 4.0;
        const int w = bodyWidth();
        for (int k = 0; k < m_s.count; ++k) {
            const size_t i = size_t(m_s.first + k);
            const int x = centre(k);
            const int yHigh = int(m_price.y(m_s.high[i]));
            const int yLow = int(m_price.y(m_s.low[i]));
            QVector<QLine>& lines = m_s.rising[i] ? upLines : downLines;
            if (thin) {
                lines.append(QLine(x, yHigh, x, yLow));
                continue;
            }
            const int yo = int(m_price.y(m_s.open[i]));
            const int yc = int(m_price.y(m_s.close[i]));
            const QRect body(x - w / 2, std::min(yo, yc), w, std::max(1, std::abs(yo - yc)));
            (m_s.rising[i] ? upBodies : downBodies).append(body);
            lines.append(QLine(x, yHigh, x, body.top()));
            lines.append(QLine(x, body.bottom(), x, yLow));
        }
        p->setBrush(Qt::NoBrush);
        p->setPen(m_up);
        p->drawLines(upLines);
        p->drawRects(upBodies);
        p->setPen(m_down);
        p->drawLines(downLines);
        p->setPen(Qt::NoPen);
        p->setBrush(m_down);
        p->drawRects(downBodies);
        p->setBrush(Qt::NoBrush);

        const auto range = std::minmax_element(m_s.high.begin() + m_s.first,
                                               m_s.high.begin() + m_s.first + m_s.count);
        const auto low = std::min_element(m_s.low.begin() + m_s.first,
                                          m_s.low.begin() + m_s.first + m_s.count);
        p->setPen(themeColor("Default"));
        const int hk = int(range.second - m_s.high.begin()) - m_s.first;
        const int lk = int(low - m_s.low.begin()) - m_s.first;
        p->drawText(centre(hk), int(m_price.y(*range.second)) + 12, QString::number(*range.second, 'f', 2));
        p->drawText(centre(lk), int(m_price.y(*low)) - 2, QString::number(*low, 'f', 2));
    }

    void polylines(QPainter* p, const Band& b, const std::vector<Series::Line>& lines)
    {
        for (const Series::Line& line : lines) {
            QVarLengthArray<QPointF, 1024> points;
            for (int k = 0; k < m_s.count; ++k) {
                const double value = line.values[size_t(m_s.first + k)];
                if (!std::isnan(value))
                    points.append(QPointF(centre(k), b.y(value)));
            }
            p->setPen(line.pen);
            p->drawPolyline(points.constData(), points.size());
        }
    }

    void volume(QPainter* p)
    {
        QVector<QRect> up, down;
        const int w = m_slot <= 4.0 ? 1 : bodyWidth();
        const int base = m_volume.rect.bottom();
        for (int k = 0; k < m_s.count; ++k) {
            const size_t i = size_t(m_s.first + k);
            const int y = int(m_volume.y(m_s.volume[i]));
            (m_s.rising[i] ? up : down).append(QRect(centre(k) - w / 2, y, w, base - y));
        }
        p->setPen(m_up);
        p->drawRects(up);
        p->setPen(Qt::NoPen);
        p->setBrush(m_down);
        p->drawRects(down);
        p->setBrush(Qt::NoBrush);
    }

    void macd(QPainter* p)
    {
        QVector<QLine> up, down;
        const int zero = int(m_macd.y(0));
        for (int k = 0; k < m_s.count; ++k) {
            const double v = m_s.macd[size_t(m_s.first + k)];
            if (std::isnan(v))
                continue;
            (v >= 0 ? up : down).append(QLine(centre(k), zero, centre(k), int(m_macd.y(v))));
        }
        p->setPen(themeColor("Up"));
        p->drawLines(up);
        p->setPen(themeColor("Down"));
        p->drawLines(down);
    }

    // A label where the month changes, if there is room since the last one.
    void timeAxis(QPainter* p)
    {
        p->setPen(m_text);
        int lastX = -1000;
        for (int k = 1; k < m_s.count; ++k) {
            const size_t i = size_t(m_s.first + k);
            const int x = centre(k);
            if (m_s.month[i] == m_s.month[i - 1] || x - lastX < 80)
                continue;
            lastX = x;
            p->drawLine(x, kTimeTop, x, kTimeTop + 4);
            const int m = m_s.month[i];
            p->drawText(x + 2, kTimeTop + 18,
                        QStringLiteral("%1-%2").arg(m / 100).arg(m % 100, 2, 10, QLatin1Char('0')));
        }
    }

    void crosshair(QPainter* p)
    {
        const int k = m_s.count / 2;
        const int x = centre(k);
        const int y = kPriceArea.center().y();
        p->setPen(getThemePen(QStringLiteral("CrossCurvePen")));
        p->drawLine(x, 0, x, kMacdArea.bottom());
        p->drawLine(0, y, m_price.rect.right(), y);
        const double value = m_price.max - (y - m_price.rect.top()) * (m_price.max - m_price.min) / m_price.rect.height();
        const int m = m_s.month[size_t(m_s.first + k)];
        box(p, QRect(m_price.rect.right() + 1, y, kAxisWidth - 2, 20), QString::number(value, 'f', 2));
        box(p, QRect(x, kTimeTop, 90, kTimeHeight - 2),
            QStringLiteral("%1-%2").arg(m / 100).arg(m % 100, 2, 10, QLatin1Char('0')));
    }

    void box(QPainter* p, const QRect& r, const QString& text)
    {
        p->fillRect(r, themeColor("CrossCurveBackground"));
        p->setPen(themeColor("CrossCurveText"));
        p->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
        p->setPen(themeColor("CrossCurveBorderPen"));
        p->drawRect(r);
    }

    const Series& m_s;
    Band m_price, m_volume, m_macd;
    double m_slot;
    QColor m_up, m_down, m_text;
    QPen m_grid;
};

// ---- the three ways of one case ---------------------------------------------------------

struct Scene
{
    explicit Scene(const Case& c)
        : data(barsOf(c.bars))
        , ours(&data, c.bars - c.shown, c.shown)
        , series(data, ours, c.bars - c.shown, c.shown)
        , qcp(series)
        , hand(series)
    {
    }
    DQDDataList& data;
    OurChart ours;
    Series series;
    QcpChart qcp;
    HandChart hand;
};

enum Way { eOurs, eQcp, eHand };
const char* const kWayNames[] = {"ours", "qcp", "hand"};
const std::vector<Way> kWays = kHavePeer ? std::vector<Way>{eOurs, eQcp, eHand} : std::vector<Way>{eOurs, eHand};
void drawFrame(Scene& scene, Way way, QImage* image);
QImage& frameImage();

Scene& sceneOf(int caseIndex)
{
    static std::map<int, std::unique_ptr<Scene>> scenes;
    auto& scene = scenes[caseIndex];
    if (!scene) {
        scene = std::make_unique<Scene>(kCases[caseIndex]);
        // The first frame loads fonts and fills glyph caches; no way should
        // pay for that inside its timing.
        for (Way way : kWays)
            drawFrame(*scene, way, &frameImage());
    }
    return *scene;
}

void drawFrame(Scene& scene, Way way, QImage* image)
{
    image->fill(themeColor("Background"));
    if (way == eQcp) {
        scene.qcp.paint(image);
        return;
    }
    QPainter p(image);
    if (way == eOurs)
        scene.ours.paint(&p);
    else
        scene.hand.paint(&p);
}

// One image for every run: a fresh one page-faults its 5.8 MB on the first
// clear, which a run of a single frame would count.
QImage& frameImage()
{
    static QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    return image;
}

void BM_Frame(benchmark::State& state, int caseIndex, Way way)
{
    Scene& scene = sceneOf(caseIndex);
    if (scene.ours.averages.formulaLines().lineCount() != 5 || scene.ours.macd.formulaLines().lineCount() < 3) {
        state.SkipWithError("the formula engine gave no moving averages or MACD");
        return;
    }
    QImage& image = frameImage();
    for (auto _ : state) {
        drawFrame(scene, way, &image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["bars"] = kCases[caseIndex].shown;
}

// One element of our frame alone, to show where the frame's time goes. The
// image is not cleared in between; "clear" is the clearing alone.
const char* const kPartNames[] = {"clear", "value_axes", "candles", "averages", "volume",
                                  "macd", "time_axis", "crosshair"};

void paintPart(OurChart& chart, int part, QImage* image)
{
    if (part == 0) {
        image->fill(themeColor("Background"));
        return;
    }
    QPainter p(image);
    switch (part) {
    case 1:
        for (ZtLineLib_Reference* axis : {&chart.priceAxis, &chart.volumeAxis, &chart.macdAxis})
            axis->Fill(&p);
        break;
    case 2: chart.candles.Fill(&p); break;
    case 3: chart.averages.Fill(&p); break;
    case 4: chart.volume.Fill(&p); break;
    case 5: chart.macd.Fill(&p); break;
    case 6:
        p.translate(0, kTimeTop);
        chart.timeAxis.Fill(&p);
        break;
    default:
        chart.paneCross.Fill(&p, chart.mouse, chart.crossIndex, &chart.candles);
        p.translate(0, kTimeTop);
        chart.timeCross.Fill(&p, chart.mouse, chart.crossIndex, &chart.candles);
        break;
    }
}

void BM_Part(benchmark::State& state, int caseIndex, int part)
{
    Scene& scene = sceneOf(caseIndex);
    QImage& image = frameImage();
    image.fill(Qt::black);
    for (auto _ : state) {
        paintPart(scene.ours, part, &image);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// ---- the summary ----------------------------------------------------------------------------

// Keeps the CPU time per frame of every run besides printing it.
class CollectingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred)
                continue;
            // Microseconds: every frame benchmark reports in them.
            m_times[run.benchmark_name()].push_back(run.GetAdjustedCPUTime());
        }
    }

    // The median over repetitions; NaN when the run did not happen.
    double micros(const std::string& name) const
    {
        const auto it = m_times.find(name);
        if (it == m_times.end() || it->second.empty())
            return std::nan("");
        std::vector<double> t = it->second;
        std::nth_element(t.begin(), t.begin() + long(t.size() / 2), t.end());
        return t[t.size() / 2];
    }

private:
    std::map<std::string, std::vector<double>> m_times;
};

std::string frameName(int caseIndex, Way way)
{
    return std::string("Frame/") + kCases[caseIndex].name + "/" + kWayNames[way];
}

void printRatio(const char* what, double ratio, double goal)
{
    const char* verdict = std::isnan(ratio) ? "not run" : ratio <= goal ? "ok" : "SHORT";
    std::printf("  %-44s %6.2f  (goal <= %.1f)  %s\n", what, ratio, goal, verdict);
}

void printSummary(const CollectingReporter& r)
{
    std::printf("\nMicroseconds of CPU per 1600x900 frame\n");
    std::printf("  %-12s %12s %12s %12s\n", "window", "ours", "qcp", "hand");
    for (int c = 0; c < 3; ++c) {
        std::printf("  %-12s %12.1f %12.1f %12.1f\n", kCases[c].name, r.micros(frameName(c, eOurs)),
                    r.micros(frameName(c, eQcp)), r.micros(frameName(c, eHand)));
    }
    std::printf("\nRatios\n");
    const double goals[][2] = {{0.5, 1.5}, {0.5, 2.0}};
    for (int c = 0; c < 2; ++c) {
        const double ours = r.micros(frameName(c, eOurs));
        const std::string name = kCases[c].name;
        printRatio((name + ": ours / qcp").c_str(), ours / r.micros(frameName(c, eQcp)), goals[c][0]);
        printRatio((name + ": ours / hand").c_str(), ours / r.micros(frameName(c, eHand)), goals[c][1]);
    }
    if (!kHavePeer)
        std::printf("  (qcp: not built; no QCustomPlot for Qt %d was found)\n", QT_VERSION_MAJOR);
    printRatio("ours 200_of_1M / ours 200_of_10k", r.micros(frameName(2, eOurs)) / r.micros(frameName(0, eOurs)),
               1.2);
}

// Writes each way's picture of each case, so that the three can be compared
// by eye.
bool writeImages(const QString& dir)
{
    if (!QDir().mkpath(dir))
        return false;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    for (int c = 0; c < 3; ++c) {
        for (Way way : kWays) {
            drawFrame(sceneOf(c), way, &image);
            const QString file = QStringLiteral("%1/%2_%3.png").arg(dir, kCases[c].name, kWayNames[way]);
            if (!image.save(file)) {
                std::fprintf(stderr, "bench_compare: cannot write %s\n", qPrintable(file));
                return false;
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (!kHavePeer)
        std::printf("bench_compare: no QCustomPlot for Qt %d; the qcp rows are left out\n", QT_VERSION_MAJOR);
    // QCustomPlot is a widget; offscreen needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QString imageDir;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QLatin1String("--compare_images=")))
            imageDir = a.mid(int(sizeof("--compare_images=")) - 1);
        else
            args.push_back(argv[i]);
    }
    int n = int(args.size());
    QApplication app(n, args.data());
    benchmark::Initialize(&n, args.data());
    if (benchmark::ReportUnrecognizedArguments(n, args.data()))
        return 1;

    for (int c = 0; c < 3; ++c) {
        for (Way way : kWays) {
            benchmark::RegisterBenchmark(frameName(c, way).c_str(), BM_Frame, c, way)
                ->Unit(benchmark::kMicrosecond);
        }
    }
    for (int c = 0; c < 2; ++c) {
        for (int part = 0; part < int(std::size(kPartNames)); ++part) {
            const std::string name = std::string("Part/") + kCases[c].name + "/" + kPartNames[part];
            benchmark::RegisterBenchmark(name.c_str(), BM_Part, c, part)->Unit(benchmark::kMicrosecond);
        }
    }
    if (!imageDir.isEmpty() && !writeImages(imageDir))
        return 1;
    CollectingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    return 0;
}
