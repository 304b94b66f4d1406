#pragma once

#include "FormulaError.h"

#include "../CDFormulaManage.h"

#include <string>
#include <unordered_map>
#include <vector>

class ModuleFormular;

// Process-wide state of the engine that its two exported objects may not
// hold themselves (each keeps exactly one member): the live stores in order
// of last use, the host's handlers, and the last error of each evaluator.
// It is created on first use and never destroyed, so static stores and
// evaluators of any library may use it during their own destruction.
class FormulaRegistry
{
public:
    static FormulaRegistry& instance();

    // front = most recently used
    void addStore(const CDFormulaManage* store, bool asMostRecent);
    void removeStore(const CDFormulaManage* store);
    void touchStore(const CDFormulaManage* store);
    // The definition of name in the most recently used live store holding it.
    const TagFormularContent* findDefinition(const std::string& name) const;

    CDFormulaManage::ManageHandler manageHandler;
    CDFormulaManage::ModifyHandler modifyHandler;

    void setError(const ModuleFormular* engine, const FormulaError& error);
    FormulaError error(const ModuleFormular* engine) const;
    void dropError(const ModuleFormular* engine);

private:
    FormulaRegistry() = default;

    std::vector<const CDFormulaManage*> m_stores;
    std::unordered_map<const ModuleFormular*, FormulaError> m_errors;
};
