#include "DQDQuery.h"

namespace ZtUIDataStruct {

DQDUnionReader* DQDQuery::at(int i)
{
    return (i >= 0 && i < m_records.size()) ? &m_records[i] : nullptr;
}

const DQDUnionReader* DQDQuery::at(int i) const
{
    return (i >= 0 && i < m_records.size()) ? &m_records.at(i) : nullptr;
}

} // namespace ZtUIDataStruct
