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
// earlier variables, + - * /, = == <> != < <= > >=, AND && OR || NOT, parentheses.
// Functions: MA EMA SMA(X,N,M) WMA REF HHV LLV SUM COUNT STD AVEDEV ABS MAX
// MIN IF CROSS BARSLAST NOT; the function families (internal/
// FormulaFunctions*.cpp, one table each: math, averages and statistics,
// references and ranking, price signals, logic, time; functions without
// arguments such as DATE, TIME, BARPOS, TR, NULL read as names); RGB(r,g,b) RGBA(r,g,b,a) with constant
// components, and the colour names below, are numbers in expressions.
// Drawing functions form a whole output statement (see FormulaDrawType.h
// for their records): DRAWTEXT(COND,PRICE,'TEXT') DRAWICON(COND,PRICE,N)
// STICKLINE(COND,P1,P2,WIDTH,EMPTY) DRAWKLINE(H,O,L,C)
// DRAWKLINE_IF(COND,H,O,L,C) DRAWCOLORKLINE(COND,COLOR,EMPTY)
// DRAWLINE(C1,P1,C2,P2,EXPAND) HORLINE(COND,PRICE[,DIR[,EXTEND]])
// DRAWSL(COND,PRICE,SLOPE,LEN,DIRECT) POLYLINE/PLOYLINE(COND,PRICE)
// PARTLINE(PRICE,COND1,COLOR1,…) DRAWNUMBER(COND,PRICE,NUMBER[,DECIMALS])
// DRAWNUMBER_FIX(COND,X,Y,TYPE,NUMBER[,DECIMALS]) DRAWTEXT_FIX(COND,X,Y,TYPE,'T')
// DRAWBAND(V1,COLOR1,V2,COLOR2) FILLRGN(V1,V2,COND1,COLOR1,…)
// DRAWGBK(COND,COLOR1[,COLOR2[,DIRECTION]]) VERTLINE(COND).
// Attributes: COLORSTICK VOLSTICK LINESTICK NODRAW; LINETHICKn (any n, cut
// to 1…16); DOTLINE LINEDASH POINTDOT CIRCLEDOT CROSSDOT UPDOWNDOT STEPLINE
// LINEAREA (tagFLINE::lineStyle, low bits) NOTEXT NOTITLE DRAWABOVE (flag
// bits); UPCOLORc DOWNCOLORc (per-bar colour codes) STICKTYPEn; colours
// COLORBBGGRR (six hex digits), RGB(r,g,b), RGBA(r,g,b,a) and COLORWHITE
// YELLOW MAGENTA GREEN RED BLUE CYAN BLACK GRAY BROWN ORANGE PURPLE, light
// ones as LIGHTRED or LIRED (GREEN BLUE CYAN MAGENTA GRAY YELLOW alike).
// Attributes on a hidden variable are checked and ignored.
// docs/formula-language.md lists every name with its meaning and warm-up.
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
// Resuming. An input converted by PBDataChange::LBDG_TagDayVector carries
// serials in its runs (TagDay.h). For such an input the engine keeps, per
// definition (name, text, parameter names and values) and input, and for
// the most recent ones of the thread (up to 64 while they take less than
// 1 GiB together, at least four whatever their size: a client ticks every
// engine pane it shows in turn; when room is needed, the states left
// behind when a CInputData object was converted anew go first), the runs
// it evaluated and the series of every node and output line: 8 bytes per
// bar for each computed node and price column read, 4 per output line, and
// STD's window state every 64 bars (MACD: 68 bytes per bar); STD and the
// sliding sums (SUM, MA, COUNT) also keep their state before the last bar.
// When the next input's runs equal those up to bar k (the run holding k may
// be cut shorter or run longer), only bars k on are computed (a window from
// its state before the last bar when k is at or after it), bit for bit as
// from scratch, and the output records point into the kept series.
// Operators, IF, REF, CROSS, BARSLAST, MA, SUM, COUNT, HHV, LLV, STD,
// AVEDEV, EMA, SMA, DMA, AMA, EXPMA and MEMA with constant periods resume;
// a formula using anything else (a drawing, per-bar colours, a period that
// is a line, any other function) is evaluated from scratch every time, and
// so is an input without serials.
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
