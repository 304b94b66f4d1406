#include "ChartPane.h"

#include "ChartData.h"
#include "PaneCatalog.h"

#include <DQDFieldId.h>
#include <ZtLineLibTheme.h>
#include <ZtLineLib_Reference.h>
#include <ZtLineLib_ValueFormat.h>

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

ChartPane::ChartPane(ChartData* data, const Entry& entry, bool main)
    : m_data(data)
    , m_main(main)
{
    m_pane = makePane(entry);
    configureAxis();
}

ChartPane::~ChartPane() = default;

bool ChartPane::isVolume() const
{
    return type() == ZtLineLib_Formula::eFT_VOL || type() == ZtLineLib_Formula::eFT_DLINEVOL;
}

bool ChartPane::isPriceChart() const
{
    return m_main && (type() == ZtLineLib_Formula::eFT_KLINE || type() == ZtLineLib_Formula::eFT_DLINE);
}

double ChartPane::previousClose(ChartData* data)
{
    const DQDDataList* list = data->charted();
    for (int i = 0; i < list->count(); ++i) {
        const DQDUnionReader* r = list->at(i);
        if (r && r->uniqueKey() > 0)
            return r->getValue(eFieldPreClose).toDouble();
    }
    return 0.0;
}

std::unique_ptr<ZtLineLib_Formula> ChartPane::makePane(const Entry& entry) const
{
    auto pane = std::make_unique<ZtLineLib_Formula>(entry.type);
    PaneCatalog::configure(pane.get(), m_data, entry.params);
    if (m_main) {
        pane->setIsMainChat(true);
        pane->setQnowData(previousClose(m_data));
        if (m_logScale)
            pane->setCoordinateSystem(eLogarithmic);
    }
    return pane;
}

void ChartPane::configureAxis()
{
    m_axis = std::make_unique<ZtLineLib_Reference>();
    m_axis->setData(m_data->charted());
    m_axis->setIsDLine(m_pane->getIsDLine());
    m_axis->setShowDRFS(m_pane->getShowDRFS());
    m_axis->setShowJHJJ(m_pane->getShowJHJJ());
    m_axis->setIsMainChat(m_main);
    m_axis->setPrec(m_pane->getPrec());
    if (isVolume())
        m_axis->setTagColorType(ZtLineLib_Reference::eTagColorVol);
    if (m_data->isDLine()) {
        // The intraday face: time grid, prices coloured against the previous
        // close, percent change on the other side and, in the middle of the
        // symmetric range, the previous-close line with its 0.00% tag.
        m_axis->setStyleToDyna(true);
        if (m_main) {
            m_axis->setTagColorType(ZtLineLib_Reference::eTagColorByQnow);
            m_axis->setQnowData(previousClose(m_data));
            m_axis->setRightPercentTagEnable(true);
            m_axis->setBinaryStyleEnable(true);
        }
    }
    if (m_main && m_logScale)
        m_axis->setCoordinateSystem(eLogarithmic);
}

void ChartPane::setOverlays(const QList<Entry>& overlays)
{
    m_overlays.clear();
    for (const Entry& e : overlays)
        m_overlays.push_back(makePane(e));
    place(m_area, m_pane->fixedPaddingLeft(), m_pane->fixedPaddingRight());
}

void ChartPane::setLogScale(bool on)
{
    if (!m_main)
        return;
    m_logScale = on;
    const enumCoordinateSystem system = on ? eLogarithmic : eLinear;
    for (ZtLineLib_Formula* e : elements())
        e->setCoordinateSystem(system);
    m_axis->setCoordinateSystem(system);
}

void ChartPane::setMaxMinMarkers(bool on)
{
    m_maxMin = on && isPriceChart();
    updateMarkerPane();
}

void ChartPane::setMainValueOnRight(bool on)
{
    m_axis->setMainValueOnRight(on);
}

void ChartPane::updateMarkerPane()
{
    m_markerPane.reset();
    const bool average = type() == ZtLineLib_Formula::eFT_DLINE && m_pane->m_params.size() == 1
                         && m_pane->m_params.first() == 1.0f;
    m_pane->setDrawMaxMinTag(m_maxMin && !average);
    if (!m_maxMin || !average)
        return;
    m_markerPane = makePane({ZtLineLib_Formula::eFT_DLINE, {0.0}});
    m_markerPane->setDrawMaxMinTag(true);
    place(m_area, m_pane->fixedPaddingLeft(), m_pane->fixedPaddingRight());
}

std::vector<ZtLineLib_Formula*> ChartPane::elements() const
{
    std::vector<ZtLineLib_Formula*> all{m_pane.get()};
    for (const auto& o : m_overlays)
        all.push_back(o.get());
    if (m_markerPane)
        all.push_back(m_markerPane.get());
    return all;
}

