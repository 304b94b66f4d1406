#include "FormulaStore.h"

#include "CliError.h"
#include "CliOptions.h"

#include <ZtLineLib_Formula.h>

#include <QFile>

void FormulaStore::loadIfGiven(const CliOptions& opts, bool mayBeNew)
{
    if (!opts.has(QStringLiteral("store")))
        return;
    const QString path = opts.value(QStringLiteral("store"));
    if (!QFile::exists(path)) {
        if (mayBeNew)
            return;
        throw CliError(QStringLiteral("%1: no such formula store (`ztchart formulas set` creates one)").arg(path));
    }
    std::string error;
    if (!ZtLineLib_Formula::m_dformulaManage.loadFromFile(QFile::encodeName(path).toStdString(), &error))
        throw CliError(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error)));
}

void FormulaStore::save(const QString& path)
{
    std::string error;
    if (!ZtLineLib_Formula::m_dformulaManage.saveToFile(QFile::encodeName(path).toStdString(), &error))
        throw CliError(QStringLiteral("%1: %2").arg(path, QString::fromStdString(error)));
}
