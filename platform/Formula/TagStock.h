#pragma once

#include "FormulaGlobal.h"

#include <cstdint>

// A plain record of 32 words describing an instrument to the engine.
struct FORMULA_EXPORT TagStock
{
    std::int32_t words[32] = {};
};
