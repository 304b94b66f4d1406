// User formulas: stored definitions that the catalogue does not list get
// pane types of their own, so a pane shows them like a classic indicator.

#include "ZtLineLib_Formula.h"

#include <QStringList>

namespace {

// Names in the order their types were given out; never shrinks, so a type
// keeps meaning the same name for the whole process.
QStringList& userNames()
{
    static QStringList names;
    return names;
}

} // namespace

ZtLineLib_Formula::enumFormulaType ZtLineLib_Formula::userFormulaType(const QString& name)
{
    if (name.isEmpty())
        return eFT_NONE;
    for (int t = eFT_MA; t <= eFT_AB; ++t) {
        if (t != eFT_VOL && t != eFT_DLINEVOL
            && helpFormulaTypeToQString(enumFormulaType(t)) == name)
            return enumFormulaType(t);
    }
    QStringList& names = userNames();
    int i = names.indexOf(name);
    if (i < 0) {
        names.append(name);
        i = names.size() - 1;
    }
    return enumFormulaType(eFT_USER_FIRST + i);
}

bool ZtLineLib_Formula::isUserFormulaType(enumFormulaType type)
{
    return type >= eFT_USER_FIRST && type - eFT_USER_FIRST < userNames().size();
}

QString ZtLineLib_Formula::userFormulaName(enumFormulaType type)
{
    return isUserFormulaType(type) ? userNames().at(type - eFT_USER_FIRST) : QString();
}
