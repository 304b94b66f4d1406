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
        // drawing
        {"STICKLINE", {fnSTICKLINE, 5, -1}},
        {"DRAWKLINE", {fnDRAWKLINE, 4, -1}},
        {"DRAWCOLORKLINE", {fnDRAWCOLORKLINE, 3, -1}},
        {"DRAWKLINE_IF", {fnDRAWKLINE_IF, 5, -1}},
        {"DRAWLINE", {fnDRAWLINE, 5, -1}},
        {"POLYLINE", {fnPOLYLINE, 2, -1}},
        {"PLOYLINE", {fnPOLYLINE, 2, -1}},
        {"PARTLINE", {fnPARTLINE, 31, -1, 2}},
        {"DRAWNUMBER", {fnDRAWNUMBER, 4, -1, 3}},
        {"DRAWNUMBER_FIX", {fnDRAWNUMBER_FIX, 6, -1, 5}},
        {"DRAWTEXT_FIX", {fnDRAWTEXT_FIX, 5, -1}},
        {"DRAWBAND", {fnDRAWBAND, 4, -1}},
        {"FILLRGN", {fnFILLRGN, 32, -1, 3}},
        {"DRAWGBK", {fnDRAWGBK, 4, -1, 2}},
        {"HORLINE", {fnHORLINE, 4, -1, 2}},
        {"VERTLINE", {fnVERTLINE, 1, -1}},
        {"DRAWSL", {fnDRAWSL, 5, -1}},
        {"RGB", {fnRGB, 3, 0}},
        {"RGBA", {fnRGBA, 4, 0}},
    };
    const auto it = table.find(name);
    return it == table.end() ? nullptr : &it->second;
}

// drawing
bool FormulaFunctions::isDrawing(int id)
{
    return id == fnDRAWTEXT || id == fnDRAWICON || (id >= fnSTICKLINE && id <= fnDRAWSL);
}

int FormulaFunctions::textArgument(int id)
{
    switch (id) {
    case fnDRAWTEXT: return 2;
    case fnDRAWTEXT_FIX: return 4;
    default: return -1;
    }
}
