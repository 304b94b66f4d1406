#pragma once

#include <QWidget>

#include <memory>

class ChartData;
class ZtLineCrossCurve;
class ZtLineLib_Formula;
class ZtLineLib_Scaleplate;

// The time axis strip under the panes, with the crosshair's time box. It
// shares the data window of the panes and their horizontal layout (same
// width and side paddings), so the item under the cross is the same one.
class TimeAxisWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 22;

    TimeAxisWidget(ChartData* data, QWidget* parent = nullptr);
    ~TimeAxisWidget() override;

    void setWindow(int first, int count);
    // The side paddings of the panes above.
    void setPaddings(double left, double right);
    // layout: the pane whose item positions the time box follows.
    void setCrosshair(int index, ZtLineLib_Formula* layout);
    ZtLineLib_Scaleplate* scaleplate() const { return m_axis.get(); }
    ZtLineCrossCurve* crosshair() const { return m_cross.get(); }

    QSize sizeHint() const override { return QSize(800, kHeight); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    ChartData* m_data;
    std::unique_ptr<ZtLineLib_Scaleplate> m_axis;
    // Paints the crosshair's time box; only this axis is registered with it.
    std::unique_ptr<ZtLineCrossCurve> m_cross;
    ZtLineLib_Formula* m_layout = nullptr;
    double m_paddingLeft = 4;
    double m_paddingRight = 64;
    int m_first = 0;
    int m_count = 0;
    int m_crossIndex = -1;
};
