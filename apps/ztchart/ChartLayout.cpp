#include "ChartLayout.h"

#include "ChartData.h"
#include "ChartLayoutParts.h"

#include <DQDFieldId.h>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

namespace {

constexpr double kTitleHeight = 20.0;
constexpr double kTimeAxisHeight = 22.0;
// Pixels per bar of the default window: room for a body of 5 and a gap.
constexpr double kComfortableBarWidth = 8.0;
constexpr int kMainWeight = 3;

bool validRange(double hi, double lo)
{
    return hi >= lo && !ztIsNoValue(hi) && !ztIsNoValue(lo);
}

bool hasColourSticks(const ZtLineLib_Formula& pane)
{
    const Formulas& lines = pane.formulaLines();
    for (int k = 0; k < lines.lineCount(); ++k)
        if (lines.lineAt(k)->drawType == eCOLORSTICK)
            return true;
    return false;
}

} // namespace

ChartLayout::ChartLayout(ChartData* data, const PaneList& panes, const Options& options)
    : m_data(data)
    , m_options(options)
    , m_extras(new Extras)
{
    createPanes(panes);
    createChipColumn(panes);
    createEvents();
    createTimeAxis();
}

ChartLayout::~ChartLayout() = default;

QFont ChartLayout::chartFont()
{
    QFont font;
    font.setPixelSize(12);
    return font;
}

void ChartLayout::createPanes(const PaneList& panes)
{
    for (int k = 0; k < panes.panes.size(); ++k) {
        const PaneList::Pane& spec = panes.panes.at(k);
        auto slot = std::make_unique<PaneSlot>();
        slot->main = k == 0;
        slot->volume = spec.main.type == ZtLineLib_Formula::eFT_VOL
                       || spec.main.type == ZtLineLib_Formula::eFT_DLINEVOL;
        slot->pane = std::make_unique<ZtLineLib_Formula>(spec.main.type);
        PaneCatalog::configure(slot->pane.get(), m_data, spec.main.params);
        for (const PaneList::Entry& o : spec.overlays) {
            auto overlay = std::make_unique<ZtLineLib_Formula>(o.type);
            PaneCatalog::configure(overlay.get(), m_data, o.params);
            slot->overlays.push_back(std::move(overlay));
        }
        if (slot->main) {
            slot->pane->setIsMainChat(true);
            slot->pane->setDrawMaxMinTag(m_options.maxMin);
            for (auto& o : slot->overlays)
                o->setIsMainChat(true);
            if (m_options.logScale) {
                slot->pane->setCoordinateSystem(eLogarithmic);
                for (auto& o : slot->overlays)
                    o->setCoordinateSystem(eLogarithmic);
            }
        }
        configureAxis(*slot, slot->main);
        m_slots.push_back(std::move(slot));
    }
}

void ChartLayout::configureAxis(PaneSlot& slot, bool main)
{
    auto axis = std::make_unique<ZtLineLib_Reference>();
    ZtLineLib_Formula* pane = slot.pane.get();
    axis->setData(m_data->charted());
    axis->setIsDLine(pane->getIsDLine());
    axis->setShowDRFS(pane->getShowDRFS());
    axis->setShowJHJJ(pane->getShowJHJJ());
    axis->setIsMainChat(main);
    axis->setPrec(pane->getPrec());
    if (slot.volume)
        axis->setTagColorType(ZtLineLib_Reference::eTagColorVol);
    if (m_data->isDLine()) {
        // The intraday face: time grid, prices coloured against the
        // previous close, percent change on the right.
        axis->setStyleToDyna(true);
        if (main) {
            const double pc = previousClose();
            axis->setTagColorType(ZtLineLib_Reference::eTagColorByQnow);
            axis->setQnowData(pc);
            axis->setRightPercentTagEnable(true);
            pane->setQnowData(pc);
        }
    }
    if (main && m_options.logScale)
        axis->setCoordinateSystem(eLogarithmic);
    slot.axis = std::move(axis);
}

void ChartLayout::createChipColumn(const PaneList& panes)
{
    if (!panes.chipColumn)
        return;
    m_chip = std::make_unique<ZtLineLib_Formula>(ZtLineLib_Formula::eFT_YDCM);
    PaneCatalog::configure(m_chip.get(), m_data, panes.chipParams);
    if (m_options.logScale)
        m_chip->setCoordinateSystem(eLogarithmic);
}

void ChartLayout::createEvents()
{
    if (m_data->events().isEmpty())
        return;
    m_events = std::make_unique<ZtLineLib_InfoBar>();
    m_events->setData(m_data->charted());
    m_events->setIsDLine(m_data->isDLine());
    // Level icons on a K-line chart are centred on the top padding's edge
    // with this height.
    m_events->setCrossPaddingTop(9);
}

