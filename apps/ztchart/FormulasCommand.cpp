#include "FormulasCommand.h"

#include "CliError.h"
#include "CliOptions.h"
#include "FormulaStore.h"
#include "PaneCatalog.h"
#include "StdStreams.h"

#include <ZtLineLib_Formula.h>

#include <cmath>

namespace {

QString text(const std::string& s)
{
    return QString::fromStdString(s);
}

QString number(float v)
{
    return QString::number(double(v), 'g', 7);
}

} // namespace

QString FormulasCommand::help()
{
    return QStringLiteral(
        "usage: ztchart formulas list [--store FILE]\n"
        "       ztchart formulas show NAME [--store FILE]\n"
        "       ztchart formulas set NAME v1,v2,... --store FILE\n"
        "       ztchart formulas add NAME --text FILE [--param N=default:min:max:step ...]\n"
        "                            [--description TEXT] [--overlay] --store FILE\n"
        "       ztchart formulas remove NAME --store FILE\n"
        "\n"
        "The stored indicator definitions: the built-in ones (MA, MACD, KDJ, ...) or\n"
        "those of the store file (which must exist, except for set).\n"
        "  list   one line per definition: NAME(PARAM=value,...) <tab> description\n"
        "  show   the whole definition: texts, parameters (value, minimum, maximum,\n"
        "         default, step) and the formula text\n"
        "  set    gives the first parameters of NAME new values (each within its\n"
        "         minimum and maximum) and saves the store to FILE (created from the\n"
        "         built-in definitions when it does not exist yet)\n"
        "  add    stores a user formula: its text from FILE (UTF-8), its parameters in\n"
        "         order (N=default, or N=default:min:max with an optional :step); the\n"
        "         text must compile with them. NAME then works as a pane type\n"
        "         wherever --store FILE is given; --overlay lets it overlay a price\n"
        "         pane (kline:NAME)\n"
        "  remove drops a user formula from the store (the built-in ones stay)\n"
        "Panes of `lines`, `text` and `render` compute with the store given by\n"
        "their own --store option.\n");
}

const TagFormularContent& FormulasCommand::find(const QString& name)
{
    const TagFormularContent* def =
        ZtLineLib_Formula::m_dformulaManage.findFormular(name.toStdString());
    if (!def) {
        // Titles are stored in capitals; accept any case.
        for (const TagFormularContent& c : ZtLineLib_Formula::m_dformulaManage.contents())
            if (text(c.texts[0]).compare(name, Qt::CaseInsensitive) == 0)
                return c;
        throw CliError(QStringLiteral("formulas: no definition named \"%1\"").arg(name));
    }
    return *def;
}

QString FormulasCommand::signature(const TagFormularContent& def)
{
    QStringList params;
    for (int j = 0; j < def.paramCount && j < 16; ++j)
        params.append(text(def.paramNames[j]) + QLatin1Char('=') + number(def.params[2][j]));
    return text(def.texts[0]) + QLatin1Char('(') + params.join(QLatin1Char(',')) + QLatin1Char(')');
}

int FormulasCommand::list()
{
    QTextStream& out = StdStreams::out();
    for (const TagFormularContent& def : ZtLineLib_Formula::m_dformulaManage.contents())
        out << signature(def) << '\t' << text(def.texts[1]) << '\n';
    return 0;
}

int FormulasCommand::show(const QString& name)
{
    const TagFormularContent& def = find(name);
    QTextStream& out = StdStreams::out();
    out << "name: " << text(def.texts[0]) << '\n'
        << "description: " << text(def.texts[1]) << '\n'
        << "group: " << text(def.texts[4]) << '\n'
        << "overlay: " << (def.numbers[0] == 1 ? "yes" : "no") << '\n'
        << "notes: " << text(def.texts[3]) << '\n'
        << "parameters: name,value,minimum,maximum,default,step\n";
    for (int j = 0; j < def.paramCount && j < 16; ++j)
        out << "  " << text(def.paramNames[j]) << ',' << number(def.params[2][j]) << ','
            << number(def.params[0][j]) << ',' << number(def.params[1][j]) << ','
            << number(def.params[3][j]) << ',' << number(def.params[4][j]) << '\n';
    out << "formula:\n" << text(def.texts[2]) << '\n';
    return 0;
}

