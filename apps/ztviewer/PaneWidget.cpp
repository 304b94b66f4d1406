#include "PaneWidget.h"

#include "ChartData.h"
#include "PaneCatalog.h"

#include <DQDFieldId.h>
#include <ZtLineCrossCurve.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Reference.h>

#include <QPainter>

#include <algorithm>

using namespace ZtUIDataStruct;

namespace {

constexpr int kPaddingBottom = 2;
// The price chart keeps a strip under its band for the event icons.
constexpr int kEventStrip = 12;

bool validRange(double hi, double lo)
{
    return hi >= lo && !ztIsNoValue(hi) && !ztIsNoValue(lo);
}

} // namespace

PaneWidget::PaneWidget(ChartData* data, Type type, bool main, QWidget* parent)
    : QWidget(parent)
    , m_data(data)
    , m_main(main)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_pane = makePane(type);
    configureAxis();
    if (m_main)
        createEvents();
}

PaneWidget::~PaneWidget() = default;

std::unique_ptr<ZtLineLib_Formula> PaneWidget::makePane(Type type) const
{
    auto pane = std::make_unique<ZtLineLib_Formula>(type);
    PaneCatalog::configure(pane.get(), m_data, {});
    if (m_main) {
        pane->setIsMainChat(true);
        pane->setDrawMaxMinTag(true);
        if (m_logScale)
            pane->setCoordinateSystem(eLogarithmic);
    }
    return pane;
}

bool PaneWidget::isVolume() const
{
    return type() == ZtLineLib_Formula::eFT_VOL || type() == ZtLineLib_Formula::eFT_DLINEVOL;
}

int PaneWidget::paddingLeft() const
{
    return paddingLeft(m_data->isDLine());
}

void PaneWidget::configureAxis()
{
    m_axis = std::make_unique<ZtLineLib_Reference>();
    m_axis->setData(m_data->charted());
    m_axis->setIsDLine(m_pane->getIsDLine());
    m_axis->setShowDRFS(m_pane->getShowDRFS());
    m_axis->setShowJHJJ(m_pane->getShowJHJJ());
    m_axis->setIsMainChat(m_main);
    m_axis->setPrec(m_pane->getPrec());
    m_axis->setMainValueOnRight(!m_data->isDLine());
    m_axis->setFixedPaddingTop(kLegendHeight);
    m_axis->setFixedPaddingBottom(m_main ? kEventStrip : kPaddingBottom);
    m_axis->setFixedPaddingLeft(paddingLeft());
    m_axis->setFixedPaddingRight(kPaddingRight);
    if (isVolume())
        m_axis->setTagColorType(ZtLineLib_Reference::eTagColorVol);
    if (m_data->isDLine()) {
        // The intraday face: time grid, prices coloured against the previous
        // close, percent change of the price chart.
        m_axis->setStyleToDyna(true);
        if (m_main) {
            const double pc = previousClose();
            m_axis->setTagColorType(ZtLineLib_Reference::eTagColorByQnow);
            m_axis->setQnowData(pc);
            m_axis->setRightPercentTagEnable(true);
            m_pane->setQnowData(pc);
        }
    }
    if (m_main && m_logScale)
        m_axis->setCoordinateSystem(eLogarithmic);
    // The crosshair keeps a pointer to the axis, so it follows the axis.
    m_cross = std::make_unique<ZtLineCrossCurve>();
    m_cross->setCroMouseEnable(true);
    m_cross->setDrawLineEnable(true);
    m_cross->setDrawHLine(true);
    m_cross->appendRefrenc(m_axis.get());
}

void PaneWidget::createEvents()
{
    if (m_data->events().isEmpty())
        return;
    m_events = std::make_unique<ZtLineLib_InfoBar>();
    m_events->setData(m_data->charted());
    m_events->setIsDLine(m_data->isDLine());
    // Level icons centre on the top edge of the band.
    m_events->setCrossPaddingTop(9);
}

void PaneWidget::setType(Type type)
{
    if (type == this->type())
        return;
    m_pane = makePane(type);
    configureAxis();
    placeElements();
    compute();
    update();
}

void PaneWidget::setOverlays(const QList<Type>& types)
{
    m_overlays.clear();
    for (Type t : types)
        m_overlays.push_back(makePane(t));
    placeElements();
    compute();
    update();
}

void PaneWidget::setLogScale(bool on)
{
    if (!m_main || on == m_logScale)
        return;
    m_logScale = on;
    const enumCoordinateSystem system = on ? eLogarithmic : eLinear;
    m_pane->setCoordinateSystem(system);
    for (auto& o : m_overlays)
        o->setCoordinateSystem(system);
    m_axis->setCoordinateSystem(system);
    compute();
    update();
}

