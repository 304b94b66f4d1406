#include "PaneCrosshair.h"

#include <ZtLineLibTheme.h>
#include <ZtLineLib_Formula.h>
#include <ZtLineLib_Reference.h>
#include <ZtLineLib_Scaleplate.h>

#include <QPainter>

#if __has_include(<ZtLineCrossCurve.h>)
#include <ZtLineCrossCurve.h>
#define ZTVIEWER_HAS_CROSSCURVE 1
#else
// Only the pointer type is needed without the library's crosshair.
class ZtLineCrossCurve
{
};
#define ZTVIEWER_HAS_CROSSCURVE 0
#endif

PaneCrosshair::PaneCrosshair()
    : m_cross(new ZtLineCrossCurve)
{
#if ZTVIEWER_HAS_CROSSCURVE
    m_cross->setCroMouseEnable(true);
    m_cross->setDrawLineEnable(true);
    m_cross->setDrawHLine(true);
#endif
}

PaneCrosshair::~PaneCrosshair() = default;

void PaneCrosshair::attach(ZtLineLib_Reference* axis)
{
    m_reference = axis;
#if ZTVIEWER_HAS_CROSSCURVE
    m_cross->appendRefrenc(axis);
#endif
}

void PaneCrosshair::attach(ZtLineLib_Scaleplate* axis)
{
    m_scaleplate = axis;
#if ZTVIEWER_HAS_CROSSCURVE
    m_cross->appendScaleplate(axis);
#endif
}

void PaneCrosshair::paint(QPainter* painter, int index, int mouseY, ZtLineLib_Formula* pane)
{
    if (index < 0 || !pane)
        return;
#if ZTVIEWER_HAS_CROSSCURVE
    m_cross->Fill(painter, QPoint(0, mouseY), index, pane);
#else
    paintStandIn(painter, index, mouseY, pane);
#endif
}

void PaneCrosshair::paintStandIn(QPainter* painter, int index, int mouseY, ZtLineLib_Formula* pane)
{
    const int rel = index - pane->dataShowIndex();
    if (rel < 0 || rel >= pane->dataShowLength())
        return;
    const int x = int(pane->getX(rel));
    painter->setPen(getThemePen(QStringLiteral("CrossCurvePen")));
    if (m_reference) {
        const QRectF r = m_reference->getRect();
        const double left = r.left() + m_reference->fixedPaddingLeft();
        const double right = r.right() - m_reference->fixedPaddingRight();
        const double top = r.top() + m_reference->fixedPaddingTop();
        const double bottom = r.bottom() - m_reference->fixedPaddingBottom();
        painter->drawLine(QLineF(x, top, x, bottom));
        if (mouseY > top && mouseY < bottom)
            painter->drawLine(QLineF(left, mouseY, right, mouseY));
    }
}
