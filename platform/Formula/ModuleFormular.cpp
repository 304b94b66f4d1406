#include "ModuleFormular.h"
#include "FormulaDrawType.h"
#include "TagDayRun.h"

#include "internal/FormulaBuiltins.h"
#include "internal/FormulaEvaluator.h"
#include "internal/FormulaFunctions.h"
#include "internal/FormulaLibrary.h"
#include "internal/FormulaLexer.h"
#include "internal/FormulaParser.h"
#include "internal/FormulaRegistry.h"
#include "internal/FormulaResume.h"

#include <QString>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <memory>

namespace {

bool compile(const TagFormularContent& definition, FormulaProgram& program, FormulaError& error)
{
    std::vector<FormulaToken> tokens;
    if (!FormulaLexer(definition.texts[2]).tokenize(tokens, error))
        return false;
    std::vector<std::pair<std::string, double>> params;
    const int count = std::clamp(definition.paramCount, 0, 16);
    for (int j = 0; j < count; ++j) {
        std::string name = definition.paramNames[j];
        for (char& ch : name) {
            if (ch >= 'a' && ch <= 'z')
                ch = char(ch - 'a' + 'A');
        }
        if (!name.empty())
            params.emplace_back(name, double(definition.params[2][j]));
    }
    return FormulaParser(tokens, params).parse(program, error);
}

// Everything of a definition that changes its lines. Made on every
// evaluation, a live tick included: one allocation, no temporaries.
std::string resumeKey(const TagFormularContent& definition)
{
    const int count = std::clamp(definition.paramCount, 0, 16);
    std::string key;
    key.reserve(definition.texts[0].size() + definition.texts[2].size() + 1 + size_t(count) * 24);
    key.append(definition.texts[0]).append(1, '\0').append(definition.texts[2]);
    for (int j = 0; j < count; ++j) {
        std::uint32_t bits;
        std::memcpy(&bits, &definition.params[2][j], sizeof bits);
        char digits[16];
        const char* end = std::to_chars(digits, digits + sizeof digits, bits).ptr;
        key.append(1, '\0').append(definition.paramNames[j]).append(1, '=').append(digits, size_t(end - digits));
    }
    return key;
}

bool sameDefinition(const TagFormularContent& a, const TagFormularContent& b)
{
    return std::equal(std::begin(a.texts), std::end(a.texts), std::begin(b.texts))
        && std::equal(std::begin(a.paramNames), std::end(a.paramNames), std::begin(b.paramNames))
        && a.paramCount == b.paramCount
        && std::memcmp(a.params, b.params, sizeof a.params) == 0
        && std::memcmp(a.numbers, b.numbers, sizeof a.numbers) == 0;
}

// Evaluates definition, resuming the last evaluation of the same definition
// over the same runs where it can.
bool evaluate(const TagFormularContent& definition, const CInputData& input,
              std::vector<FormulaOutputLine>& lines, FormulaError& error)
{
    // A vector built by hand carries no serial: nothing to resume later.
    if (input.days.empty() || TagDayRun::serialOf(input.days.front()) == 0) {
        FormulaProgram program;
        return compile(definition, program, error)
            && FormulaEvaluator(input).run(program, lines, error);
    }
    std::string key = resumeKey(definition);
    FormulaResumeState* state = FormulaResumeCache::find(key, input.days);
    if (!state) {
        auto fresh = std::make_unique<FormulaResumeState>();
        if (!compile(definition, fresh->program, error))
            return false;
        if (!fresh->prepare())
            return FormulaEvaluator(input).run(fresh->program, lines, error);
        fresh->key = std::move(key);
        fresh->owner = &input;
        state = FormulaResumeCache::keep(std::move(fresh));
    }
    if (FormulaEvaluator(input, state).run(state->program, lines, error))
        return true;
    FormulaResumeCache::drop(state);
    return false;
}

// Plain ASCII reads the same in every local 8-bit encoding; names and texts
// mostly are, and a live feed delivers them on every tick.
bool isAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return (unsigned char)c < 0x80; });
}

std::string toLocal8Bit(const std::string& utf8)
{
    if (isAscii(utf8))
        return utf8;
    return QString::fromUtf8(utf8.c_str(), int(utf8.size())).toLocal8Bit().toStdString();
}

// Lays the evaluated lines out as engine records and hands them over; the
// records point into lines and the strings, which outlive the call.
void deliver(std::vector<FormulaOutputLine>& lines, int barCount, FormulaResultBase* result)
{
    // Converted names and texts; plain ASCII is handed over as it is.
    std::vector<std::string> local;
    const auto localOf = [&](std::string& text) {
        if (isAscii(text))
            return text.data();
        if (local.capacity() == 0)
            local.reserve(2 * lines.size()); // never moves: records point into it
        local.push_back(toLocal8Bit(text));
        return local.back().data();
    };
    std::vector<tagFLINE> records(lines.size());
    float noBars = kFormulaNoValue; // data1 is never null, even without bars
    for (size_t i = 0; i < lines.size(); ++i) {
        FormulaOutputLine& line = lines[i];
        tagFLINE& r = records[i];
        r.lineFlag = 0;
        r.data1 = (line.data1 && !line.data1->empty()) ? line.data1->data() : &noBars;
        r.data2 = (line.data2 && !line.data2->empty()) ? line.data2->data() : nullptr;
        r.data3 = (line.data3 && !line.data3->empty()) ? line.data3->data() : nullptr;
        r.data4 = (line.data4 && !line.data4->empty()) ? line.data4->data() : nullptr;
        r.text = localOf(line.text);
        r.colorCodes = line.colorCodes.empty() ? nullptr : line.colorCodes.data();
        r.drawType = line.drawType;
        r.param1 = line.param1;
        r.param2 = line.param2;
        r.lineWidth = line.lineWidth;
        r.name = localOf(line.name);
        r.count = barCount;
        r.color = line.color;
        r.lineStyle = std::uint16_t(line.lineStyle);
        r.stripColor = nullptr;
        r.rect = nullptr;
    }
    tagFLINES all;
    all.lines = records.empty() ? nullptr : records.data();
    all.count = int(records.size());
    result->parseFromFline(all);
}

