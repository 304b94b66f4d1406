#include "ModuleFormular.h"

ModuleFormular::ModuleFormular() = default;
ModuleFormular::ModuleFormular(const ModuleFormular& other) = default;
ModuleFormular& ModuleFormular::operator=(const ModuleFormular& other) = default;
ModuleFormular::~ModuleFormular() = default;

bool ModuleFormular::ComputeDayFormular(std::string&, CInputData&, int, int, FormulaResultBase*)
{
    return false;
}
