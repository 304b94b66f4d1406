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

    // Complete themes for every colour key the charts use, plus
    // "Background" (the colour a program clears the chart image with).
    // darkTheme() is the default; a program may load lightTheme() into
    // mCustomColor to switch to a white chart face.
    static QHash<QString, QStringList> darkTheme();
    static QHash<QString, QStringList> lightTheme();
};

} // namespace ZtUIDataStruct
