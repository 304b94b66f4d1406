#include "CDFormulaManage.h"

CDFormulaManage::CDFormulaManage() = default;
CDFormulaManage::CDFormulaManage(const CDFormulaManage& other) = default;
CDFormulaManage& CDFormulaManage::operator=(const CDFormulaManage& other) = default;
CDFormulaManage::~CDFormulaManage() = default;

TagFormularContent* CDFormulaManage::GetFormularContent(std::string& name)
{
    for (auto& c : m_contents) {
        if (c.texts[0] == name)
            return &c;
    }
    return nullptr;
}

bool CDFormulaManage::SetFormularContent(TagFormularContent& content)
{
    if (content.texts[0].empty())
        return false;
    if (TagFormularContent* existing = GetFormularContent(content.texts[0])) {
        *existing = content;
        return true;
    }
    m_contents.push_back(content);
    return true;
}

bool CDFormulaManage::ModifyFormular(std::string&)
{
    return false;
}

int CDFormulaManage::FShowFormularManage(int)
{
    return 0;
}
