#pragma once

#include <QtGlobal>

#if defined(ZTLINELIB_BUILD)
#  define ZTLINELIB_EXPORT Q_DECL_EXPORT
#else
#  define ZTLINELIB_EXPORT Q_DECL_IMPORT
#endif

// The no-value marker of every float series, and the two sentinels of an
// unset value range: the float nearest to ∓1e15, widened to double.
constexpr double kZtNoValue = -999999986991104.0;
constexpr double kZtNoValueMax = 999999986991104.0;

// True for a series value that stands for "no value" (the marker, anything
// beyond the sentinels, NaN).
inline bool ztIsNoValue(double v)
{
    return !(v > kZtNoValue && v < kZtNoValueMax);
}
