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
    const double d = r.numberValue(id, 0.0);
    return std::isfinite(d) ? d : 0.0;
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
// key <= 0), with turnover still in volume and float shares possibly 0,
// appended to bars and volumes.
void readBars(const DQDDataList& list, const ZtInstrument* inst, qint64 key,
              QVector<ZtChipDistribution::Bar>* bars, QVector<double>* volumes)
{
    bars->reserve(list.count());
    volumes->reserve(list.count());
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
        bars->append(b);
        volumes->append(volume);
    }
}

// The bars of the last computation, kept for the next: the distribution is
// recomputed on every change of the window, and megabytes of fresh records
// would page-fault every time. GUI thread only, like every service call.
struct BarStorage
{
    QVector<ZtChipDistribution::Bar> bars;
    QVector<double> volumes;
};

BarStorage& recycledStorage()
{
    static BarStorage storage;
    return storage;
}

// Storage taken from the last computation, emptied (clearing keeps the
// capacity).
BarStorage takeStorage()
{
    BarStorage s;
    s.bars.swap(recycledStorage().bars);
    s.volumes.swap(recycledStorage().volumes);
    s.bars.clear();
    s.volumes.clear();
    return s;
}

void giveBack(BarStorage& s)
{
    // A much shorter list gives back what it no longer needs.
    if (s.bars.capacity() > 4 * s.bars.size() + 4096)
        return;
    recycledStorage().bars.swap(s.bars);
    recycledStorage().volumes.swap(s.volumes);
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
    BarStorage storage = takeStorage();
    QVector<ZtChipDistribution::Bar>& bars = storage.bars;
    const QVector<double>& volumes = storage.volumes;
    readBars(list, inst, key, &storage.bars, &storage.volumes);
    if (bars.isEmpty()) {
        giveBack(storage);
        return ClientData::ClientDataMSG();
    }

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
    ClientData::ClientDataMSG msg =
        ZtChipDistribution(bars, cmfbType).compute(count, outType, periods);
    giveBack(storage);
    return msg;
}
