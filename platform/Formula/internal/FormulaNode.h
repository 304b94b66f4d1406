#pragma once

#include <memory>
#include <string>
#include <vector>

// One node of a compiled formula expression.
struct FormulaNode
{
    enum Kind {
        Number,   // number (parameters are folded into numbers)
        Text,     // text literal, only as DRAWTEXT's third argument
        Column,   // input series; index = FormulaNode::ColumnId
        Variable, // earlier statement; index = variable slot
        Unary,    // index = Op, one argument
        Binary,   // index = Op, two arguments
        Call,     // index = FormulaFunctionId
    };
    enum ColumnId { Open, High, Low, Close, Volume, Amount, ColumnCount };
    enum Op { Add, Subtract, Multiply, Divide, Less, LessEqual, Greater, GreaterEqual, Equal,
              NotEqual, And, Or, Negate, Not };

    Kind kind = Number;
    int index = 0;
    double number = 0.0;
    std::string text;
    std::vector<std::unique_ptr<FormulaNode>> args;
    int line = 0;
    int column = 0;
    int depth = 1; // height of the subtree, bounds the evaluator's recursion
    int slot = -1;  // where a resumable evaluation keeps this node's series
};
