#pragma once

#include "ZtLibGlobal.h"

#include <QDateTime>

namespace ZtUIDataStruct {

// Conversions of the stored time and fixed-point values.
class ZTLIB_EXPORT DataTrans
{
public:
    // yyyyMMddHHmmss → date-time; an invalid QDateTime when the value names no date.
    static QDateTime getDateTimeFromULL(quint64 value);
    // yyyyMMddHHmmss → yyyymmdd.
    static int getDateYYYYMMDDFromULL(quint64 value);
    // A fixed-point value with the given number of implied decimals.
    static double getValueFromLL(qint64 value, int decimals);
};

} // namespace ZtUIDataStruct
