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
    std::vector<FormulaSeries::StdMark> marks;
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

    // Numbers the program's nodes; false when a statement or function
    // cannot resume (drawings, per-bar colours, library functions, windows
    // whose period is a line): such a program is evaluated from scratch.
    bool prepare();
};

// The states of the most recent definitions and inputs, a few per thread.
class FormulaResumeCache
{
public:
    static constexpr size_t kKept = 4;

    // The state of key whose runs begin as days' do, or null.
    static FormulaResumeState* find(const std::string& key, const std::vector<TagDay>& days);
    // Keeps state (dropping the least recently used beyond kKept).
    static FormulaResumeState* keep(std::unique_ptr<FormulaResumeState> state);
    static void drop(const FormulaResumeState* state);
};
