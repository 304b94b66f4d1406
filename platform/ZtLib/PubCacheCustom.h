#pragma once

#include "ZtLibGlobal.h"

#include <QHash>
#include <QStringList>

namespace ZtUIDataStruct {

// The theme colour tables: colour key → colour names (anything
// QColor::setNamedColor accepts). mCustomColor holds the user's choices and
// wins over mDefultColor, which starts as the dark theme.
class ZTLIB_EXPORT PubCacheCustom
{
public:
    static QHash<QString, QStringList> mCustomColor;
    static QHash<QString, QStringList> mDefultColor;

    static QHash<QString, QStringList> darkTheme();
    static QHash<QString, QStringList> lightTheme();
};

} // namespace ZtUIDataStruct
