// ztviewer: a desktop chart window over the chart library.
//
//   ztviewer                       the sample daily bars with their events
//   ztviewer FILE [--events FILE]  daily bars or intraday minutes from FILE
//   ztviewer --intraday            the sample intraday minutes
//   ztviewer --replay FILE [--speed N]
//                                  plays the bars or minutes of FILE into the
//                                  chart as if they arrived live
//   ztviewer --store FILE          with the formula store of FILE: its user
//                                  formulas join the Indicators menu
//   ztviewer --screenshot OUT.png [--size WxH] [--hover-event]
//                                  shows the window, puts the crosshair on
//                                  the chart (or the mouse on the last event
//                                  icon), saves the window and exits

#include "ChartWidget.h"
#include "PaneWidget.h"
#include "ReplayFeed.h"
#include "ViewerWindow.h"

#include <ZtLineLib_Formula.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QTimer>

#include <cstdio>

namespace {

// Moves the mouse over the price chart as a user would, so the screenshot
// shows the crosshair and its legends.
void hoverPriceChart(ChartWidget* chart, bool onEvent)
{
    PaneWidget* pane = chart->pane(0);
    if (!pane)
        return;
    QPoint pos(int(pane->width() * 0.72), int(pane->height() * 0.45));
    if (onEvent && pane->eventBar()) {
        // The icons have their places after the first paint.
        for (const ZtLineLib_InfoBar::LineInfo& info : pane->eventBar()->lineInfos())
            if (info.width > 0)
                pos = QPoint(info.x + info.width / 2, info.y + info.height / 2);
    }
    QMouseEvent move(QEvent::MouseMove, pos, pane->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(pane, &move);
}

int saveScreenshot(ViewerWindow* window, const QString& file, bool onEvent)
{
    hoverPriceChart(window->chart(), onEvent);
    QApplication::processEvents();
    if (!window->grab().save(file)) {
        std::fprintf(stderr, "ztviewer: cannot write %s\n", qPrintable(file));
        return 1;
    }
    return 0;
}

const char kUsage[] =
    "usage: ztviewer [FILE [--events FILE]] [--intraday] [--light]\n"
    "                [--replay FILE [--speed N]]\n"
    "                [--store FILE] [--screenshot OUT.png [--size WxH] [--hover-event]]\n"
    "\n"
    "A chart window for daily bars or intraday minutes: the sample daily bars\n"
    "with their events, the quotes of FILE, or (--intraday) the sample minutes.\n"
    "\n"
    "  --events FILE       event list CSV shown over the price chart\n"
    "  --intraday          start with the sample intraday chart\n"
    "  --light             start with the light theme\n"
    "  --replay FILE       play the daily bars or minutes of FILE as if live: the\n"
    "                      first half is history, then each bar comes as four\n"
    "                      ticks (open, first extreme, second extreme, its real\n"
    "                      close, high, low and volume); the chart follows the\n"
    "                      newest bar unless scrolled back (End follows again),\n"
    "                      the status line shows the time of the last tick\n"
    "  --speed N           bars per second of --replay, 0.01 … 1000 (default 2)\n"
    "  --store FILE        formula store (as `ztchart formulas set` writes it); a\n"
    "                      formula that fails shows its reason in its pane\n"
    "  --screenshot FILE   save the window to FILE after the first paint and exit\n"
    "  --size WxH          window size, default 1280x800 (at least 320x240)\n"
    "  --hover-event       for --screenshot: the mouse on the last event icon\n";

int usageError(const QString& message)
{
    std::fprintf(stderr, "ztviewer: %s (see ztviewer --help)\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // The arguments are checked before a window system is needed, so that
    // --help and mistakes answer on any terminal.
    QStringList args{QStringLiteral("ztviewer")};
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Usage."));
    const QCommandLineOption events(QStringLiteral("events"), QStringLiteral("Event list CSV."),
                                    QStringLiteral("file"));
    const QCommandLineOption intraday(QStringLiteral("intraday"), QStringLiteral("Start with the sample intraday chart."));
    const QCommandLineOption light(QStringLiteral("light"), QStringLiteral("Start with the light theme."));
    const QCommandLineOption shot(QStringLiteral("screenshot"),
                                  QStringLiteral("Save the window to file and exit."), QStringLiteral("file"));
    const QCommandLineOption size(QStringLiteral("size"), QStringLiteral("Window size WxH."),
                                  QStringLiteral("WxH"), QStringLiteral("1280x800"));
    const QCommandLineOption hoverEvent(QStringLiteral("hover-event"),
                                        QStringLiteral("For --screenshot: the mouse on the last event icon."));
    const QCommandLineOption store(QStringLiteral("store"), QStringLiteral("Formula store file (user formulas join the Indicators menu)."),
                                   QStringLiteral("file"));
    const QCommandLineOption replay(QStringLiteral("replay"), QStringLiteral("Play FILE as if live."),
                                    QStringLiteral("file"));
    const QCommandLineOption speed(QStringLiteral("speed"), QStringLiteral("Bars per second of --replay."),
                                   QStringLiteral("N"));
    parser.addOptions({help, events, intraday, light, store, shot, size, hoverEvent, replay, speed});
    if (!parser.parse(args)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (unknown.isEmpty())
            return usageError(parser.errorText());
        const QString& name = unknown.first();
        return usageError(QStringLiteral("unknown option %1%2").arg(QLatin1String(name.size() > 1 ? "--" : "-"), name));
    }
    if (parser.isSet(help)) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (parser.isSet(replay) && (!parser.positionalArguments().isEmpty() || parser.isSet(intraday)))
        return usageError(QStringLiteral("--replay takes the place of a quote file and --intraday"));
    if (parser.isSet(speed) && !parser.isSet(replay))
        return usageError(QStringLiteral("--speed needs --replay"));
    bool speedOk = true;
    const double barsPerSecond =
        parser.isSet(speed) ? parser.value(speed).toDouble(&speedOk) : ReplayFeed::kDefaultSpeed;
    if (!speedOk || !(barsPerSecond >= 0.01 && barsPerSecond <= 1000))
        return usageError(QStringLiteral("option --speed: expected bars per second within 0.01 … 1000, got \"%1\"")
                              .arg(parser.value(speed)));
    if (parser.positionalArguments().size() > 1)
        return usageError(QStringLiteral("more than one quote file: \"%1\"").arg(parser.positionalArguments().at(1)));
    const QStringList wh = parser.value(size).split(QLatin1Char('x'));
    bool wOk = false;
    bool hOk = false;
    const int w = wh.value(0).toInt(&wOk);
    const int h = wh.value(1).toInt(&hOk);
    if (wh.size() != 2 || !wOk || !hOk || w < 320 || h < 240 || w > 8000 || h > 8000)
        return usageError(QStringLiteral("option --size: expected WxH within 320x240 … 8000x8000, got \"%1\"")
                              .arg(parser.value(size)));

    if (parser.isSet(store)) {
        std::string error;
        const QString path = parser.value(store);
        if (!QFile::exists(path) || !ZtLineLib_Formula::m_dformulaManage.loadFromFile(
                QFile::encodeName(path).toStdString(), &error)) {
            std::fprintf(stderr, "ztviewer: %s: %s\n", qPrintable(path),
                         error.empty() ? "no such formula store" : error.c_str());
            return 1;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("ztviewer"));
    ViewerWindow window;
    window.resize(w, h);
    if (parser.isSet(light))
        window.setDarkTheme(false);

    QString error;
    bool ok = true;
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(replay)) {
        ok = window.startReplay(parser.value(replay), barsPerSecond, &error);
    } else if (!files.isEmpty()) {
        ok = window.openFile(files.first(), parser.value(events), &error);
    } else if (parser.isSet(intraday)) {
        ok = window.openSampleMinutes(&error);
    } else {
        ok = window.openSampleBars(&error);
    }
    if (!ok) {
        std::fprintf(stderr, "ztviewer: %s\n", qPrintable(error));
        return 1;
    }

    window.show();
    if (parser.isSet(shot)) {
        const QString file = parser.value(shot);
        int rc = 0;
        // After the first paint, when every widget has its final size.
        QTimer::singleShot(200, &window, [&] {
            rc = saveScreenshot(&window, file, parser.isSet(hoverEvent));
            app.quit();
        });
        app.exec();
        return rc;
    }
    return app.exec();
}
