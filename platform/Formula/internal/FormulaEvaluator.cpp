#include "FormulaEvaluator.h"

#include "FormulaBufferPool.h"
#include "FormulaDecimal.h"
#include "FormulaDrawing.h"
#include "FormulaFunctions.h"
#include "FormulaLibrary.h"
#include "FormulaResume.h"
#include "FormulaSeries.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Inputs and results at or beyond the no-value marker's size carry no value.
constexpr double kNoValueLimit = 999999986991104.0;

using Target = FormulaEvaluator::Target;

std::shared_ptr<std::vector<double>> reuse(FormulaValue& a, const Target& t)
{
    if (t.own)
        return t.own;
    if (!a.isScalar && a.series.use_count() == 1)
        return a.series;
    return nullptr;
}

// Applies f element by element.
template <class F>
FormulaValue combine(FormulaValue& a, FormulaValue& b, const Target& t, F f)
{
    FormulaValue out;
    if (a.isScalar && b.isScalar) {
        out.number = f(a.number, b.number);
        return out;
    }
    out.isScalar = false;
    out.series = reuse(a, t);
    if (!out.series)
        out.series = reuse(b, t);
    if (!out.series)
        out.series = FormulaBufferPool<double>::acquire(size_t(t.n));
    double* o = out.series->data();
    if (a.isScalar) {
        const double x = a.number;
        const double* y = b.series->data();
        for (int i = t.from; i < t.n; ++i)
            o[i] = f(x, y[i]);
    } else if (b.isScalar) {
        const double* x = a.series->data();
        const double y = b.number;
        for (int i = t.from; i < t.n; ++i)
            o[i] = f(x[i], y);
    } else {
        const double* x = a.series->data();
        const double* y = b.series->data();
        for (int i = t.from; i < t.n; ++i)
            o[i] = f(x[i], y[i]);
    }
    return out;
}

template <class F>
FormulaValue apply(FormulaValue& a, const Target& t, F f)
{
    FormulaValue out;
    if (a.isScalar) {
        out.number = f(a.number);
        return out;
    }
    out.isScalar = false;
    out.series = reuse(a, t);
    if (!out.series)
        out.series = FormulaBufferPool<double>::acquire(size_t(t.n));
    const double* x = a.series->data();
    double* o = out.series->data();
    for (int i = t.from; i < t.n; ++i)
        o[i] = f(x[i]);
    return out;
}

// Sizes a kept series to n bars. A series that must grow gets room for an
// eighth more, so that the bars a live feed appends one by one do not move
// it each time the evaluation resumes (the pages of that room are touched
// only when used).
template <typename T>
void sizeKept(std::vector<T>& kept, int n)
{
    if (kept.capacity() < size_t(n))
        kept.reserve(size_t(n) + size_t(n) / 8 + 64);
    kept.resize(size_t(n));
}

double at(const FormulaValue& v, int i)
{
    return v.isScalar ? v.number : (*v.series)[size_t(i)];
}

double truth(bool b)
{
    return b ? 1.0 : 0.0;
}

bool anyNaN(double a, double b)
{
    return std::isnan(a) || std::isnan(b);
}

const char* functionName(int id)
{
    static const char* const names[] = {"MA", "EMA", "SMA", "WMA", "REF", "HHV", "LLV", "SUM",
                                        "COUNT", "STD", "AVEDEV", "ABS", "MAX", "MIN", "IF",
                                        "CROSS", "BARSLAST", "NOT", "DRAWTEXT", "DRAWICON"};
    return names[id];
}

} // namespace

FormulaEvaluator::FormulaEvaluator(const CInputData& input, FormulaResumeState* resume)
    : m_bars(input.days, resume && resume->count >= 0 ? &resume->runs : nullptr)
    , m_count(m_bars.count())
    , m_resume(resume)
{
    if (resume && resume->count >= 0)
        m_from = std::min({m_bars.firstChange(), resume->count, m_count});
}

