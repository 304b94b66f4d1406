#pragma once

#include "FormulaNode.h"
#include "FormulaOutputLine.h"
#include "FormulaProgram.h"

#include <memory>
#include <string>
#include <vector>

// The drawing functions (STICKLINE, DRAWKLINE, DRAWLINE …): their checks at
// compile time and the output records they make. The record layout of each
// draw type is described in FormulaDrawType.h.
class FormulaDrawing
{
public:
    using Series = std::shared_ptr<std::vector<double>>;

    // The draw type an output statement of this function gets.
    static int drawTypeOf(int functionId);

    // Compile-time work on a parsed call: RGB and RGBA fold into a number;
    // DRAWCOLORKLINE gets the bar columns it draws from as extra arguments.
    // False with a message when the call cannot work.
    static bool completeCall(FormulaNode& call, std::string& message);

    // Fills line's series and parameters from the evaluated arguments (one
    // value per bar each, NaN = no value; text = the quoted argument).
    static void build(int functionId, const std::vector<Series>& args, const std::string& text,
                      int count, FormulaOutputLine& line);

    // What the statement's attributes add to an evaluated output line: line
    // style, rising and falling colours, stick type, and the line colour
    // where a drawing left it to the line.
    static void finish(const FormulaStatement& statement, FormulaOutputLine& line);

    // A colour code that stands for the line's own colour until finish.
    static constexpr int kLineColour = int(0x80000000u);
};
