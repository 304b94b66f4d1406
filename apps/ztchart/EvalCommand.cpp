#include "EvalCommand.h"

#include "ChartData.h"
#include "CliError.h"
#include "CliOptions.h"
#include "DataWindow.h"
#include "LineCsv.h"
#include "StdStreams.h"

#include <CInputData.h>
#include <FormulaResult.h>
#include <PBDataChange.h>
#include <ZtLineLib_Formula.h>

namespace {

// The name the text is stored under while it is evaluated; an unusual one
// so that it never replaces a definition of the store file.
const char kEvalName[] = "__ZTCHART_EVAL__";

// The records the engine evaluates: all bars, or the traded minutes (the
// call-auction slots and the untraded tail hold no prices).
void computedSpan(ChartData& data, int* start, int* length)
{
    const int count = data.count();
    int s = 0;
    if (data.isDLine())
        while (s < count && data.keyAt(s) <= 0)
            ++s;
    int e = s;
    while (e < count && (!data.isDLine() || data.keyAt(e) > 0))
        ++e;
    *start = s;
    *length = e - s;
}

TagFormularContent makeDefinition(const QString& formula, const QStringList& paramSpecs)
{
    TagFormularContent def;
    def.texts[0] = kEvalName;
    def.texts[2] = formula.toStdString();
    if (paramSpecs.size() > 16)
        throw CliError::usage(QStringLiteral("eval: at most 16 parameters"));
    for (const QString& spec : paramSpecs) {
        const QString name = spec.section(QLatin1Char('='), 0, 0).trimmed();
        bool ok = false;
        const float value = spec.section(QLatin1Char('='), 1).trimmed().toFloat(&ok);
        if (name.isEmpty() || !ok || !spec.contains(QLatin1Char('=')))
            throw CliError::usage(
                QStringLiteral("eval: option --param: expected NAME=NUMBER, got \"%1\"").arg(spec));
        const int j = def.paramCount++;
        def.paramNames[j] = name.toStdString();
        for (int k = 0; k < 5; ++k)
            def.params[k][j] = value;
    }
    return def;
}

} // namespace

QString EvalCommand::help()
{
    return QStringLiteral(
               "usage: ztchart eval (--bars FILE | --minutes FILE [--days N] [--auction])\n"
               "                    --formula TEXT [--param NAME=VALUE ...]\n"
               "                    [--first I --count N]\n"
               "\n"
               "Evaluates TEXT in the formula language over the quotes and prints its output\n"
               "lines as CSV, like `ztchart lines`: \"index,key,<output names>\", one row per\n"
               "record of the window (default: all), empty cells where a line has no value.\n"
               "Minutes are evaluated over the traded slots only.\n"
               "A formula that does not compile prints the engine's message with its line\n"
               "and column and exits with 1.\n"
               "\n"
               "  --formula TEXT     for example \"DIF:EMA(CLOSE,12)-EMA(CLOSE,26); DEA:EMA(DIF,9);\"\n"
               "  --param NAME=VALUE a parameter the text refers to by name (repeatable)\n")
           + ChartData::optionHelp();
}

int EvalCommand::run(const QStringList& args)
{
    QList<CliOptions::Spec> specs = ChartData::optionSpecs();
    specs << CliOptions::Spec{QStringLiteral("formula"), true, QString()}
          << CliOptions::Spec{QStringLiteral("param"), true, QString()}
          << CliOptions::Spec{QStringLiteral("first"), true, QString()}
          << CliOptions::Spec{QStringLiteral("count"), true, QString()};
    CliOptions opts(QStringLiteral("eval"), specs);
    opts.parse(args);
    if (opts.helpRequested()) {
        StdStreams::out() << help();
        return 0;
    }
    opts.rejectPositional();
    opts.require(QStringLiteral("formula"));
    TagFormularContent def =
        makeDefinition(opts.value(QStringLiteral("formula")), opts.values(QStringLiteral("param")));
    ChartData data = ChartData::load(opts);
    const DataWindow window = DataWindow::resolve(opts, data.count(), data.count());

    int start = 0;
    int length = 0;
    computedSpan(data, &start, &length);
    CInputData input;
    input.days = PBDataChange::LBDG_TagDayVector(data.charted(), start, length);

    CDFormulaManage& store = ZtLineLib_Formula::m_dformulaManage;
    if (!store.SetFormularContent(def))
        throw CliError(QStringLiteral("eval: the formula store refused the text"));
    std::string name = kEvalName;
    FormulaResult result;
    const bool ok = ZtLineLib_Formula::m_moduleFormular.ComputeDayFormular(name, input, 0, 0, &result);
    store.removeFormular(name);
    if (!ok)
        throw CliError(QStringLiteral("eval: formula error: %1")
                           .arg(QString::fromStdString(ZtLineLib_Formula::m_moduleFormular.lastError())));

    QStringList names;
    QVector<QVector<float>> series;
    for (const LineData& line : result.lines) {
        names.append(QString::fromLocal8Bit(line.name.c_str()));
        // Value j of a line belongs to record start + j.
        QVector<float> s(start, kFormulaNoValue);
        for (float v : line.data1)
            s.append(v);
        series.append(s);
    }
    LineCsv::write(StdStreams::out(), data, window, names, series);
    return 0;
}