// Hands the reason of a failed evaluation over as one record of its own.
void deliverError(const std::string& name, const FormulaError& error, FormulaResultBase* result)
{
    std::string localName = toLocal8Bit(name);
    std::string text = toLocal8Bit(error.text());
    float noBars = kFormulaNoValue;
    tagFLINE record{};
    record.data1 = &noBars;
    record.text = text.data();
    record.name = localName.data();
    record.drawType = eFormulaError;
    record.count = 0;
    tagFLINES all;
    all.lines = &record;
    all.count = 1;
    result->parseFromFline(all);
}

} // namespace

ModuleFormular::ModuleFormular()
    : m_contents(FormulaBuiltins::all())
{
}

ModuleFormular::ModuleFormular(const ModuleFormular& other)
    : m_contents(other.m_contents)
{
    FormulaRegistry& registry = FormulaRegistry::instance();
    registry.setError(this, registry.error(&other));
}

ModuleFormular& ModuleFormular::operator=(const ModuleFormular& other)
{
    m_contents = other.m_contents;
    FormulaRegistry& registry = FormulaRegistry::instance();
    registry.setError(this, registry.error(&other));
    return *this;
}

ModuleFormular::~ModuleFormular()
{
    FormulaRegistry::instance().dropError(this);
}

const TagFormularContent* ModuleFormular::definitionOf(const std::string& name)
{
    const auto own = std::find_if(m_contents.begin(), m_contents.end(),
                                  [&](const TagFormularContent& c) { return c.texts[0] == name; });
    const TagFormularContent* stored = FormulaRegistry::instance().findDefinition(name);
    if (!stored)
        return own == m_contents.end() ? nullptr : &*own;
    // Keep what was evaluated, for when no live store holds it any more;
    // a live feed asks on every tick, and mostly nothing has changed.
    if (own != m_contents.end()) {
        if (!sameDefinition(*own, *stored))
            *own = *stored;
        return &*own;
    }
    m_contents.push_back(*stored);
    return &m_contents.back();
}

bool ModuleFormular::ComputeDayFormular(std::string& name, CInputData& input, int, int,
                                        FormulaResultBase* result)
{
    FormulaRegistry& registry = FormulaRegistry::instance();
    FormulaError error;
    const TagFormularContent* definition = result ? definitionOf(name) : nullptr;
    std::vector<FormulaOutputLine> lines;
    if (!result)
        error.message = "no result to fill";
    else if (!definition)
        error.message = "no formula named '" + name + "'";
    else
        evaluate(*definition, input, lines, error);
    if (!error.message.empty()) {
        registry.setError(this, error);
        if (result)
            deliverError(name, error, result);
        return false;
    }
    registry.setError(this, FormulaError());
    deliver(lines, int(input.days.size()), result);
    return true;
}

namespace {

void collectColumns(const FormulaNode& node, unsigned* columns)
{
    static const unsigned bits[] = {eTagDayOpen, eTagDayHigh, eTagDayLow,
                                    eTagDayClose, eTagDayVolume, eTagDayAmount};
    if (node.kind == FormulaNode::Column && node.index >= 0
        && node.index < FormulaNode::ColumnCount)
        *columns |= bits[node.index];
    if (node.kind == FormulaNode::Call && node.index >= fnLibrary)
        *columns |= FormulaLibrary::entry(node.index - fnLibrary).columns;
    for (const auto& arg : node.args)
        collectColumns(*arg, columns);
}

} // namespace

unsigned ModuleFormular::inputColumns(const std::string& name)
{
    const TagFormularContent* definition = definitionOf(name);
    FormulaProgram program;
    FormulaError error;
    if (!definition || !compile(*definition, program, error))
        return eTagDayAllColumns;
    unsigned columns = 0;
    for (const FormulaStatement& statement : program.statements) {
        if (statement.expr)
            collectColumns(*statement.expr, &columns);
    }
    return columns;
}

std::string ModuleFormular::lastError() const
{
    return FormulaRegistry::instance().error(this).text();
}

int ModuleFormular::lastErrorLine() const
{
    return FormulaRegistry::instance().error(this).line;
}

int ModuleFormular::lastErrorColumn() const
{
    return FormulaRegistry::instance().error(this).column;
}

bool ModuleFormular::checkFormula(const TagFormularContent& definition, std::string* error)
{
    FormulaProgram program;
    FormulaError problem;
    if (compile(definition, program, problem))
        return true;
    if (error)
        *error = problem.text();
    return false;
}
