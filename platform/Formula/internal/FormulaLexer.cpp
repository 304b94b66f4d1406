#include "FormulaLexer.h"

#include <cstdlib>
#include <cstring>

namespace {

bool isIdentStart(unsigned char c)
{
    // Bytes of multi-byte UTF-8 characters may form names, so users can
    // name their lines in their own language.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

FormulaLexer::FormulaLexer(const std::string& source)
    : m_source(source)
{
}

char FormulaLexer::peek(size_t ahead) const
{
    return m_pos + ahead < m_source.size() ? m_source[m_pos + ahead] : '\0';
}

void FormulaLexer::advance()
{
    const unsigned char c = static_cast<unsigned char>(m_source[m_pos++]);
    if (c == '\n') {
        ++m_line;
        m_column = 1;
    } else if ((c & 0xC0) != 0x80) {
        // Columns count characters, not the continuation bytes of UTF-8.
        ++m_column;
    }
}

FormulaError FormulaLexer::errorHere(const std::string& message) const
{
    return FormulaError{message, m_line, m_column};
}

bool FormulaLexer::tokenize(std::vector<FormulaToken>& tokens, FormulaError& error)
{
    tokens.clear();
    if (m_source.size() > kMaxSourceSize) {
        error = FormulaError{"formula longer than " + std::to_string(kMaxSourceSize) + " bytes",
                             1, 1};
        return false;
    }
    for (;;) {
        if (!skipSpaceAndComments(error))
            return false;
        FormulaToken token;
        token.line = m_line;
        token.column = m_column;
        if (m_pos >= m_source.size()) {
            tokens.push_back(token);
            return true;
        }
        const char c = peek();
        bool ok = true;
        if (isDigit(c) || (c == '.' && isDigit(peek(1))))
            ok = readNumber(token, error);
        else if (isIdentStart(static_cast<unsigned char>(c)))
            readIdentifier(token);
        else if (c == '\'' || c == '"')
            ok = readText(token, error);
        else
            ok = readOperator(token, error);
        if (!ok)
            return false;
        tokens.push_back(std::move(token));
    }
}

bool FormulaLexer::skipSpaceAndComments(FormulaError& error)
{
    while (m_pos < m_source.size()) {
        const char c = peek();
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            advance();
        } else if (c == '{') {
            const FormulaError start = errorHere("comment not closed");
            while (m_pos < m_source.size() && peek() != '}')
                advance();
            if (m_pos >= m_source.size()) {
                error = start;
                return false;
            }
            advance();
        } else if (c == '/' && peek(1) == '/') {
            while (m_pos < m_source.size() && peek() != '\n')
                advance();
        } else {
            break;
        }
    }
    return true;
}

bool FormulaLexer::readNumber(FormulaToken& token, FormulaError& error)
{
    const size_t start = m_pos;
    while (isDigit(peek()))
        advance();
    if (peek() == '.') {
        advance();
        while (isDigit(peek()))
            advance();
    }
    if ((peek() == 'e' || peek() == 'E')
        && (isDigit(peek(1)) || ((peek(1) == '+' || peek(1) == '-') && isDigit(peek(2))))) {
        advance();
        if (peek() == '+' || peek() == '-')
            advance();
        while (isDigit(peek()))
            advance();
    }
    if (isIdentStart(static_cast<unsigned char>(peek())) || peek() == '.') {
        error = errorHere("malformed number");
        return false;
    }
    token.kind = FormulaTokenKind::Number;
    token.text = m_source.substr(start, m_pos - start);
    // strtod honours the C locale only for '.', which is what we have here;
    // overflow gives inf, which later counts as no value.
    token.number = std::strtod(token.text.c_str(), nullptr);
    return true;
}

void FormulaLexer::readIdentifier(FormulaToken& token)
{
    const size_t start = m_pos;
    while (m_pos < m_source.size()
           && (isIdentStart(static_cast<unsigned char>(peek())) || isDigit(peek())))
        advance();
    token.kind = FormulaTokenKind::Identifier;
    token.raw = m_source.substr(start, m_pos - start);
    token.text = token.raw;
    for (char& ch : token.text) {
        if (ch >= 'a' && ch <= 'z')
            ch = char(ch - 'a' + 'A');
    }
}

bool FormulaLexer::readText(FormulaToken& token, FormulaError& error)
{
    const char quote = peek();
    const FormulaError start = errorHere("text not closed");
    advance();
    const size_t first = m_pos;
    while (m_pos < m_source.size() && peek() != quote && peek() != '\n')
        advance();
    if (peek() != quote) {
        error = start;
        return false;
    }
    token.kind = FormulaTokenKind::Text;
    token.text = m_source.substr(first, m_pos - first);
    advance();
    return true;
}

bool FormulaLexer::readOperator(FormulaToken& token, FormulaError& error)
{
    struct Op
    {
        const char* text;
        FormulaTokenKind kind;
    };
    // Longer operators first so ":=" is not read as ":".
    static const Op ops[] = {
        {":=", FormulaTokenKind::Assign},     {"<=", FormulaTokenKind::LessEqual},
        {">=", FormulaTokenKind::GreaterEqual}, {"<>", FormulaTokenKind::NotEqual},
        {"!=", FormulaTokenKind::NotEqual},   {"==", FormulaTokenKind::Equal},
        {"&&", FormulaTokenKind::AndAnd},     {"||", FormulaTokenKind::OrOr},
        {":", FormulaTokenKind::Colon},       {";", FormulaTokenKind::Semicolon},
        {",", FormulaTokenKind::Comma},       {"(", FormulaTokenKind::LeftParen},
        {")", FormulaTokenKind::RightParen},  {"+", FormulaTokenKind::Plus},
        {"-", FormulaTokenKind::Minus},       {"*", FormulaTokenKind::Star},
        {"/", FormulaTokenKind::Slash},       {"<", FormulaTokenKind::Less},
        {">", FormulaTokenKind::Greater},     {"=", FormulaTokenKind::Equal},
    };
    for (const Op& op : ops) {
        const size_t length = std::strlen(op.text);
        if (m_source.compare(m_pos, length, op.text) == 0) {
            token.kind = op.kind;
            token.text = op.text;
            for (size_t i = 0; i < length; ++i)
                advance();
            return true;
        }
    }
    const unsigned char c = static_cast<unsigned char>(peek());
    if (c < 0x20 || c == 0x7F)
        error = errorHere("unexpected control character " + std::to_string(int(c)));
    else
        error = errorHere(std::string("unexpected character '") + char(c) + "'");
    return false;
}
