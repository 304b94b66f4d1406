// ztchart formulas add / remove: user formulas in the store file.

#include "FormulasCommand.h"

#include "CliError.h"
#include "CliOptions.h"
#include "FormulaStore.h"
#include "PaneCatalog.h"
#include "StdStreams.h"

#include <ZtLineLib_Formula.h>

#include <QFile>
#include <QRegularExpression>

#include <cmath>

namespace {

// Names of formulas and parameters: letters, digits, '_' and any non-ASCII
// letter; they must survive "--panes NAME(1,2):OTHER".
bool isName(const QString& s)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_\\x{80}-\\x{10FFFF}][A-Za-z0-9_\\x{80}-\\x{10FFFF}]*$"));
    return re.match(s).hasMatch();
}

float finite(const QString& option, const QString& field, const QString& text)
{
    bool ok = false;
    const float v = text.trimmed().toFloat(&ok);
    if (!ok || !std::isfinite(v))
        throw CliError::usage(QStringLiteral("formulas add: --param %1: %2 is not a number: \"%3\"")
                                  .arg(option, field, text));
    return v;
}

// "N=default[:min:max[:step]]" into parameter j of def.
void addParam(TagFormularContent& def, const QString& given)
{
    const int eq = given.indexOf(QLatin1Char('='));
    const QString name = given.left(eq).trimmed();
    if (eq <= 0 || !isName(name))
        throw CliError::usage(QStringLiteral("formulas add: --param \"%1\": expected NAME=default:min:max:step").arg(given));
    const QStringList parts = given.mid(eq + 1).split(QLatin1Char(':'));
    if (parts.size() != 1 && parts.size() != 3 && parts.size() != 4)
        throw CliError::usage(QStringLiteral("formulas add: --param %1: expected default:min:max:step, got \"%2\"")
                                  .arg(name, given.mid(eq + 1)));
    const float value = finite(name, QStringLiteral("default"), parts.at(0));
    const float lo = parts.size() > 1 ? finite(name, QStringLiteral("min"), parts.at(1)) : value;
    const float hi = parts.size() > 1 ? finite(name, QStringLiteral("max"), parts.at(2)) : value;
    const float step = parts.size() > 3 ? finite(name, QStringLiteral("step"), parts.at(3)) : 1.0f;
    if (parts.size() > 1 && !(lo <= value && value <= hi))
        throw CliError::usage(QStringLiteral("formulas add: --param %1: default %2 lies outside %3 … %4")
                                  .arg(name, parts.at(0), parts.at(1), parts.at(2)));
    if (!(step > 0))
        throw CliError::usage(QStringLiteral("formulas add: --param %1: the step must be above 0").arg(name));
    for (int j = 0; j < def.paramCount; ++j) {
        if (QString::fromStdString(def.paramNames[j]).compare(name, Qt::CaseInsensitive) == 0)
            throw CliError::usage(QStringLiteral("formulas add: parameter %1 given twice").arg(name));
    }
    if (def.paramCount >= ZtLineLib_Formula::kMaxFormulaParams)
        throw CliError::usage(QStringLiteral("formulas add: more than %1 parameters")
                                  .arg(ZtLineLib_Formula::kMaxFormulaParams));
    const int j = def.paramCount++;
    def.paramNames[j] = name.toStdString();
    def.params[0][j] = lo;
    def.params[1][j] = hi;
    def.params[2][j] = value;
    def.params[3][j] = value;
    def.params[4][j] = step;
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw CliError(QStringLiteral("formulas add: cannot read %1: %2").arg(path, file.errorString()));
    // Formulas are a few kilobytes; anything far larger is not one.
    if (file.size() > 1 << 20)
        throw CliError(QStringLiteral("formulas add: %1 is too large for a formula").arg(path));
    return QString::fromUtf8(file.readAll());
}

} // namespace

int FormulasCommand::add(const QString& name, const CliOptions& opts)
{
    if (!isName(name))
        throw CliError::usage(QStringLiteral("formulas add: \"%1\" is no name (letters, digits and _, not first a digit)").arg(name));
    PaneCatalog::Type existing;
    if (PaneCatalog::typeByName(name, &existing))
        throw CliError(QStringLiteral("formulas add: \"%1\" already names a pane type or formula; remove it first").arg(name));
    opts.require(QStringLiteral("text"));
    const QString path = opts.value(QStringLiteral("text"));

    TagFormularContent def;
    def.paramCount = 0;
    for (int k = 0; k < 5; ++k)
        for (int j = 0; j < 16; ++j)
            def.params[k][j] = 0.0f;
    for (int& n : def.numbers)
        n = 0;
    def.texts[0] = name.toStdString();
    def.texts[1] = opts.value(QStringLiteral("description")).toStdString();
    def.texts[2] = readText(path).toStdString();
    def.texts[4] = "user";
    def.numbers[0] = opts.has(QStringLiteral("overlay")) ? 1 : 0;
    for (const QString& p : opts.values(QStringLiteral("param")))
        addParam(def, p);

    std::string why;
    if (!ModuleFormular::checkFormula(def, &why))
        throw CliError(QStringLiteral("formulas add: %1: %2").arg(path, QString::fromStdString(why)));
    if (!ZtLineLib_Formula::m_dformulaManage.SetFormularContent(def))
        throw CliError(QStringLiteral("formulas add: the store refused %1").arg(name));
    FormulaStore::save(opts.value(QStringLiteral("store")));
    StdStreams::out() << signature(def) << '\n';
    StdStreams::err() << "ztchart: saved " << opts.value(QStringLiteral("store")) << '\n';
    return 0;
}

int FormulasCommand::remove(const QString& name, const QString& storePath)
{
    const TagFormularContent& def = find(name);
    const QString stored = QString::fromStdString(def.texts[0]);
    // The catalogue's indicators are pane types of their own.
    if (!ZtLineLib_Formula::isUserFormulaType(ZtLineLib_Formula::userFormulaType(stored)))
        throw CliError(QStringLiteral("formulas remove: %1 is a built-in indicator and stays").arg(stored));
    ZtLineLib_Formula::m_dformulaManage.removeFormular(stored.toStdString());
    FormulaStore::save(storePath);
    StdStreams::err() << "ztchart: removed " << stored << ", saved " << storePath << '\n';
    return 0;
}
