#pragma once

#include "FormulaGlobal.h"

#include <string>

// One stored formula definition.
//   texts[0] name (the catalogue title, the store's key)
//   texts[1] description shown to the user
//   texts[2] formula source
//   texts[3] usage notes
//   texts[4] group ("trend", "oscillator", …)
//   texts[5] password or owner tag (unused here)
struct FORMULA_EXPORT TagFormularContent
{
    std::string texts[6];
    std::string paramNames[16];
    int paramCount = 0;
    float params[5][16] = {};
    int numbers[6] = {};
};
