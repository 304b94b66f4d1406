#include "FormulaResume.h"

#include "FormulaFunctions.h"
#include "FormulaLibrary.h"

#include "../TagDayRun.h"

#include <algorithm>
#include <utility>

namespace {

bool isConstant(const FormulaNode& node)
{
    if (node.kind != FormulaNode::Number && node.kind != FormulaNode::Unary
        && node.kind != FormulaNode::Binary)
        return false;
    return std::all_of(node.args.begin(), node.args.end(),
                       [](const auto& arg) { return isConstant(*arg); });
}

// Functions that resume: element by element, a look back of fixed length,
// or a recursion whose state is its last value.
bool resumes(const FormulaNode& call)
{
    switch (call.index) {
    case fnABS: case fnNOT: case fnMAX: case fnMIN: case fnIF: case fnCROSS: case fnBARSLAST:
    case fnREF:
        return true;
    case fnMA: case fnEMA: case fnSMA: case fnHHV: case fnLLV: case fnSUM: case fnCOUNT:
    case fnSTD: case fnAVEDEV:
        // A period that is a line takes each bar's own window from prefix
        // totals over all bars.
        return std::all_of(call.args.begin() + 1, call.args.end(),
                           [](const auto& arg) { return isConstant(*arg); });
    default:
        if (call.index < fnLibrary)
            return false;
        const FormulaLibraryEntry& entry = FormulaLibrary::entry(call.index - fnLibrary);
        return entry.resumes;
    }
}

bool number(FormulaNode& node, int& slots)
{
    if (node.kind == FormulaNode::Text || (node.kind == FormulaNode::Call && !resumes(node)))
        return false;
    node.slot = slots++;
    for (auto& arg : node.args) {
        if (!number(*arg, slots))
            return false;
    }
    return true;
}

struct Kept
{
    std::vector<std::unique_ptr<FormulaResumeState>> states;
    unsigned long long clock = 0;
};

Kept& kept()
{
    thread_local Kept k;
    return k;
}

} // namespace

bool FormulaResumeState::prepare()
{
    int slots = 0;
    for (FormulaStatement& statement : program.statements) {
        const FormulaNode& root = *statement.expr;
        if (root.kind == FormulaNode::Call && FormulaFunctions::isDrawing(root.index))
            return false;
        if (statement.upColor != -1 || statement.downColor != -1 || statement.stickType >= 0)
            return false;
        if (!number(*statement.expr, slots))
            return false;
    }
    nodes.assign(size_t(slots), FormulaNodeState());
    outputs.assign(program.statements.size(), nullptr);
    return true;
}

FormulaResumeState* FormulaResumeCache::find(const std::string& key,
                                             const std::vector<TagDay>& days)
{
    if (days.empty())
        return nullptr;
    const std::uint64_t serial = TagDayRun::serialOf(days.front());
    if (serial == 0)
        return nullptr;
    Kept& k = kept();
    FormulaResumeState* best = nullptr;
    // The serial first: states of the same definition are many after a
    // list was reloaded a few times, and their keys hold the whole formula.
    for (const auto& s : k.states) {
        if (!s->runs.empty() && s->runs.front().serial == serial && s->key == key
            && (!best || s->lastUse > best->lastUse))
            best = s.get();
    }
    if (best) {
        best->lastUse = ++k.clock;
        best->superseded = false;
    }
    return best;
}

size_t FormulaResumeState::bytes() const
{
    size_t n = runs.capacity() * sizeof(FormulaRun);
    for (const FormulaNodeState& node : nodes) {
        n += node.marks.every.capacity() * sizeof(FormulaSeries::StdMark);
        if (node.values)
            n += node.values->capacity() * sizeof(double);
    }
    for (const auto& column : columns)
        n += column ? column->capacity() * sizeof(double) : 0;
    for (const auto& output : outputs)
        n += output ? output->capacity() * sizeof(float) : 0;
    return n;
}

FormulaResumeState* FormulaResumeCache::keep(std::unique_ptr<FormulaResumeState> state)
{
    Kept& k = kept();
    size_t bytes = 0;
    for (const auto& s : k.states) {
        bytes += s->bytes();
        if (s->owner == state->owner && s->key == state->key)
            s->superseded = true;
    }
    while (k.states.size() >= kMinKept && (k.states.size() >= kMaxKept || bytes > kBudgetBytes)) {
        const auto oldest = std::min_element(k.states.begin(), k.states.end(), [](const auto& a, const auto& b) {
            return std::make_pair(!a->superseded, a->lastUse) < std::make_pair(!b->superseded, b->lastUse);
        });
        bytes -= (*oldest)->bytes();
        k.states.erase(oldest);
    }
    state->lastUse = ++k.clock;
    k.states.push_back(std::move(state));
    return k.states.back().get();
}

void FormulaResumeCache::drop(const FormulaResumeState* state)
{
    Kept& k = kept();
    k.states.erase(std::remove_if(k.states.begin(), k.states.end(),
                                  [state](const auto& s) { return s.get() == state; }),
                   k.states.end());
}
