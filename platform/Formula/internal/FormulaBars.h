#pragma once

#include "../TagDay.h"

#include <cstdint>
#include <vector>

// One run of an input (TagDay.h): bars [start, start + length) whose
// columns travel in the record at start; bars no run covers form a run
// without columns.
struct FormulaRun
{
    int start = 0;
    int length = 0;
    bool hasColumns = false;
    std::uint64_t serial = 0;
};

// The bars of one input read as runs, gathered into the contiguous columns
// the evaluator computes over.
class FormulaBars
{
public:
    // Finds the runs by looking at every record. With known, the runs of an
    // input evaluated before (taken over: the new runs are made of them), it
    // looks at the records after the last known start one by one and before
    // it only at the known starts (checked by serial), from the end back to
    // the first that still holds its run; the runs before that are kept as
    // they are. So a tick or an appended bar costs what its own runs cost,
    // however many bars and runs came before: reading a million records
    // costs more than a tick's whole evaluation.
    explicit FormulaBars(const std::vector<TagDay>& days,
                         std::vector<FormulaRun>* known = nullptr);

    int count() const { return m_count; }
    const std::vector<FormulaRun>& runs() const { return m_runs; }
    std::vector<FormulaRun> takeRuns() { return std::move(m_runs); }
    // The first bar whose run differs from the known ones: runs equal by
    // serial and start up to it, the run containing it possibly cut shorter
    // or longer; 0 without known runs.
    int firstChange() const { return m_firstChange; }

    // Price column id (FormulaNode::ColumnId) of bars [from, count) into
    // out[from …], widened to the double of its shortest decimal; NaN where a
    // bar has no value.
    void column(int id, int from, double* out) const;
    // yyyymmdd and HHMMSS of every bar (0 where a run has none), or null
    // when the input has none.
    const int* dates();
    const int* times();

private:
    void scanAll();
    bool scanFromEnd(std::vector<FormulaRun>& known);
    void addRun(int start, int next);
    const TagDay& first(const FormulaRun& run) const { return (*m_days)[size_t(run.start)]; }
    const int* gather(std::vector<int> TagDay::*column, std::vector<int>& into);

    const std::vector<TagDay>* m_days;
    int m_count = 0;
    int m_firstChange = 0;
    std::vector<FormulaRun> m_runs;
    std::vector<int> m_dates;
    std::vector<int> m_times;
};
