#pragma once

#include <memory>
#include <vector>

// A value during evaluation: a constant, or one double per bar (NaN = no
// value). Series are shared so variables are not copied when read; an
// operation writes into an operand's series in place when nobody else
// holds it.
struct FormulaValue
{
    bool isScalar = true;
    double number = 0.0;
    std::shared_ptr<std::vector<double>> series;
};
