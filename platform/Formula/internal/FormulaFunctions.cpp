#include "FormulaFunctions.h"

#include "FormulaLibrary.h"

#include <unordered_map>
#include <vector>

namespace {

// The library's functions as table entries, in the library's order.
const std::vector<FormulaFunctions::Info>& libraryInfos()
{
    static const std::vector<FormulaFunctions::Info> infos = [] {
        std::vector<FormulaFunctions::Info> v;
        for (int k = 0; k < FormulaLibrary::size(); ++k) {
            const FormulaLibraryEntry& e = FormulaLibrary::entry(k);
            FormulaFunctions::Info info{FormulaFunctionId(fnLibrary + k), e.minArity,
                                        e.firstConstant};
            info.maxArity = e.maxArity;
            v.push_back(info);
        }
        return v;
    }();
    return infos;
}

} // namespace

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
        {"PARTLINE", {fnPARTLINE, 2, -1, 31}},
        {"DRAWNUMBER", {fnDRAWNUMBER, 3, -1, 4}},
        {"DRAWNUMBER_FIX", {fnDRAWNUMBER_FIX, 5, -1, 6}},
        {"DRAWTEXT_FIX", {fnDRAWTEXT_FIX, 5, -1}},
        {"DRAWBAND", {fnDRAWBAND, 4, -1}},
        {"FILLRGN", {fnFILLRGN, 3, -1, 32}},
        {"DRAWGBK", {fnDRAWGBK, 2, -1, 4}},
        {"HORLINE", {fnHORLINE, 2, -1, 4}},
        {"VERTLINE", {fnVERTLINE, 1, -1}},
        {"DRAWSL", {fnDRAWSL, 5, -1}},
        {"RGB", {fnRGB, 3, 0}},
        {"RGBA", {fnRGBA, 4, 0}},
    };
    const auto it = table.find(name);
    if (it != table.end())
        return &it->second;
    const int k = FormulaLibrary::indexOf(name);
    return k < 0 ? nullptr : &libraryInfos()[size_t(k)];
}

const char* FormulaFunctions::libraryName(int id)
{
    return FormulaLibrary::entry(id - fnLibrary).name;
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
