#include "TextCommand.h"

#include "ChartData.h"
#include "CliError.h"
#include "CliOptions.h"
#include "DataWindow.h"
#include "FormulaStore.h"
#include "PaneCatalog.h"
#include "PaneLegend.h"
#include "StdStreams.h"

#include <ZtLineLib_Formula.h>

#include <climits>

QString TextCommand::help()
{
    return QStringLiteral(
               "usage: ztchart text (--bars FILE | --minutes FILE [--days N] [--auction])\n"
               "                    --type NAME --index I [--params a,b,...] [--prec P]\n"
               "                    [--first I --count N] [--store FILE] [--segments]\n"
               "\n"
               "Prints the pane's legend of item I (getDataString) as the library gives it,\n"
               "for example: MACD(12,26,9) |DIFF:-0.02↓,&DEA:-0.03↑,&MACD:0.02↑\n"
               "With --segments: one line per part, \"<text>\\t#rrggbb\" with the colour the\n"
               "part is painted in (the title in the default colour, each line's value in\n"
               "the colour of its line), values of 100000 and more in the value axis's\n"
               "万/亿 units as the chart's legend shows them.\n"
               "The window (default: all records) must contain I.\n"
               "\n"
               "  --type NAME        %1\n"
               "  --index I          absolute record index (0 = first record)\n")
               .arg(PaneCatalog::namesHelp())
           + ChartData::optionHelp();
}

int TextCommand::run(const QStringList& args)
{
    QList<CliOptions::Spec> specs = PaneCatalog::paneOptionSpecs();
    specs << CliOptions::Spec{QStringLiteral("index"), true, QString()}
          << CliOptions::Spec{QStringLiteral("segments"), false, QString()};
    CliOptions opts(QStringLiteral("text"), specs);
    opts.parse(args);
    if (opts.helpRequested()) {
        StdStreams::out() << help();
        return 0;
    }
    opts.rejectPositional();
    opts.require(QStringLiteral("type"));
    opts.require(QStringLiteral("index"));
    // User formulas are names of the store.
    FormulaStore::loadIfGiven(opts);
    const PaneCatalog::Type type = PaneCatalog::typeOption(opts);
    const int index = opts.intValue(QStringLiteral("index"), 0, 0, INT_MAX);
    const QList<double> params = opts.numberList(QStringLiteral("params"));
    ChartData data = ChartData::load(opts);
    if (index >= data.count())
        throw CliError(QStringLiteral("--index %1 lies past the data (%2 records, last index %3)")
                           .arg(index)
                           .arg(data.count())
                           .arg(data.count() - 1));
    const DataWindow window = DataWindow::resolve(opts, data.count(), data.count());
    if (index < window.first || index >= window.first + window.count)
        throw CliError(QStringLiteral("--index %1 lies outside the window %2 … %3")
                           .arg(index)
                           .arg(window.first)
                           .arg(window.first + window.count - 1));

    ZtLineLib_Formula pane(type);
    PaneCatalog::computeAlone(&pane, &data, params, opts, window.first, window.count);

    const QString text = pane.getDataString(index);
    QTextStream& out = StdStreams::out();
    if (!opts.has(QStringLiteral("segments"))) {
        out << text << '\n';
        return 0;
    }
    for (const PaneLegend::Segment& s : PaneLegend::split(pane, text))
        out << s.text << '\t' << s.color.name() << '\n';
    return 0;
}
