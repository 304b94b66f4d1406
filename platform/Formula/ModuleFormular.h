#pragma once

#include "CInputData.h"
#include "FormulaResultBase.h"
#include "TagFormularContent.h"

#include <string>
#include <vector>

// The evaluator of stored formulas.
//
// Language. A formula is a list of statements separated by ';' (the last
// one may omit it); names are case-insensitive; { … } and // … are comments.
//   NAME := expr;              hidden variable
//   NAME : expr {, attr};      output line NAME
//   expr {, attr};             output line without a name
// Expressions: numbers (1, 2.5, 1e3), parameters of the definition (by
// name), OPEN HIGH LOW CLOSE VOL AMOUNT (short O H L C V; VOLUME, AMO),
// earlier variables, + - * /, = == <> != < <= > >=, AND && OR || NOT,
// parentheses. Core functions (FormulaEvaluator): MA EMA SMA(X,N,M) WMA REF
// HHV LLV SUM COUNT STD AVEDEV ABS MAX MIN IF CROSS BARSLAST NOT;
// DRAWTEXT(COND,PRICE,'TEXT') and DRAWICON(COND,PRICE,N) form a whole
// output statement. The function families (internal/FormulaFunctions*.cpp,
// one table each): math, averages and statistics, references and ranking,
// price signals, logic, time. Functions without arguments (DATE, TIME,
// BARPOS, TR, ISUP, NULL …) read as names. docs/formula-language.md lists
// every name with its meaning and warm-up.
// Attributes: COLORSTICK VOLSTICK LINESTICK NODRAW LINETHICK1…9, COLORBBGGRR
// (six hex digits) and COLORWHITE YELLOW MAGENTA GREEN RED BLUE CYAN BLACK
// GRAY LIGHTGRAY BROWN LIGHTRED LIGHTGREEN LIGHTBLUE.
//
// Values. Every operation works on whole series. A bar without a value
// (warm-up, an empty slot, a no-value or non-finite input, x/0, a result
// that is not a finite number) is NaN inside and kFormulaNoValue in the
// output. Warm-up rule: a value exists where the values it is computed from
// exist; a window function over N bars starts N − 1 bars after its input;
// REF(X,N) starts N bars after X; the recursive averages (EMA SMA DMA …)
// start with their input, seeded with its first value, and step over bars
// without a value keeping their state. Comparisons, logic, IF and CROSS
// give no value where an operand has none.
// Numbers. Inputs are widened to the double of their shortest decimal form
// and differences below 1e−10 of the operands count as 0 in + − and the
// comparisons (FormulaDecimal.h), so decimal prices compare and cancel
// exactly. CROSS(A,B) needs A strictly below B on the bar before. Periods
// are truncated toward zero; 0 or below gives no values, except N = 0
// meaning "all bars so far" where documented (SUM HHV LLV COUNT …); a
// non-constant period is an error unless the function accepts a line (REF,
// DMA; SUM MA COUNT HHV LLV HHVBARS LLVBARS EVERY EXIST then take each
// bar's own window). SMA(X,N,M) with M ≥ N follows X; M ≤ 0 gives no values.
//
// Output. Each output statement becomes one tagFLINE handed to
// result->parseFromFline before ComputeDayFormular returns: count = number
// of bars, data1 the values, data2 the icon numbers of a DRAWICON line,
// draw type per attribute (FormulaDrawType.h), colour 0x00BBGGRR (by
// default the n-th output takes white, yellow, magenta, green, red, blue,
// cyan, cycling), lineWidth 1 unless LINETHICKn, names and texts in the
// local 8-bit encoding.
//
// Definitions come from the live CDFormulaManage stores (see there); this
// object's one member keeps a copy of each definition it evaluated (and
// the classic ones from the start), used when no live store holds the name.
class FORMULA_EXPORT ModuleFormular
{
public:
    ModuleFormular();
    ModuleFormular(const ModuleFormular& other);
    ModuleFormular& operator=(const ModuleFormular& other);
    ~ModuleFormular();

    // Evaluates the stored formula name over input.days (TagDay.h) with the
    // parameter values params[2] of its definition. mode and flags are
    // accepted for compatibility and not used. False, with lastError() set,
    // for an unknown name, a formula that does not compile or evaluate, or a
    // null result; result is then left untouched.
    bool ComputeDayFormular(std::string& name, CInputData& input, int mode, int flags,
                            FormulaResultBase* result);

    // The price columns (TagDayColumn bits, TagDay.h) the stored formula
    // name reads, so that a caller may fill only those; every column when
    // the name is unknown or its formula does not compile. m_valid is read
    // always.
    unsigned inputColumns(const std::string& name);

    // Why the last ComputeDayFormular of this object failed, as
    // "line L, column C: message" (or just the message when no position
    // applies); empty after a success.
    std::string lastError() const;
    int lastErrorLine() const;   // 1-based, 0 when none
    int lastErrorColumn() const; // 1-based, in characters, 0 when none

    // Compiles definition's formula without evaluating it (for an editor).
    static bool checkFormula(const TagFormularContent& definition, std::string* error = nullptr);

private:
    const TagFormularContent* definitionOf(const std::string& name);

    std::vector<TagFormularContent> m_contents;
};
