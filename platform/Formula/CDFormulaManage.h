#pragma once

#include "TagFormularContent.h"

#include <functional>
#include <string>
#include <vector>

// The formula store: definitions keyed by name.
class FORMULA_EXPORT CDFormulaManage
{
public:
    CDFormulaManage();
    CDFormulaManage(const CDFormulaManage& other);
    CDFormulaManage& operator=(const CDFormulaManage& other);
    ~CDFormulaManage();

    // The stored definition of name, or null. The store keeps ownership.
    TagFormularContent* GetFormularContent(std::string& name);
    // Adds or replaces the definition of the same name.
    bool SetFormularContent(TagFormularContent& content);
    bool ModifyFormular(std::string& name);
    int FShowFormularManage(int mode);

private:
    std::vector<TagFormularContent> m_contents;
};
