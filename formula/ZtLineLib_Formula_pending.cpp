// Placeholders for the parts of the indicator pane that are still being
// written: value text, painters and the data-service
// indicators. Each gives the neutral result (empty text, nothing painted, no
// lines) so that the library links and a pane of such a type simply shows
// nothing. Whoever implements one of them deletes its placeholder here.

#include "FormulaResult.h"
#include "Formulas.h"
#include "ZtLineLib_Formula.h"

// ---- value text -----------------------------------------------------------

QString ZtLineLib_Formula::getChildDataString(int)
{
    return QString();
}

// ---- painters -------------------------------------------------------------

void ZtLineLib_Formula::FillChild(QPainter*) {}
void ZtLineLib_Formula::DrawMaxMinTag(QPainter*) {}
void ZtLineLib_Formula::Fill_eLINE(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eSMOOTHLINE(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eVOLSTICK(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eVOLSTICK2(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eCOLORSTICK(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eKLINE(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Fill_eYDCM(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eLINE(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eVOLSTICK(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eVOLSTICK2(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eCOLORSTICK(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eDRAWTEXT(QPainter*, const Formulas::formulaLine*) {}
void ZtLineLib_Formula::Draw_eDRAWICON(QPainter*, const Formulas::formulaLine*) {}

// ---- data-service indicators (add no lines yet) ----------------------------

void Formulas::eFT_ZJLX(const QString&) {}
void Formulas::eFT_MMLD(const QString&) {}
void Formulas::eFT_CMSD(const QString&) {}
void Formulas::eFT_RZRQ(const QString&) {}

void Formulas::eFT_YDCM(const QString&, qint64, int, const QVector<int>&, ZtE_YDCMJS_OUT_TYPE,
                        ZtE_YDCMJS_CMFB_TYPE, double)
{
}
