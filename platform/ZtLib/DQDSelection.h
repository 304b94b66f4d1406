#pragma once

#include "DQDQuery.h"

namespace ZtUIDataStruct {

// A selection of records; the data services take lists through this face.
class ZTLIB_EXPORT DQDSelection : public DQDQuery
{
public:
    DQDSelection() = default;
};

} // namespace ZtUIDataStruct
