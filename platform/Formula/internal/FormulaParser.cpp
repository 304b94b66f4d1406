#include "FormulaParser.h"

#include "../FormulaDrawType.h"
#include "FormulaAttributes.h"
#include "FormulaDrawing.h"
#include "FormulaFunctions.h"

#include <algorithm>

namespace {

// Nesting counter that unwinds with the recursion.
class NestingGuard
{
public:
    explicit NestingGuard(int& counter)
        : m_counter(++counter)
    {
    }
    ~NestingGuard() { --m_counter; }
    bool tooDeep() const { return m_counter > FormulaParser::kMaxNesting; }

private:
    int& m_counter;
};

int columnOf(const std::string& name)
{
    static const std::unordered_map<std::string, int> columns = {
        {"OPEN", FormulaNode::Open},     {"O", FormulaNode::Open},
        {"HIGH", FormulaNode::High},     {"H", FormulaNode::High},
        {"LOW", FormulaNode::Low},       {"L", FormulaNode::Low},
        {"CLOSE", FormulaNode::Close},   {"C", FormulaNode::Close},
        {"VOL", FormulaNode::Volume},    {"V", FormulaNode::Volume},
        {"VOLUME", FormulaNode::Volume}, {"AMOUNT", FormulaNode::Amount},
        {"AMO", FormulaNode::Amount},
    };
    const auto it = columns.find(name);
    return it == columns.end() ? -1 : it->second;
}

bool isKeyword(const std::string& name)
{
    return name == "AND" || name == "OR" || name == "NOT";
}

} // namespace

FormulaParser::FormulaParser(const std::vector<FormulaToken>& tokens,
                             const std::vector<std::pair<std::string, double>>& params)
    : m_tokens(tokens)
{
    for (const auto& p : params)
        m_params[p.first] = p.second;
}

const FormulaToken& FormulaParser::lookahead(size_t ahead) const
{
    return m_tokens[std::min(m_pos + ahead, m_tokens.size() - 1)];
}

bool FormulaParser::atKeyword(const char* keyword) const
{
    return at(FormulaTokenKind::Identifier) && current().text == keyword;
}

void FormulaParser::next()
{
    if (m_pos + 1 < m_tokens.size())
        ++m_pos;
}

bool FormulaParser::fail(const FormulaToken& where, const std::string& message)
{
    // The first error wins; later ones are consequences of it.
    if (!m_failed) {
        m_failed = true;
        m_error = FormulaError{message, where.line, where.column};
    }
    return false;
}

bool FormulaParser::expect(FormulaTokenKind kind, const char* what)
{
    if (!at(kind))
        return fail(current(), std::string("expected ") + what);
    next();
    return true;
}

bool FormulaParser::parse(FormulaProgram& program, FormulaError& error)
{
    program = FormulaProgram();
    if (m_tokens.empty() || m_tokens.front().kind == FormulaTokenKind::End) {
        error = FormulaError{"empty formula", 1, 1};
        return false;
    }
    while (!at(FormulaTokenKind::End)) {
        if (at(FormulaTokenKind::Semicolon)) {
            next();
            continue;
        }
        if (!parseStatement(program)) {
            error = m_error;
            return false;
        }
    }
    program.variableCount = m_slots;
    return true;
}

