#pragma once

#include "FormulaError.h"
#include "FormulaToken.h"

#include <string>
#include <vector>

// Splits formula source (UTF-8) into tokens, ending with an End token.
class FormulaLexer
{
public:
    explicit FormulaLexer(const std::string& source);

    bool tokenize(std::vector<FormulaToken>& tokens, FormulaError& error);

    // Formulas are typed by people; anything longer is refused unread.
    static constexpr size_t kMaxSourceSize = 64 * 1024;

private:
    char peek(size_t ahead = 0) const;
    void advance();
    bool skipSpaceAndComments(FormulaError& error);
    bool readNumber(FormulaToken& token, FormulaError& error);
    void readIdentifier(FormulaToken& token);
    bool readText(FormulaToken& token, FormulaError& error);
    bool readOperator(FormulaToken& token, FormulaError& error);
    FormulaError errorHere(const std::string& message) const;

    const std::string& m_source;
    size_t m_pos = 0;
    int m_line = 1;
    int m_column = 1;
};
