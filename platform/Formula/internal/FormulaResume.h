#pragma once

#include "FormulaBars.h"
#include "FormulaProgram.h"
#include "FormulaSeries.h"

#include <memory>
#include <string>
#include <vector>

// What an evaluation keeps so the next one over the same runs can resume:
// the series of every node and output, and the saved states of the windows
// whose rounding depends on all bars before (STD).
struct FormulaNodeState
{
    std::shared_ptr<std::vector<double>> values;
    FormulaSeries::StdMarks marks;
    FormulaSeries::SumMark sum;
    int period = -2; // the window the values were computed with
};

struct FormulaResumeState
{
    std::string key;  // definition: name, text, parameter names and values
    FormulaProgram program;
    std::vector<FormulaRun> runs; // of the last evaluation
    int count = -1;               // its bars; −1 before the first
    std::vector<FormulaNodeState> nodes; // by FormulaNode::slot
    std::shared_ptr<std::vector<double>> columns[6];
    std::vector<std::shared_ptr<std::vector<float>>> outputs; // by statement
    unsigned long long lastUse = 0;
    // The input object it was evaluated over (a pane keeps one). A later
    // state of the same owner and key means the owner was converted anew
    // (a replaced list): this one is likely never found again and goes
    // first when room is needed.
    const void* owner = nullptr;
    bool superseded = false;

    // Numbers the program's nodes; false when a statement or function
    // cannot resume (drawings, per-bar colours, library functions, windows
    // whose period is a line): such a program is evaluated from scratch.
    bool prepare();
    // The memory its series take.
    size_t bytes() const;
};

// The states of the most recent definitions and inputs of a thread. A client
// ticks every engine pane of every chart it shows in turn, so the states of
// all of them are kept while they fit a memory budget: a state dropped costs
// its pane a whole evaluation on its next tick.
class FormulaResumeCache
{
public:
    static constexpr size_t kMinKept = 4;                   // whatever their size
    static constexpr size_t kMaxKept = 64;
    static constexpr size_t kBudgetBytes = size_t(1) << 30; // 1 GiB

    // The state of key whose runs begin as days' do, or null.
    static FormulaResumeState* find(const std::string& key, const std::vector<TagDay>& days);
    // Keeps state, dropping states beyond kMaxKept or the budget (the kept
    // ones measured as they are now): superseded ones first, then the least
    // recently used. A client that reloads a long list would otherwise push
    // out the states of the panes it still ticks.
    static FormulaResumeState* keep(std::unique_ptr<FormulaResumeState> state);
    static void drop(const FormulaResumeState* state);
};
