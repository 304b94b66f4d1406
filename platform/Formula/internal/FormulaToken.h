#pragma once

#include <string>

enum class FormulaTokenKind {
    End,
    Number,
    Identifier,
    Text,
    Assign,    // :=
    Colon,     // :
    Semicolon,
    Comma,
    LeftParen,
    RightParen,
    Plus,
    Minus,
    Star,
    Slash,
    Less,
    LessEqual,
    Greater,
    GreaterEqual,
    Equal,     // = or ==
    NotEqual,  // <> or !=
    AndAnd,    // &&
    OrOr,      // ||
};

struct FormulaToken
{
    FormulaTokenKind kind = FormulaTokenKind::End;
    std::string text;  // identifiers upper-cased (ASCII); text literals unquoted
    std::string raw;   // identifiers as written
    double number = 0.0;
    int line = 1;
    int column = 1;
};
