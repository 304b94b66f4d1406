#pragma once

#include "ChartPane.h"
#include "PaneLegend.h"

#include <ZtLineLib_Formula.h>
#include <ZtLineLib_InfoBar.h>

#include <QList>
#include <QWidget>

#include <memory>

class ChartData;
class ZtLineLib_Reference;
class ZtLineCrossCurve;

// One pane of the chart window: a ChartPane (the indicator, the overlays on
// the price chart such as MA over the candles, and the value axis), the
// legend row above the band and, on the price chart, the event icons with
// their prompt box. The widget drives its elements whenever ChartWidget
// changes the data window or the paddings, and paints them on every repaint.
class PaneWidget : public QWidget
{
    Q_OBJECT
public:
    using Type = ZtLineLib_Formula::enumFormulaType;

    // Space of the legend row above the band.
    static constexpr int kLegendHeight = 20;

    // data must outlive the widget. A main pane shows the price chart of
    // the data (candles or the intraday line) with overlays on it.
    PaneWidget(ChartData* data, Type type, bool main, QWidget* parent = nullptr);
    ~PaneWidget() override;

    Type type() const { return m_chart->type(); }
    bool isMain() const { return m_main; }
    // Replaces the indicator (the pane keeps its place in the stack).
    void setType(Type type);
    void setOverlays(const QList<Type>& types);
    void setLogScale(bool on);
    // The side paddings, shared by every pane of the chart.
    void setPaddings(double left, double right);
    // The padding the widest main value tag of the current window needs.
    double mainTagPadding() const;

    // Shows items first … first + count − 1: recomputes lines and ranges.
    // dataUnchanged: only the window moved, or the data changed as announced
    // by recordsArrived.
    void setWindow(int first, int count, bool dataUnchanged = false);
    // A quote changed record index (appended: a new record at the end);
    // takes effect at the next setWindow.
    void recordsArrived(int index, bool appended);
    // The crosshair item (absolute, −1: none) and the mouse height in this
    // pane (−1 when the mouse is over another pane).
    void setCrosshair(int index, int mouseY);
    // The item under x (absolute), −1 for none.
    int itemAt(int x) const;
    // Pixels per item of the current geometry.
    double pointWidth() const { return formulaPane()->getPointW(); }

    // The legend of the crosshair item (or of the last shown item): title
    // and coloured segments, main pane overlays included.
    QList<PaneLegend::Segment> legend() const;
    QString legendText() const;

    ZtLineLib_Formula* formulaPane() const { return m_chart->pane(); }
    ZtLineLib_Reference* valueAxis() const { return m_chart->axis(); }
    ZtLineCrossCurve* crosshair() const { return m_cross.get(); }

    // Event icons under p in the price chart; the prompt box shows them.
    void setHoverPoint(QPoint p);
    int hoveredEventCount() const { return m_hovered.size(); }
    // The price chart's event bar; null on other panes or without events.
    ZtLineLib_InfoBar* eventBar() const { return m_events.get(); }

    QSize sizeHint() const override { return QSize(800, m_main ? 420 : 140); }
    QSize minimumSizeHint() const override { return QSize(200, 60); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void createChart(Type type);
    void placeElements();
    void compute(bool dataUnchanged = false);
    int legendIndex() const;
    void paintLegend(QPainter* painter);
    // A formula that failed says why in the band, where its lines would be.
    void paintFormulaError(QPainter* painter);

    ChartData* m_data;
    bool m_main;
    bool m_logScale = false;
    double m_paddingLeft = 4;
    double m_paddingRight = 64;
    QList<ChartPane::Entry> m_overlays;
    std::unique_ptr<ChartPane> m_chart;
    std::unique_ptr<ZtLineLib_InfoBar> m_events;
    // The crosshair of this pane, with just this pane's axis registered: each
    // widget paints in its own coordinates, and the crosshairs of all panes
    // and the time strip together form one cross through the chart.
    std::unique_ptr<ZtLineCrossCurve> m_cross;
    QList<ZtLineLib_InfoBar::LineInfo> m_hovered;
    int m_first = 0;
    int m_count = 0;
    int m_crossIndex = -1;
    int m_mouseY = -1;
};
