#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtDataMangeTypes.h"

#include <ClientData.pb.h>

#include <DQDDataList.h>
#include <DQDUnionReader.h>

#include <QVector>

// Moving chip distribution over the daily bars of a list (ZtChipDistribution
// holds the model). Arguments:
//   list     daily bars, oldest first; records with a key <= 0, no volume or
//            no positive high/low are skipped, and so are bars priced above
//            ZtChipDistribution::kMaxPrice
//   reader   names the instrument whose free-float shares give the turnover
//   key      evaluate at the last bar whose key is <= key; <= 0: the last bar
//   outType  which time layers come with the layer of all chips
//   count    number of distributions returned: the bars ending at the one
//            evaluated, oldest first (1 … ZtChipDistribution::kMaxCount)
//   cmfbType how a bar lays its chips over its range
//   ratio    turnover multiplier (1: turnover as traded); not a positive
//            finite number gives an empty answer
//   periods  layer periods in bars; non-positive and repeated ones are
//            dropped, and those beyond ZtChipDistribution::kMaxLayers
// The answer holds one rdydcmdata record per distribution, each with the
// layer of all chips (id 0) first. An empty list, an unknown key before the
// first bar, or no chips at all give an empty message.
class ZTDATAMANGE_EXPORT ZtZB_Ydcmjs
{
public:
    static ClientData::ClientDataMSG Ydcmjs(const ZtUIDataStruct::DQDDataList& list,
                                            const ZtUIDataStruct::DQDUnionReader& reader,
                                            qint64 key, ZtE_YDCMJS_OUT_TYPE outType, int count,
                                            ZtE_YDCMJS_CMFB_TYPE cmfbType, double ratio,
                                            QVector<int> periods);
};
