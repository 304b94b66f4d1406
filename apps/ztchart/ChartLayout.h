#pragma once

#include "ChartPane.h"
#include "PaneList.h"

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ChartData;
class QPainter;
class ZtLineCrossCurve;
class ZtLineLib_Formula;
class ZtLineLib_InfoBar;
class ZtLineLib_Scaleplate;

// A whole chart on one canvas: stacked panes (the main price chart with its
// overlays, then volume and indicator panes, each set up by ChartPane), the
// event bar over the main chart, the chip-distribution column beside it,
// the time axis at the bottom and the crosshair. The side paddings fit the
// widest value tag of any pane, so that all panes keep one band.
//
// The layout owns its elements; the data stay with the caller and must
// outlive the layout. A window or a crosshair change recomputes what
// depends on it; paint may be called any number of times.
class ChartLayout
{
public:
    struct Options
    {
        bool logScale = false; // logarithmic value axis on the main chart
        bool maxMin = false;   // markers of the highest and lowest price on the main chart
    };

    // Creates and configures the elements. Throws CliError when a pane
    // needs data the run does not have.
    ChartLayout(ChartData* data, const PaneList& panes, const Options& options);
    ~ChartLayout();
    ChartLayout(const ChartLayout&) = delete;
    ChartLayout& operator=(const ChartLayout&) = delete;

    // Places every element inside rect (the whole picture).
    void setGeometry(const QRect& rect);
    // The number of items that fit the plot width at a comfortable bar
    // width (setGeometry first).
    int fittingCount() const;
    // Shows items first … first + count − 1 and recomputes the lines,
    // ranges, axes and paddings.
    void setWindow(int first, int count);
    // The crosshair item (absolute index), or −1 for none; legends then show
    // the last shown item.
    void setCrosshair(int index);
    // "TITLE: formula error: reason" of the first pane or overlay whose formula failed in
    // the last setWindow, empty when every one computed.
    QString formulaError() const;

    void paint(QPainter* painter);
    // One line for each data-service pane that has no data in the window,
    // with the options that would give it some.
    QStringList missingData() const;

    // The font the chart is painted in.
    static QFont chartFont();

private:
    void createChipColumn(const PaneList& panes);
    void createTimeAxis();
    void computePanes();
    void computeChip();
    int legendIndex() const;
    static QString missingDataHint(ChartPane::Type type);
    ChartPane& mainPane() const { return *m_panes.front(); }

    void paintTitle(QPainter* painter);
    void paintLegend(QPainter* painter, const ChartPane& pane);
    void paintChipColumn(QPainter* painter);
    void paintChipFigures(QPainter* painter, double top);
    void paintEvents(QPainter* painter);
    void paintTimeAxis(QPainter* painter);
    void paintCrosshair(QPainter* painter);
    // Draws text at x on the baseline, clipped to right; returns the x after it.
    static double drawText(QPainter* painter, double x, double baseline, double right,
                           const QString& text, const QColor& color);

    ChartData* m_data;
    Options m_options;
    std::vector<std::unique_ptr<ChartPane>> m_panes;
    std::unique_ptr<ZtLineLib_Formula> m_chip;
    std::unique_ptr<ZtLineLib_InfoBar> m_events;
    // Painted in a strip of its own (its rectangle starts at the top of the
    // painter it gets, so the painter is moved to the strip).
    std::unique_ptr<ZtLineLib_Scaleplate> m_timeAxis;
    // The same axis at its place in the picture, for the crosshair's time box.
    std::unique_ptr<ZtLineLib_Scaleplate> m_crossTimeAxis;
    std::unique_ptr<ZtLineCrossCurve> m_cross;
    QRect m_rect;
    QRectF m_titleRect;
    QRectF m_timeRect;
    QRectF m_chipRect;
    double m_paddingLeft = kBasePadding;
    double m_paddingRight = kBasePadding;
    int m_first = 0;
    int m_count = 0;
    int m_crosshair = -1;

    static constexpr double kBasePadding = 64;
};
