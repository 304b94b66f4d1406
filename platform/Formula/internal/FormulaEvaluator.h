#pragma once

#include "FormulaBars.h"
#include "FormulaError.h"
#include "FormulaOutputLine.h"
#include "FormulaProgram.h"
#include "FormulaValue.h"

#include "../CInputData.h"

#include <memory>
#include <vector>

// Runs a compiled formula over the bars of one input, a whole series per
// node.
class FormulaEvaluator
{
public:
    explicit FormulaEvaluator(const CInputData& input);

    bool run(const FormulaProgram& program, std::vector<FormulaOutputLine>& lines,
             FormulaError& error);

    // The output colours in order of the outputs, 0x00BBGGRR: white, yellow,
    // magenta, green, red, blue, cyan.
    static int defaultColor(int outputIndex);

private:
    using Series = std::shared_ptr<std::vector<double>>;

    bool eval(const FormulaNode& node, FormulaValue& value);
    bool evalUnary(const FormulaNode& node, FormulaValue& value);
    bool evalBinary(const FormulaNode& node, FormulaValue& value);
    bool evalCall(const FormulaNode& node, FormulaValue& value);
    bool evalWindow(const FormulaNode& node, std::vector<FormulaValue>& args,
                    FormulaValue& value);
    bool evalWindowByBar(const FormulaNode& node, std::vector<FormulaValue>& args,
                         FormulaValue& value);
    bool evalLibrary(const FormulaNode& node, std::vector<FormulaValue>& args,
                     FormulaValue& value);
    bool evalDraw(const FormulaStatement& statement, FormulaValue& value,
                  FormulaOutputLine& line);

    Series column(int id);
    Series newSeries() const;
    Series seriesOf(const FormulaValue& value);
    static FormulaValue scalar(double number);
    static FormulaValue series(Series s);
    FormulaOutputLine::Series toOutput(const FormulaValue& value);
    bool fail(const FormulaNode& node, const std::string& message);

    FormulaBars m_bars;
    int m_count = 0;
    Series m_columns[6];
    std::vector<FormulaValue> m_variables;
    FormulaError m_error;
};
