#pragma once

#include "DQDSelection.h"

namespace ZtUIDataStruct {

// The host's list of records: bars, minutes or events. Value semantics.
class ZTLIB_EXPORT DQDDataList : public DQDSelection
{
public:
    DQDDataList() = default;

    void append(const DQDUnionReader& record) { m_records.append(record); }
    void reserve(int n) { m_records.reserve(n); }
};

} // namespace ZtUIDataStruct
