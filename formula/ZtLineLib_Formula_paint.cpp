// The painting entry of the indicator pane: each line goes to the painter of
// its draw type, in three passes, and the markers of the highest and lowest
// painted value come last. The painters live by family in the
// ZtLineLib_Formula_paint*.cpp files; what they share is below.
//
// Painting runs on every repaint, so each painter looks its theme pens up
// once per call, builds no pen per item and hands runs of same-pen
// primitives to the painter in one call where that leaves every pixel as
// single calls would (see ZtPaintBatch.h).

#include "ZtLineLib_Formula.h"

#include "ZtDecimalCut.h"
#include "ZtPainterClipGuard.h"

#include <QString>

#include <cmath>

using Line = Formulas::formulaLine;

namespace {

// Days of a multi-day intraday chart are 241 minute slots long.
constexpr int kSlotsPerDay = 241;
// With the call-auction band the first two day ends are joined.
constexpr int kFirstBrokenJoinWithAuction = 482;

} // namespace

// ---- entry -----------------------------------------------------------------

void ZtLineLib_Formula::FillChild(QPainter* painter)
{
    if (!painter || !m_data || m_data->count() < 1)
        return;
    if (m_formulaLines.lineCount() == 0)
        return;

    // Clipping to the pane makes every line far cheaper for the raster
    // engine and keeps the markers inside the pane.
    ZtPainterClipGuard clip(painter, m_rect);

    m_maxTagValue = kZtNoValue;
    m_minTagValue = kZtNoValueMax;
    m_maxTagX = -1;
    m_minTagX = -1;

    for (int pass = 0; pass < 3; ++pass)
    for (int n = 0; n < m_formulaLines.lineCount(); ++n) {
        const Line* line = m_formulaLines.lineAt(n);
        if (drawingPass(line) != pass)
            continue;
        if (line->useDrawRoutines) {
            if (paintDrawing(painter, line))
                continue;
            switch (line->drawType) {
            case eLINE: Draw_eLINE(painter, line); break;
            case eVOLSTICK: Draw_eVOLSTICK(painter, line); break;
            case eVOLSTICK2: Draw_eVOLSTICK2(painter, line); break;
            case eCOLORSTICK: Draw_eCOLORSTICK(painter, line); break;
            case eDRAWTEXT: Draw_eDRAWTEXT(painter, line); break;
            case eDRAWICON: Draw_eDRAWICON(painter, line); break;
            default: break;
            }
        } else {
            switch (line->drawType) {
            case eLINE: Fill_eLINE(painter, line); break;
            case eSMOOTHLINE: Fill_eSMOOTHLINE(painter, line); break;
            case eVOLSTICK: Fill_eVOLSTICK(painter, line); break;
            case eVOLSTICK2: Fill_eVOLSTICK2(painter, line); break;
            case eCOLORSTICK: Fill_eCOLORSTICK(painter, line); break;
            case eKLINE: Fill_eKLINE(painter, line); break;
            case eYDCM: Fill_eYDCM(painter, line); break;
            default: break;
            }
        }
    }

    if (getDrawMaxMinTag())
        DrawMaxMinTag(painter);
}

// ---- shared helpers ----------------------------------------------------------

void ZtLineLib_Formula::recordMax(double value, int x)
{
    if (value > m_maxTagValue) {
        m_maxTagValue = value;
        m_maxTagX = x;
    }
}

void ZtLineLib_Formula::recordMin(double value, int x)
{
    if (value < m_minTagValue) {
        m_minTagValue = value;
        m_minTagX = x;
    }
}

void ZtLineLib_Formula::recordMaxMin(double value, int x)
{
    recordMax(value, x);
    recordMin(value, x);
}

bool ZtLineLib_Formula::isDayBoundary(int i) const
{
    return m_isDLine && m_isMainChat && m_showDRFS != 0 && (i + 1) % kSlotsPerDay == 0
           && (!m_showJHJJ || i >= kFirstBrokenJoinWithAuction);
}

double ZtLineLib_Formula::roundToPrec(double value, int prec)
{
    using zt::kPow10;
    // QString::number gives six decimals for a negative precision.
    const int p = prec < 0 ? 6 : prec;
    const double a = std::fabs(value);
    if (!std::isfinite(value) || p > zt::kMaxExactPow10 || a * kPow10[p] >= 0x1p52)
        return QString::number(value, 'f', p).toDouble();

    // The text is the exact binary value rounded to p decimals, halves away
    // from zero. k = floor(a·10^p) is settled on the exact product, then
    // compared with the half; below 2^52 k/10^p is the double nearest to the
    // decimal, as reading the text gives.
    const double s = kPow10[p];
    double k = zt::exactFloorTimes(a, s);
    if (std::fma(a, s, -(k + 0.5)) >= 0)
        k += 1;
    const double r = k / s;
    return std::signbit(value) ? -r : r;
}
