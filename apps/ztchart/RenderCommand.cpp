#include "RenderCommand.h"

#include "ChartData.h"
#include "ChartLayout.h"
#include "CliError.h"
#include "CliOptions.h"
#include "DataWindow.h"
#include "FormulaStore.h"
#include "PaneList.h"
#include "StdStreams.h"

#include <PubCacheCustom.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <climits>

using namespace ZtUIDataStruct;

namespace {

QByteArray imageFormat(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("png"))
        return "PNG";
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return "JPEG";
    throw CliError::usage(
        QStringLiteral("render: output \"%1\" must end in .png, .jpg or .jpeg").arg(path));
}

void applyTheme(const QString& theme)
{
    // The default table starts as the dark face; the light one goes into
    // the user's table, which wins.
    PubCacheCustom::mCustomColor.clear();
    if (theme == QLatin1String("light"))
        PubCacheCustom::mCustomColor = PubCacheCustom::lightTheme();
}

} // namespace

QString RenderCommand::help()
{
    return QStringLiteral(
               "usage: ztchart render (--bars FILE | --minutes FILE [--days N] [--auction])\n"
               "                      [--panes LIST] [--first I --count N] [--size WxH]\n"
               "                      [--crosshair I] [--events FILE] [--capital FILE]\n"
               "                      [--theme dark|light] [--log] [--max-min]\n"
               "                      [--store FILE] -o OUT.png\n"
               "\n"
               "Draws a chart into OUT (.png, .jpg or .jpeg): stacked panes with their value\n"
               "axes and legends, the event icons over the price chart, the chip\n"
               "distribution beside it, the time axis and the crosshair.\n"
               "\n"
               "  --panes LIST       panes top to bottom, the first is the main chart; names\n"
               "                     after ':' overlay it (MA, BOLL, CLOSE), parameters in\n"
               "                     parentheses: kline:MA,vol,macd(6,13,5),kdj or\n"
               "                     kline:MA(5,10)+BOLL,vol\n"
               "                     ydcm (or chip) adds the chip-distribution column\n"
               "                     (needs --capital). Default: kline:MA,vol,macd for bars,\n"
               "                     dline,dvol for minutes.\n"
               "                     Types: %1\n"
               "  --first I --count N  the shown window; default: the last bars that fit\n"
               "                     (all slots for minutes)\n"
               "  --size WxH         picture size, default 1200x800 (each side 200 … 8000)\n"
               "  --crosshair I      crosshair on item I (absolute index, inside the\n"
               "                     window); the legends and the chip column follow it\n"
               "  --theme dark|light colour theme, default dark\n"
               "  --log              logarithmic value axis on the price chart\n"
               "  --max-min          mark the highest and lowest price of the window\n"
               "  --store FILE       formula store file (stored parameters of the panes);\n"
               "                     it must exist\n"
               "  -o, --output FILE  the picture to write\n"
               "Progress goes to standard error. A parameter outside its stored minimum …\n"
               "maximum, or a formula that does not compile or evaluate, is an error (the\n"
               "engine's line and column).\n")
               .arg(PaneCatalog::namesHelp())
           + ChartData::optionHelp();
}

int RenderCommand::run(const QStringList& args)
{
    QList<CliOptions::Spec> specs = ChartData::optionSpecs();
    specs << CliOptions::Spec{QStringLiteral("panes"), true, QString()}
          << CliOptions::Spec{QStringLiteral("first"), true, QString()}
          << CliOptions::Spec{QStringLiteral("count"), true, QString()}
          << CliOptions::Spec{QStringLiteral("size"), true, QString()}
          << CliOptions::Spec{QStringLiteral("crosshair"), true, QString()}
          << CliOptions::Spec{QStringLiteral("theme"), true, QString()}
          << CliOptions::Spec{QStringLiteral("log"), false, QString()}
          << CliOptions::Spec{QStringLiteral("max-min"), false, QString()}
          << CliOptions::Spec{QStringLiteral("store"), true, QString()}
          << CliOptions::Spec{QStringLiteral("output"), true, QStringLiteral("o")};
    CliOptions opts(QStringLiteral("render"), specs);
    opts.parse(args);
    if (opts.helpRequested()) {
        StdStreams::out() << help();
        return 0;
    }
    opts.rejectPositional();
    opts.require(QStringLiteral("output"));
    const QString output = opts.value(QStringLiteral("output"));
    const QByteArray format = imageFormat(output);
    if (!QFileInfo(output).absoluteDir().exists())
        throw CliError(QStringLiteral("render: no folder %1 for the picture")
                           .arg(QFileInfo(output).absolutePath()));
    const QSize size = opts.sizeValue(QStringLiteral("size"), QSize(1200, 800), 200, 8000);
    applyTheme(opts.choice(QStringLiteral("theme"), {QStringLiteral("dark"), QStringLiteral("light")},
                           QStringLiteral("dark")));
    FormulaStore::loadIfGiven(opts);
    ChartData data = ChartData::load(opts);
    const PaneList panes = PaneList::parse(opts.value(
        QStringLiteral("panes"), data.isDLine() ? QStringLiteral("dline,dvol") : QStringLiteral("kline:MA,vol,macd")));

    ChartLayout::Options options;
    options.logScale = opts.has(QStringLiteral("log"));
    options.maxMin = opts.has(QStringLiteral("max-min"));
    ChartLayout chart(&data, panes, options);
    chart.setGeometry(QRect(QPoint(0, 0), size));
    const DataWindow window =
        DataWindow::resolve(opts, data.count(), data.isDLine() ? data.count() : chart.fittingCount());
    if (opts.has(QStringLiteral("crosshair"))) {
        const int index = opts.intValue(QStringLiteral("crosshair"), -1, 0, INT_MAX);
        if (index < window.first || index >= window.first + window.count)
            throw CliError(QStringLiteral("--crosshair %1 lies outside the shown window %2 … %3")
                               .arg(index)
                               .arg(window.first)
                               .arg(window.first + window.count - 1));
        chart.setCrosshair(index);
    }
    chart.setWindow(window.first, window.count);
    // A formula that fails leaves an empty pane: a failure, not a picture.
    const QString formulaError = chart.formulaError();
    if (!formulaError.isEmpty())
        throw CliError(QStringLiteral("render: %1").arg(formulaError));
    // Everything is checked; only painting and saving are left.
    StdStreams::err() << "ztchart: computed " << data.count() << (data.isDLine() ? " minutes" : " bars") << '\n';
    for (const QString& note : chart.missingData())
        StdStreams::err() << "ztchart: " << note << '\n';

    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    chart.paint(&painter);
    painter.end();
    if (!image.save(output, format.constData()))
        throw CliError(QStringLiteral("render: cannot write %1").arg(output));
    StdStreams::err() << "ztchart: wrote " << output << " (" << size.width() << 'x' << size.height()
                      << ", items " << window.first << '-' << window.first + window.count - 1 << ")\n";
    return 0;
}
