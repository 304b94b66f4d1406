#pragma once

#include "PaneLegend.h"
#include "ValueRange.h"

#include <ZtLineLib_Formula.h>

#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ChartData;
class QFontMetricsF;
class QPainter;
class ZtLineLib_Reference;

// One pane of a chart as both programs set it up: the indicator pane, the
// overlays drawn on it (sharing its value axis), and that axis. It runs the
// drive cycle for a data window (empty range, setRange, the pane's range
// rules, the range handed to the axis), paints its elements in order and
// gives the legend of an item. The data must outlive the pane.
//
// The price chart (the main pane) carries the intraday face (prices against
// the previous close, percent tags, the previous-close line) and, when
// asked, the markers of the highest and lowest price.
class ChartPane
{
public:
    using Type = ZtLineLib_Formula::enumFormulaType;
    struct Entry
    {
        Type type = ZtLineLib_Formula::eFT_NONE;
        QList<double> params;
    };

    // Throws CliError when the type needs data the run does not have.
    ChartPane(ChartData* data, const Entry& entry, bool main);
    ~ChartPane();
    ChartPane(const ChartPane&) = delete;
    ChartPane& operator=(const ChartPane&) = delete;

    Type type() const { return m_pane->formulaType(); }
    bool isMain() const { return m_main; }
    bool isVolume() const;
    bool isPriceChart() const;

    void setOverlays(const QList<Entry>& overlays);
    void setLogScale(bool on);
    // Markers of the highest and lowest price, on the price series only.
    void setMaxMinMarkers(bool on);
    // Main tags on the right of the band instead of the left.
    void setMainValueOnRight(bool on);

    // area is the axis rectangle; the pane's band lies inside the axis's top
    // and bottom paddings, with left and right as side paddings.
    void place(const QRectF& area, double left, double right);
    // Computes every element for items first … first + count − 1;
    // dataUnchanged as setRange takes it: the records are as at the last
    // compute except what was announced.
    void compute(int first, int count, bool dataUnchanged = false);
    // Announce a change of the records to every element (setRange's
    // contract): records from `from` on changed, or records were appended.
    void recordsChanged(int from);
    void recordsAppended();
    ValueRange range() const { return m_range; }

    // What a data-service pane says when the window holds none of its
    // data ("no fund-flow data"); empty when there is data to show.
    QString missingData() const;

    // Paints axis, pane and overlays; a pane without data paints only its
    // frame and the text of missingData (with the host's hint after it).
    void fill(QPainter* painter, const QString& hint = QString());
    // The legend of item index: the price chart's figures, or the pane's
    // value text in the colours of its lines; overlays follow.
    QList<PaneLegend::Segment> legend(int index) const;

    // The padding the widest main tag of the current range needs.
    double mainTagPadding(const QFontMetricsF& metrics) const;

    ZtLineLib_Formula* pane() const { return m_pane.get(); }
    ZtLineLib_Reference* axis() const { return m_axis.get(); }
    QRectF area() const { return m_area; }
    int overlayCount() const { return int(m_overlays.size()); }
    ZtLineLib_Formula* overlay(int i) const { return m_overlays.at(size_t(i)).get(); }

    // The previous close of the data's first traded item, 0 without one.
    static double previousClose(ChartData* data);
    // "TITLE: formula error: reason" for the pane and each overlay whose
    // formula failed in the last compute; empty when all computed.
    QStringList formulaErrors() const;

private:
    std::unique_ptr<ZtLineLib_Formula> makePane(const Entry& entry) const;
    void configureAxis();
    void updateMarkerPane();
    bool hasColourSticks() const;
    std::vector<ZtLineLib_Formula*> elements() const;
    QList<PaneLegend::Segment> priceLegend(int index) const;
    QList<PaneLegend::Segment> indicatorLegend(int index) const;

    ChartData* m_data;
    bool m_main;
    bool m_logScale = false;
    bool m_maxMin = false;
    std::unique_ptr<ZtLineLib_Formula> m_pane;
    std::vector<std::unique_ptr<ZtLineLib_Formula>> m_overlays;
    // The intraday price line alone, drawn once more over the average line
    // to carry the markers: the average must not take part in them.
    std::unique_ptr<ZtLineLib_Formula> m_markerPane;
    std::unique_ptr<ZtLineLib_Reference> m_axis;
    QRectF m_area;
    ValueRange m_range;
};
