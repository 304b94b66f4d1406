#pragma once

#include <memory>

class QPainter;
class ZtLineLib_Formula;
class ZtLineLib_Reference;
class ZtLineLib_Scaleplate;
class ZtLineCrossCurve;

// The crosshair of one widget of the chart window. Each pane widget and the
// time-axis strip paint in their own coordinates, so each has a crosshair
// with just its own axis registered; together they form one cross through
// the whole chart. Until the library's crosshair is available the two lines
// are drawn here.
class PaneCrosshair
{
public:
    PaneCrosshair();
    ~PaneCrosshair();
    PaneCrosshair(const PaneCrosshair&) = delete;
    PaneCrosshair& operator=(const PaneCrosshair&) = delete;

    void attach(ZtLineLib_Reference* axis);
    void attach(ZtLineLib_Scaleplate* axis);

    // Draws the cross at item index (absolute) laid out by pane; mouseY is
    // the mouse height in this widget, −1 when the mouse is elsewhere (no
    // horizontal line, no value box).
    void paint(QPainter* painter, int index, int mouseY, ZtLineLib_Formula* pane);

private:
    void paintStandIn(QPainter* painter, int index, int mouseY, ZtLineLib_Formula* pane);

    ZtLineLib_Reference* m_reference = nullptr;
    ZtLineLib_Scaleplate* m_scaleplate = nullptr;
    std::unique_ptr<ZtLineCrossCurve> m_cross;
};