bool FormulaParser::parseStatement(FormulaProgram& program)
{
    FormulaStatement statement;
    std::string upperName;
    bool hidden = false;
    const FormulaToken start = current();
    const FormulaTokenKind after = lookahead(1).kind;
    if (at(FormulaTokenKind::Identifier)
        && (after == FormulaTokenKind::Assign || after == FormulaTokenKind::Colon)) {
        if (isKeyword(current().text))
            return fail(current(), "'" + current().raw + "' cannot name a line");
        upperName = current().text;
        statement.name = current().raw;
        hidden = after == FormulaTokenKind::Assign;
        next();
        next();
    }
    statement.expr = parseExpression();
    if (!statement.expr)
        return false;
    if (!checkDrawCalls(*statement.expr, true))
        return false;
    statement.output = !hidden;
    if (at(FormulaTokenKind::Comma)) {
        // Published formulas often colour hidden variables too; the
        // attributes are checked and then ignored.
        FormulaStatement ignored;
        if (!parseAttributes(hidden ? ignored : statement))
            return false;
    }
    if (!at(FormulaTokenKind::End) && !expect(FormulaTokenKind::Semicolon, "';'"))
        return false;

    const FormulaNode& root = *statement.expr;
    if (root.kind == FormulaNode::Call && FormulaFunctions::isDrawing(root.index)) {
        if (hidden)
            return fail(start, "DRAWTEXT, DRAWICON and the drawing functions must be output lines");
        statement.drawType = FormulaDrawing::drawTypeOf(root.index);
    }
    if (!upperName.empty()) {
        // A later definition of the same name shadows the earlier one.
        statement.slot = m_slots++;
        m_variables[upperName] = statement.slot;
    }
    program.statements.push_back(std::move(statement));
    return true;
}

bool FormulaParser::parseAttributes(FormulaStatement& statement)
{
    while (at(FormulaTokenKind::Comma)) {
        next();
        if (!at(FormulaTokenKind::Identifier))
            return fail(current(), "expected a line attribute");
        if (!applyAttribute(statement, current()))
            return false;
    }
    return true;
}

bool FormulaParser::applyAttribute(FormulaStatement& statement, const FormulaToken& token)
{
    FormulaError error;
    if (FormulaAttributes::read(m_tokens, m_pos, statement, error))
        return true;
    FormulaToken where = token;
    where.line = error.line;
    where.column = error.column;
    return fail(where, error.message);
}

bool FormulaParser::checkDrawCalls(const FormulaNode& node, bool isRoot)
{
    if (!isRoot && node.kind == FormulaNode::Call && FormulaFunctions::isDrawing(node.index)) {
        FormulaToken where;
        where.line = node.line;
        where.column = node.column;
        return fail(where, "DRAWTEXT, DRAWICON and the drawing functions must stand alone in a statement");
    }
    for (const auto& arg : node.args) {
        if (!checkDrawCalls(*arg, false))
            return false;
    }
    return true;
}

FormulaParser::NodePtr FormulaParser::parseExpression()
{
    NestingGuard guard(m_nesting);
    if (guard.tooDeep()) {
        fail(current(), "formula nested too deeply");
        return nullptr;
    }
    return parseOr();
}

FormulaParser::NodePtr FormulaParser::parseOr()
{
    NodePtr left = parseAnd();
    while (left && (atKeyword("OR") || at(FormulaTokenKind::OrOr))) {
        const FormulaToken op = current();
        next();
        left = makeBinary(FormulaNode::Or, std::move(left), parseAnd(), op);
    }
    return left;
}

FormulaParser::NodePtr FormulaParser::parseAnd()
{
    NodePtr left = parseNot();
    while (left && (atKeyword("AND") || at(FormulaTokenKind::AndAnd))) {
        const FormulaToken op = current();
        next();
        left = makeBinary(FormulaNode::And, std::move(left), parseNot(), op);
    }
    return left;
}

FormulaParser::NodePtr FormulaParser::parseNot()
{
    // NOT( … ) is the function and binds like any call; a bare NOT is a
    // prefix operator below the comparisons, so NOT A > B is NOT (A > B).
    if (atKeyword("NOT") && lookahead(1).kind != FormulaTokenKind::LeftParen) {
        NestingGuard guard(m_nesting);
        const FormulaToken op = current();
        if (guard.tooDeep()) {
            fail(op, "formula nested too deeply");
            return nullptr;
        }
        next();
        return makeUnary(FormulaNode::Not, parseNot(), op);
    }
    return parseComparison();
}

