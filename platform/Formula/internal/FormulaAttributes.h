#pragma once

#include "FormulaError.h"
#include "FormulaProgram.h"
#include "FormulaToken.h"

#include <string>
#include <vector>

// The line attributes after an output statement (", COLORRED, DOTLINE …")
// and the colour constants the expressions may use.
class FormulaAttributes
{
public:
    // Reads the attribute at tokens[pos] (an identifier) into statement and
    // moves pos past it. False with error set for one it does not know.
    static bool read(const std::vector<FormulaToken>& tokens, size_t& pos,
                     FormulaStatement& statement, FormulaError& error);

    // COLORRED, COLORLIGHTRED, COLORLIRED, COLOR0080FF … as 0x00BBGGRR.
    static bool colorConstant(const std::string& upperName, int& color);

    // RGB(r,g,b) and RGBA(r,g,b,a) as a colour code; components are cut to
    // 0 … 255. The alpha becomes a transparency 255 − a in the top byte.
    static int rgb(double r, double g, double b, double alpha = 255.0);

    // LINETHICKn accepts any n; the width is cut to this range.
    static constexpr int kMinWidth = 1;
    static constexpr int kMaxWidth = 16;
};
