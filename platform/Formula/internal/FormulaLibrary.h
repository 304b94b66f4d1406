#pragma once

#include "FormulaValue.h"

#include <functional>
#include <limits>
#include <string>
#include <vector>

class FormulaBars;

// One call of a library function as its implementation sees it: the
// evaluated arguments, the number of bars and the bars' columns.
class FormulaCall
{
public:
    using ColumnSource = std::function<const double*(int columnId)>;

    // bars gives the dates and times, gathered only when a function reads
    // them: over a spliced input that costs a pass over every bar.
    FormulaCall(int n, std::vector<FormulaValue>& args, ColumnSource columns, FormulaBars* bars)
        : m_n(n), m_args(args), m_columns(std::move(columns)), m_bars(bars)
    {
    }

    int count() const { return m_n; }
    size_t argCount() const { return m_args.size(); }
    bool isScalar(size_t i) const { return m_args[i].isScalar; }
    // A constant argument (the first bar's value of a series argument).
    double number(size_t i) const;
    // Argument i as n values; a constant is spread over every bar.
    const double* series(size_t i);
    // Price column (FormulaNode::ColumnId) with the evaluator's widening.
    const double* column(int id) { return m_columns(id); }
    // yyyymmdd and HHMMSS of bar i; 0 when the input has none.
    int date(int i)
    {
        if (!m_calendarRead)
            readCalendar();
        return m_dates ? m_dates[i] : 0;
    }
    int time(int i)
    {
        if (!m_calendarRead)
            readCalendar();
        return m_times ? m_times[i] : 0;
    }
    // The first bar to compute; out holds the values of the bars before it
    // from an earlier call over the same values (only for entries that
    // resume; 0 otherwise).
    int from() const { return m_from; }
    void setFrom(int from) { m_from = from; }

private:
    int m_n;
    std::vector<FormulaValue>& m_args;
    void readCalendar();

    ColumnSource m_columns;
    FormulaBars* m_bars;
    bool m_calendarRead = false;
    const int* m_dates = nullptr;
    const int* m_times = nullptr;
    std::vector<std::vector<double>> m_spread;
    int m_from = 0;
};

// Writes one value per bar to out (NaN = no value).
using FormulaImpl = void (*)(FormulaCall& call, double* out);

struct FormulaLibraryEntry
{
    const char* name;
    int minArity;
    int maxArity;
    // Arguments from this index on must be constants; −1 when all may be lines.
    int firstConstant;
    FormulaImpl impl;
    // Price columns read besides the arguments (TagDayColumn bits), so
    // that callers fill them (ModuleFormular::inputColumns).
    unsigned columns = 0;
    // Computes bars from FormulaCall::from() on alone, taking what it needs
    // from its own values before (a recursion) or from the arguments and
    // columns, whose earlier bars stay as they were: so an evaluation can
    // resume. A bar's value may not depend on later bars or on the count.
    bool resumes = false;
};

// The functions of the language beyond the evaluator's core set, one table
// per family (FormulaFunctions*.cpp).
namespace FormulaLibrary {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Family
{
    const FormulaLibraryEntry* entries;
    size_t count;
};

Family mathFamily();
Family statsFamily();
Family referenceFamily();
Family signalFamily();
Family logicFamily();
Family timeFamily();

// Position of name in the joined tables, or −1; entry(position) is valid
// for 0 ≤ position < size().
int indexOf(const std::string& name);
const FormulaLibraryEntry& entry(int position);
int size();

} // namespace FormulaLibrary
