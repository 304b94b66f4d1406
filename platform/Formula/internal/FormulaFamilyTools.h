#pragma once

// Shared building blocks of the function families (FormulaFunctions*.cpp).

#include "FormulaDecimal.h"
#include "FormulaLibrary.h"
#include "FormulaSeries.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace FormulaFamily {

using FormulaLibrary::kNaN;

// A non-finite result (a domain error, an overflow) is no value.
inline double clean(double v)
{
    return std::isfinite(v) ? v : kNaN;
}

inline bool isTrue(double v)
{
    return !std::isnan(v) && v != 0.0;
}

// Element by element over one, two or three arguments; no value where an
// argument has none.
template <class F>
void each(FormulaCall& c, double* out, F f)
{
    const double* x = c.series(0);
    for (int i = 0; i < c.count(); ++i)
        out[i] = std::isnan(x[i]) ? kNaN : clean(f(x[i]));
}

template <class F>
void each2(FormulaCall& c, double* out, F f)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    for (int i = 0; i < c.count(); ++i)
        out[i] = (std::isnan(x[i]) || std::isnan(y[i])) ? kNaN : clean(f(x[i], y[i]));
}

template <class F>
void each3(FormulaCall& c, double* out, F f)
{
    const double* x = c.series(0);
    const double* y = c.series(1);
    const double* z = c.series(2);
    for (int i = 0; i < c.count(); ++i) {
        const bool gap = std::isnan(x[i]) || std::isnan(y[i]) || std::isnan(z[i]);
        out[i] = gap ? kNaN : clean(f(x[i], y[i], z[i]));
    }
}

// The period argument i: truncated toward zero; −1 when missing, negative
// or 0 where 0 has no meaning; n + 1 when longer than the series.
inline int periodArg(FormulaCall& c, size_t i, bool zeroMeansAll = false)
{
    return FormulaSeries::period(c.number(i), c.count(), zeroMeansAll);
}

inline void none(int n, double* out)
{
    FormulaSeries::fill(out, n, kNaN);
}

// Bars [i − period + 1, i] all have a value (period 0: bars [0, i]).
class GapWindow
{
public:
    GapWindow(const double* x, int n)
        : m_gapsBefore(size_t(n) + 1, 0)
    {
        for (int i = 0; i < n; ++i)
            m_gapsBefore[size_t(i) + 1] = m_gapsBefore[size_t(i)] + (std::isnan(x[i]) ? 1 : 0);
    }
    bool full(int i, int period) const
    {
        const int first = period == 0 ? 0 : i - period + 1;
        return first >= 0 && m_gapsBefore[size_t(i) + 1] == m_gapsBefore[size_t(first)];
    }

private:
    std::vector<int> m_gapsBefore;
};

} // namespace FormulaFamily
