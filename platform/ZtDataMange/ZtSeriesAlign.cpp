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

ZtSeriesAlign::Span ZtSeriesAlign::span(const DQDQuery& list, int end, const ZtSeriesTable& table,
                                        bool byMinute)
{
    if (table.isEmpty())
        return {};
    const qint64 first = table.keyAt(0);
    for (int i = 0; i < end; ++i) {
        const qint64 key = list.at(i)->uniqueKey();
        if (key > 0 && lookupKey(key, byMinute) >= first)
            return {i, end};
    }
    return {};
}
