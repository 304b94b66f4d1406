#include "ZtLineLibTheme.h"

#include <PubCacheCustom.h>

#include <QColor>

using ZtUIDataStruct::PubCacheCustom;

namespace {

QColor namedColor(const QString& name)
{
    QColor c;
    c.setNamedColor(name);
    return c;
}

const QStringList* listOf(const QHash<QString, QStringList>& table, const QString& key)
{
    const auto it = table.constFind(key);
    return it == table.constEnd() ? nullptr : &it.value();
}

} // namespace

QPen getThemePen(const QString& key, Qt::PenStyle style)
{
    const QStringList* list = listOf(PubCacheCustom::mCustomColor, key);
    // An empty custom list holds no choice, so the default colour shows, as
    // getThemePenAt(key, 0) has it.
    if (!list || list->isEmpty()) {
        if (const QStringList* deflt = listOf(PubCacheCustom::mDefultColor, key))
            list = deflt;
    }
    if (!list)
        return QPen(namedColor(key));
    // An empty list left in a table reads as an unnamed (invalid) colour
    // rather than reaching past its end.
    const QColor c = list->isEmpty() ? QColor() : namedColor(list->first());
    return QPen(QBrush(c), 1.0, style, Qt::SquareCap, Qt::BevelJoin);
}

QPen getThemePenAt(const QString& key, int index)
{
    QColor c;
    const QStringList* custom = listOf(PubCacheCustom::mCustomColor, key);
    const QStringList* deflt = listOf(PubCacheCustom::mDefultColor, key);
    if (index >= 0 && custom && index < custom->size())
        c = namedColor(custom->at(index));
    else if (index >= 0 && deflt && index < deflt->size())
        c = namedColor(deflt->at(index));
    else
        c = namedColor(key);
    return QPen(c);
}

int getThemeColorCount(const QString& key)
{
    if (const QStringList* list = listOf(PubCacheCustom::mCustomColor, key))
        return list->size();
    if (const QStringList* list = listOf(PubCacheCustom::mDefultColor, key))
        return list->size();
    return -1;
}

const QString& ztArrowUp()
{
    static const QString arrow = QString::fromUtf8("\xE2\x86\x91");
    return arrow;
}

const QString& ztArrowDown()
{
    static const QString arrow = QString::fromUtf8("\xE2\x86\x93");
    return arrow;
}
