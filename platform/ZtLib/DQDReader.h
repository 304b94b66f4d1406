#pragma once

#include "ZtLibGlobal.h"

#include <QString>
#include <QVariant>

namespace ZtUIDataStruct {

// Read access to one quote record: field values by numeric id and the
// record's key. A key is the decimal text of the record's 64-bit time value
// (yyyyMMddHHmmss); a key <= 0 marks a slot without data.
class ZTLIB_EXPORT DQDReader
{
public:
    virtual ~DQDReader() = default;

    // The value of a field, or an invalid QVariant when the record lacks it.
    virtual QVariant getValue(unsigned int fieldId) const = 0;
    // Index 0 is the record key as text; other indices give an empty string.
    virtual QString getUniqueValue(int index) const = 0;
};

} // namespace ZtUIDataStruct
