#pragma once

#include "ZtDataMangeGlobal.h"

#include <QMap>
#include <QVector>

#include <vector>

// Rows of values by time, ascending, in two flat arrays: a service answer
// walks them along a quote list of a hundred thousand bars on every call,
// and a tree of rows would cost a pointer chase and a cache miss per bar.
// Every row holds columns() values; a shorter source row is padded with the
// no-value marker.
class ZTDATAMANGE_EXPORT ZtSeriesTable
{
public:
    ZtSeriesTable() = default;
    static ZtSeriesTable fromMap(const QMap<qint64, QVector<double>>& rows);

    bool isEmpty() const { return m_keys.empty(); }
    int size() const { return int(m_keys.size()); }
    int columns() const { return m_columns; }
    qint64 keyAt(int i) const { return m_keys[size_t(i)]; }
    const double* rowAt(int i) const { return m_values.data() + size_t(i) * size_t(m_columns); }
    // Index of the first row keyed at or after key, from row `from` on;
    // size() when there is none.
    int lowerBound(qint64 key, int from = 0) const;
    // The row keyed exactly key, or null.
    const double* find(qint64 key) const;

private:
    std::vector<qint64> m_keys;
    std::vector<double> m_values;
    int m_columns = 0;
};
