// Our side of the live-update benchmark: the demo chart's four panes, or one
// engine pane with a ten-line user formula, driven as a quote callback
// drives them.

#include "LiveCharts.h"

#include "BenchFormulaLines.h"

#include <QDate>

namespace LiveBench {

using namespace ZtUIDataStruct;
using F = ZtLineLib_Formula;

namespace {

// The ten-line formula of the engine benchmarks, stored once in the panes'
// formula store.
F::enumFormulaType formulaType()
{
    static const F::enumFormulaType type = [] {
        TagFormularContent c;
        c.texts[0] = FormulaLinesBench::kName;
        c.texts[2] = FormulaLinesBench::kSource;
        F::m_dformulaManage.SetFormularContent(c);
        return F::userFormulaType(QString::fromLatin1(FormulaLinesBench::kName));
    }();
    return type;
}

qint64 nextDay(qint64 key)
{
    const QDate d(int(key / 10000000000LL), int(key / 100000000LL % 100), int(key / 1000000 % 100));
    const QDate n = d.addDays(1);
    return (qint64(n.year()) * 10000 + n.month() * 100 + n.day()) * 1000000LL;
}

void writeBar(DQDUnionReader* r, const Bar& b)
{
    r->setValue(eFieldOpen, b.open);
    r->setValue(eFieldHigh, b.high);
    r->setValue(eFieldLow, b.low);
    r->setValue(eFieldClose, b.close);
    r->setValue(eFieldVolume, b.volume);
}

} // namespace

OurLiveChart::OurLiveChart(Chart chart, const DQDDataList& bars) : m_chart(chart)
{
    // A copy of its own: the steps edit it.
    static_cast<DQDDataList&>(m_list) = bars;
    m_list.reserve(bars.count() + bars.count() / 50 + 1024);
    const auto add = [&](F::enumFormulaType type, int prec, double floor) {
        m_panes.emplace_back(new F(type));
        F* pane = m_panes.back().get();
        pane->setRect(QRectF(0, 0, 1528, 300));
        pane->setPrec(prec);
        pane->setData(&m_list);
        m_floor.push_back(floor);
        return int(m_panes.size()) - 1;
    };
    if (chart == eDemo) {
        const int candles = add(F::eFT_KLINE, 2, kZtNoValueMax);
        const int averages = add(F::eFT_MA, 2, kZtNoValueMax);
        const int volume = add(F::eFT_VOL, 2, 0.0);
        m_panes.back()->m_params = {5, 10};
        // MACD values are small: three decimals, as a client shows them.
        const int macd = add(F::eFT_MACD, 3, kZtNoValueMax);
        m_map = {{candles, 0}, {candles, 1}};
        for (int k = 0; k < 5; ++k)
            m_map.emplace_back(averages, k);
        for (int k = 0; k < 3; ++k)
            m_map.emplace_back(volume, k);
        for (int k = 0; k < 3; ++k)
            m_map.emplace_back(macd, k);
    } else {
        const int pane = add(formulaType(), 2, kZtNoValueMax);
        for (int k = 0; k < 10; ++k)
            m_map.emplace_back(pane, k);
    }
    compute(count() - kShown, false);
}

void OurLiveChart::compute(int first, bool dataUnchanged)
{
    for (size_t p = 0; p < m_panes.size(); ++p) {
        m_panes[p]->SetMaxMinValue(kZtNoValue, m_floor[p]);
        m_panes[p]->setRange(first, kShown, dataUnchanged);
    }
}

void OurLiveChart::tick(const Bar& bar)
{
    const int last = count() - 1;
    DQDUnionReader* r = m_list.at(last);
    r->setValue(eFieldHigh, bar.high);
    r->setValue(eFieldLow, bar.low);
    r->setValue(eFieldClose, bar.close);
    r->setValue(eFieldVolume, bar.volume);
    for (auto& pane : m_panes)
        pane->recordsChanged(last);
    compute(count() - kShown, true);
}

void OurLiveChart::append(const Bar& bar)
{
    DQDUnionReader r;
    const qint64 key = nextDay(m_list.at(count() - 1)->uniqueKey());
    r.setUniqueValue(key);
    r.setValue(eFieldDateTime, key);
    r.setValue(eFieldPreClose, m_list.at(count() - 1)->numberValue(eFieldClose, 0));
    writeBar(&r, bar);
    m_list.append(r);
    for (auto& pane : m_panes)
        pane->recordsAppended();
    compute(count() - kShown, true);
}

void OurLiveChart::truncate(int n)
{
    m_list.truncate(n);
    compute(n - kShown, false);
}

double OurLiveChart::valueAt(int line, int i) const
{
    const auto& [pane, index] = m_map[size_t(line)];
    const Formulas::formulaLine* l = m_panes[size_t(pane)]->formulaLines().lineAt(index);
    if (!l || i >= l->values.size())
        return std::nan("");
    const float v = l->values.at(i);
    return ztIsNoValue(v) ? std::nan("") : double(v);
}

std::vector<Range> OurLiveChart::ranges() const
{
    std::vector<Range> out;
    for (const auto& pane : m_panes)
        out.push_back({pane->minReference(), pane->maxReference()});
    return out;
}

std::vector<int> OurLiveChart::precisions() const
{
    std::vector<int> out;
    for (const auto& pane : m_panes)
        out.push_back(pane->getPrec());
    return out;
}

} // namespace LiveBench
