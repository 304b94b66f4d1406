#pragma once

#include "FormulaGlobal.h"

#include <string>

// One stored formula definition. Texts are UTF-8.
//   texts[0]   name: the store's key and the indicator title ("MACD")
//   texts[1]   description shown to the user ("Moving average convergence …")
//   texts[2]   formula source in the formula language (see ModuleFormular.h)
//   texts[3]   usage notes for the user; free text
//   texts[4]   group the host may sort by ("trend", "oscillator", "user")
//   texts[5]   owner tag; free text, unused by the engine
//   paramNames[j], j < paramCount: the name formulas refer to parameter j by
//   params[0][j]  smallest value a host dialog should accept
//   params[1][j]  largest value a host dialog should accept
//   params[2][j]  the value evaluations use
//   params[3][j]  the default value (what "restore defaults" writes back)
//   params[4][j]  step of a host dialog's spin box
//   numbers[0]    1 when the lines overlay the price pane (MA, BOLL), else 0
//   numbers[1…5]  reserved, 0
// Only texts[0], texts[2], paramNames, paramCount and params[2] influence
// an evaluation; the rest is carried for the host.
struct FORMULA_EXPORT TagFormularContent
{
    std::string texts[6];
    std::string paramNames[16];
    int paramCount = 0;
    float params[5][16] = {};
    int numbers[6] = {};
};
