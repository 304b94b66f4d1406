#pragma once

#include "../TagFormularContent.h"

#include <vector>

// The classic indicators every new store and evaluator starts with, as
// formula texts with their parameters.
class FormulaBuiltins
{
public:
    static std::vector<TagFormularContent> all();
};
