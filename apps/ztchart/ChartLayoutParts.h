#pragma once

// The optional elements of ChartLayout: the time axis and the crosshair
// join the chart as soon as the library provides them; until then the
// layout paints plain stand-ins.

#include "ChartLayout.h"

#include <ZtLineLib_Formula.h>
#include <ZtLineLib_InfoBar.h>
#include <ZtLineLib_Reference.h>

#if __has_include(<ZtLineLib_Scaleplate.h>)
#include <ZtLineLib_Scaleplate.h>
#define ZTCHART_HAS_SCALEPLATE 1
#else
#define ZTCHART_HAS_SCALEPLATE 0
#endif

#if __has_include(<ZtLineCrossCurve.h>)
#include <ZtLineCrossCurve.h>
#define ZTCHART_HAS_CROSSCURVE 1
#else
#define ZTCHART_HAS_CROSSCURVE 0
#endif

struct ChartLayout::PaneSlot
{
    std::unique_ptr<ZtLineLib_Formula> pane;
    std::vector<std::unique_ptr<ZtLineLib_Formula>> overlays;
    std::unique_ptr<ZtLineLib_Reference> axis;
    QRectF area; // the axis rectangle: the band with the tag paddings around it
    bool main = false;
    bool volume = false;
    QList<double> params;
};

struct ChartLayout::Extras
{
#if ZTCHART_HAS_SCALEPLATE
    // Painted in a strip of its own (its rectangle starts at the top of the
    // painter it gets, so the painter is moved to the strip).
    std::unique_ptr<ZtLineLib_Scaleplate> timeAxis;
    // The same axis at its place in the picture, for the crosshair's time box.
    std::unique_ptr<ZtLineLib_Scaleplate> crossTimeAxis;
#endif
#if ZTCHART_HAS_CROSSCURVE
    std::unique_ptr<ZtLineCrossCurve> cross;
#endif
};
