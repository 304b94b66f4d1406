#pragma once

#include "ZtDataMangeGlobal.h"

#include <F10Data.pb.h>

#include <DQDUnionReader.h>

// Margin balances of the instrument a reader names, from its margin feed:
// one record per daily bar in repdataf10dstxrzrqoutput(0), from the first
// bar the feed covers to the last bar (up to endTime when it is not 0). No
// feed or an unknown instrument gives an empty message.
class ZTDATAMANGE_EXPORT ZtZB_Rzrq
{
public:
    static PROTO_F10Data::F10MSG getKlineRZRQ(const ZtUIDataStruct::DQDUnionReader& reader,
                                              qint64 endTime);
};