FormulaEvaluator::Series FormulaEvaluator::target(const FormulaNode& node)
{
    if (!m_resume)
        return newSeries();
    Series& kept = m_resume->nodes[size_t(node.slot)].values;
    if (!kept)
        kept = std::make_shared<std::vector<double>>();
    sizeKept(*kept, m_count);
    return kept;
}

FormulaEvaluator::Target FormulaEvaluator::targetOf(const FormulaNode& node,
                                                    const FormulaValue& a, const FormulaValue& b)
{
    Target t;
    t.from = m_from;
    t.n = m_count;
    if (m_resume && !(a.isScalar && b.isScalar))
        t.own = target(node);
    return t;
}

int FormulaEvaluator::windowFrom(const FormulaNode& node, int period)
{
    if (!m_resume)
        return 0;
    FormulaNodeState& state = m_resume->nodes[size_t(node.slot)];
    if (state.period == period)
        return m_from;
    state.period = period;
    return 0;
}

int FormulaEvaluator::defaultColor(int outputIndex)
{
    static const int colors[] = {0xFFFFFF, 0x00FFFF, 0xFF00FF, 0x00FF00,
                                 0x0000FF, 0xFF0000, 0xFFFF00};
    return colors[outputIndex % 7];
}

bool FormulaEvaluator::fail(const FormulaNode& node, const std::string& message)
{
    m_error = FormulaError{message, node.line, node.column};
    return false;
}

FormulaValue FormulaEvaluator::scalar(double number)
{
    FormulaValue v;
    v.number = number;
    return v;
}

FormulaValue FormulaEvaluator::series(Series s)
{
    FormulaValue v;
    v.isScalar = false;
    v.series = std::move(s);
    return v;
}

FormulaEvaluator::Series FormulaEvaluator::newSeries() const
{
    return FormulaBufferPool<double>::acquire(size_t(m_count));
}

FormulaEvaluator::Series FormulaEvaluator::seriesOf(const FormulaValue& value)
{
    if (!value.isScalar)
        return value.series;
    Series s = newSeries();
    FormulaSeries::fill(s->data(), m_count, value.number);
    return s;
}

FormulaEvaluator::Series FormulaEvaluator::column(int id)
{
    if (m_columns[id])
        return m_columns[id];
    Series s;
    if (m_resume) {
        Series& kept = m_resume->columns[id];
        if (!kept)
            kept = std::make_shared<std::vector<double>>();
        sizeKept(*kept, m_count);
        s = kept;
    } else {
        s = newSeries();
    }
    m_bars.column(id, m_from, s->data());
    m_columns[id] = s;
    return s;
}

FormulaOutputLine::Series FormulaEvaluator::toOutput(const FormulaValue& value, size_t statement)
{
    FormulaOutputLine::Series buffer;
    int from = 0;
    if (m_resume && statement < m_resume->outputs.size()) {
        FormulaOutputLine::Series& kept = m_resume->outputs[statement];
        if (!kept)
            kept = std::make_shared<std::vector<float>>();
        sizeKept(*kept, m_count);
        buffer = kept;
        from = m_from;
    } else {
        buffer = FormulaBufferPool<float>::acquire(size_t(m_count));
    }
    float* out = buffer->data();
    const auto convert = [](double v) {
        return (std::isfinite(v) && std::fabs(v) < kNoValueLimit) ? float(v) : kFormulaNoValue;
    };
    if (value.isScalar) {
        const float v = convert(value.number);
        for (int i = from; i < m_count; ++i)
            out[i] = v;
        return buffer;
    }
    const double* x = value.series->data();
    for (int i = from; i < m_count; ++i)
        out[i] = convert(x[i]);
    return buffer;
}

