#pragma once

#include "ZtLineLibGlobal.h"

#include <QString>
#include <QVariant>

// The value format language of the axis tags. A format text says how a
// number is scaled ("<divisor>d<decimals>"), shortened with 万/亿/兆 ("w",
// "wc"), signed ("f"), wrapped in fixed texts ("[ps:…]", "[ls:…]"), read as a
// date-time code ("[tn:pattern]") or replaced ("!!", "!p", "[ss:…]"), and
// which of several formats applies ("{if#condition;format}"). Every call
// evaluates the text afresh; the functions are pure.
//
// A "{if#" block without its closing "}" runs to the end of the format. When
// its condition fails, the text before the "{if#" is the format (the block
// is cut out just like a closed one), so evaluation always ends.

// The label text of value under format. The text "-" stands for no value
// and formats as 0.
ZTLINELIB_EXPORT QString formatValueText(QVariant value, QString format);

// The effective format: the format of the first "{if#" block whose
// condition holds for value, else the format with all blocks cut out.
ZTLINELIB_EXPORT QString resolveConditionalFormat(QVariant value, QString format);

// A condition of terms joined by "&&" and "||" (no precedence: the rest of
// the condition binds to the right), grouped with "(" and ")".
ZTLINELIB_EXPORT bool evaluateFormatCondition(QVariant value, QString condition);

// One comparison, "true" or "false". An empty left operand is the value.
ZTLINELIB_EXPORT bool evaluateFormatTerm(QVariant value, QString term);
