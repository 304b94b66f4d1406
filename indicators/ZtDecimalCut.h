#pragma once

#include <cmath>

namespace zt {

// Exact powers of ten up to the largest a double holds exactly.
inline constexpr double kPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
inline constexpr int kMaxExactPow10 = 22;

// floor(a·s) for a ≥ 0 and s one of kPow10, settled on the exact product:
// the rounded product may lie on the other side of a whole number.
inline double exactFloorTimes(double a, double s)
{
    double k = std::floor(a * s);
    if (std::fma(a, s, -k) < 0)
        k -= 1;
    else if (std::fma(a, s, -(k + 1)) >= 0)
        k += 1;
    return k;
}

} // namespace zt
