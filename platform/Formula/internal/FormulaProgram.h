#pragma once

#include "FormulaNode.h"

#include <memory>
#include <string>
#include <vector>

// One statement of a compiled formula.
struct FormulaStatement
{
    std::unique_ptr<FormulaNode> expr;
    int slot = -1;          // variable slot the value is stored in, or −1
    bool output = false;    // becomes an output line
    std::string name;       // line name as written (UTF-8)
    int drawType = 0;       // enumFormulaDrawType
    int color = -1;         // 0x00BBGGRR, −1 for the default colour
    int lineWidth = 1;
};

// A compiled formula: statements in source order.
struct FormulaProgram
{
    std::vector<FormulaStatement> statements;
    int variableCount = 0;
};
