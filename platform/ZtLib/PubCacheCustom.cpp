#include "PubCacheCustom.h"

namespace ZtUIDataStruct {

QHash<QString, QStringList> PubCacheCustom::mCustomColor;
QHash<QString, QStringList> PubCacheCustom::mDefultColor = PubCacheCustom::darkTheme();

QHash<QString, QStringList> PubCacheCustom::darkTheme()
{
    return {};
}

QHash<QString, QStringList> PubCacheCustom::lightTheme()
{
    return {};
}

} // namespace ZtUIDataStruct
