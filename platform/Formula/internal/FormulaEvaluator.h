#pragma once

#include "FormulaBars.h"
#include "FormulaError.h"
#include "FormulaOutputLine.h"
#include "FormulaProgram.h"
#include "FormulaValue.h"

#include "../CInputData.h"

#include <memory>
#include <vector>

struct FormulaResumeState;

// Runs a compiled formula over the bars of one input, a whole series per
// node. With a resume state (FormulaResume.h) every node keeps its series
// there, and only the bars from the first one whose run the state has not
// seen are computed; the others keep the values of the last evaluation.
class FormulaEvaluator
{
public:
    explicit FormulaEvaluator(const CInputData& input, FormulaResumeState* resume = nullptr);

    bool run(const FormulaProgram& program, std::vector<FormulaOutputLine>& lines,
             FormulaError& error);

    // The output colours in order of the outputs, 0x00BBGGRR: white, yellow,
    // magenta, green, red, blue, cyan.
    static int defaultColor(int outputIndex);

    // Where an element-wise result goes: own (a resumed node's series) or,
    // when null, an operand's series when this is its last holder, else a
    // new one; bars [from, n) are computed.
    struct Target
    {
        std::shared_ptr<std::vector<double>> own;
        int from = 0;
        int n = 0;
    };

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
    // The series node computes into: its own in a resumed evaluation.
    Series target(const FormulaNode& node);
    // Where an element-wise result of node over operands a and b goes.
    Target targetOf(const FormulaNode& node, const FormulaValue& a, const FormulaValue& b);
    // The first bar a window node computes: from the start when its window
    // differs from the one its kept values were computed with.
    int windowFrom(const FormulaNode& node, int period);
    Series seriesOf(const FormulaValue& value);
    static FormulaValue scalar(double number);
    static FormulaValue series(Series s);
    FormulaOutputLine::Series toOutput(const FormulaValue& value, size_t statement = size_t(-1));
    bool fail(const FormulaNode& node, const std::string& message);

    FormulaBars m_bars;
    int m_count = 0;
    FormulaResumeState* m_resume = nullptr;
    int m_from = 0; // first bar computed
    Series m_columns[6];
    std::vector<FormulaValue> m_variables;
    FormulaError m_error;
};