FormulaParser::NodePtr FormulaParser::parseComparison()
{
    NodePtr left = parseAdditive();
    for (;;) {
        int op;
        switch (current().kind) {
        case FormulaTokenKind::Less: op = FormulaNode::Less; break;
        case FormulaTokenKind::LessEqual: op = FormulaNode::LessEqual; break;
        case FormulaTokenKind::Greater: op = FormulaNode::Greater; break;
        case FormulaTokenKind::GreaterEqual: op = FormulaNode::GreaterEqual; break;
        case FormulaTokenKind::Equal: op = FormulaNode::Equal; break;
        case FormulaTokenKind::NotEqual: op = FormulaNode::NotEqual; break;
        default: return left;
        }
        if (!left)
            return nullptr;
        const FormulaToken at = current();
        next();
        left = makeBinary(op, std::move(left), parseAdditive(), at);
    }
}

FormulaParser::NodePtr FormulaParser::parseAdditive()
{
    NodePtr left = parseTerm();
    while (left && (at(FormulaTokenKind::Plus) || at(FormulaTokenKind::Minus))) {
        const FormulaToken op = current();
        next();
        left = makeBinary(op.kind == FormulaTokenKind::Plus ? FormulaNode::Add
                                                            : FormulaNode::Subtract,
                          std::move(left), parseTerm(), op);
    }
    return left;
}

FormulaParser::NodePtr FormulaParser::parseTerm()
{
    NodePtr left = parseUnary();
    while (left && (at(FormulaTokenKind::Star) || at(FormulaTokenKind::Slash))) {
        const FormulaToken op = current();
        next();
        left = makeBinary(op.kind == FormulaTokenKind::Star ? FormulaNode::Multiply
                                                            : FormulaNode::Divide,
                          std::move(left), parseUnary(), op);
    }
    return left;
}

FormulaParser::NodePtr FormulaParser::parseUnary()
{
    if (at(FormulaTokenKind::Minus) || at(FormulaTokenKind::Plus)) {
        NestingGuard guard(m_nesting);
        const FormulaToken op = current();
        if (guard.tooDeep()) {
            fail(op, "formula nested too deeply");
            return nullptr;
        }
        next();
        NodePtr operand = parseUnary();
        if (op.kind == FormulaTokenKind::Plus)
            return operand;
        return makeUnary(FormulaNode::Negate, std::move(operand), op);
    }
    return parsePrimary();
}

FormulaParser::NodePtr FormulaParser::parsePrimary()
{
    const FormulaToken token = current();
    switch (token.kind) {
    case FormulaTokenKind::Number: {
        next();
        NodePtr node = makeNode(FormulaNode::Number, 0, token);
        node->number = token.number;
        return node;
    }
    case FormulaTokenKind::Identifier:
        next();
        if (at(FormulaTokenKind::LeftParen))
            return parseCall(token);
        return parseName(token);
    case FormulaTokenKind::LeftParen: {
        next();
        NodePtr inner = parseExpression();
        if (!inner || !expect(FormulaTokenKind::RightParen, "')'"))
            return nullptr;
        return inner;
    }
    case FormulaTokenKind::Text:
        fail(token, "a text may only be DRAWTEXT's third argument");
        return nullptr;
    case FormulaTokenKind::End:
        fail(token, "unexpected end of formula");
        return nullptr;
    default:
        fail(token, "unexpected '" + token.text + "'");
        return nullptr;
    }
}

