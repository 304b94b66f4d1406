// Placeholders for the parts of the indicator pane that are still being
// written: the data-service indicators. Each adds no lines, so that the
// library links and a pane of such a type simply shows nothing. Whoever implements one of them deletes its placeholder here.

#include "FormulaResult.h"
#include "Formulas.h"
#include "ZtLineLib_Formula.h"

// ---- data-service indicators (add no lines yet) ----------------------------

void Formulas::eFT_ZJLX(const QString&) {}
void Formulas::eFT_MMLD(const QString&) {}
void Formulas::eFT_CMSD(const QString&) {}
void Formulas::eFT_RZRQ(const QString&) {}

void Formulas::eFT_YDCM(const QString&, qint64, int, const QVector<int>&, ZtE_YDCMJS_OUT_TYPE,
                        ZtE_YDCMJS_CMFB_TYPE, double)
{
}
