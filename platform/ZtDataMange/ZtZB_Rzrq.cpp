#include "ZtZB_Rzrq.h"

#include "PBDataChange.h"
#include "ZtInstrumentRegistry.h"
#include "ZtSeriesAlign.h"

#include <FormulaGlobal.h>

PROTO_F10Data::F10MSG ZtZB_Rzrq::getKlineRZRQ(const ZtUIDataStruct::DQDUnionReader& reader,
                                              qint64 endTime)
{
    PROTO_F10Data::F10MSG msg;
    const ZtInstrument* inst = ZtInstrumentRegistry::find(PBDataChange::instrumentCode(reader));
    if (!inst)
        return msg;
    const ZtSeriesTable& table = inst->margin.daily;
    const auto span = ZtSeriesAlign::span(
        inst->daily, ZtSeriesAlign::endOf(inst->daily, endTime), table, false);
    if (span.isEmpty())
        return msg;
    auto* records = msg.add_repdataf10dstxrzrqoutput()->mutable_data();
    records->Reserve(span.size());
    const auto value = [&](const double* row, int column) {
        return (row && column < table.columns()) ? row[column] : double(kFormulaNoValue);
    };
    ZtSeriesAlign::Cursor cursor(table, false);
    for (int i = span.start; i < span.end; ++i) {
        const qint64 key = inst->daily.at(i)->uniqueKey();
        const double* row = cursor.rowOf(key);
        PROTO_F10Data::F10DstxRzrq* r = records->Add();
        r->set_date(key > 0 ? key : 0);
        r->set_rzye(value(row, 0));
        r->set_rqye(value(row, 1));
        r->set_rzrqye(value(row, 2));
    }
    return msg;
}
