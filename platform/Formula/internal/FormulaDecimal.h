#pragma once

#include <algorithm>
#include <cmath>
#include <limits>

// Prices reach the engine as single-precision floats, so 0.06 arrives as
// 0.0599999986… and two prices that are equal as decimals can differ after
// arithmetic. The engine therefore widens every input to the double nearest
// its shortest decimal form and treats differences below a relative
// tolerance as rounding noise, so formulas get the answers the decimal
// prices give.
namespace FormulaDecimal {

// Differences smaller than this share of the operands' magnitude are noise.
constexpr double kTolerance = 1e-10;

// The double nearest the shortest decimal that reads back as f. Decimals of
// up to 7 significant digits are found exactly (a float interval holds at
// most one of them); longer forms differ from f by less than the float's own
// precision and keep f's exact value.
inline double widen(float f)
{
    const double d = f;
    if (!std::isfinite(d) || d == 0.0)
        return d;
    // Two decimals first: most prices have them.
    const double cents = std::round(d * 100.0) / 100.0;
    if (float(cents) == f)
        return cents;
    static const double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const int exponent = int(std::floor(std::log10(std::fabs(d))));
    const int digits = 6 - exponent; // decimals that keep 7 significant digits
    if (digits < -22 || digits > 22)
        return d;
    const double scaled = digits >= 0 ? d * kPow10[digits] : d / kPow10[-digits];
    if (std::fabs(scaled) >= 9007199254740992.0)
        return d;
    const double q = std::round(scaled);
    const double r = digits >= 0 ? q / kPow10[digits] : q * kPow10[-digits];
    return float(r) == f ? r : d;
}

inline double scale(double a, double b)
{
    return std::max(std::fabs(a), std::fabs(b));
}

// a + b and a − b with the noise of cancelling decimals removed.
inline double add(double a, double b)
{
    const double s = a + b;
    return std::fabs(s) <= kTolerance * scale(a, b) ? 0.0 : s;
}

inline double subtract(double a, double b)
{
    const double s = a - b;
    return std::fabs(s) <= kTolerance * scale(a, b) ? 0.0 : s;
}

inline bool equal(double a, double b)
{
    return std::fabs(a - b) <= kTolerance * scale(a, b);
}

inline bool less(double a, double b)
{
    return a < b && !equal(a, b);
}

// x, or the integer it is within noise of (for FLOOR, CEILING, MOD …).
inline double snapInteger(double x)
{
    const double r = std::round(x);
    return std::fabs(x - r) <= kTolerance * std::max(1.0, std::fabs(x)) ? r : x;
}

} // namespace FormulaDecimal
