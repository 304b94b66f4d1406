#pragma once

#include "FormulaError.h"
#include "FormulaProgram.h"
#include "FormulaToken.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// Compiles the tokens of one formula into a FormulaProgram. Parameters are
// folded into numbers, names are resolved to slots and columns, function
// arities and line attributes are checked, and nesting is bounded so
// neither the parser nor the evaluator can run out of stack.
class FormulaParser
{
public:
    // params: upper-case parameter names with their values.
    FormulaParser(const std::vector<FormulaToken>& tokens,
                  const std::vector<std::pair<std::string, double>>& params);

    bool parse(FormulaProgram& program, FormulaError& error);

    static constexpr int kMaxNesting = 200;   // parentheses, calls, unary operators
    static constexpr int kMaxTreeDepth = 1000; // also bounds long operator chains

private:
    using NodePtr = std::unique_ptr<FormulaNode>;

    const FormulaToken& current() const { return m_tokens[m_pos]; }
    const FormulaToken& lookahead(size_t ahead) const;
    bool at(FormulaTokenKind kind) const { return current().kind == kind; }
    bool atKeyword(const char* keyword) const;
    void next();
    bool fail(const FormulaToken& where, const std::string& message);
    bool expect(FormulaTokenKind kind, const char* what);

    bool parseStatement(FormulaProgram& program);
    bool parseAttributes(FormulaStatement& statement);
    bool applyAttribute(FormulaStatement& statement, const FormulaToken& token);
    bool checkDrawCalls(const FormulaNode& node, bool isRoot);

    NodePtr parseExpression();
    NodePtr parseOr();
    NodePtr parseAnd();
    NodePtr parseNot();
    NodePtr parseComparison();
    NodePtr parseAdditive();
    NodePtr parseTerm();
    NodePtr parseUnary();
    NodePtr parsePrimary();
    NodePtr parseCall(const FormulaToken& name);
    NodePtr parseName(const FormulaToken& name);

    NodePtr makeNode(FormulaNode::Kind kind, int index, const FormulaToken& at);
    NodePtr makeUnary(int op, NodePtr operand, const FormulaToken& at);
    NodePtr makeBinary(int op, NodePtr left, NodePtr right, const FormulaToken& at);
    bool sealDepth(FormulaNode& node, const FormulaToken& at);

    const std::vector<FormulaToken>& m_tokens;
    std::unordered_map<std::string, double> m_params;
    std::unordered_map<std::string, int> m_variables;
    size_t m_pos = 0;
    int m_nesting = 0;
    int m_slots = 0;
    bool m_failed = false;
    FormulaError m_error;
};
