#pragma once

#include "FormulaGlobal.h"

// The draw types the engine writes into tagFLINE::drawType. The values are
// those the chart's painters understand; eFormulaNoDraw has no painter, so
// such a line is listed (name and value) but not drawn.
enum enumFormulaDrawType {
    eFormulaLine = 0,
    eFormulaVolStick = 2,
    eFormulaLineStick = 3,
    eFormulaColorStick = 7,
    eFormulaNoDraw = 100,
    eFormulaDrawText = 200,
    eFormulaDrawIcon = 201,
};
