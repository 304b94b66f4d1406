#include "LinesCommand.h"

#include "ChartData.h"
#include "CliOptions.h"
#include "DataWindow.h"
#include "FormulaStore.h"
#include "LineCsv.h"
#include "PaneCatalog.h"
#include "StdStreams.h"

#include <ZtLineLib_Formula.h>

namespace {

QString rangeText(double v, bool valid)
{
    if (!valid)
        return QString();
    // Ranges come from float series: print them as those floats read.
    const float f = float(v);
    return double(f) == v ? LineCsv::formatValue(f) : QString::number(v, 'g', 12);
}

} // namespace

QString LinesCommand::help()
{
    return QStringLiteral(
               "usage: ztchart lines (--bars FILE | --minutes FILE [--days N] [--auction])\n"
               "                     --type NAME [--params a,b,...] [--first I --count N]\n"
               "                     [--prec P] [--store FILE] [--no-range]\n"
               "\n"
               "Computes the lines of one pane type over the quotes and prints them as CSV:\n"
               "header \"index,key,<line names>\", one row per record of the window (default:\n"
               "all records), an empty cell where a line has no value. A nameless line is\n"
               "called line<k>. The last line is the pane's value range over the window:\n"
               "  # range,MIN,MAX\n"
               "(MIN and MAX empty when the window has no value); --no-range leaves it out.\n"
               "The chip distribution (YDCM) prints its rows instead: \"line,price,volume\",\n"
               "then its key figures as \"# name,value\" lines.\n"
               "\n"
               "  --type NAME        %1\n"
               "                     (also the data-service titles 资金流向 买卖力道 筹码锁定 融资融券)\n"
               "  --params a,b,...   parameters: MA periods of VOL, 1 for the average line of\n"
               "                     DLINE, periods of the YDCM time layers; for formula types\n"
               "                     the values replace the stored ones for this run\n"
               "                     (each within its stored minimum … maximum)\n"
               "  --prec P           decimals of the pane (value text and range rounding)\n"
               "  --store FILE       formula store file to read definitions from (must exist)\n")
               .arg(PaneCatalog::namesHelp())
           + ChartData::optionHelp();
}

int LinesCommand::run(const QStringList& args)
{
    QList<CliOptions::Spec> specs = PaneCatalog::paneOptionSpecs();
    specs << CliOptions::Spec{QStringLiteral("no-range"), false, QString()};
    CliOptions opts(QStringLiteral("lines"), specs);
    opts.parse(args);
    if (opts.helpRequested()) {
        StdStreams::out() << help();
        return 0;
    }
    opts.rejectPositional();
    // User formulas are names of the store.
    FormulaStore::loadIfGiven(opts);
    const PaneCatalog::Type type = PaneCatalog::typeOption(opts);
    const QList<double> params = opts.numberList(QStringLiteral("params"));
    ChartData data = ChartData::load(opts);
    const DataWindow window = DataWindow::resolve(opts, data.count(), data.count());

    ZtLineLib_Formula pane(type);
    PaneCatalog::computeAlone(&pane, &data, params, opts, window.first, window.count);

    QTextStream& out = StdStreams::out();
    if (type == ZtLineLib_Formula::eFT_YDCM) {
        LineCsv::writeChipRows(out, pane);
        // The key figures in the order the service defines them.
        static const char* const keys[] = {"date", "hlbl", "pjcb", "p90min", "p90max",
                                           "p90jzd", "p70min", "p70max", "p70jzd"};
        const QHash<QString, QVariant>& info = pane.ydcmInfo();
        for (const char* key : keys) {
            const auto it = info.constFind(QLatin1String(key));
            if (it != info.constEnd())
                out << "# " << key << ',' << it->toString() << '\n';
        }
        return 0;
    }
    LineCsv::writePane(out, data, window, pane);
    if (!opts.has(QStringLiteral("no-range"))) {
        const bool valid = pane.maxReference() >= pane.minReference();
        out << "# range," << rangeText(pane.minReference(), valid) << ','
            << rangeText(pane.maxReference(), valid) << '\n';
    }
    return 0;
}
