#include "FormulaAttributes.h"

#include "../FormulaDrawType.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace {

// Named colours, 0x00BBGGRR. The light colours go by both their long and
// their short (LI) names.
bool namedColor(const std::string& name, int& color)
{
    static const std::unordered_map<std::string, int> colors = {
        {"WHITE", 0xFFFFFF},      {"YELLOW", 0x00FFFF},      {"MAGENTA", 0xFF00FF},
        {"GREEN", 0x00FF00},      {"RED", 0x0000FF},         {"BLUE", 0xFF0000},
        {"CYAN", 0xFFFF00},       {"BLACK", 0x000000},       {"GRAY", 0x808080},
        {"BROWN", 0x004080},      {"LIGHTGRAY", 0xC0C0C0},   {"LIGRAY", 0xC0C0C0},
        {"LIGHTRED", 0x8080FF},   {"LIRED", 0x8080FF},       {"LIGHTGREEN", 0x80FF80},
        {"LIGREEN", 0x80FF80},    {"LIGHTBLUE", 0xFF8080},   {"LIBLUE", 0xFF8080},
        {"LIGHTCYAN", 0xFFFF80},  {"LICYAN", 0xFFFF80},      {"LIGHTMAGENTA", 0xFF80FF},
        {"LIMAGENTA", 0xFF80FF},  {"LIGHTYELLOW", 0x80FFFF}, {"LIYELLOW", 0x80FFFF},
        {"ORANGE", 0x0080FF},     {"PURPLE", 0x800080},
    };
    const auto it = colors.find(name);
    if (it == colors.end())
        return false;
    color = it->second;
    return true;
}

bool hexColor(const std::string& digits, int& color)
{
    if (digits.size() != 6)
        return false;
    int value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return false;
        value = value * 16 + d;
    }
    color = value;
    return true;
}

const FormulaToken& at(const std::vector<FormulaToken>& tokens, size_t pos)
{
    return tokens[std::min(pos, tokens.size() - 1)];
}

bool fail(const FormulaToken& where, const std::string& message, FormulaError& error)
{
    error = FormulaError{message, where.line, where.column};
    return false;
}

// A number with an optional sign at pos; pos moves past it.
bool readNumber(const std::vector<FormulaToken>& tokens, size_t& pos, double& value)
{
    double sign = 1.0;
    if (at(tokens, pos).kind == FormulaTokenKind::Minus) {
        sign = -1.0;
        ++pos;
    }
    if (at(tokens, pos).kind != FormulaTokenKind::Number)
        return false;
    value = sign * at(tokens, pos).number;
    ++pos;
    return true;
}

// RGB(r,g,b), RGBA(r,g,b,a) or a colour constant at pos; pos moves past it.
bool readColor(const std::vector<FormulaToken>& tokens, size_t& pos, int& color,
               FormulaError& error)
{
    const FormulaToken& name = at(tokens, pos);
    if (name.kind != FormulaTokenKind::Identifier)
        return fail(name, "expected a colour", error);
    if (name.text != "RGB" && name.text != "RGBA") {
        if (!FormulaAttributes::colorConstant(name.text, color))
            return fail(name, "unknown colour '" + name.raw + "'", error);
        ++pos;
        return true;
    }
    const size_t count = name.text == "RGB" ? 3 : 4;
    double c[4] = {0, 0, 0, 255};
    ++pos;
    if (at(tokens, pos).kind != FormulaTokenKind::LeftParen)
        return fail(at(tokens, pos), "expected '('", error);
    ++pos;
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) {
            if (at(tokens, pos).kind != FormulaTokenKind::Comma)
                return fail(at(tokens, pos), name.raw + " expects " + std::to_string(count)
                                                 + " numbers", error);
            ++pos;
        }
        if (!readNumber(tokens, pos, c[i]))
            return fail(at(tokens, pos), name.raw + " expects numbers", error);
    }
    if (at(tokens, pos).kind != FormulaTokenKind::RightParen)
        return fail(at(tokens, pos), "expected ')'", error);
    ++pos;
    color = FormulaAttributes::rgb(c[0], c[1], c[2], c[3]);
    return true;
}

bool startsWith(const std::string& s, const char* prefix, std::string* rest)
{
    const std::string p(prefix);
    if (s.size() < p.size() || s.compare(0, p.size(), p) != 0)
        return false;
    *rest = s.substr(p.size());
    return true;
}

