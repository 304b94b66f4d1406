#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtFeedTable.h"

#include <DQDDataList.h>

#include <QMap>
#include <QString>

// What the registry keeps of one instrument.
struct ZTDATAMANGE_EXPORT ZtInstrument
{
    QString code;
    QString name;
    ZtUIDataStruct::DQDDataList daily;
    ZtUIDataStruct::DQDDataList minutes;
    QMap<qint64, double> floatShares;  // keyed by yyyyMMddHHmmss
    ZtFeedTable fundFlow;   // bigbuy, bigsell
    ZtFeedTable power;      // buyer, seller
    ZtFeedTable chipLock;   // 5dpjl, sdlCJ, sdlWT, spj, sdl, d5lb
    ZtFeedTable margin;     // rzye, rqye, rzrqye

    // The last float-shares entry dated on or before time; 0 when none.
    double floatSharesAt(qint64 time) const;
    // The earliest entry; 0 without entries.
    double firstFloatShares() const;

    // A yyyymmdd value as yyyyMMdd000000; other values unchanged.
    static qint64 normalizedTime(qint64 time);
};
