#include "ZtZB_Ydcmjs.h"

#include "PBDataChange.h"
#include "ZtChipDistribution.h"
#include "ZtInstrumentRegistry.h"

#include <DQDFieldId.h>

#include <algorithm>
#include <cmath>

using namespace ZtUIDataStruct;

namespace {

// Without any float-shares figure the float is taken as this many times the
// mean volume of the bars, i.e. a mean daily turnover of 1 %.
constexpr double kDefaultFloatInVolumes = 100.0;

double number(const DQDUnionReader& r, unsigned int id)
{
    bool ok = false;
    const double d = r.getValue(id).toDouble(&ok);
    return (ok && std::isfinite(d)) ? d : 0.0;
}

bool within(double v, double lo, double hi)
{
    return v >= lo && v <= hi;
}

// Average traded price of a daily bar: amount ÷ volume, else its average
// field, else the typical price (high + low + close) ÷ 3; a figure outside
// low … high is not believed.
double averagePrice(const DQDUnionReader& r, double low, double high, double close,
                    double volume)
{
    const double amount = number(r, eFieldAmount);
    if (amount > 0 && within(amount / volume, low, high))
        return amount / volume;
    const double average = number(r, eFieldAverage);
    if (within(average, low, high))
        return average;
    return close > 0 ? (high + low + close) / 3.0 : (high + low) / 2.0;
}

// Float shares in force at a bar: the bar's own stamp, else the instrument's
// entry on or before it, else (bars older than every entry) its earliest
// entry; 0 when none of these exists.
double floatSharesOf(const DQDUnionReader& r, const ZtInstrument* inst)
{
    const double stamped = number(r, eZtFieldFloatShares);
    if (stamped > 0)
        return stamped;
    if (!inst)
        return 0.0;
    const double dated = inst->floatSharesAt(r.uniqueKey());
    return dated > 0 ? dated : inst->firstFloatShares();
}

// The usable bars up to the last one keyed at or before key (all when
// key <= 0), with turnover still in volume and float shares possibly 0.
QVector<ZtChipDistribution::Bar> readBars(const DQDDataList& list, const ZtInstrument* inst,
                                          qint64 key, QVector<double>* volumes)
{
    QVector<ZtChipDistribution::Bar> bars;
    for (int i = 0; i < list.count(); ++i) {
        const DQDUnionReader& r = *list.at(i);
        const qint64 k = r.uniqueKey();
        if (key > 0 && k > key)
            break;
        const double volume = number(r, eFieldVolume);
        double high = number(r, eFieldHigh);
        double low = number(r, eFieldLow);
        if (low > high)
            std::swap(low, high);
        if (k <= 0 || volume <= 0 || low <= 0 || high > ZtChipDistribution::kMaxPrice)
            continue;
        ZtChipDistribution::Bar b;
        b.key = k;
        b.low = low;
        b.high = high;
        const double close = number(r, eFieldClose);
        b.close = within(close, low, high) ? close : 0.0;
        b.average = averagePrice(r, low, high, b.close, volume);
        if (b.close <= 0)
            b.close = b.average;
        b.floatShares = floatSharesOf(r, inst);
        bars.append(b);
        volumes->append(volume);
    }
    return bars;
}

} // namespace

ClientData::ClientDataMSG ZtZB_Ydcmjs::Ydcmjs(const DQDDataList& list, const DQDUnionReader& reader,
                                              qint64 key, ZtE_YDCMJS_OUT_TYPE outType, int count,
                                              ZtE_YDCMJS_CMFB_TYPE cmfbType, double ratio,
                                              QVector<int> periods)
{
    if (!std::isfinite(ratio) || ratio <= 0)
        return ClientData::ClientDataMSG();
    const ZtInstrument* inst = ZtInstrumentRegistry::find(PBDataChange::instrumentCode(reader));
    QVector<double> volumes;
    QVector<ZtChipDistribution::Bar> bars = readBars(list, inst, key, &volumes);
    if (bars.isEmpty())
        return ClientData::ClientDataMSG();

    double meanVolume = 0.0;
    for (double v : volumes)
        meanVolume += v / volumes.size();
    const double fallbackFloat = kDefaultFloatInVolumes * meanVolume;
    for (int i = 0; i < bars.size(); ++i) {
        auto& b = bars[i];
        if (!(b.floatShares > 0))
            b.floatShares = fallbackFloat;
        b.turnover = std::min(1.0, volumes.at(i) / b.floatShares * ratio);
    }
    return ZtChipDistribution(bars, cmfbType).compute(count, outType, periods);
}
