#include "PaneWidget.h"

#include "ChartData.h"
#include "EventBarSetup.h"

#include <ZtLineCrossCurve.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Reference.h>

#include <QFontMetricsF>
#include <QPainter>

using namespace ZtUIDataStruct;

namespace {

constexpr int kPaddingBottom = 2;
// The price chart keeps a strip under its band for the event icons.
constexpr int kEventStrip = 12;

} // namespace

PaneWidget::PaneWidget(ChartData* data, Type type, bool main, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_main(main)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    createChart(type);
    if (m_main)
        m_events = EventBarSetup::create(m_data);
}

PaneWidget::~PaneWidget() = default;

void PaneWidget::createChart(Type type)
{
    m_chart = std::make_unique<ChartPane>(m_data, ChartPane::Entry{type, {}}, m_main);
    m_chart->setOverlays(m_overlays);
    m_chart->setLogScale(m_logScale);
    // The window marks the highest and lowest price of the view.
    m_chart->setMaxMinMarkers(true);
    // K-line charts keep their prices on the right; intraday charts show
    // prices on the left and percent changes on the right.
    m_chart->setMainValueOnRight(!m_data->isDLine());
    ZtLineLib_Reference* axis = m_chart->axis();
    axis->setFixedPaddingTop(kLegendHeight);
    axis->setFixedPaddingBottom(m_main ? kEventStrip : kPaddingBottom);
    // The crosshair keeps a pointer to the axis, so it follows the axis.
    m_cross = std::make_unique<ZtLineCrossCurve>();
    m_cross->setCroMouseEnable(true);
    m_cross->setDrawLineEnable(true);
    m_cross->setDrawHLine(true);
    m_cross->appendRefrenc(axis);
}

void PaneWidget::setType(Type type)
{
    if (type == this->type())
        return;
    createChart(type);
    placeElements();
    compute();
    update();
}

void PaneWidget::setOverlays(const QList<Type>& types)
{
    m_overlays.clear();
    for (Type t : types)
        m_overlays.append(ChartPane::Entry{t, {}});
    m_chart->setOverlays(m_overlays);
    placeElements();
    compute();
    update();
}

void PaneWidget::setLogScale(bool on)
{
    if (!m_main || on == m_logScale)
        return;
    m_logScale = on;
    m_chart->setLogScale(on);
    compute();
    update();
}

void PaneWidget::setPaddings(double left, double right)
{
    if (left == m_paddingLeft && right == m_paddingRight)
        return;
    m_paddingLeft = left;
    m_paddingRight = right;
    placeElements();
    compute();
    update();
}

double PaneWidget::mainTagPadding() const
{
    return m_chart->mainTagPadding(QFontMetricsF(font()));
}

void PaneWidget::placeElements()
{
    const QRectF area(0, 0, width(), height());
    m_chart->place(area, m_paddingLeft, m_paddingRight);
    if (m_events) {
        // Dividend icons sit at the bottom of this rectangle, in the strip
        // under the band.
        m_events->setRect(area);
        m_events->setFixedPaddingLeft(m_paddingLeft);
        m_events->setFixedPaddingRight(m_paddingRight);
        m_events->setFixedPaddingTop(kLegendHeight);
    }
}

void PaneWidget::setWindow(int first, int count, bool dataUnchanged)
{
    m_first = first;
    m_count = count;
    compute(dataUnchanged);
    update();
}

void PaneWidget::recordsArrived(int index, bool appended)
{
    if (appended)
        m_chart->recordsAppended();
    else
        m_chart->recordsChanged(index);
}

void PaneWidget::compute(bool dataUnchanged)
{
    if (m_count <= 0 || width() <= 0)
        return;
    m_chart->compute(m_first, m_count, dataUnchanged);
    if (m_events)
        EventBarSetup::setWindow(m_events.get(), *m_data, m_first, m_count);
    m_hovered.clear();
}

void PaneWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeElements();
    compute();
}

void PaneWidget::setCrosshair(int index, int mouseY)
{
    if (index == m_crossIndex && mouseY == m_mouseY)
        return;
    m_crossIndex = index;
    m_mouseY = mouseY;
    update();
}

int PaneWidget::itemAt(int x) const
{
    ZtLineLib_Formula* pane = formulaPane();
    const int rel = pane->getAxisXDataIndex(x, true);
    return rel < 0 ? -1 : rel + pane->dataShowIndex();
}

void PaneWidget::setHoverPoint(QPoint p)
{
    if (!m_events)
        return;
    const QList<ZtLineLib_InfoBar::LineInfo> found = m_events->FindLinfoList(p);
    const bool changed = found.size() != m_hovered.size()
                         || (!found.isEmpty() && found.first().key != m_hovered.first().key);
    m_hovered = found;
    if (changed)
        update();
}

void PaneWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setFont(font());
    painter.fillRect(rect(), getThemePen(QStringLiteral("Background")).color());
    if (m_count <= 0)
        return;
    m_chart->fill(&painter);
    if (m_events)
        m_events->Fill(&painter);
    paintLegend(&painter);
    paintFormulaError(&painter);
    // The cross follows the item's centre; the horizontal line and the
    // value box only appear in the pane under the mouse.
    if (m_crossIndex >= 0)
        m_cross->Fill(&painter, QPoint(0, m_mouseY), m_crossIndex, formulaPane());
    if (m_events && !m_hovered.isEmpty())
        m_events->FillPrompt(&painter, m_hovered);
    // A hairline under the pane separates it from the next one.
    painter.setPen(getThemePen(QStringLiteral("Grid1")));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
