#include "ZtSeriesAlign.h"

using namespace ZtUIDataStruct;

int ZtSeriesAlign::endOf(const DQDQuery& list, qint64 endTime)
{
    if (endTime <= 0)
        return list.count();
    for (int i = list.count() - 1; i >= 0; --i) {
        const qint64 key = list.at(i)->uniqueKey();
        if (key > 0 && key <= endTime)
            return i + 1;
    }
    return 0;
}

qint64 ZtSeriesAlign::lookupKey(qint64 key, bool byMinute)
{
    return byMinute ? key / 100 * 100 : key / 1000000 * 1000000;
}

QVector<ZtSeriesAlign::Row> ZtSeriesAlign::align(const DQDQuery& list, int end,
                                                 const QMap<qint64, QVector<double>>& table,
                                                 bool byMinute)
{
    QVector<Row> rows;
    if (table.isEmpty())
        return rows;
    const qint64 first = table.firstKey();
    int start = -1;
    for (int i = 0; i < end && start < 0; ++i) {
        const qint64 key = list.at(i)->uniqueKey();
        if (key > 0 && lookupKey(key, byMinute) >= first)
            start = i;
    }
    if (start < 0)
        return rows;
    rows.reserve(end - start);
    for (int i = start; i < end; ++i) {
        const qint64 key = list.at(i)->uniqueKey();
        Row row;
        if (key > 0) {
            row.date = key;
            auto it = table.constFind(lookupKey(key, byMinute));
            if (it != table.constEnd())
                row.values = &it.value();
        }
        rows.append(row);
    }
    return rows;
}
