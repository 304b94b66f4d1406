#include "TimeAxisWidget.h"

#include "ChartData.h"
#include "TimeAxisSetup.h"

#include <ZtLineCrossCurve.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Scaleplate.h>

#include <QPainter>

TimeAxisWidget::TimeAxisWidget(ChartData* data, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_axis(new ZtLineLib_Scaleplate)
    , m_cross(new ZtLineCrossCurve)
{
    setFixedHeight(kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    TimeAxisSetup::configure(m_axis.get(), m_data);
    m_cross->setCroMouseEnable(true);
    m_cross->appendScaleplate(m_axis.get());
}

TimeAxisWidget::~TimeAxisWidget() = default;

void TimeAxisWidget::setPaddings(double left, double right)
{
    m_paddingLeft = left;
    m_paddingRight = right;
    setWindow(m_first, m_count);
}

void TimeAxisWidget::place()
{
    // The axis picture starts at the top of its painter, so its rectangle
    // starts at 0 in the strip's own coordinates.
    m_axis->setRect(QRectF(0, 0, width(), height()));
    m_axis->setFixedPaddingLeft(m_paddingLeft);
    m_axis->setFixedPaddingRight(m_paddingRight);
}

void TimeAxisWidget::setWindow(int first, int count)
{
    m_first = first;
    m_count = count;
    place();
    if (count > 0)
        m_axis->setRange(first, count);
    update();
}

void TimeAxisWidget::setCrosshair(int index, ZtLineLib_Formula* layout)
{
    m_crossIndex = index;
    m_layout = layout;
    update();
}

void TimeAxisWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    setWindow(m_first, m_count);
}

void TimeAxisWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.fillRect(rect(), getThemePen(QStringLiteral("Background")).color());
    if (m_count <= 0)
        return;
    // The strip is its own widget, so its painter already stands at the
    // strip's top: the translation a single-canvas host needs is implicit.
    m_axis->Fill(&painter);
    if (m_crossIndex >= 0 && m_layout)
        m_cross->Fill(&painter, QPoint(0, -1), m_crossIndex, m_layout);
}
