#include "DataTrans.h"

#include <cmath>

namespace ZtUIDataStruct {

QDateTime DataTrans::getDateTimeFromULL(quint64 value)
{
    const int secs = int(value % 100);
    const int mins = int(value / 100 % 100);
    const int hours = int(value / 10000 % 100);
    const quint64 ymd = value / 1000000;
    const QDate date(int(ymd / 10000), int(ymd / 100 % 100), int(ymd % 100));
    const QTime time(hours, mins, secs);
    if (!date.isValid() || !time.isValid())
        return QDateTime();
    return QDateTime(date, time);
}

int DataTrans::getDateYYYYMMDDFromULL(quint64 value)
{
    return int(value / 1000000);
}

double DataTrans::getValueFromLL(qint64 value, int decimals)
{
    return double(value) / std::pow(10.0, decimals);
}

} // namespace ZtUIDataStruct