bool FormulaEvaluator::run(const FormulaProgram& program, std::vector<FormulaOutputLine>& lines,
                           FormulaError& error)
{
    lines.clear();
    lines.reserve(program.statements.size());
    m_variables.assign(size_t(program.variableCount), FormulaValue());
    int outputIndex = 0;
    for (size_t index = 0; index < program.statements.size(); ++index) {
        const FormulaStatement& statement = program.statements[index];
        const FormulaNode& root = *statement.expr;
        const bool draw = root.kind == FormulaNode::Call && FormulaFunctions::isDrawing(root.index);
        FormulaValue value;
        FormulaOutputLine line;
        const bool ok = draw ? evalDraw(statement, value, line) : eval(root, value);
        if (!ok) {
            error = m_error;
            lines.clear();
            return false;
        }
        if (statement.output) {
            line.name = statement.name;
            line.drawType = statement.drawType;
            line.color = statement.color != -1 ? statement.color : defaultColor(outputIndex);
            line.lineWidth = statement.lineWidth;
            if (!draw)
                line.data1 = toOutput(value, index);
            FormulaDrawing::finish(statement, line);
            lines.push_back(std::move(line));
            ++outputIndex;
        }
        if (statement.slot >= 0)
            m_variables[size_t(statement.slot)] = std::move(value);
    }
    if (m_resume) {
        m_resume->runs = m_bars.takeRuns();
        m_resume->count = m_count;
    }
    return true;
}

bool FormulaEvaluator::evalDraw(const FormulaStatement& statement, FormulaValue& value,
                                FormulaOutputLine& line)
{
    const FormulaNode& call = *statement.expr;
    if (call.index != fnDRAWTEXT && call.index != fnDRAWICON) {
        std::vector<Series> args;
        std::string text;
        for (const auto& arg : call.args) {
            if (arg->kind == FormulaNode::Text) {
                text = arg->text;
                continue;
            }
            FormulaValue v;
            if (!eval(*arg, v))
                return false;
            args.push_back(seriesOf(v));
        }
        FormulaDrawing::build(call.index, args, text, m_count, line);
        value = scalar(kNaN);
        return true;
    }
    FormulaValue condition;
    FormulaValue price;
    if (!eval(*call.args[0], condition) || !eval(*call.args[1], price))
        return false;
    // The price shows where the condition holds; elsewhere no value.
    value = combine(condition, price, Target{nullptr, 0, m_count}, [](double c, double p) {
        return (!std::isnan(c) && c != 0.0) ? p : kNaN;
    });
    line.data1 = toOutput(value);
    if (call.index == fnDRAWTEXT) {
        line.text = call.args[2]->text;
        return true;
    }
    FormulaValue icon;
    if (!eval(*call.args[2], icon))
        return false;
    line.data2 = toOutput(icon);
    return true;
}

bool FormulaEvaluator::eval(const FormulaNode& node, FormulaValue& value)
{
    switch (node.kind) {
    case FormulaNode::Number:
        value = scalar(node.number);
        return true;
    case FormulaNode::Column:
        value = series(column(node.index));
        return true;
    case FormulaNode::Variable:
        value = m_variables[size_t(node.index)];
        return true;
    case FormulaNode::Unary:
        return evalUnary(node, value);
    case FormulaNode::Binary:
        return evalBinary(node, value);
    case FormulaNode::Call:
        return evalCall(node, value);
    case FormulaNode::Text:
        break;
    }
    return fail(node, "a text cannot be computed with");
}

bool FormulaEvaluator::evalUnary(const FormulaNode& node, FormulaValue& value)
{
    FormulaValue a;
    if (!eval(*node.args[0], a))
        return false;
    const Target t = targetOf(node, a, a);
    if (node.index == FormulaNode::Negate)
        value = apply(a, t, [](double x) { return -x; });
    else
        value = apply(a, t, [](double x) { return std::isnan(x) ? kNaN : truth(x == 0.0); });
    return true;
}

