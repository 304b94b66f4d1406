#pragma once

#include <ZtLineLib_Formula.h>

#include <QList>
#include <QPoint>
#include <QWidget>

#include <memory>

class ChartData;
class PaneWidget;
class QSplitter;
class TimeAxisWidget;

// The chart of one instrument: panes stacked in a splitter (the price chart
// first), the time axis under them, and the data window they all share.
// It turns mouse and keys into window changes: the wheel zooms (changes
// the shown count, keeping the last shown item), dragging and the arrow
// keys scroll, Home and End jump to the ends, and the crosshair follows
// the mouse.
class ChartWidget : public QWidget
{
    Q_OBJECT
public:
    using Type = ZtLineLib_Formula::enumFormulaType;

    static constexpr int kMinCount = 10;
    // Pixels per item of the first window: a body of 5 and a gap.
    static constexpr double kComfortableItemWidth = 8.0;

    explicit ChartWidget(QWidget* parent = nullptr);
    ~ChartWidget() override;

    // Takes the data and builds the panes: price chart with overlays
    // (candles and MA, or the intraday line), then the lower panes.
    void setChartData(std::unique_ptr<ChartData> data, const QList<Type>& lowerPanes);
    ChartData* chartData() const { return m_data.get(); }
    bool isIntraday() const;

    // The lower panes, top to bottom (the price chart is pane 0).
    int paneCount() const { return m_panes.size(); }
    PaneWidget* pane(int i) const { return m_panes.value(i); }
    QList<Type> lowerPaneTypes() const;
    TimeAxisWidget* timeAxis() const { return m_timeAxis; }
    void addPane(Type type);
    void removeLastPane();
    // Switches the lowest pane to type (adds one when there is none).
    void setLowestPaneType(Type type);
    // Steps the lowest pane through the indicator catalogue.
    void cycleLowestPane(int step);
    void setLogScale(bool on);
    bool logScale() const { return m_logScale; }

    int firstIndex() const { return m_first; }
    int shownCount() const { return m_count; }
    int total() const;
    // Shows count items from first, both clamped to the data.
    void setWindow(int first, int count);
    // Zooms by steps (positive: fewer, wider items) keeping the last item.
    void zoom(int steps);
    void scrollBy(int items);
    void home();
    void end();
    // A quote changed record index (appended: a new record at the end).
    // The chart follows the newest record while its window shows the last
    // one; a window scrolled back stays where it is until it is scrolled to
    // the end again.
    void quoteArrived(int index, bool appended);

    int crosshairIndex() const { return m_crossIndex; }
    // Puts the crosshair on item index (−1 hides it) with the horizontal
    // line at mouseY in pane (nullptr: none).
    void setCrosshair(int index, PaneWidget* pane = nullptr, int mouseY = -1);
    // Repaints everything after a theme change.
    void refresh();

    // The catalogue types a lower pane can show.
    static QList<Type> indicatorTypes();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    PaneWidget* createPane(Type type, bool main);
    void clearPanes();
    void distributeHeights();
    // dataUnchanged: the records are as at the last compute except what
    // was announced to the panes.
    void applyWindow(bool dataUnchanged = false);
    void resetWindow();
    int fittingCount() const;
    void fitPaddings();
    void mouseMoved(PaneWidget* pane, QPoint pos, Qt::MouseButtons buttons);
    void mousePressed(PaneWidget* pane, QPoint pos);
    void mouseLeft();

    std::unique_ptr<ChartData> m_data;
    QSplitter* m_splitter = nullptr;
    TimeAxisWidget* m_timeAxis = nullptr;
    QList<PaneWidget*> m_panes;
    bool m_logScale = false;
    // The side paddings of every pane and of the time axis.
    double m_paddingLeft = 0;
    double m_paddingRight = 0;
    bool m_windowReset = true;
    int m_first = 0;
    int m_count = 0;
    int m_crossIndex = -1;
    // Where a drag started and the window it started from.
    int m_dragX = -1;
    int m_dragFirst = 0;
};
