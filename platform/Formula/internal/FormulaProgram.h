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
    int color = -1;         // 0x00BBGGRR (a transparency may ride in the top byte), −1 for the default colour
    int lineWidth = 1;
    int lineStyle = 0;      // enumFormulaLineStyle
    int upColor = -1;       // UPCOLOR / DOWNCOLOR, −1 when not given
    int downColor = -1;
    int stickType = -1;     // STICKTYPEn, −1 when not given
};

// A compiled formula: statements in source order.
struct FormulaProgram
{
    std::vector<FormulaStatement> statements;
    int variableCount = 0;
};
