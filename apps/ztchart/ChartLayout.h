#pragma once

#include "PaneList.h"

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>

#include <memory>
#include <vector>

class ChartData;
class QPainter;
class ZtLineLib_Formula;
class ZtLineLib_Reference;
class ZtLineLib_InfoBar;

// A whole chart as a host builds it: stacked panes (the main price chart
// with its overlays, then volume and indicator panes), a value axis per
// pane, the event bar over the main chart, the chip-distribution column
// beside it, the time axis at the bottom and the crosshair. It drives every
// element through the drive cycle (SetMaxMinValue with the empty-range
// sentinels, setRange, range handed to the value axis, Fill) and paints the
// pane legends from getDataString in the colours of getLinePenByIndex.
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
        bool maxMin = false;   // markers of the highest and lowest value on the main chart
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
    // ranges and axes.
    void setWindow(int first, int count);
    int windowFirst() const { return m_first; }
    int windowCount() const { return m_count; }
    // The crosshair item (absolute index), or −1 for none; legends then show
    // the last shown item.
    void setCrosshair(int index);
    // The item under an x coordinate (absolute), −1 when there is none.
    int itemAt(int x) const;
    // "TITLE: formula error: reason" of the first pane or overlay whose formula failed in
    // the last setWindow, empty when every one computed.
    QString formulaError() const;

    void paint(QPainter* painter);

    // The font the chart is painted in.
    static QFont chartFont();

private:
    struct PaneSlot;
    struct Extras;

    void createPanes(const PaneList& panes);
    void createChipColumn(const PaneList& panes);
    void createEvents();
    void createTimeAxis();
    void configureAxis(PaneSlot& slot, bool main);
    void computeSlot(PaneSlot& slot);
    void computeChip();
    double previousClose() const;
    int legendIndex() const;

    void paintTitle(QPainter* painter);
    void paintSlot(QPainter* painter, PaneSlot& slot);
    void paintLegend(QPainter* painter, PaneSlot& slot);
    void paintMainLegend(QPainter* painter, PaneSlot& slot, double x, double baseline);
    void paintChipColumn(QPainter* painter);
    void paintEvents(QPainter* painter);
    void paintTimeAxis(QPainter* painter);
    void paintCrosshair(QPainter* painter);
    // Draws text at x on the baseline, clipped to right; returns the x after it.
    static double drawText(QPainter* painter, double x, double baseline, double right,
                           const QString& text, const QColor& color);

    ChartData* m_data;
    Options m_options;
    std::vector<std::unique_ptr<PaneSlot>> m_slots;
    std::unique_ptr<ZtLineLib_Formula> m_chip;
    std::unique_ptr<ZtLineLib_InfoBar> m_events;
    std::unique_ptr<Extras> m_extras;
    QRect m_rect;
    QRectF m_titleRect;
    QRectF m_timeRect;
    QRectF m_chipRect;
    double m_paddingLeft = 64;
    double m_paddingRight = 64;
    int m_first = 0;
    int m_count = 0;
    int m_crosshair = -1;
};