void ChartPane::place(const QRectF& area, double left, double right)
{
    m_area = area;
    m_axis->setRect(area);
    m_axis->setFixedPaddingLeft(left);
    m_axis->setFixedPaddingRight(right);
    // The pane's band is the axis's band: the range fills the pane
    // rectangle from its top, so the axis paddings become its edges.
    const QRectF band = area.adjusted(0, m_axis->fixedPaddingTop(), 0, -m_axis->fixedPaddingBottom());
    for (ZtLineLib_Formula* e : elements()) {
        e->setRect(band);
        e->setFixedPaddingLeft(left);
        e->setFixedPaddingRight(right);
    }
}

bool ChartPane::hasColourSticks() const
{
    const Formulas& lines = m_pane->formulaLines();
    for (int k = 0; k < lines.lineCount(); ++k)
        if (lines.lineAt(k)->drawType == eCOLORSTICK)
            return true;
    return false;
}

void ChartPane::recordsChanged(int from)
{
    for (ZtLineLib_Formula* e : elements())
        e->recordsChanged(from);
}

void ChartPane::recordsAppended()
{
    for (ZtLineLib_Formula* e : elements())
        e->recordsAppended();
}

void ChartPane::compute(int first, int count, bool dataUnchanged)
{
    // Every element starts from an empty range (volume from 0, so that the
    // smallest stick keeps a height) and widens it over its lines.
    const double startMin = isVolume() ? 0.0 : kZtNoValueMax;
    ValueRange range;
    for (ZtLineLib_Formula* e : elements()) {
        e->SetMaxMinValue(kZtNoValue, startMin);
        e->setRange(first, count, dataUnchanged);
        range = range.united(ValueRange::of(*e));
    }
    const double pc = previousClose(m_data);
    if (m_main && m_data->isDLine() && pc > 0)
        range = range.aroundPreviousClose(pc, m_pane->getPrec());
    else if (hasColourSticks())
        range = range.forColourSticks();
    m_range = range;
    // Panes sharing an axis share its range.
    if (range.isValid())
        for (ZtLineLib_Formula* e : elements())
            range.applyTo(*e);
    range.applyTo(*m_axis);
    m_axis->setRange(first, count);
}

QString ChartPane::missingData() const
{
    if (m_range.isValid())
        return QString();
    switch (type()) {
    case ZtLineLib_Formula::eFT_ZJLX: return QStringLiteral("no fund-flow data");
    case ZtLineLib_Formula::eFT_MMLD: return QStringLiteral("no buying/selling-power data");
    case ZtLineLib_Formula::eFT_CMSD: return QStringLiteral("no chip-lock data");
    case ZtLineLib_Formula::eFT_RZRQ: return QStringLiteral("no margin data");
    default: return QString();
    }
}

void ChartPane::fill(QPainter* painter, const QString& hint)
{
    const QString missing = missingData();
    if (missing.isEmpty()) {
        m_axis->Fill(painter);
        for (ZtLineLib_Formula* e : elements())
            e->Fill(painter);
        return;
    }
    // An empty range would paint tags of 0.00 and a legend of "--": say
    // what is missing instead.
    const QRectF band = m_pane->getRect().adjusted(m_pane->fixedPaddingLeft(), 0, -m_pane->fixedPaddingRight(), 0);
    painter->save();
    painter->setPen(getThemePen(QStringLiteral("Grid1")));
    painter->drawRect(band.adjusted(0, 0, -1, -1));
    painter->setPen(getThemePen(QStringLiteral("Default")));
    painter->drawText(band, Qt::AlignCenter, hint.isEmpty() ? missing : missing + QStringLiteral(": ") + hint);
    painter->restore();
}

double ChartPane::mainTagPadding(const QFontMetricsF& metrics) const
{
    const int prec = m_pane->getPrec();
    const QString format = QStringLiteral("{if#>99999||<-99999;d%1w}d%1").arg(prec);
    const double scaling = m_axis->getDataScaling() != 0 ? m_axis->getDataScaling() : 1;
    double widest = metrics.horizontalAdvance(QString::number(0.0, 'f', prec));
    auto measure = [&](double value) {
        const double v = ZtLineLib_Reference::roundToPrec(value / scaling, prec);
        widest = std::max(widest, metrics.horizontalAdvance(formatValueText(v, format)));
    };
    if (m_range.isValid()) {
        const double hi = m_range.hi();
        const double lo = m_range.lo();
        measure(ZtLineLib_Reference::truncateToPrec(hi, prec));
        measure(ZtLineLib_Reference::truncateToPrec(lo, prec));
        // The inner tags sit at whole fractions of the range: at most seven
        // intervals, halved again in the mirrored style of intraday prices.
        for (int n = 2; n <= 14; ++n)
            for (int i = 1; i < n; ++i)
                measure(hi - i * (hi - lo) / n);
    }
    // The text leans against the band behind a stub and a margin.
    return std::ceil(widest) + 6;
}

QStringList ChartPane::formulaErrors() const
{
    QStringList errors;
    for (const ZtLineLib_Formula* e : elements())
        if (!e->lastFormulaError().isEmpty())
            errors.append(ZtLineLib_Formula::helpFormulaTypeToQString(e->formulaType())
                          + QStringLiteral(": formula error: ") + e->lastFormulaError());
    errors.removeDuplicates();
    return errors;
}