// The digits of LINETHICKn or STICKTYPEn, cut to [lo, hi]; −1 when rest
// holds anything but digits.
int digitsIn(const std::string& rest, int lo, int hi)
{
    if (rest.empty() || !std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    // Nine digits still fit an int; longer runs are far beyond hi anyway.
    return rest.size() > 9 ? hi : std::clamp(std::stoi(rest), lo, hi);
}

} // namespace

int FormulaAttributes::rgb(double r, double g, double b, double alpha)
{
    const auto part = [](double v) {
        return std::isnan(v) ? 0 : int(std::clamp(v, 0.0, 255.0));
    };
    return part(r) | (part(g) << 8) | (part(b) << 16) | ((255 - part(alpha)) << 24);
}

bool FormulaAttributes::colorConstant(const std::string& upperName, int& color)
{
    std::string rest;
    if (!startsWith(upperName, "COLOR", &rest))
        return false;
    return namedColor(rest, color) || hexColor(rest, color);
}

bool FormulaAttributes::read(const std::vector<FormulaToken>& tokens, size_t& pos,
                             FormulaStatement& statement, FormulaError& error)
{
    static const std::unordered_map<std::string, int> drawTypes = {
        {"COLORSTICK", eFormulaColorStick}, {"VOLSTICK", eFormulaVolStick},
        {"LINESTICK", eFormulaLineStick},   {"STICK", eFormulaLineStick},
        {"NODRAW", eFormulaNoDraw},
    };
    static const std::unordered_map<std::string, int> kinds = {
        {"DOTLINE", eFormulaStyleDot},        {"LINEDOT", eFormulaStyleDot},
        {"LINEDASH", eFormulaStyleDash},      {"DASHLINE", eFormulaStyleDash},
        {"POINTDOT", eFormulaStylePoints},    {"CIRCLEDOT", eFormulaStyleCircles},
        {"CROSSDOT", eFormulaStyleCrosses},   {"UPDOWNDOT", eFormulaStyleUpDown},
        {"STEPLINE", eFormulaStyleStep},      {"LINEAREA", eFormulaStyleArea},
    };
    static const std::unordered_map<std::string, int> flags = {
        {"NOTEXT", eFormulaStyleNoText},
        {"NOTITLE", eFormulaStyleNoTitle},
        {"DRAWABOVE", eFormulaStyleDrawAbove},
    };
    const FormulaToken& token = at(tokens, pos);
    const std::string& a = token.text;
    std::string rest;
    if (const auto it = drawTypes.find(a); it != drawTypes.end()) {
        statement.drawType = it->second;
    } else if (const auto k = kinds.find(a); k != kinds.end()) {
        statement.lineStyle = (statement.lineStyle & ~eFormulaStyleKindMask) | k->second;
    } else if (const auto f = flags.find(a); f != flags.end()) {
        statement.lineStyle |= f->second;
    } else if (startsWith(a, "LINETHICK", &rest) && digitsIn(rest, kMinWidth, kMaxWidth) >= 0) {
        statement.lineWidth = digitsIn(rest, kMinWidth, kMaxWidth);
    } else if (startsWith(a, "STICKTYPE", &rest) && digitsIn(rest, 0, 2) >= 0) {
        statement.stickType = digitsIn(rest, 0, 2);
    } else if (a == "RGB" || a == "RGBA") {
        return readColor(tokens, pos, statement.color, error);
    } else if (startsWith(a, "UPCOLOR", &rest) || startsWith(a, "DOWNCOLOR", &rest)) {
        int& target = a[0] == 'U' ? statement.upColor : statement.downColor;
        if (!rest.empty()) {
            // UPCOLORRED, DOWNCOLOR00FF00
            if (!colorConstant("COLOR" + rest, target))
                return fail(token, "unknown colour '" + token.raw + "'", error);
            ++pos;
            return true;
        }
        // UPCOLOR(RGB(…)) or UPCOLOR(COLORRED)
        ++pos;
        if (at(tokens, pos).kind != FormulaTokenKind::LeftParen)
            return fail(at(tokens, pos), "expected '(' after " + token.raw, error);
        ++pos;
        if (!readColor(tokens, pos, target, error))
            return false;
        if (at(tokens, pos).kind != FormulaTokenKind::RightParen)
            return fail(at(tokens, pos), "expected ')'", error);
        ++pos;
        return true;
    } else if (startsWith(a, "COLOR", &rest) && !rest.empty()) {
        if (!colorConstant(a, statement.color))
            return fail(token, "unknown colour '" + token.raw + "'", error);
    } else {
        return fail(token, "unknown line attribute '" + token.raw + "'", error);
    }
    ++pos;
    return true;
}
