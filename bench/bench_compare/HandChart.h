#pragma once

// The frame drawn with the least QPainter code, batched by colour.

#include "OurChart.h"

namespace CompareBench {

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

} // namespace CompareBench
