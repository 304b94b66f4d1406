#pragma once

#include <string>

// A compile or evaluation error with the position it was found at.
struct FormulaError
{
    std::string message;
    int line = 0;   // 1-based; 0 when no position applies
    int column = 0; // 1-based, in characters

    // "line L, column C: message", or the bare message without a position.
    std::string text() const
    {
        if (line <= 0)
            return message;
        return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": "
            + message;
    }
};
