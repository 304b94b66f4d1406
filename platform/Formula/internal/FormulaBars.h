#pragma once

#include "../TagDay.h"

#include <cstdint>
#include <vector>

// One run of an input (TagDay.h): bars [start, start + length) whose
// columns travel in first; first is null for bars no run covers.
struct FormulaRun
{
    int start = 0;
    int length = 0;
    const TagDay* first = nullptr;
    std::uint64_t serial = 0;
};

// The bars of one input read as runs, gathered into the contiguous columns
// the evaluator computes over.
class FormulaBars
{
public:
    // Finds the runs by looking at every record. With known, the runs of an
    // input evaluated before, it looks at the records after the last known
    // start one by one and before it only at the known starts (checked by
    // serial), from the end back to the first that still holds its run; the
    // runs before that are taken from known. Reading a million records costs
    // more than a tick's whole evaluation.
    explicit FormulaBars(const std::vector<TagDay>& days,
                         const std::vector<FormulaRun>* known = nullptr);

    int count() const { return m_count; }
    const std::vector<FormulaRun>& runs() const { return m_runs; }

    // Price column id (FormulaNode::ColumnId) of bars [from, count) into
    // out[from …], widened to the double of its shortest decimal; NaN where a
    // bar has no value.
    void column(int id, int from, double* out) const;
    // yyyymmdd and HHMMSS of every bar (0 where a run has none), or null
    // when the input has none.
    const int* dates();
    const int* times();

    // The first bar whose run differs from those of before: runs equal by
    // serial and start up to it, the run containing it possibly cut shorter
    // or longer.
    static int firstChange(const std::vector<FormulaRun>& before,
                           const std::vector<FormulaRun>& now);

private:
    void scanAll(const std::vector<TagDay>& days);
    bool scanFromEnd(const std::vector<TagDay>& days, const std::vector<FormulaRun>& known);
    void addRun(const std::vector<TagDay>& days, int start, int next);
    const int* gather(std::vector<int> TagDay::*column, std::vector<int>& into);

    int m_count = 0;
    std::vector<FormulaRun> m_runs;
    std::vector<int> m_dates;
    std::vector<int> m_times;
};
