#include "ZtFlowEstimator.h"

#include <DQDFieldId.h>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

namespace {

double number(const DQDUnionReader& r, unsigned int id)
{
    const QVariant v = r.getValue(id);
    bool ok = false;
    const double d = v.toDouble(&ok);
    return (ok && std::isfinite(d)) ? d : 0.0;
}

// +1 rose, −1 fell, 0 unchanged.
int direction(double from, double to)
{
    return to > from ? 1 : (to < from ? -1 : 0);
}

} // namespace

ZtFlowEstimator::Minute ZtFlowEstimator::readMinute(const DQDUnionReader& r)
{
    Minute m;
    m.key = r.uniqueKey();
    m.close = number(r, eFieldClose);
    m.open = number(r, eFieldOpen);
    m.high = number(r, eFieldHigh);
    m.low = number(r, eFieldLow);
    if (m.open <= 0)
        m.open = m.close;
    // A range that does not hold open and close is widened to hold them.
    m.high = std::max({m.high, m.open, m.close});
    m.low = m.low > 0 ? std::min({m.low, m.open, m.close}) : std::min(m.open, m.close);
    m.amount = number(r, eFieldAmount);
    if (m.amount <= 0) {
        const double volume = std::max(number(r, eFieldVolume), 0.0);
        const double average = number(r, eFieldAverage);
        m.amount = volume * (average > 0 ? average : m.close);
    }
    return m;
}

void ZtFlowEstimator::estimateDay(const QVector<Minute>& day, const QVector<int>& indices,
                                  enumFlowKind kind, QVector<Split>* out)
{
    double total = 0.0;
    int traded = 0;
    for (const Minute& m : day) {
        if (m.amount > 0) {
            total += m.amount;
            ++traded;
        }
    }
    const double threshold = traded > 0 ? kBigOrderFactor * total / traded : 0.0;
    for (int i = 0; i < day.size(); ++i) {
        const Minute& m = day.at(i);
        const double reference = i == 0 ? m.open : day.at(i - 1).close;
        const int dir = direction(reference, m.close);
        Split& s = (*out)[indices.at(i)];
        s.valid = true;
        if (m.amount <= 0)
            continue;
        if (kind == eBigOrders) {
            if (m.amount >= threshold) {
                s.buy = dir > 0 ? m.amount : 0.0;
                s.sell = dir < 0 ? m.amount : 0.0;
            }
        } else if (m.high > m.low) {
            s.buy = m.amount * (m.close - m.low) / (m.high - m.low);
            s.sell = m.amount - s.buy;
        } else {
            const double buyShare = dir > 0 ? 1.0 : (dir < 0 ? 0.0 : 0.5);
            s.buy = m.amount * buyShare;
            s.sell = m.amount - s.buy;
        }
    }
}

QVector<ZtFlowEstimator::Split> ZtFlowEstimator::perMinute(const DQDQuery& minutes,
                                                           enumFlowKind kind)
{
    QVector<Split> out(minutes.count());
    QVector<Minute> day;
    QVector<int> indices;
    qint64 dayKey = -1;
    for (int i = 0; i <= minutes.count(); ++i) {
        const DQDUnionReader* r = minutes.at(i);
        const qint64 key = r ? r->uniqueKey() : 0;
        if (r && key <= 0)
            continue;  // empty slot: no estimate, day goes on
        const qint64 thisDay = r ? key / 1000000 : -2;
        if (thisDay != dayKey && !day.isEmpty()) {
            estimateDay(day, indices, kind, &out);
            day.clear();
            indices.clear();
        }
        if (!r)
            break;
        dayKey = thisDay;
        day.append(readMinute(*r));
        indices.append(i);
    }
    return out;
}

QMap<qint64, ZtFlowEstimator::Split> ZtFlowEstimator::perDay(const DQDQuery& minutes,
                                                             enumFlowKind kind)
{
    const QVector<Split> splits = perMinute(minutes, kind);
    QMap<qint64, Split> days;
    for (int i = 0; i < splits.size(); ++i) {
        if (!splits.at(i).valid)
            continue;
        Split& d = days[minutes.at(i)->uniqueKey() / 1000000 * 1000000];
        d.valid = true;
        d.buy += splits.at(i).buy;
        d.sell += splits.at(i).sell;
    }
    return days;
}
