#pragma once

#include "ZtLineLibGlobal.h"

#include <QPen>
#include <QString>

// Theme lookups shared by every element. Each call reads the host's colour
// tables afresh, so a theme change shows at the next repaint.

// The pen of a colour key: entry 0 of the custom table's list (when it has
// one), else of the default table's, as a width-1 pen of the given style
// with square cap and bevel join. A key neither table holds is read as a colour name (a plain
// solid pen, whatever the style).
ZTLINELIB_EXPORT QPen getThemePen(const QString& key, Qt::PenStyle style = Qt::SolidLine);

// Entry index of the key's list: the custom table when its list is long
// enough, else the default table's, else the key read as a colour name.
ZTLINELIB_EXPORT QPen getThemePenAt(const QString& key, int index);

// The length of the key's list (custom table first), or −1 when neither
// table has the key.
ZTLINELIB_EXPORT int getThemeColorCount(const QString& key);

// The rise and fall arrows of the value text.
ZTLINELIB_EXPORT const QString& ztArrowUp();
ZTLINELIB_EXPORT const QString& ztArrowDown();
