#pragma once

#include "FormulaGlobal.h"

// A rectangle an engine line may carry.
struct FORMULA_EXPORT Rect
{
    bool valid = false;
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;
};
