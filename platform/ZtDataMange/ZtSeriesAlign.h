#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtSeriesTable.h"

#include <DQDQuery.h>

// Lines a table of values by time up with the records of a quote list, so
// that an answer holds one record per bar and ends with the list's last bar.
class ZTDATAMANGE_EXPORT ZtSeriesAlign
{
public:
    // The records an answer covers: start … end − 1.
    struct Span
    {
        int start = 0;
        int end = 0;
        int size() const { return end - start; }
        bool isEmpty() const { return end <= start; }
    };

    // Finds the table's row of each record of a walk in time order. Records
    // come in time order, so the cursor moves along the table a few rows per
    // record; a record earlier than the one before, or far ahead, is searched
    // for.
    class Cursor
    {
    public:
        Cursor(const ZtSeriesTable& table, bool byMinute) : m_table(table), m_byMinute(byMinute) {}
        // The row of the record keyed key; null for an empty slot (key <= 0)
        // or a time the table has no row for.
        const double* rowOf(qint64 key)
        {
            if (key <= 0)
                return nullptr;
            const qint64 wanted = lookupKey(key, m_byMinute);
            const int n = m_table.size();
            if (wanted < m_previous) {
                m_at = m_table.lowerBound(wanted);
            } else {
                constexpr int kMaxSteps = 8;
                int steps = 0;
                while (m_at < n && m_table.keyAt(m_at) < wanted && steps++ < kMaxSteps)
                    ++m_at;
                if (m_at < n && m_table.keyAt(m_at) < wanted)
                    m_at = m_table.lowerBound(wanted, m_at);
            }
            m_previous = wanted;
            return (m_at < n && m_table.keyAt(m_at) == wanted) ? m_table.rowAt(m_at) : nullptr;
        }

    private:
        const ZtSeriesTable& m_table;
        bool m_byMinute;
        int m_at = 0;
        qint64 m_previous = 0;
    };

    // Number of leading records up to and including endTime: the records up
    // to the last one keyed 0 < key <= endTime; all records when endTime <= 0.
    static int endOf(const ZtUIDataStruct::DQDQuery& list, qint64 endTime);
    // The time a record is looked up under: its key cut to the day
    // (yyyyMMdd000000) or to the minute (yyyyMMddHHmm00).
    static qint64 lookupKey(qint64 key, bool byMinute)
    {
        return byMinute ? key / 100 * 100 : key / 1000000 * 1000000;
    }
    // From the first record whose lookup key reaches the table's first time
    // to record end − 1. A table that starts after the last record, or an
    // empty table, gives an empty span.
    static Span span(const ZtUIDataStruct::DQDQuery& list, int end, const ZtSeriesTable& table,
                     bool byMinute);
};
