#pragma once

#include <QtGlobal>

#if defined(FORMULA_BUILD)
#  define FORMULA_EXPORT Q_DECL_EXPORT
#else
#  define FORMULA_EXPORT Q_DECL_IMPORT
#endif

// The no-value marker of every float series: the float nearest to −1e15.
constexpr float kFormulaNoValue = -999999986991104.0f;
