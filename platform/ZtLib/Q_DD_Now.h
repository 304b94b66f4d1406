#pragma once

#include "DQDUnionReader.h"

namespace ZtUIDataStruct {

// The current quote of one instrument. Its reader part identifies the
// instrument to the data services.
class ZTLIB_EXPORT Q_DD_Now : public DQDUnionReader
{
public:
    QString code;
    QString name;
};

} // namespace ZtUIDataStruct
