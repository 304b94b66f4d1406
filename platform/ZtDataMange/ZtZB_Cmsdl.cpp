#include "ZtZB_Cmsdl.h"

#include "PBDataChange.h"
#include "ZtFlowEstimator.h"
#include "ZtInstrumentRegistry.h"
#include "ZtSeriesAlign.h"

#include <FormulaGlobal.h>

using namespace ZtUIDataStruct;

namespace {

using Table = QMap<qint64, QVector<double>>;

constexpr double kNoValue = double(kFormulaNoValue);

double valueAt(const ZtSeriesAlign::Row& row, int column)
{
    return (row.values && column < row.values->size()) ? row.values->at(column) : kNoValue;
}

const ZtInstrument* instrumentOf(const DQDUnionReader& reader)
{
    return ZtInstrumentRegistry::find(PBDataChange::instrumentCode(reader));
}

// Estimates keyed like a feed: by day, or by minute for each minute record.
Table estimatedTable(const DQDDataList& minutes, ZtFlowEstimator::enumFlowKind kind,
                     bool byMinute)
{
    Table table;
    if (byMinute) {
        const auto splits = ZtFlowEstimator::perMinute(minutes, kind);
        for (int i = 0; i < splits.size(); ++i) {
            if (splits.at(i).valid)
                table.insert(ZtSeriesAlign::lookupKey(minutes.at(i)->uniqueKey(), true),
                             {splits.at(i).buy, splits.at(i).sell});
        }
        return table;
    }
    const auto days = ZtFlowEstimator::perDay(minutes, kind);
    for (auto it = days.constBegin(); it != days.constEnd(); ++it)
        table.insert(it.key(), {it.value().buy, it.value().sell});
    return table;
}

// Buy/sell rows of one instrument: its feed when that covers the form asked
// for, otherwise the estimate from its minutes.
QVector<ZtSeriesAlign::Row> flowRows(const ZtInstrument& inst, const ZtFeedTable& feed,
                                     ZtFlowEstimator::enumFlowKind kind, bool byMinute,
                                     qint64 endTime, Table* storage)
{
    const DQDDataList& bars = byMinute ? inst.minutes : inst.daily;
    const Table& fed = byMinute ? feed.minutes : feed.daily;
    const int end = ZtSeriesAlign::endOf(bars, endTime);
    if (!fed.isEmpty())
        return ZtSeriesAlign::align(bars, end, fed, byMinute);
    *storage = estimatedTable(inst.minutes, kind, byMinute);
    return ZtSeriesAlign::align(bars, end, *storage, byMinute);
}

PROTO_Glintsvc::MSG flowMessage(const DQDUnionReader& reader, bool power, bool byMinute,
                                qint64 endTime)
{
    PROTO_Glintsvc::MSG msg;
    const ZtInstrument* inst = instrumentOf(reader);
    if (!inst)
        return msg;
    Table storage;
    const auto rows = flowRows(*inst, power ? inst->power : inst->fundFlow,
                               power ? ZtFlowEstimator::ePower : ZtFlowEstimator::eBigOrders,
                               byMinute, endTime, &storage);
    if (rows.isEmpty())
        return msg;
    PROTO_Glintsvc::ZhiBiaoFuWuData* data = msg.add_repdatazhibiaofuwuoutput()->add_data();
    for (const auto& row : rows) {
        if (power) {
            auto* r = data->add_maimailidaofendang();
            r->set_date(row.date);
            r->set_buyer(valueAt(row, 0));
            r->set_seller(valueAt(row, 1));
        } else {
            auto* r = data->add_zijinliuxiangfendang();
            r->set_date(row.date);
            r->set_bigbuy(valueAt(row, 0));
            r->set_bigsell(valueAt(row, 1));
        }
    }
    return msg;
}

ClientData::ClientDataMSG chipLockMessage(const DQDDataList& list, const DQDUnionReader& reader,
                                          bool byMinute, qint64 endTime)
{
    ClientData::ClientDataMSG msg;
    const ZtInstrument* inst = instrumentOf(reader);
    if (!inst)
        return msg;
    const Table& fed = byMinute ? inst->chipLock.minutes : inst->chipLock.daily;
    const auto rows = ZtSeriesAlign::align(list, ZtSeriesAlign::endOf(list, endTime), fed,
                                           byMinute);
    for (const auto& row : rows) {
        ClientData::Cmsdl* r = msg.add_rdcmsdl();
        r->set_date(row.date);
        r->set_d5pjl(valueAt(row, 0));
        r->set_sdlcj(valueAt(row, 1));
        r->set_sdlwt(valueAt(row, 2));
        r->set_spj(valueAt(row, 3));
        r->set_sdl(valueAt(row, 4));
        r->set_d5lb(valueAt(row, 5));
    }
    return msg;
}

} // namespace

PROTO_Glintsvc::MSG ZtZB_Cmsdl::getKlineCJMX_FD(const DQDUnionReader& reader, qint64 endTime)
{
    return flowMessage(reader, false, false, endTime);
}

PROTO_Glintsvc::MSG ZtZB_Cmsdl::getKlineMMLD_FD(const DQDUnionReader& reader, qint64 endTime)
{
    return flowMessage(reader, true, false, endTime);
}

PROTO_Glintsvc::MSG ZtZB_Cmsdl::getDlineCJMX_FD(const DQDUnionReader& reader, qint64 endTime)
{
    return flowMessage(reader, false, true, endTime);
}

PROTO_Glintsvc::MSG ZtZB_Cmsdl::getDlineMMLD_FD(const DQDUnionReader& reader, qint64 endTime)
{
    return flowMessage(reader, true, true, endTime);
}

ClientData::ClientDataMSG ZtZB_Cmsdl::getKlineCMSDL(const DQDDataList& list,
                                                    const DQDUnionReader& reader, qint64 endTime)
{
    return chipLockMessage(list, reader, false, endTime);
}

ClientData::ClientDataMSG ZtZB_Cmsdl::getDlineCMSDL(const DQDDataList& list,
                                                    const DQDUnionReader& reader, qint64 endTime)
{
    return chipLockMessage(list, reader, true, endTime);
}
