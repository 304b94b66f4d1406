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
    rows.resize(end - start);
    // Records come in time order, so the table is walked along with them: a
    // few steps of the iterator per record instead of a search of the tree.
    // A record earlier than the one before, or far ahead of the walk, is
    // searched for.
    constexpr int kMaxSteps = 8;
    auto at = table.constBegin();
    qint64 previous = 0;
    for (int i = start; i < end; ++i) {
        const qint64 key = list.at(i)->uniqueKey();
        Row& row = rows[i - start];
        if (key <= 0)
            continue;
        row.date = key;
        const qint64 wanted = lookupKey(key, byMinute);
        if (wanted < previous) {
            at = table.lowerBound(wanted);
        } else {
            int steps = 0;
            while (at != table.constEnd() && at.key() < wanted && steps++ < kMaxSteps)
                ++at;
            if (at != table.constEnd() && at.key() < wanted)
                at = table.lowerBound(wanted);
        }
        previous = wanted;
        if (at != table.constEnd() && at.key() == wanted)
            row.values = &at.value();
    }
    return rows;
}
