#pragma once

#include "ZtDataMangeGlobal.h"
#include "ZtInstrument.h"

#include <QHash>

// The process-wide table of registered instruments behind PBDataChange and
// the indicator services. GUI thread only.
class ZTDATAMANGE_EXPORT ZtInstrumentRegistry
{
public:
    static QHash<QString, ZtInstrument>& instruments();
    // Null for an unknown or empty code.
    static const ZtInstrument* find(const QString& code);
    static ZtInstrument* findMutable(const QString& code);
};
