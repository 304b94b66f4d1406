#pragma once

// The frame drawn with the library's elements, and the numbers it shows read
// back as plain series for the other two ways.

#include "CompareBench.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace CompareBench {

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

} // namespace CompareBench
