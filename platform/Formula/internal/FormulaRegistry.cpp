#include "FormulaRegistry.h"

#include <algorithm>

FormulaRegistry& FormulaRegistry::instance()
{
    static FormulaRegistry* registry = new FormulaRegistry;
    return *registry;
}

void FormulaRegistry::addStore(const CDFormulaManage* store, bool asMostRecent)
{
    removeStore(store);
    if (asMostRecent)
        m_stores.insert(m_stores.begin(), store);
    else
        m_stores.push_back(store);
}

void FormulaRegistry::removeStore(const CDFormulaManage* store)
{
    m_stores.erase(std::remove(m_stores.begin(), m_stores.end(), store), m_stores.end());
}

void FormulaRegistry::touchStore(const CDFormulaManage* store)
{
    if (!m_stores.empty() && m_stores.front() == store)
        return;
    addStore(store, true);
}

const TagFormularContent* FormulaRegistry::findDefinition(const std::string& name) const
{
    for (const CDFormulaManage* store : m_stores) {
        if (const TagFormularContent* found = store->findFormular(name))
            return found;
    }
    return nullptr;
}

void FormulaRegistry::setError(const ModuleFormular* engine, const FormulaError& error)
{
    if (error.message.empty())
        m_errors.erase(engine);
    else
        m_errors[engine] = error;
}

FormulaError FormulaRegistry::error(const ModuleFormular* engine) const
{
    const auto it = m_errors.find(engine);
    return it == m_errors.end() ? FormulaError() : it->second;
}

void FormulaRegistry::dropError(const ModuleFormular* engine)
{
    m_errors.erase(engine);
}
