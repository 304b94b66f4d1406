#pragma once

#include "LineData.h"
#include "tagFLINES.h"

#include <vector>

// The result holder the engine fills: it hands its output lines to
// parseFromFline before ComputeDayFormular returns.
class FORMULA_EXPORT FormulaResultBase
{
public:
    FormulaResultBase() = default;
    FormulaResultBase(const FormulaResultBase&) = default;
    FormulaResultBase(FormulaResultBase&&) = default;
    FormulaResultBase& operator=(const FormulaResultBase&) = default;
    FormulaResultBase& operator=(FormulaResultBase&&) = default;

    virtual void parseFromFline(tagFLINES& lines) = 0;

    std::vector<LineData> lines;
    int lineCount = 0;

protected:
    ~FormulaResultBase() = default;
};
