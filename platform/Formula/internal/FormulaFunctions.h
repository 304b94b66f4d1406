#pragma once

#include <string>

enum FormulaFunctionId {
    fnMA, fnEMA, fnSMA, fnWMA, fnREF, fnHHV, fnLLV, fnSUM, fnCOUNT, fnSTD, fnAVEDEV,
    fnABS, fnMAX, fnMIN, fnIF, fnCROSS, fnBARSLAST, fnNOT, fnDRAWTEXT, fnDRAWICON,
    // drawing
    fnSTICKLINE = 1000, fnDRAWKLINE, fnDRAWCOLORKLINE, fnDRAWKLINE_IF, fnDRAWLINE, fnPOLYLINE,
    fnPARTLINE, fnDRAWNUMBER, fnDRAWNUMBER_FIX, fnDRAWTEXT_FIX, fnDRAWBAND, fnFILLRGN,
    fnDRAWGBK, fnHORLINE, fnVERTLINE, fnDRAWSL, fnRGB, fnRGBA,
    // library functions (FormulaLibrary.h): fnLibrary + their position there
    fnLibrary = 1 << 12,
};

// The function table of the formula language.
class FormulaFunctions
{
public:
    struct Info
    {
        FormulaFunctionId id;
        int arity;
        // Arguments from this index on must be constants (periods, weights);
        // −1 when all may be series.
        int firstConstant;
        // Most arguments accepted, when more than arity (fewest) are.
        int maxArity = -1;
    };

    // The function of that upper-case name, or null.
    static const Info* find(const std::string& name);
    // The upper-case name of a library function id (≥ fnLibrary).
    static const char* libraryName(int id);

    // drawing
    // True for the functions that make a whole output statement.
    static bool isDrawing(int id);
    // The index of the argument that must be a quoted text, or −1.
    static int textArgument(int id);
};
