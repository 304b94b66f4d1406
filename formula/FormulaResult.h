#pragma once

#include "ZtLineLibGlobal.h"

#include <FormulaResultBase.h>

// The result holder handed to the formula engine: the engine fills it
// through parseFromFline before its evaluation returns.
class ZTLINELIB_EXPORT FormulaResult : public FormulaResultBase
{
public:
    FormulaResult() = default;
    FormulaResult(const FormulaResult&) = default;
    FormulaResult(FormulaResult&&) = default;
    FormulaResult& operator=(const FormulaResult&) = default;
    FormulaResult& operator=(FormulaResult&&) = default;
    ~FormulaResult() = default;

    void parseFromFline(tagFLINES& flines) override;
    // Everything of an output line but its series.
    static LineData attributesOf(const tagFLINE& f);

    // False exactly for the all-ones bit pattern the engine writes for an
    // item it could not compute.
    static bool CheckValue(float v);
};