int FormulasCommand::set(const QString& name, const QString& values, const QString& storePath)
{
    TagFormularContent def = find(name);
    const QStringList parts = values.split(QLatin1Char(','));
    if (values.trimmed().isEmpty() || parts.size() > def.paramCount)
        throw CliError::usage(QStringLiteral("formulas set: %1 has %2 parameters, got %3 values")
                                  .arg(text(def.texts[0]))
                                  .arg(def.paramCount)
                                  .arg(values.trimmed().isEmpty() ? 0 : parts.size()));
    for (int j = 0; j < parts.size(); ++j) {
        bool ok = false;
        const float v = parts.at(j).trimmed().toFloat(&ok);
        const QString pname = text(def.paramNames[j]);
        if (!ok || !std::isfinite(v))
            throw CliError::usage(QStringLiteral("formulas set: %1: not a number: \"%2\"").arg(pname, parts.at(j)));
        PaneCatalog::checkParam(QStringLiteral("formulas set"), pname, v, def.params[0][j], def.params[1][j]);
        def.params[2][j] = v;
    }
    if (!ZtLineLib_Formula::m_dformulaManage.SetFormularContent(def))
        throw CliError(QStringLiteral("formulas set: the store refused %1").arg(text(def.texts[0])));
    FormulaStore::save(storePath);
    StdStreams::out() << signature(def) << '\n';
    StdStreams::err() << "ztchart: saved " << storePath << '\n';
    return 0;
}

int FormulasCommand::run(const QStringList& args)
{
    CliOptions opts(QStringLiteral("formulas"), {{QStringLiteral("store"), true, QString()},
                                                  {QStringLiteral("text"), true, QString()},
                                                  {QStringLiteral("param"), true, QString()},
                                                  {QStringLiteral("description"), true, QString()},
                                                  {QStringLiteral("overlay"), false, QString()}});
    opts.parse(args);
    if (opts.helpRequested()) {
        StdStreams::out() << help();
        return 0;
    }
    const QStringList& words = opts.positional();
    if (words.isEmpty())
        throw CliError::usage(QStringLiteral("formulas: missing action: list, show NAME or set NAME v1,v2,..."));
    const QString action = words.first();
    const int expected = action == QLatin1String("list") ? 1 : action == QLatin1String("show") ? 2
                                                           : action == QLatin1String("set")    ? 3
                                                           : action == QLatin1String("add")    ? 2
                                                           : action == QLatin1String("remove") ? 2
                                                                                               : -1;
    if (expected < 0)
        throw CliError::usage(QStringLiteral("formulas: unknown action \"%1\" (list, show, set, add, remove)").arg(action));
    if (words.size() != expected)
        throw CliError::usage(QStringLiteral("formulas %1: expected %2 argument(s) after the action, got %3")
                                  .arg(action)
                                  .arg(expected - 1)
                                  .arg(words.size() - 1));
    const bool changes = action == QLatin1String("set") || action == QLatin1String("add")
                         || action == QLatin1String("remove");
    if (changes && !opts.has(QStringLiteral("store")))
        throw CliError::usage(QStringLiteral("formulas %1: missing --store FILE (where the change is saved)").arg(action));
    if (action != QLatin1String("add")) {
        for (const char* o : {"text", "param", "description", "overlay"})
            if (opts.has(QLatin1String(o)))
                throw CliError::usage(QStringLiteral("formulas %1: --%2 belongs to add").arg(action, QLatin1String(o)));
    }
    FormulaStore::loadIfGiven(opts, changes);
    if (action == QLatin1String("list"))
        return list();
    if (action == QLatin1String("show"))
        return show(words.at(1));
    if (action == QLatin1String("add"))
        return add(words.at(1), opts);
    if (action == QLatin1String("remove"))
        return remove(words.at(1), opts.value(QStringLiteral("store")));
    return set(words.at(1), words.at(2), opts.value(QStringLiteral("store")));
}
