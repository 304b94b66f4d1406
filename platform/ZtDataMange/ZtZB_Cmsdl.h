#pragma once

#include "ZtDataMangeGlobal.h"

#include <ClientData.pb.h>
#include <Glintsvc.pb.h>

#include <DQDDataList.h>
#include <DQDUnionReader.h>

// Fund flow, buying/selling power and chip lock of the instrument a reader
// names (PBDataChange::LBDG_QNowSingle). Every answer holds one record per
// bar, in bar order, the last for the last bar; endTime 0 means up to the
// last bar, otherwise up to and including that time value. Unknown
// instruments and missing data give empty messages.
//
// Fund flow and buying/selling power come from the instrument's feed when
// one is attached and covers the form asked for (daily rows for the K-line
// form, minute rows for the D-line form); otherwise they are estimated from
// the registered minutes (ZtFlowEstimator). Chip lock comes from its feed
// only.
class ZTDATAMANGE_EXPORT ZtZB_Cmsdl
{
public:
    // One record per daily bar, in repdatazhibiaofuwuoutput(0).data(0).
    static PROTO_Glintsvc::MSG getKlineCJMX_FD(const ZtUIDataStruct::DQDUnionReader& reader,
                                               qint64 endTime);
    static PROTO_Glintsvc::MSG getKlineMMLD_FD(const ZtUIDataStruct::DQDUnionReader& reader,
                                               qint64 endTime);
    // One record per registered minute.
    static PROTO_Glintsvc::MSG getDlineCJMX_FD(const ZtUIDataStruct::DQDUnionReader& reader,
                                               qint64 endTime);
    static PROTO_Glintsvc::MSG getDlineMMLD_FD(const ZtUIDataStruct::DQDUnionReader& reader,
                                               qint64 endTime);
    // One rdcmsdl record per record of the list (from PBDataChange::LBGD_Kline
    // or LBGD_Dline), matched to the feed by date or by minute.
    static ClientData::ClientDataMSG getKlineCMSDL(const ZtUIDataStruct::DQDDataList& list,
                                                   const ZtUIDataStruct::DQDUnionReader& reader,
                                                   qint64 endTime);
    static ClientData::ClientDataMSG getDlineCMSDL(const ZtUIDataStruct::DQDDataList& list,
                                                   const ZtUIDataStruct::DQDUnionReader& reader,
                                                   qint64 endTime);
};
