#pragma once

#include "FormulaGlobal.h"

// The strip colour of an engine line; carried, never interpreted.
struct FORMULA_EXPORT StripColor
{
    bool enable = false;
    int color1 = 0;
    int color2 = 0;
    int color3 = 0;
};