void ChartLayout::createTimeAxis()
{
#if ZTCHART_HAS_SCALEPLATE
    auto axis = std::make_unique<ZtLineLib_Scaleplate>();
    axis->setData(m_data->charted());
    axis->setIsDLine(m_data->isDLine());
    if (m_data->isDLine()) {
        axis->setTagDateFormat(m_data->days() > 1 ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm"));
        // Minutes get fixed labels: the session times of one day, or the
        // date at the start of each day.
        const int lead = m_data->auction() && m_data->days() == 1 ? 15 : 0;
        if (m_data->days() > 1) {
            axis->setFixedAlignment(1);
            for (int d = 0; d < m_data->days(); ++d) {
                const DQDUnionReader* r = m_data->charted()->at(d * 241);
                const QString day = r ? QString::number(r->uniqueKey() / 1000000 % 10000).rightJustified(4, QLatin1Char('0'))
                                      : QString();
                *axis << (day.left(2) + QLatin1Char('-') + day.mid(2)) << d * 241;
            }
        } else {
            if (lead)
                *axis << QStringLiteral("09:15") << 0;
            const char* times[] = {"09:30", "10:30", "11:30/13:00", "14:00", "15:00"};
            for (int i = 0; i < 5; ++i)
                *axis << QString::fromLatin1(times[i]) << lead + i * 60;
        }
    } else {
        axis->setDateFormat(QStringLiteral("MM"));
        axis->setMastDateFormat(QStringLiteral("yyyy"));
    }
    m_extras->timeAxis = std::move(axis);
    m_extras->crossTimeAxis = std::make_unique<ZtLineLib_Scaleplate>(*m_extras->timeAxis);
#endif
#if ZTCHART_HAS_CROSSCURVE
    auto cross = std::make_unique<ZtLineCrossCurve>();
    cross->setCroMouseEnable(true);
    cross->setDrawLineEnable(true);
    cross->setDrawHLine(true);
    for (auto& slot : m_slots)
        cross->appendRefrenc(slot->axis.get());
#if ZTCHART_HAS_SCALEPLATE
    cross->appendScaleplate(m_extras->crossTimeAxis.get());
#endif
    m_extras->cross = std::move(cross);
#endif
}

double ChartLayout::previousClose() const
{
    const DQDDataList* list = m_data->charted();
    for (int i = 0; i < list->count(); ++i) {
        const DQDUnionReader* r = list->at(i);
        if (r && r->uniqueKey() > 0)
            return r->getValue(eFieldPreClose).toDouble();
    }
    return 0.0;
}

void ChartLayout::setGeometry(const QRect& rect)
{
    m_rect = rect;
    const double chipWidth = m_chip ? std::clamp(rect.width() * 0.2, 120.0, 260.0) : 0.0;
    const double stackWidth = rect.width() - chipWidth;
    m_titleRect = QRectF(rect.left(), rect.top(), rect.width(), kTitleHeight);
    const double top = rect.top() + kTitleHeight;
    const double height = rect.height() - kTitleHeight - kTimeAxisHeight;

    int weights = 0;
    for (const auto& slot : m_slots)
        weights += slot->main ? kMainWeight : 1;
    double y = top;
    for (size_t k = 0; k < m_slots.size(); ++k) {
        PaneSlot& slot = *m_slots[k];
        const double h = k + 1 == m_slots.size()
                             ? top + height - y
                             : std::floor(height * (slot.main ? kMainWeight : 1) / weights);
        slot.area = QRectF(rect.left(), y, stackWidth, h);
        y += h;
        ZtLineLib_Reference& axis = *slot.axis;
        axis.setRect(slot.area);
        axis.setFixedPaddingLeft(m_paddingLeft);
        axis.setFixedPaddingRight(m_paddingRight);
        // The pane's band is the axis's band: the range fills the pane
        // rectangle from its top, so the axis paddings become its edges.
        const QRectF band = slot.area.adjusted(0, axis.fixedPaddingTop(), 0, -axis.fixedPaddingBottom());
        auto place = [&](ZtLineLib_Formula* p) {
            p->setRect(band);
            p->setFixedPaddingLeft(m_paddingLeft);
            p->setFixedPaddingRight(m_paddingRight);
        };
        place(slot.pane.get());
        for (auto& o : slot.overlays)
            place(o.get());
    }
    m_timeRect = QRectF(rect.left(), top + height, stackWidth, kTimeAxisHeight);

    const PaneSlot& main = *m_slots.front();
    const QRectF mainBand = main.pane->getRect();
    m_chipRect = QRectF(rect.left() + stackWidth, main.area.top(), chipWidth, main.area.height());
    if (m_chip)
        m_chip->setRect(QRectF(0, mainBand.top(), chipWidth - 8, mainBand.height()));
    if (m_events) {
        m_events->setRect(QRectF(main.area.left(), 0, main.area.width(), main.area.height()));
        m_events->setFixedPaddingLeft(m_paddingLeft);
        m_events->setFixedPaddingRight(m_paddingRight);
    }
#if ZTCHART_HAS_SCALEPLATE
    for (ZtLineLib_Scaleplate* axis : {m_extras->timeAxis.get(), m_extras->crossTimeAxis.get()}) {
        axis->setFixedPaddingLeft(m_paddingLeft);
        axis->setFixedPaddingRight(m_paddingRight);
    }
    m_extras->timeAxis->setRect(QRectF(m_timeRect.left(), 0, m_timeRect.width(), m_timeRect.height()));
    m_extras->crossTimeAxis->setRect(m_timeRect);
#endif
}

int ChartLayout::fittingCount() const
{
    const double band = m_rect.width() - m_chipRect.width() - m_paddingLeft - m_paddingRight - 2;
    return std::max(1, int(band / kComfortableBarWidth));
}

void ChartLayout::setWindow(int first, int count)
{
    m_first = first;
    m_count = count;
    for (auto& slot : m_slots)
        computeSlot(*slot);
    if (m_events) {
        m_events->setRange(first, count);
        for (auto it = m_data->events().constBegin(); it != m_data->events().constEnd(); ++it)
            if (it.value().count() > 0)
                m_events->addLineInfo(ZtLineLib_InfoBar::ShowLineInfoType(it.key()), it.value());
    }
#if ZTCHART_HAS_SCALEPLATE
    m_extras->timeAxis->setRange(first, count);
    m_extras->crossTimeAxis->setRange(first, count);
#endif
    computeChip();
}

void ChartLayout::computeSlot(PaneSlot& slot)
{
    // Each pane starts from an empty range (volume from 0, so that the
    // smallest stick keeps a height) and widens it over its lines.
    const double startMin = slot.volume ? 0.0 : kZtNoValueMax;
    auto compute = [&](ZtLineLib_Formula* p) {
        p->SetMaxMinValue(kZtNoValue, startMin);
        p->setRange(m_first, m_count);
    };
    compute(slot.pane.get());
    double hi = slot.pane->maxReference();
    double lo = slot.pane->minReference();
    for (auto& o : slot.overlays) {
        compute(o.get());
        if (validRange(o->maxReference(), o->minReference())) {
            hi = validRange(hi, lo) ? std::max(hi, o->maxReference()) : o->maxReference();
            lo = validRange(hi, lo) ? std::min(lo, o->minReference()) : o->minReference();
        }
    }
    if (!validRange(hi, lo)) {
        hi = kZtNoValue;
        lo = kZtNoValueMax;
    } else if (slot.main && m_data->isDLine() && previousClose() > 0) {
        // Intraday prices centre on the previous close so that the percent
        // tags on both sides of it match.
        const double pc = previousClose();
        const double reach = std::max({hi - pc, pc - lo, pc * 0.001});
        hi = pc + reach;
        lo = pc - reach;
    } else if (hasColourSticks(*slot.pane)) {
        // Colour sticks grow from the middle of the pane: centre the range
        // on 0 so that they grow from the zero line.
        const double reach = std::max(std::abs(hi), std::abs(lo));
        hi = reach;
        lo = -reach;
    }
    // Panes sharing an axis share its range.
    if (validRange(hi, lo)) {
        slot.pane->SetMaxMinValue(hi, lo);
        for (auto& o : slot.overlays)
            o->SetMaxMinValue(hi, lo);
    }
    slot.axis->SetMaxMinValue(hi, lo);
    slot.axis->setRange(m_first, m_count);
}

void ChartLayout::computeChip()
{
    if (!m_chip)
        return;
    const ZtLineLib_Formula& main = *m_slots.front()->pane;
    const int index = legendIndex();
    const DQDUnionReader* r = m_data->charted()->at(index);
    m_chip->m_ydcmKey = r ? r->uniqueKey() : 0;
    m_chip->setQnowData(r ? r->getValue(eFieldClose).toDouble() : 0.0);
    m_chip->SetMaxMinValue(main.maxReference(), main.minReference());
    m_chip->setRange(m_first, m_count);
}

void ChartLayout::setCrosshair(int index)
{
    m_crosshair = index;
    computeChip();
}

int ChartLayout::legendIndex() const
{
    if (m_crosshair >= 0)
        return m_crosshair;
    const int last = m_slots.front()->pane->getAxisXLastDataIndex();
    return last >= 0 ? last : m_first + m_count - 1;
}

int ChartLayout::itemAt(int x) const
{
    ZtLineLib_Formula& main = *m_slots.front()->pane;
    const int rel = main.getAxisXDataIndex(x, true);
    return rel < 0 ? -1 : rel + main.dataShowIndex();
}
