#include "ChartLayout.h"

#include "ChartData.h"
#include "EventBarSetup.h"
#include "ChartPane.h"
#include "PaneCatalog.h"
#include "TimeAxisSetup.h"

#include <DQDFieldId.h>
#include <ZtLineCrossCurve.h>
#include <ZtLineLib_Formula.h>
#include <ZtLineLib_InfoBar.h>
#include <ZtLineLib_Reference.h>
#include <ZtLineLib_Scaleplate.h>

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

namespace {

constexpr double kTitleHeight = 20.0;
constexpr double kTimeAxisHeight = 22.0;
// Pixels per bar of the default window: room for a body of 5 and a gap.
constexpr double kComfortableBarWidth = 8.0;
constexpr int kMainWeight = 3;

} // namespace

ChartLayout::ChartLayout(ChartData* data, const PaneList& panes, const Options& options)
    : m_data(data)
    , m_options(options)
{
    for (int k = 0; k < panes.panes.size(); ++k) {
        const PaneList::Pane& spec = panes.panes.at(k);
        auto pane = std::make_unique<ChartPane>(m_data, spec.main, k == 0);
        pane->setOverlays(spec.overlays);
        if (k == 0) {
            pane->setLogScale(m_options.logScale);
            pane->setMaxMinMarkers(m_options.maxMin);
        }
        m_panes.push_back(std::move(pane));
    }
    createChipColumn(panes);
    m_events = EventBarSetup::create(m_data);
    createTimeAxis();
}

ChartLayout::~ChartLayout() = default;

QFont ChartLayout::chartFont()
{
    QFont font;
    font.setPixelSize(12);
    return font;
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

void ChartLayout::createTimeAxis()
{
    m_timeAxis = std::make_unique<ZtLineLib_Scaleplate>();
    TimeAxisSetup::configure(m_timeAxis.get(), m_data);
    m_crossTimeAxis = std::make_unique<ZtLineLib_Scaleplate>(*m_timeAxis);
    m_cross = std::make_unique<ZtLineCrossCurve>();
    m_cross->setCroMouseEnable(true);
    m_cross->setDrawLineEnable(true);
    m_cross->setDrawHLine(true);
    for (auto& pane : m_panes)
        m_cross->appendRefrenc(pane->axis());
    m_cross->appendScaleplate(m_crossTimeAxis.get());
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
    for (const auto& pane : m_panes)
        weights += pane->isMain() ? kMainWeight : 1;
    double y = top;
    for (size_t k = 0; k < m_panes.size(); ++k) {
        ChartPane& pane = *m_panes[k];
        const double h = k + 1 == m_panes.size()
                             ? top + height - y
                             : std::floor(height * (pane.isMain() ? kMainWeight : 1) / weights);
        pane.place(QRectF(rect.left(), y, stackWidth, h), m_paddingLeft, m_paddingRight);
        y += h;
    }
    m_timeRect = QRectF(rect.left(), top + height, stackWidth, kTimeAxisHeight);

    const QRectF mainArea = mainPane().area();
    const QRectF mainBand = mainPane().pane()->getRect();
    // The column runs down beside the lower panes: its key figures sit
    // under the profile.
    m_chipRect = QRectF(rect.left() + stackWidth, mainArea.top(), chipWidth, rect.bottom() + 1 - mainArea.top());
    if (m_chip)
        m_chip->setRect(QRectF(0, mainBand.top(), chipWidth - 8, mainBand.height()));
    if (m_events) {
        m_events->setRect(QRectF(mainArea.left(), 0, mainArea.width(), mainArea.height()));
        m_events->setFixedPaddingLeft(m_paddingLeft);
        m_events->setFixedPaddingRight(m_paddingRight);
    }
    for (ZtLineLib_Scaleplate* axis : {m_timeAxis.get(), m_crossTimeAxis.get()}) {
        axis->setFixedPaddingLeft(m_paddingLeft);
        axis->setFixedPaddingRight(m_paddingRight);
    }
    m_timeAxis->setRect(QRectF(m_timeRect.left(), 0, m_timeRect.width(), m_timeRect.height()));
    m_crossTimeAxis->setRect(m_timeRect);
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
    computePanes();
    // The value tags lean against the band from the left padding: widen it
    // to the widest tag of any pane, keeping one band for all.
    const QFontMetricsF metrics(chartFont());
    double left = kBasePadding;
    for (const auto& pane : m_panes)
        left = std::max(left, pane->mainTagPadding(metrics));
    if (left != m_paddingLeft) {
        m_paddingLeft = left;
        setGeometry(m_rect);
        computePanes();
    }
    if (m_events)
        EventBarSetup::setWindow(m_events.get(), *m_data, first, count);
    m_timeAxis->setRange(first, count);
    m_crossTimeAxis->setRange(first, count);
    computeChip();
}

QString ChartLayout::formulaError() const
{
    for (const auto& pane : m_panes) {
        const QStringList errors = pane->formulaErrors();
        if (!errors.isEmpty())
            return errors.first();
    }
    return QString();
}

void ChartLayout::computePanes()
{
    for (auto& pane : m_panes)
        pane->compute(m_first, m_count);
}

void ChartLayout::computeChip()
{
    if (!m_chip)
        return;
    const ZtLineLib_Formula& main = *mainPane().pane();
    const DQDUnionReader* r = m_data->charted()->at(legendIndex());
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

QString ChartLayout::missingDataHint(ChartPane::Type type)
{
    switch (type) {
    case ZtLineLib_Formula::eFT_ZJLX:
    case ZtLineLib_Formula::eFT_MMLD: return QStringLiteral("give --minutes or --feed");
    case ZtLineLib_Formula::eFT_CMSD: return QStringLiteral("give --feed chiplock=FILE");
    case ZtLineLib_Formula::eFT_RZRQ: return QStringLiteral("give --feed margin=FILE");
    default: return QString();
    }
}

QStringList ChartLayout::missingData() const
{
    QStringList notes;
    for (const auto& pane : m_panes)
        if (!pane->missingData().isEmpty())
            notes.append(pane->missingData() + QStringLiteral(": ") + missingDataHint(pane->type()));
    return notes;
}

int ChartLayout::legendIndex() const
{
    if (m_crosshair >= 0)
        return m_crosshair;
    const int last = mainPane().pane()->getAxisXLastDataIndex();
    return last >= 0 ? last : m_first + m_count - 1;
}