bool FormulaEvaluator::evalBinary(const FormulaNode& node, FormulaValue& value)
{
    FormulaValue a;
    FormulaValue b;
    if (!eval(*node.args[0], a) || !eval(*node.args[1], b))
        return false;
    const Target t = targetOf(node, a, b);
    switch (node.index) {
    case FormulaNode::Add:
        value = combine(a, b, t, [](double x, double y) { return FormulaDecimal::add(x, y); });
        break;
    case FormulaNode::Subtract:
        value = combine(a, b, t,
                        [](double x, double y) { return FormulaDecimal::subtract(x, y); });
        break;
    case FormulaNode::Multiply:
        value = combine(a, b, t, [](double x, double y) { return x * y; });
        break;
    case FormulaNode::Divide:
        value = combine(a, b, t, [](double x, double y) { return y == 0.0 ? kNaN : x / y; });
        break;
    case FormulaNode::Less:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(FormulaDecimal::less(x, y)); });
        break;
    case FormulaNode::LessEqual:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(!FormulaDecimal::less(y, x)); });
        break;
    case FormulaNode::Greater:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(FormulaDecimal::less(y, x)); });
        break;
    case FormulaNode::GreaterEqual:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(!FormulaDecimal::less(x, y)); });
        break;
    case FormulaNode::Equal:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(FormulaDecimal::equal(x, y)); });
        break;
    case FormulaNode::NotEqual:
        value = combine(a, b, t, [](double x, double y) { return anyNaN(x, y) ? kNaN : truth(!FormulaDecimal::equal(x, y)); });
        break;
    case FormulaNode::And:
        value = combine(a, b, t, [](double x, double y) {
            return anyNaN(x, y) ? kNaN : truth(x != 0.0 && y != 0.0);
        });
        break;
    case FormulaNode::Or:
        value = combine(a, b, t, [](double x, double y) {
            return anyNaN(x, y) ? kNaN : truth(x != 0.0 || y != 0.0);
        });
        break;
    default:
        return fail(node, "unknown operator");
    }
    return true;
}

bool FormulaEvaluator::evalCall(const FormulaNode& node, FormulaValue& value)
{
    std::vector<FormulaValue> args(node.args.size());
    for (size_t i = 0; i < node.args.size(); ++i) {
        if (!eval(*node.args[i], args[i]))
            return false;
    }
    const int n = m_count;
    switch (node.index) {
    case fnABS:
        value = apply(args[0], targetOf(node, args[0], args[0]), [](double x) { return std::fabs(x); });
        return true;
    case fnNOT:
        value = apply(args[0], targetOf(node, args[0], args[0]), [](double x) { return std::isnan(x) ? kNaN : truth(x == 0.0); });
        return true;
    case fnMAX:
        value = combine(args[0], args[1], targetOf(node, args[0], args[1]),
                        [](double x, double y) { return anyNaN(x, y) ? kNaN : std::max(x, y); });
        return true;
    case fnMIN:
        value = combine(args[0], args[1], targetOf(node, args[0], args[1]),
                        [](double x, double y) { return anyNaN(x, y) ? kNaN : std::min(x, y); });
        return true;
    case fnIF: {
        FormulaValue& c = args[0];
        if (c.isScalar) {
            value = std::isnan(c.number) ? scalar(kNaN) : (c.number != 0.0 ? args[1] : args[2]);
            return true;
        }
        Series out = target(node);
        const double* cs = c.series->data();
        double* o = out->data();
        for (int i = m_from; i < n; ++i)
            o[i] = std::isnan(cs[i]) ? kNaN : (cs[i] != 0.0 ? at(args[1], i) : at(args[2], i));
        value = series(out);
        return true;
    }
    case fnCROSS: {
        const Series a = seriesOf(args[0]);
        const Series b = seriesOf(args[1]);
        Series out = target(node);
        FormulaSeries::cross(a->data(), b->data(), n, out->data(), m_from);
        value = series(out);
        return true;
    }
    case fnBARSLAST: {
        const Series x = seriesOf(args[0]);
        Series out = target(node);
        FormulaSeries::barsLast(x->data(), n, out->data(), m_from);
        value = series(out);
        return true;
    }
    case fnREF: {
        const Series x = seriesOf(args[0]);
        Series out = target(node);
        if (args[1].isScalar)
            FormulaSeries::ref(x->data(), n, FormulaSeries::period(args[1].number, n, true),
                               out->data(), m_from);
        else
            FormulaSeries::refSeries(x->data(), args[1].series->data(), n, out->data(), m_from);
        value = series(out);
        return true;
    }
    case fnDRAWTEXT:
    case fnDRAWICON:
        return fail(node, "DRAWTEXT and DRAWICON must stand alone in a statement");
    default:
        if (node.index >= fnLibrary)
            return evalLibrary(node, args, value);
        return evalWindow(node, args, value);
    }
}

