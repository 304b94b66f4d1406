// Math: element-by-element functions. A value exists where every argument
// has one and the result is a finite number (LN(0), SQRT(−1), a huge POW
// give none).

#include "FormulaFamilyTools.h"

#include <cstdint>

using namespace FormulaFamily;
namespace D = FormulaDecimal;

namespace {

void fnACOS(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::acos(x); }); }
void fnASIN(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::asin(x); }); }
void fnATAN(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::atan(x); }); }
void fnCOS(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::cos(x); }); }
void fnSIN(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::sin(x); }); }
void fnTAN(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::tan(x); }); }
void fnEXP(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::exp(x); }); }
void fnSQRT(FormulaCall& c, double* o) { each(c, o, [](double x) { return std::sqrt(x); }); }
void fnREVERSE(FormulaCall& c, double* o) { each(c, o, [](double x) { return -x; }); }

void fnLN(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return x > 0.0 ? std::log(x) : kNaN; });
}

void fnLOG(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return x > 0.0 ? std::log10(x) : kNaN; });
}

void fnPOW(FormulaCall& c, double* o)
{
    each2(c, o, [](double x, double y) { return std::pow(x, y); });
}

// Halves away from zero, judged on the decimal value (2.675 → 2.68).
double roundDecimals(double x, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double v = x * scale;
    return std::round(v + std::copysign(D::kTolerance * std::fabs(v), v)) / scale;
}

void fnROUND(FormulaCall& c, double* o) { each(c, o, [](double x) { return roundDecimals(x, 0); }); }

void fnROUND2(FormulaCall& c, double* o)
{
    const double d = c.number(1);
    if (std::isnan(d) || d < 0.0 || d > 15.0)
        return none(c.count(), o);
    const int decimals = int(d);
    each(c, o, [decimals](double x) { return roundDecimals(x, decimals); });
}

void fnCEILING(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return std::ceil(D::snapInteger(x)); });
}

void fnFLOOR(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return std::floor(D::snapInteger(x)); });
}

void fnINTPART(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return std::trunc(D::snapInteger(x)); });
}

void fnFRACPART(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return D::subtract(x, std::trunc(D::snapInteger(x))); });
}

// The remainder of a truncated division: it takes A's sign, and fractions
// are allowed (MOD(7.5,2) = 1.5, MOD(−7,3) = −1); B = 0 gives no value.
void fnMOD(FormulaCall& c, double* o)
{
    each2(c, o, [](double a, double b) {
        if (b == 0.0)
            return kNaN;
        const double q = std::trunc(D::snapInteger(a / b));
        return D::subtract(a, q * b);
    });
}

void fnSIGN(FormulaCall& c, double* o)
{
    each(c, o, [](double x) { return x > 0.0 ? 1.0 : (x < 0.0 ? -1.0 : 0.0); });
}

void fnBETWEEN(FormulaCall& c, double* o)
{
    each3(c, o, [](double a, double b, double x) {
        const double lo = std::min(b, x);
        const double hi = std::max(b, x);
        return (!D::less(a, lo) && !D::less(hi, a)) ? 1.0 : 0.0;
    });
}

void fnRANGE(FormulaCall& c, double* o)
{
    each3(c, o, [](double a, double b, double x) {
        return (D::less(b, a) && D::less(a, x)) ? 1.0 : 0.0;
    });
}

void fnCONST(FormulaCall& c, double* o)
{
    const int n = c.count();
    const double* x = c.series(0);
    FormulaSeries::fill(o, n, n > 0 ? x[n - 1] : kNaN);
}

template <bool highest>
void extremeOfArgs(FormulaCall& c, double* o)
{
    const size_t k = c.argCount();
    std::vector<const double*> args;
    for (size_t j = 0; j < k; ++j)
        args.push_back(c.series(j));
    for (int i = 0; i < c.count(); ++i) {
        double best = args[0][i];
        for (size_t j = 1; j < k && !std::isnan(best); ++j) {
            const double v = args[j][i];
            best = std::isnan(v) ? kNaN : (highest ? std::max(best, v) : std::min(best, v));
        }
        o[i] = best;
    }
}

// A whole number 1 … N that depends only on the bar and N, so a chart does
// not change between repaints.
void fnRAND(FormulaCall& c, double* o)
{
    const double* limit = c.series(0);
    for (int i = 0; i < c.count(); ++i) {
        const double top = std::floor(limit[i]);
        if (!(top >= 1.0) || top > 4294967295.0) {
            o[i] = kNaN;
            continue;
        }
        std::uint64_t h = std::uint64_t(i) * 0x9E3779B97F4A7C15ull + std::uint64_t(top);
        h ^= h >> 31;
        h *= 0xBF58476D1CE4E5B9ull;
        h ^= h >> 29;
        o[i] = 1.0 + double(h % std::uint64_t(top));
    }
}

const FormulaLibraryEntry kMath[] = {
    {"ACOS", 1, 1, -1, fnACOS},         {"ASIN", 1, 1, -1, fnASIN},
    {"ATAN", 1, 1, -1, fnATAN},         {"COS", 1, 1, -1, fnCOS},
    {"SIN", 1, 1, -1, fnSIN},           {"TAN", 1, 1, -1, fnTAN},
    {"EXP", 1, 1, -1, fnEXP},           {"LN", 1, 1, -1, fnLN},
    {"LOG", 1, 1, -1, fnLOG},           {"POW", 2, 2, -1, fnPOW},
    {"SQRT", 1, 1, -1, fnSQRT},         {"ROUND", 1, 1, -1, fnROUND},
    {"ROUND2", 2, 2, 1, fnROUND2},      {"CEILING", 1, 1, -1, fnCEILING},
    {"FLOOR", 1, 1, -1, fnFLOOR},       {"INTPART", 1, 1, -1, fnINTPART},
    {"FRACPART", 1, 1, -1, fnFRACPART}, {"MOD", 2, 2, -1, fnMOD},
    {"SIGN", 1, 1, -1, fnSIGN},         {"BETWEEN", 3, 3, -1, fnBETWEEN},
    {"RANGE", 3, 3, -1, fnRANGE},       {"REVERSE", 1, 1, -1, fnREVERSE},
    {"CONST", 1, 1, -1, fnCONST},       {"MAX6", 2, 6, -1, extremeOfArgs<true>},
    {"MIN6", 2, 6, -1, extremeOfArgs<false>}, {"RAND", 1, 1, -1, fnRAND},
};

} // namespace

FormulaLibrary::Family FormulaLibrary::mathFamily()
{
    return {kMath, std::size(kMath)};
}
