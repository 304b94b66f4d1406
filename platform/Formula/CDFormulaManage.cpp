#include "CDFormulaManage.h"

#include "internal/FormulaBuiltins.h"
#include "internal/FormulaRegistry.h"

#include <algorithm>

CDFormulaManage::CDFormulaManage()
    : m_contents(FormulaBuiltins::all())
{
    FormulaRegistry::instance().addStore(this, true);
}

CDFormulaManage::CDFormulaManage(const CDFormulaManage& other)
    : m_contents(other.m_contents)
{
    // Same definitions as the original, so the copy need not take over.
    FormulaRegistry::instance().addStore(this, false);
}

CDFormulaManage& CDFormulaManage::operator=(const CDFormulaManage& other)
{
    m_contents = other.m_contents;
    FormulaRegistry::instance().touchStore(this);
    return *this;
}

CDFormulaManage::~CDFormulaManage()
{
    FormulaRegistry::instance().removeStore(this);
}

TagFormularContent* CDFormulaManage::GetFormularContent(std::string& name)
{
    // The caller may write through the pointer, so this store is in use.
    FormulaRegistry::instance().touchStore(this);
    return const_cast<TagFormularContent*>(findFormular(name));
}

const TagFormularContent* CDFormulaManage::findFormular(const std::string& name) const
{
    for (const auto& c : m_contents) {
        if (c.texts[0] == name)
            return &c;
    }
    return nullptr;
}

const std::vector<TagFormularContent>& CDFormulaManage::contents() const
{
    return m_contents;
}

bool CDFormulaManage::SetFormularContent(TagFormularContent& content)
{
    if (content.texts[0].empty() || content.paramCount < 0 || content.paramCount > 16)
        return false;
    FormulaRegistry::instance().touchStore(this);
    if (auto* existing = const_cast<TagFormularContent*>(findFormular(content.texts[0]))) {
        *existing = content;
        return true;
    }
    m_contents.push_back(content);
    return true;
}

bool CDFormulaManage::removeFormular(const std::string& name)
{
    const auto it = std::find_if(m_contents.begin(), m_contents.end(),
                                 [&](const TagFormularContent& c) { return c.texts[0] == name; });
    if (it == m_contents.end())
        return false;
    FormulaRegistry::instance().touchStore(this);
    m_contents.erase(it);
    return true;
}

bool CDFormulaManage::ModifyFormular(std::string& name)
{
    FormulaRegistry& registry = FormulaRegistry::instance();
    registry.touchStore(this);
    // Copied so a handler that unregisters itself does not pull the
    // function out from under its own call.
    const ModifyHandler handler = registry.modifyHandler;
    return handler ? handler(*this, name) : false;
}

int CDFormulaManage::FShowFormularManage(int mode)
{
    FormulaRegistry& registry = FormulaRegistry::instance();
    registry.touchStore(this);
    const ManageHandler handler = registry.manageHandler;
    return handler ? handler(*this, mode) : kNoManageWindow;
}

void CDFormulaManage::setManageHandler(ManageHandler handler)
{
    FormulaRegistry::instance().manageHandler = std::move(handler);
}

void CDFormulaManage::setModifyHandler(ModifyHandler handler)
{
    FormulaRegistry::instance().modifyHandler = std::move(handler);
}

std::vector<TagFormularContent> CDFormulaManage::builtinFormulars()
{
    return FormulaBuiltins::all();
}