FormulaParser::NodePtr FormulaParser::parseCall(const FormulaToken& name)
{
    const FormulaFunctions::Info* info = FormulaFunctions::find(name.text);
    if (!info) {
        fail(name, "unknown function '" + name.raw + "'");
        return nullptr;
    }
    NodePtr call = makeNode(FormulaNode::Call, info->id, name);
    next(); // '('
    if (!at(FormulaTokenKind::RightParen)) {
        for (;;) {
            const int textIndex = FormulaFunctions::textArgument(info->id);
            if (textIndex >= 0 && int(call->args.size()) == textIndex) {
                if (!at(FormulaTokenKind::Text)) {
                    fail(current(), name.raw + " expects a text in quotes as argument "
                                        + std::to_string(textIndex + 1));
                    return nullptr;
                }
                NodePtr text = makeNode(FormulaNode::Text, 0, current());
                text->text = current().text;
                call->args.push_back(std::move(text));
                next();
            } else {
                NodePtr arg = parseExpression();
                if (!arg)
                    return nullptr;
                call->args.push_back(std::move(arg));
            }
            if (!at(FormulaTokenKind::Comma))
                break;
            next();
        }
    }
    if (!expect(FormulaTokenKind::RightParen, "')'"))
        return nullptr;
    const int given = int(call->args.size());
    const int most = std::max(info->arity, info->maxArity);
    if (given < info->arity || given > most) {
        const std::string count = most > info->arity
            ? std::to_string(info->arity) + " to " + std::to_string(most)
            : std::to_string(info->arity);
        fail(name, name.raw + " expects " + count + " argument" + (most == 1 ? "" : "s"));
        return nullptr;
    }
    std::string problem;
    if (!FormulaDrawing::completeCall(*call, problem)) {
        fail(name, problem);
        return nullptr;
    }
    if (!sealDepth(*call, name))
        return nullptr;
    return call;
}

FormulaParser::NodePtr FormulaParser::parseName(const FormulaToken& name)
{
    const auto var = m_variables.find(name.text);
    if (var != m_variables.end())
        return makeNode(FormulaNode::Variable, var->second, name);
    const auto param = m_params.find(name.text);
    if (param != m_params.end()) {
        NodePtr node = makeNode(FormulaNode::Number, 0, name);
        node->number = param->second;
        return node;
    }
    const int column = columnOf(name.text);
    if (column >= 0)
        return makeNode(FormulaNode::Column, column, name);
    // Functions without arguments (DATE, BARPOS, NULL …) read as names.
    const FormulaFunctions::Info* function = FormulaFunctions::find(name.text);
    if (function && function->arity == 0)
        return makeNode(FormulaNode::Call, function->id, name);
    int color = 0;
    if (FormulaAttributes::colorConstant(name.text, color)) {
        NodePtr node = makeNode(FormulaNode::Number, 0, name);
        node->number = color;
        return node;
    }
    if (isKeyword(name.text))
        fail(name, "unexpected '" + name.raw + "'");
    else if (function)
        fail(name, "function '" + name.raw + "' needs its arguments");
    else
        fail(name, "unknown name '" + name.raw + "'");
    return nullptr;
}

FormulaParser::NodePtr FormulaParser::makeNode(FormulaNode::Kind kind, int index,
                                               const FormulaToken& at)
{
    NodePtr node(new FormulaNode);
    node->kind = kind;
    node->index = index;
    node->line = at.line;
    node->column = at.column;
    return node;
}

FormulaParser::NodePtr FormulaParser::makeUnary(int op, NodePtr operand, const FormulaToken& at)
{
    if (!operand)
        return nullptr;
    NodePtr node = makeNode(FormulaNode::Unary, op, at);
    node->args.push_back(std::move(operand));
    return sealDepth(*node, at) ? std::move(node) : nullptr;
}

FormulaParser::NodePtr FormulaParser::makeBinary(int op, NodePtr left, NodePtr right,
                                                 const FormulaToken& at)
{
    if (!left || !right)
        return nullptr;
    NodePtr node = makeNode(FormulaNode::Binary, op, at);
    node->args.push_back(std::move(left));
    node->args.push_back(std::move(right));
    return sealDepth(*node, at) ? std::move(node) : nullptr;
}

bool FormulaParser::sealDepth(FormulaNode& node, const FormulaToken& at)
{
    int deepest = 0;
    for (const auto& arg : node.args)
        deepest = std::max(deepest, arg->depth);
    node.depth = deepest + 1;
    if (node.depth > kMaxTreeDepth)
        return fail(at, "formula nested too deeply");
    return true;
}
