#pragma once

#include "ZtDataMangeGlobal.h"

#include <DQDQuery.h>

#include <QMap>
#include <QVector>

// Lines a table of values by time up with the records of a quote list, so
// that an answer holds one record per bar and ends with the list's last bar.
class ZTDATAMANGE_EXPORT ZtSeriesAlign
{
public:
    struct Row
    {
        qint64 date = 0;                          // the record's key, 0 for an empty slot
        const QVector<double>* values = nullptr;  // null: the table has no row for it
    };

    // Number of leading records up to and including endTime: the records up
    // to the last one keyed 0 < key <= endTime; all records when endTime <= 0.
    static int endOf(const ZtUIDataStruct::DQDQuery& list, qint64 endTime);
    // The time a record is looked up under: its key cut to the day
    // (yyyyMMdd000000) or to the minute (yyyyMMddHHmm00).
    static qint64 lookupKey(qint64 key, bool byMinute);
    // One row per record from the first record whose lookup key reaches the
    // table's first time, to record end − 1. A table that starts after the
    // last record, or an empty table, gives no rows.
    static QVector<Row> align(const ZtUIDataStruct::DQDQuery& list, int end,
                              const QMap<qint64, QVector<double>>& table, bool byMinute);
};
