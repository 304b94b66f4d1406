#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtSeriesTable.h"

#include <QStringList>

// Values of one feed by time, daily rows apart from minute rows so that the
// K-line and D-line answers each find their own. Keys are time values:
// yyyyMMdd000000 for daily rows, yyyyMMddHHmm00 for minute rows.
struct ZTDATAMANGE_EXPORT ZtFeedTable
{
    QStringList columns;  // names of the value columns, in row order
    ZtSeriesTable daily;
    ZtSeriesTable minutes;

    bool isEmpty() const { return daily.isEmpty() && minutes.isEmpty(); }
};
