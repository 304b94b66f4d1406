#include "FormulaFunctions.h"

#include <unordered_map>

const FormulaFunctions::Info* FormulaFunctions::find(const std::string& name)
{
    static const std::unordered_map<std::string, Info> table = {
        {"MA", {fnMA, 2, 1}},         {"EMA", {fnEMA, 2, 1}},       {"SMA", {fnSMA, 3, 1}},
        {"WMA", {fnWMA, 2, 1}},       {"REF", {fnREF, 2, -1}},      {"HHV", {fnHHV, 2, 1}},
        {"LLV", {fnLLV, 2, 1}},       {"SUM", {fnSUM, 2, 1}},       {"COUNT", {fnCOUNT, 2, 1}},
        {"STD", {fnSTD, 2, 1}},       {"AVEDEV", {fnAVEDEV, 2, 1}}, {"ABS", {fnABS, 1, -1}},
        {"MAX", {fnMAX, 2, -1}},      {"MIN", {fnMIN, 2, -1}},      {"IF", {fnIF, 3, -1}},
        {"CROSS", {fnCROSS, 2, -1}},  {"BARSLAST", {fnBARSLAST, 1, -1}},
        {"NOT", {fnNOT, 1, -1}},      {"DRAWTEXT", {fnDRAWTEXT, 3, -1}},
        {"DRAWICON", {fnDRAWICON, 3, -1}},
    };
    const auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}
