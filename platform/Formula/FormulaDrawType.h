#pragma once

#include "FormulaGlobal.h"

// The draw types the engine writes into tagFLINE::drawType. The values are
// those the chart's painters understand; eFormulaNoDraw has no painter, so
// such a line is listed (name and value) but not drawn.
//
// The drawing functions (301 and up) use the record's series as follows;
// "price" series take part in the pane's value range, the others do not.
// A bar without a drawing holds the no-value marker in data1.
//   301 STICKLINE   data1, data2 the stick's two ends (price); param1 the
//                   width (10 = a whole slot, 0 = one pixel); param2 0 filled,
//                   1 hollow, −1 hollow and dashed.
//   302 KLINE       data1..4 high, open, low, close (price); per-bar colour
//                   codes when the candles carry their own colour; param2 as
//                   for STICKLINE, −2 for rising hollow / falling filled.
//   303 SEGMENT     a straight line per bar i: from bar i + data4[i] at
//                   price data1[i] to bar i + data3[i] at price data2[i]
//                   (prices; the offsets are signed bar counts, not price);
//                   param1 bit 0 carries the line on to the right edge,
//                   bit 1 to the left edge.
//   304 POLYLINE    data1 the points (price); a line joins successive points
//                   across bars without one.
//   305 PARTLINE    data1 the line (price); a segment ends at bar i when
//                   data2[i] is 1 (not price), coloured by colorCodes[i].
//   306 NUMBER      data1 where (price), data2 the number shown (not price),
//                   drawn with param1 decimals.
//   307 NUMBER_FIX  data1 the number (not price) where the condition holds;
//                   the last such bar of the window is shown at the
//                   fractions data2 (x) and data3 (y) of the pane; param1 0
//                   left-aligned, 1 right-aligned; param2 the decimals.
//   308 TEXT_FIX    as NUMBER_FIX, data1 1 where shown, text in the record.
//   309 BAND        data1, data2 two lines (price): the area between them is
//                   filled in param1's colour where data1 > data2, in
//                   param2's colour where data1 < data2.
//   310 FILLRGN     data1, data2 (price): the area between them filled with
//                   colorCodes[i] on bars with a value.
//   311 BACKGROUND  data1 1 where the condition holds (not price): the pane's
//                   background in a gradient from param1's colour (top or
//                   left) to param2's, painted before every other line;
//                   data2 0 vertical, 1 horizontal.
//   312 VERTLINE    data1 1 where a vertical line crosses the pane (not price).
// Colours are 0x00BBGGRR; a transparency t (0 opaque … 255 invisible) may
// ride in the top byte (RGBA).
enum enumFormulaDrawType {
    eFormulaLine = 0,
    eFormulaVolStick = 2,
    eFormulaLineStick = 3,
    eFormulaColorStick = 7,
    eFormulaNoDraw = 100,
    eFormulaDrawText = 200,
    eFormulaDrawIcon = 201,
    eFormulaStickLine = 301,
    eFormulaKLine = 302,
    eFormulaSegment = 303,
    eFormulaPolyline = 304,
    eFormulaPartLine = 305,
    eFormulaNumber = 306,
    eFormulaNumberFix = 307,
    eFormulaTextFix = 308,
    eFormulaBand = 309,
    eFormulaFillRegion = 310,
    eFormulaBackground = 311,
    eFormulaVertLine = 312,
    // Handed over alone, with no series (count 0), when an evaluation fails
    // and ComputeDayFormular returns false: text holds the reason, "line L,
    // column C: what" where a position applies. It lets a chart show why a
    // pane is empty without any call beyond ComputeDayFormular.
    eFormulaError = 900,
};

// tagFLINE::lineStyle: the low four bits choose how a line (draw type 0) is
// drawn, the bits above carry flags.
enum enumFormulaLineStyle {
    eFormulaStyleSolid = 0,
    eFormulaStyleDot = 1,       // DOTLINE: dotted pen
    eFormulaStyleDash = 2,      // LINEDASH: dashed pen
    eFormulaStylePoints = 3,    // POINTDOT: a dot per bar
    eFormulaStyleCircles = 4,   // CIRCLEDOT: a small circle per bar
    eFormulaStyleCrosses = 5,   // CROSSDOT: a small cross per bar
    eFormulaStyleUpDown = 6,    // UPDOWNDOT: dots in rising / falling colours
    eFormulaStyleStep = 7,      // STEPLINE: horizontal, then vertical
    eFormulaStyleArea = 8,      // LINEAREA: filled down to the pane's bottom
    eFormulaStyleKindMask = 0x000F,
    eFormulaStyleNoText = 0x0100,    // NOTEXT: no name, no value in the legend
    eFormulaStyleNoTitle = 0x0200,   // NOTITLE: the value without the name
    eFormulaStyleDrawAbove = 0x0400, // DRAWABOVE: painted after the other lines
};
