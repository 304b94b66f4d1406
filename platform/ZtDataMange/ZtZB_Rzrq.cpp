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
    const auto rows = ZtSeriesAlign::align(
        inst->daily, ZtSeriesAlign::endOf(inst->daily, endTime), inst->margin.daily, false);
    if (rows.isEmpty())
        return msg;
    PROTO_F10Data::F10DstxRzrqOutput* out = msg.add_repdataf10dstxrzrqoutput();
    for (const auto& row : rows) {
        PROTO_F10Data::F10DstxRzrq* r = out->add_data();
        const bool has = row.values != nullptr;
        r->set_date(row.date);
        r->set_rzye(has ? row.values->at(0) : double(kFormulaNoValue));
        r->set_rqye(has ? row.values->at(1) : double(kFormulaNoValue));
        r->set_rzrqye(has ? row.values->at(2) : double(kFormulaNoValue));
    }
    return msg;
}
