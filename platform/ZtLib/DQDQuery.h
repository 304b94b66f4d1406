#pragma once

#include "DQDUnionReader.h"

#include <QVector>

namespace ZtUIDataStruct {

// The query face of a record list: size, records by index, clearing.
class ZTLIB_EXPORT DQDQuery
{
public:
    DQDQuery() = default;
    DQDQuery(const DQDQuery&) = default;
    DQDQuery(DQDQuery&&) noexcept = default;
    DQDQuery& operator=(const DQDQuery&) = default;
    DQDQuery& operator=(DQDQuery&&) noexcept = default;
    virtual ~DQDQuery() = default;

    int count() const { return m_records.size(); }
    // The record at index i, or null when i is outside 0 … count()−1.
    DQDUnionReader* at(int i)
    {
        return (i >= 0 && i < m_records.size()) ? &m_records[i] : nullptr;
    }
    const DQDUnionReader* at(int i) const
    {
        return (i >= 0 && i < m_records.size()) ? &m_records.at(i) : nullptr;
    }
    void DataClear() { m_records.clear(); }

protected:
    QVector<DQDUnionReader> m_records;
};

} // namespace ZtUIDataStruct