double PaneWidget::previousClose() const
{
    const DQDDataList* list = m_data->charted();
    for (int i = 0; i < list->count(); ++i) {
        const DQDUnionReader* r = list->at(i);
        if (r && r->uniqueKey() > 0)
            return r->getValue(eFieldPreClose).toDouble();
    }
    return 0.0;
}

void PaneWidget::placeElements()
{
    const QRectF area(0, 0, width(), height());
    m_axis->setRect(area);
    // The band of the axis is the pane's rectangle: the range fills it from
    // its top, and the axis paddings become its edges.
    const QRectF band = area.adjusted(0, m_axis->fixedPaddingTop(), 0, -m_axis->fixedPaddingBottom());
    auto place = [&](ZtLineLib_Formula* p) {
        p->setRect(band);
        p->setFixedPaddingLeft(paddingLeft());
        p->setFixedPaddingRight(kPaddingRight);
    };
    place(m_pane.get());
    for (auto& o : m_overlays)
        place(o.get());
    if (m_events) {
        // Dividend icons sit at the bottom of this rectangle, in the strip
        // under the band.
        m_events->setRect(area);
        m_events->setFixedPaddingLeft(paddingLeft());
        m_events->setFixedPaddingRight(kPaddingRight);
        m_events->setFixedPaddingTop(kLegendHeight);
    }
}

void PaneWidget::setWindow(int first, int count)
{
    m_first = first;
    m_count = count;
    compute();
    update();
}

void PaneWidget::compute()
{
    if (m_count <= 0 || width() <= 0)
        return;
    // Every element starts from an empty range (volume from 0, so that the
    // smallest stick keeps a height) and widens it over its lines.
    const double startMin = isVolume() ? 0.0 : kZtNoValueMax;
    auto run = [&](ZtLineLib_Formula* p) {
        p->SetMaxMinValue(kZtNoValue, startMin);
        p->setRange(m_first, m_count);
    };
    run(m_pane.get());
    double hi = m_pane->maxReference();
    double lo = m_pane->minReference();
    for (auto& o : m_overlays) {
        run(o.get());
        if (!validRange(o->maxReference(), o->minReference()))
            continue;
        const bool had = validRange(hi, lo);
        hi = had ? std::max(hi, o->maxReference()) : o->maxReference();
        lo = had ? std::min(lo, o->minReference()) : o->minReference();
    }
    if (!validRange(hi, lo)) {
        hi = kZtNoValue;
        lo = kZtNoValueMax;
    } else if (m_main && m_data->isDLine() && previousClose() > 0) {
        // Intraday prices centre on the previous close so that the percent
        // tags above and below it match.
        const double pc = previousClose();
        const double reach = std::max({hi - pc, pc - lo, pc * 0.001});
        hi = pc + reach;
        lo = pc - reach;
    }
    // The overlays share the pane's axis and so its range.
    if (validRange(hi, lo)) {
        m_pane->SetMaxMinValue(hi, lo);
        for (auto& o : m_overlays)
            o->SetMaxMinValue(hi, lo);
    }
    m_axis->SetMaxMinValue(hi, lo);
    m_axis->setRange(m_first, m_count);
    if (m_events) {
        m_events->setRange(m_first, m_count);
        for (auto it = m_data->events().constBegin(); it != m_data->events().constEnd(); ++it)
            if (it.value().count() > 0)
                m_events->addLineInfo(ZtLineLib_InfoBar::ShowLineInfoType(it.key()), it.value());
    }
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
    const int rel = m_pane->getAxisXDataIndex(x, true);
    return rel < 0 ? -1 : rel + m_pane->dataShowIndex();
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
    m_axis->Fill(&painter);
    m_pane->Fill(&painter);
    for (auto& o : m_overlays)
        o->Fill(&painter);
    if (m_events)
        m_events->Fill(&painter);
    paintLegend(&painter);
    // The cross follows the item's centre; the horizontal line and the
    // value box only appear in the pane under the mouse.
    if (m_crossIndex >= 0)
        m_cross->Fill(&painter, QPoint(0, m_mouseY), m_crossIndex, m_pane.get());
    if (m_events && !m_hovered.isEmpty())
        m_events->FillPrompt(&painter, m_hovered);
    // A hairline under the pane separates it from the next one.
    painter.setPen(getThemePen(QStringLiteral("Grid1")));
    painter.drawLine(0, height() - 1, width(), height() - 1);
}