bool FormulaEvaluator::evalWindow(const FormulaNode& node, std::vector<FormulaValue>& args,
                                  FormulaValue& value)
{
    const int n = m_count;
    if (args.size() == 2 && !args[1].isScalar)
        return evalWindowByBar(node, args, value);
    for (size_t i = 1; i < args.size(); ++i) {
        if (!args[i].isScalar)
            return fail(*node.args[i], std::string("the period of ") + functionName(node.index)
                                           + " must be a constant");
    }
    const Series x = seriesOf(args[0]);
    Series out = target(node);
    const double* in = x->data();
    double* o = out->data();
    const double p = args[1].number;
    const bool cumulative = node.index == fnSUM || node.index == fnCOUNT
        || node.index == fnHHV || node.index == fnLLV;
    const int period = FormulaSeries::period(p, n, cumulative);
    const bool windowed = node.index != fnEMA && node.index != fnSMA;
    const int from = windowFrom(node, period);
    if (windowed && period < 0) {
        FormulaSeries::fill(o + from, n - from, kNaN);
        value = series(out);
        return true;
    }
    FormulaNodeState* state = m_resume ? &m_resume->nodes[size_t(node.slot)] : nullptr;
    FormulaSeries::StdMarks* marks = state ? &state->marks : nullptr;
    FormulaSeries::SumMark* sum = state ? &state->sum : nullptr;
    switch (node.index) {
    case fnMA: FormulaSeries::ma(in, n, period, o, from, sum); break;
    case fnWMA: FormulaSeries::wma(in, n, period, o); break;
    case fnSUM: FormulaSeries::sum(in, n, period, o, from, sum); break;
    case fnCOUNT: FormulaSeries::count(in, n, period, o, from, sum); break;
    case fnHHV: FormulaSeries::extreme(in, n, period, true, o, from); break;
    case fnLLV: FormulaSeries::extreme(in, n, period, false, o, from); break;
    case fnSTD: FormulaSeries::stdev(in, n, period, o, from, marks); break;
    case fnAVEDEV: FormulaSeries::avedev(in, n, period, o, from); break;
    case fnEMA: FormulaSeries::ema(in, n, p, o, from); break;
    case fnSMA: FormulaSeries::sma(in, n, p, args[2].number, o, from); break;
    default: return fail(node, "unknown function");
    }
    value = series(out);
    return true;
}

bool FormulaEvaluator::evalLibrary(const FormulaNode& node, std::vector<FormulaValue>& args,
                                   FormulaValue& value)
{
    const FormulaLibraryEntry& entry = FormulaLibrary::entry(node.index - fnLibrary);
    if (entry.firstConstant >= 0) {
        for (size_t i = size_t(entry.firstConstant); i < args.size(); ++i) {
            if (!args[i].isScalar)
                return fail(*node.args[i], "argument " + std::to_string(i + 1) + " of "
                                               + entry.name + " must be a constant");
        }
    }
    FormulaCall call(m_count, args, [this](int id) { return column(id)->data(); }, &m_bars);
    Series out = target(node);
    if (entry.resumes)
        call.setFrom(m_from);
    entry.impl(call, out->data());
    value = series(out);
    return true;
}

bool FormulaEvaluator::evalWindowByBar(const FormulaNode& node, std::vector<FormulaValue>& args,
                                       FormulaValue& value)
{
    using Window = FormulaSeries::Window;
    Window kind;
    switch (node.index) {
    case fnSUM: kind = Window::Sum; break;
    case fnMA: kind = Window::Mean; break;
    case fnCOUNT: kind = Window::Count; break;
    case fnHHV: kind = Window::Highest; break;
    case fnLLV: kind = Window::Lowest; break;
    default:
        return fail(*node.args[1], std::string("the period of ") + functionName(node.index)
                                       + " must be a constant");
    }
    const Series x = seriesOf(args[0]);
    Series out = newSeries();
    FormulaSeries::windowByBar(kind, x->data(), args[1].series->data(), m_count, out->data());
    value = series(out);
    return true;
}
