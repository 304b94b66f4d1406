#include "ZtZB_Cmsdl.h"

#include "PBDataChange.h"
#include "ZtFlowEstimator.h"
#include "ZtInstrumentRegistry.h"
#include "ZtSeriesAlign.h"

#include <FormulaGlobal.h>

#include <type_traits>

using namespace ZtUIDataStruct;

namespace {

using Table = QMap<qint64, QVector<double>>;

constexpr double kNoValue = double(kFormulaNoValue);

// Column c of a table row; the no-value marker without a row.
double valueAt(const double* row, const ZtSeriesTable& table, int column)
{
    return (row && column < table.columns()) ? row[column] : kNoValue;
}

const ZtInstrument* instrumentOf(const DQDUnionReader& reader)
{
    return ZtInstrumentRegistry::find(PBDataChange::instrumentCode(reader));
}

// Estimates keyed like a feed: by day, or by minute for each minute record.
ZtSeriesTable estimatedTable(const DQDDataList& minutes, ZtFlowEstimator::enumFlowKind kind,
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
        return ZtSeriesTable::fromMap(table);
    }
    const auto days = ZtFlowEstimator::perDay(minutes, kind);
    for (auto it = days.constBegin(); it != days.constEnd(); ++it) {
        if (it.value().valid)
            table.insert(it.key(), {it.value().buy, it.value().sell});
    }
    return ZtSeriesTable::fromMap(table);
}

// Writes one record per bar of the span: its key (0 for an empty slot) and
// its table row (null when the table has none) to fill(record, key, row).
template <typename Fill>
void forEachAligned(const DQDDataList& bars, ZtSeriesAlign::Span span, const ZtSeriesTable& table,
                    bool byMinute, Fill fill)
{
    ZtSeriesAlign::Cursor cursor(table, byMinute);
    for (int i = span.start; i < span.end; ++i) {
        const qint64 key = bars.at(i)->uniqueKey();
        fill(key > 0 ? key : 0, cursor.rowOf(key));
    }
}

template <typename Record>
void fillFlow(google::protobuf::RepeatedPtrField<Record>* records, const DQDDataList& bars,
              ZtSeriesAlign::Span span, const ZtSeriesTable& table, bool byMinute)
{
    records->Reserve(span.size());
    forEachAligned(bars, span, table, byMinute, [&](qint64 date, const double* row) {
        Record* r = records->Add();
        r->set_date(date);
        if constexpr (std::is_same_v<Record, PROTO_Glintsvc::ZhiBiaoMaiMaiLiDaoFenDang>) {
            r->set_buyer(valueAt(row, table, 0));
            r->set_seller(valueAt(row, table, 1));
        } else {
            r->set_bigbuy(valueAt(row, table, 0));
            r->set_bigsell(valueAt(row, table, 1));
        }
    });
}

PROTO_Glintsvc::MSG flowMessage(const DQDUnionReader& reader, bool power, bool byMinute,
                                qint64 endTime)
{
    PROTO_Glintsvc::MSG msg;
    const ZtInstrument* inst = instrumentOf(reader);
    if (!inst)
        return msg;
    // The feed when it covers the form asked for, otherwise the estimate
    // from the minutes.
    const ZtFeedTable& feed = power ? inst->power : inst->fundFlow;
    const ZtSeriesTable& fed = byMinute ? feed.minutes : feed.daily;
    const ZtSeriesTable estimate =
        fed.isEmpty() ? estimatedTable(inst->minutes,
                                       power ? ZtFlowEstimator::ePower
                                             : ZtFlowEstimator::eBigOrders,
                                       byMinute)
                      : ZtSeriesTable();
    const ZtSeriesTable& table = fed.isEmpty() ? estimate : fed;
    const DQDDataList& bars = byMinute ? inst->minutes : inst->daily;
    const auto span = ZtSeriesAlign::span(bars, ZtSeriesAlign::endOf(bars, endTime), table,
                                          byMinute);
    if (span.isEmpty())
        return msg;
    PROTO_Glintsvc::ZhiBiaoFuWuData* data = msg.add_repdatazhibiaofuwuoutput()->add_data();
    if (power)
        fillFlow(data->mutable_maimailidaofendang(), bars, span, table, byMinute);
    else
        fillFlow(data->mutable_zijinliuxiangfendang(), bars, span, table, byMinute);
    return msg;
}

ClientData::ClientDataMSG chipLockMessage(const DQDDataList& list, const DQDUnionReader& reader,
                                          bool byMinute, qint64 endTime)
{
    ClientData::ClientDataMSG msg;
    const ZtInstrument* inst = instrumentOf(reader);
    if (!inst)
        return msg;
    const ZtSeriesTable& table = byMinute ? inst->chipLock.minutes : inst->chipLock.daily;
    const auto span = ZtSeriesAlign::span(list, ZtSeriesAlign::endOf(list, endTime), table,
                                          byMinute);
    auto* records = msg.mutable_rdcmsdl();
    records->Reserve(span.size());
    forEachAligned(list, span, table, byMinute, [&](qint64 date, const double* row) {
        ClientData::Cmsdl* r = records->Add();
        r->set_date(date);
        r->set_d5pjl(valueAt(row, table, 0));
        r->set_sdlcj(valueAt(row, table, 1));
        r->set_sdlwt(valueAt(row, table, 2));
        r->set_spj(valueAt(row, table, 3));
        r->set_sdl(valueAt(row, table, 4));
        r->set_d5lb(valueAt(row, table, 5));
    });
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
