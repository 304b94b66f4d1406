#pragma once

#include "CInputData.h"
#include "FormulaResultBase.h"
#include "TagFormularContent.h"

#include <string>
#include <vector>

// The evaluator of stored formulas.
class FORMULA_EXPORT ModuleFormular
{
public:
    ModuleFormular();
    ModuleFormular(const ModuleFormular& other);
    ModuleFormular& operator=(const ModuleFormular& other);
    ~ModuleFormular();

    bool ComputeDayFormular(std::string& name, CInputData& input, int mode, int flags,
                            FormulaResultBase* result);

private:
    std::vector<TagFormularContent> m_contents;
};
