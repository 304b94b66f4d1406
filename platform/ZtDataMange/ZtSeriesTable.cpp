#include "ZtSeriesTable.h"

#include <FormulaGlobal.h>

#include <algorithm>

ZtSeriesTable ZtSeriesTable::fromMap(const QMap<qint64, QVector<double>>& rows)
{
    ZtSeriesTable table;
    for (const QVector<double>& row : rows)
        table.m_columns = std::max(table.m_columns, int(row.size()));
    table.m_keys.reserve(size_t(rows.size()));
    table.m_values.reserve(size_t(rows.size()) * size_t(table.m_columns));
    for (auto it = rows.constBegin(); it != rows.constEnd(); ++it) {
        table.m_keys.push_back(it.key());
        table.m_values.insert(table.m_values.end(), it.value().cbegin(), it.value().cend());
        table.m_values.resize(table.m_keys.size() * size_t(table.m_columns),
                              double(kFormulaNoValue));
    }
    return table;
}

int ZtSeriesTable::lowerBound(qint64 key, int from) const
{
    const auto begin = m_keys.cbegin() + std::clamp(from, 0, size());
    return int(std::lower_bound(begin, m_keys.cend(), key) - m_keys.cbegin());
}

const double* ZtSeriesTable::find(qint64 key) const
{
    const int i = lowerBound(key);
    return (i < size() && keyAt(i) == key) ? rowAt(i) : nullptr;
}
