#pragma once

#include "ZtDataMangeGlobal.h"

#include <DQDSelection.h>
#include <TagDay.h>

#include <vector>

// Conversions between the quote lists and the records of the data services
// and the formula engine.
class ZTDATAMANGE_EXPORT PBDataChange
{
public:
    // Records start … start + count − 1 of the list as formula-engine bars:
    // one TagDay per record, the columns in the first (see TagDay.h). Indices
    // outside the list are clipped; a null list gives an empty vector.
    static std::vector<TagDay> LBDG_TagDayVector(ZtUIDataStruct::DQDSelection* list, int start,
                                                 int count);
};
